#!/usr/bin/python3
"""The catalogue's VO services checked with clients written elsewhere
(pyvo, astropy), for the web tests.

Usage: vo_clients.py CHECK PROGRAM_URL CATALOGUE [FORM_QUERY]

CHECK is one of cones, sampled-cones (about 40 of them, for a large
catalogue), errors, maxrec, validate, form-tables, testquery.
PROGRAM_URL is the CGI program's URL (http://127.0.0.1:port/query.cgi),
CATALOGUE the catalogue file it answers from. Exits 0 when the check holds,
1 with the reasons on standard error when it does not, 77 when pyvo or
astropy is not installed.
"""

import io
import math
import re
import sys
import urllib.request
import warnings
import xml.etree.ElementTree as ElementTree

SKIP = 77

try:
    from astropy.utils import iers

    iers.conf.auto_download = False
    import astropy.io.votable
    import astropy.table
    import pyvo
    import pyvo.io.vosi
except ImportError as missing:
    print("not installed: %s (Debian: python3-pyvo python3-astropy)" % missing)
    sys.exit(SKIP)

failures = []


def expect(condition, what):
    if not condition:
        failures.append(what)


def fetch(url):
    with urllib.request.urlopen(url, timeout=60) as answer:
        return answer.read()


def catalogue_entries(path):
    """The entries as tarnvel reads a well-formed catalogue: (number,
    first name, RA and DEC in degrees), the declination's sign from its
    degrees' number, the numbers summed in the program's order."""
    with open(path, "rb") as f:
        fields = f.read().split(b"$")
    entries = []
    at = 0
    while at + 17 <= len(fields):
        name = fields[at].lstrip()
        if at > 0 and name == b"":
            break  # the closing line
        numbers = [float(x.split()[0]) if x.split() else 0.0 for x in fields[at + 1:at + 16]]
        h, m, s, d, dm, ds = numbers[0:6]
        sign = -1 if d < 0 else 1
        d = 0.0 if abs(d) <= 1e-6 else abs(d)
        ra = (1 * (3600.0 * h + 60.0 * m + s)) / 240.0
        dec = (sign * (3600.0 * d + 60.0 * dm + ds)) / 3600.0
        entries.append((len(entries) + 1, name.decode("utf-8", "replace"), ra, dec))
        at += 17
    return entries


def distance(ra1, dec1, ra2, dec2):
    """The great-circle distance in degrees (haversine)."""
    p1, p2 = math.radians(dec1), math.radians(dec2)
    dp, dl = p2 - p1, math.radians(ra2 - ra1)
    h = math.sin(dp / 2) ** 2 + math.cos(p1) * math.cos(p2) * math.sin(dl / 2) ** 2
    return math.degrees(2 * math.asin(min(1.0, math.sqrt(h))))


def inside(entries, ra, dec, sr):
    return [e for e in entries if distance(ra, dec, e[2], e[3]) <= sr]


def check_cones(base, entries, stride=7):
    service = pyvo.dal.SCSService(base + "/scs?")
    cones = [("around entry %d" % e[0], e[2], e[3], 0.5) for e in entries[::stride]]
    cones += [
        ("across RA 0", 0.001, 1.0, 0.05),
        ("across RA 0 from the other side", 359.999, 1.0, 0.05),
        ("at the north pole", 0.0, 90.0, 0.05),
        ("at the south pole", 123.0, -90.0, 0.02),
        ("with no entry", 200.0, -45.0, 0.0001),
    ]
    for what, ra, dec, sr in cones:
        wanted = inside(entries, ra, dec, sr)
        results = service.search(pos=(ra, dec), radius=sr)
        got = [int(rec.id) for rec in results]
        expect(got == [e[0] for e in wanted], "%s: entries %s, not %s" % (what, got, [e[0] for e in wanted]))
        for rec, e in zip(results, wanted):
            expect(rec.pos.ra.deg == e[2] % 360 or rec.pos.ra.deg == e[2],
                   "%s: entry %d at RA %r, not %r" % (what, e[0], rec.pos.ra.deg, e[2]))
            expect(rec.pos.dec.deg == e[3], "%s: entry %d at DEC %r, not %r" % (what, e[0], rec.pos.dec.deg, e[3]))
    expect(any(len(inside(entries, ra, dec, sr)) > 1 for _, ra, dec, sr in cones),
           "no cone holds more than one entry: the catalogue does not test much")


def check_errors(base, entries):
    cases = [
        ("RA=10&DEC=95&SR=1", "DEC must lie in -90..90 degrees"),
        ("RA=10&DEC=5", "SR is missing"),
        ("RA=ten&DEC=5&SR=1", "RA is not a number"),
        ("RA=10&DEC=5&SR=181", "SR must lie in 0..180 degrees"),
        ("RA=10&DEC=5&SR=1&VERB=4", "VERB must be 1, 2 or 3"),
        ("RA=10&ra=11&DEC=5&SR=1", "RA is given more than once"),
    ]
    for query, message in cases:
        try:
            pyvo.dal.SCSQuery(base + "/scs?" + query).execute()
            expect(False, "%s: no error" % query)
        except pyvo.dal.DALQueryError as error:
            expect(message in str(error), "%s: the message is %r" % (query, str(error)))
    # A cone search with the parameters pyvo sends, and one that fails.
    try:
        pyvo.dal.SCSService(base + "/scs?").search(pos=(10, 95), radius=1)
        expect(False, "DEC 95: no error")
    except (pyvo.dal.DALQueryError, ValueError) as error:
        expect(isinstance(error, ValueError) or "DEC" in str(error), "DEC 95: %r" % str(error))


def query_status(votable_bytes):
    table = astropy.io.votable.parse(io.BytesIO(votable_bytes))
    return [info.value for info in table.resources[0].infos if info.name == "QUERY_STATUS"]


def check_maxrec(base, entries):
    service = pyvo.dal.SCSService(base + "/scs?")
    everything = service.search(pos=(0, 0), radius=180)
    expect(len(everything) == len(entries), "the whole sky gives %d rows of %d" % (len(everything), len(entries)))
    five = service.search(pos=(0, 0), radius=180, MAXREC=5)
    expect([int(r.id) for r in five] == [e[0] for e in entries[:5]], "MAXREC=5 gives %s" % [int(r.id) for r in five])
    raw = fetch(base + "/scs?RA=0&DEC=0&SR=180&MAXREC=5")
    expect(query_status(raw) == ["OK", "OVERFLOW"], "MAXREC=5: QUERY_STATUS %s" % query_status(raw))
    raw = fetch(base + "/scs?RA=0&DEC=0&SR=180&MAXREC=%d" % len(entries))
    expect(query_status(raw) == ["OK"], "MAXREC of all: QUERY_STATUS %s" % query_status(raw))
    raw = fetch(base + "/scs?RA=0&DEC=0&SR=0")
    table = astropy.io.votable.parse_single_table(io.BytesIO(raw))
    expect(len(table.array) == 0 and len(table.fields) > 3, "SR=0 gives rows or no columns")


def check_validate(base, entries, form_query):
    # The three UCD1 words that pyvo looks for are older than the UCD1+
    # list astropy checks against: W06 is expected for them, nothing else.
    for target in ["/scs?RA=0&DEC=0&SR=180&VERB=3", "/scs?RA=0&DEC=0&SR=180&VERB=1",
                   "/scs?RA=10&DEC=95&SR=1", "?" + form_query + "&RESPONSEFORMAT=votable"]:
        raw = fetch(base + target)
        report = io.StringIO()
        with warnings.catch_warnings():
            warnings.simplefilter("ignore")
            astropy.io.votable.validate(io.BytesIO(raw), output=report, xmllint=False)
        codes = set(re.findall(r"\b([WE]\d\d)\b", report.getvalue()))
        expect(codes <= {"W06"}, "%s: %s\n%s" % (target, sorted(codes), report.getvalue()))
        for line in report.getvalue().splitlines():
            if "W06" in line:
                expect(any(w in line for w in ("ID_MAIN", "POS_EQ_RA_MAIN", "POS_EQ_DEC_MAIN")),
                       "%s: W06 for another word: %s" % (target, line))


def check_form_tables(base, entries, form_query):
    page = fetch(base + "?" + form_query).decode("latin-1")
    counted = re.search(r"There are (\d+) +records", page)
    expect(counted is not None, "the page counts no records")
    if counted is None:
        return
    count = int(counted.group(1))
    votable = astropy.table.Table.read(io.BytesIO(fetch(base + "?" + form_query + "&RESPONSEFORMAT=votable")), format="votable")
    csv = astropy.table.Table.read(fetch(base + "?" + form_query + "&RESPONSEFORMAT=csv").decode("utf-8"), format="ascii.csv")
    expect(len(votable) == count, "VOTable: %d rows, the page counts %d" % (len(votable), count))
    expect(len(csv) == count, "CSV: %d rows, the page counts %d" % (len(csv), count))
    expect(list(votable["recno"]) == list(csv["recno"]), "VOTable and CSV differ in their entries")


def check_testquery(base, entries):
    text = fetch(base + "/scs/capabilities")
    expect(text == fetch(base + "/capabilities"), "the two capabilities differ")
    capabilities = pyvo.io.vosi.parse_capabilities(io.BytesIO(text))
    standards = [c.standardid for c in capabilities]
    expect("ivo://ivoa.net/std/ConeSearch" in standards, "no ConeSearch capability: %s" % standards)
    root = ElementTree.fromstring(text)
    cone = [c for c in root.iter("capability") if c.get("standardID") == "ivo://ivoa.net/std/ConeSearch"][0]
    url = cone.find("interface/accessURL").text
    expect(url == base + "/scs?", "accessURL %s" % url)
    test = cone.find("testQuery")
    ra, dec, sr = (float(test.find(w).text) for w in ("ra", "dec", "sr"))
    found = pyvo.dal.SCSService(url).search(pos=(ra, dec), radius=sr)
    expect(len(found) >= 1, "the test query finds nothing")
    expect(int(cone.find("maxRecords").text) == 100000, "maxRecords")
    expect(float(cone.find("maxSR").text) == 180, "maxSR")
    availability = pyvo.io.vosi.parse_availability(io.BytesIO(fetch(base + "/scs/availability")))
    expect(availability.available, "not available")


def main():
    check, base, catalogue = sys.argv[1:4]
    form_query = sys.argv[4] if len(sys.argv) > 4 else ""
    entries = catalogue_entries(catalogue)
    checks = {
        "cones": lambda: check_cones(base, entries),
        "sampled-cones": lambda: check_cones(base, entries, max(1, len(entries) // 40)),
        "errors": lambda: check_errors(base, entries),
        "maxrec": lambda: check_maxrec(base, entries),
        "validate": lambda: check_validate(base, entries, form_query),
        "form-tables": lambda: check_form_tables(base, entries, form_query),
        "testquery": lambda: check_testquery(base, entries),
    }
    checks[check]()
    for failure in failures:
        print(failure, file=sys.stderr)
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
