#!/usr/bin/env python3
"""Races tarnvel against awk peers on generated catalogues, warm and churned.

Builds the release program and the helpers (preset "bench"), makes
catalogues of --entries and 5 x --entries entries, and for three queries at
epoch 2000 (two selecting about 1% of the entries, one about half) times
tarnvel and the awk peer of this directory (bench/peer.awk, with mawk), and
the shared peer (../shared/bench/peer_awk.sh) where it is at hand, side by
side, --runs times each, in two conditions:

  warm     the runs follow one another;
  churned  before every timed run of any program, bench/touch_memory maps,
           touches and frees about 1.5 times the records' memory, so that
           free memory is fragmented as on a busy machine.

It prints the median wall time and the peak resident memory of each, the
ratios, and the floor of each query, measured in the same run and condition:
cat of the catalogue, plus writing a file of the page's size, plus touching
once the memory of the records the query selects (touch_memory), since only
those become records. It checks that tarnvel and every
peer select the same entries.

usage: bench/run.py [--entries N] [--runs R] [--smoke] [--work DIR] [--baseline PROGRAM]
--smoke runs 20,000 entries once in each condition and checks that
everything runs and selects alike, nothing about speed. --baseline races
another build of tarnvel (an earlier release) beside the peers.
"""
import argparse
import math
import os
import statistics
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OWN_PEER = os.path.join(ROOT, "bench", "peer.awk")
SHARED_PEER = os.path.join(os.path.dirname(ROOT), "shared", "bench", "peer_awk.sh")


STYLE = "border=1\nwidth=90\nheight=50\ncolor_interchange=y\nheader_align=c\ncell_align=l\n"

# name: (ra_min, ra_max, dec_min, dec_max, z_min, z_max, v_min, v_max, m_min, m_max)
# Two queries of about 1%: a box of sky (whose narrow right-ascension band
# lets an awk program drop most lines after its first test) and an
# equatorial strip in a redshift slice; and one of about half.
QUERIES = {
    "1% sky box": ("02:00:00", "03:30:00", "-30:00:00", "+45:15:00", "1.5", "4", "10", "19",
                   "-30", "-20"),
    "1% strip": ("00:00:00", "24:00:00", "-05:00:00", "+05:00:00", "2.5", "3", "-100", "100",
                 "-100", "100"),
    "half query": ("00:00:00", "24:00:00", "-90:00:00", "+90:00:00", "0", "1.8", "-100", "100",
                   "-100", "100"),
}
CONDITIONS = ("warm", "churned")
BOUND_NAMES = ("ra_min", "ra_max", "dec_min", "dec_max", "z_min", "z_max", "v_min", "v_max",
               "m_min", "m_max")


def query_form(q):
    labels = ["Minimal right ascension", "Maximal right ascension", "Minimal declination",
              "Maximal declination", "Minimal redshift", "Maximal redshift",
              "Minimal apparent magnitude", "Maximal apparent magnitude",
              "Minimal absolute magnitude", "Maximal absolute magnitude"]
    return "Epoch=2000\n" + "".join(f"{label}={value}\n" for label, value in zip(labels, q))


class Bench:
    def __init__(self, tarnvel, checker, generator, toucher, record_bytes):
        self.tarnvel, self.checker = tarnvel, checker
        self.generator, self.toucher = generator, toucher
        # The memory every entry costs the program (sizeof(record), from the
        # build), which the floor and the churn are sized by.
        self.record_bytes = int(subprocess.run([record_bytes], check=True, capture_output=True,
                                               text=True).stdout)
        self.churn_bytes = 0

    def timed(self, argv, cwd, condition, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
              statuses=(0,)):
        """Runs argv in `condition`; returns (wall seconds, peak resident KiB)."""
        if condition == "churned":
            subprocess.run([self.toucher, str(self.churn_bytes)], check=True)
        start = time.perf_counter()
        process = subprocess.Popen(argv, cwd=cwd, stdout=stdout, stderr=stderr)
        _, status, usage = os.wait4(process.pid, 0)
        wall = time.perf_counter() - start
        if os.waitstatus_to_exitcode(status) not in statuses:
            sys.exit(f"{argv[0]} failed in {cwd}")
        return wall, usage.ru_maxrss


def build():
    for step in (["cmake", "--preset", "bench"], ["cmake", "--build", "--preset", "bench"]):
        subprocess.run(step, cwd=ROOT, check=True, stdout=subprocess.DEVNULL)
    build_dir = os.path.join(ROOT, "build", "bench")
    return (os.path.join(build_dir, "tarnvel"), os.path.join(build_dir, "tarnvel-check"),
            os.path.join(build_dir, "bench", "gen_catalogue"),
            os.path.join(build_dir, "bench", "touch_memory"),
            os.path.join(build_dir, "bench", "record_bytes"))


def make_catalogue(generator, entries, path):
    if not os.path.exists(path):
        with open(path + ".part", "wb") as out:
            subprocess.run([generator, str(entries), "1"], stdout=out, check=True)
        os.rename(path + ".part", path)


def prepare(case, catalogue, q):
    os.makedirs(case, exist_ok=True)
    link = os.path.join(case, "quasar_list.dat")
    if os.path.lexists(link):
        os.remove(link)
    os.symlink(os.path.abspath(catalogue), link)
    with open(os.path.join(case, "style.var"), "w") as f:
        f.write(STYLE)
    with open(os.path.join(case, "query.frm"), "w") as f:
        f.write(query_form(q))


def remove_page(case):
    page = os.path.join(case, "results.html")
    if os.path.exists(page):
        os.remove(page)


def selected_count(page):
    with open(page, "rb") as f:
        text = f.read(1 << 16).decode("latin-1")
    marker = "There are "
    at = text.find(marker)
    return int(text[at + len(marker):].split()[0]) if at >= 0 else 0


def peers(baseline):
    """The peers at hand: name -> argv builder (catalogue, bounds) -> argv.
    A baseline build of tarnvel, when given, answers in a directory of its
    own (argv builder None)."""
    found = {"awk": lambda cat, q: ["mawk", "-F$"] +
             [arg for name, value in zip(BOUND_NAMES, q) for arg in ("-v", f"{name}={value}")] +
             ["-f", OWN_PEER, cat]}
    if os.path.exists(SHARED_PEER):
        found["shared awk"] = lambda cat, q: ["sh", SHARED_PEER, cat] + list(q) + ["/dev/null"]
    if baseline:
        found["baseline"] = None
    return found


def peer_selected(log):
    with open(log) as f:
        words = f.read().split()
    return int(words[1]) if len(words) > 1 and words[0] == "selected" else -1


def race(bench, catalogue, work, runs, with_peers):
    """Per query and condition: medians of tarnvel and the peers, and what they selected."""
    results = {}
    for name, q in QUERIES.items():
        case = os.path.join(work, name.replace(" ", "_").replace("%", "pct"))
        prepare(case, catalogue, q)
        page = os.path.join(case, "results.html")
        for condition in CONDITIONS:
            ours, theirs = [], {peer: [] for peer in with_peers}
            for _ in range(runs):
                # Every program writes its answer where none stands: the
                # peers' output is truncated before their clock starts, and
                # tarnvel's previous page is removed before its clock starts
                # (replacing it would have the kernel free it in the run).
                remove_page(case)
                ours.append(bench.timed([bench.tarnvel], case, condition))
                for peer, argv in with_peers.items():
                    if argv is None:
                        own = case + "-baseline"
                        prepare(own, catalogue, q)
                        remove_page(own)
                        theirs[peer].append(bench.timed([bench.baseline], own, condition))
                        count = selected_count(os.path.join(own, "results.html"))
                        if count != selected_count(page):
                            sys.exit(f"{name}: tarnvel selected {selected_count(page)}, "
                                     f"the baseline {count}")
                        continue
                    log = os.path.join(case, peer.replace(" ", "_") + ".log")
                    with open(os.path.join(case, "peer.html"), "wb") as out, open(log, "w") as err:
                        theirs[peer].append(bench.timed(argv(catalogue, q), case, condition,
                                                        stdout=out, stderr=err))
                    count = peer_selected(log)
                    if count != selected_count(page):
                        sys.exit(f"{name}: tarnvel selected {selected_count(page)}, {peer} {count}")
            results[(name, condition)] = {
                "ours": (statistics.median(w for w, _ in ours), max(m for _, m in ours)),
                "peers": {p: (statistics.median(w for w, _ in t), max(m for _, m in t))
                          for p, t in theirs.items()},
                "selected": selected_count(page),
                "page_bytes": os.path.getsize(page),
            }
    return results


def floor(bench, catalogue, selected, page_bytes, work, runs, condition):
    """cat of the catalogue + writing the page's size + touching the selected records' memory."""
    cat = statistics.median(bench.timed(["cat", catalogue], work, condition)[0] for _ in range(runs))
    touch = statistics.median(bench.timed([bench.toucher, str(max(1, selected) * bench.record_bytes)], work,
                                          condition)[0] for _ in range(runs))
    target = os.path.join(work, "floor.html")
    blocks = max(1, math.ceil(page_bytes / (1 << 20)))

    def write_page_size():
        if os.path.exists(target):
            os.remove(target)  # written where none stands, as the programs' pages are
        return bench.timed(["dd", "if=/dev/zero", f"of={target}", "bs=1M", f"count={blocks}"], work,
                           condition)[0]

    write = statistics.median(write_page_size() for _ in range(runs))
    os.remove(target)
    return cat + touch + write


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--entries", type=int, default=1000000)
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--smoke", action="store_true")
    parser.add_argument("--work", default=os.path.join(ROOT, "build", "bench-work"))
    parser.add_argument("--baseline", help="another tarnvel program to race, such as an "
                        "earlier release build")
    args = parser.parse_args()
    if args.smoke:
        args.entries, args.runs = 20000, 1
    with_peers = peers(args.baseline)

    bench = Bench(*build())
    bench.baseline = os.path.abspath(args.baseline) if args.baseline else None
    os.makedirs(args.work, exist_ok=True)
    sizes = [args.entries] if args.smoke else [args.entries, 5 * args.entries]
    table = {}
    for entries in sizes:
        catalogue = os.path.join(args.work, f"catalogue_{entries}.dat")
        make_catalogue(bench.generator, entries, catalogue)
        bench.churn_bytes = entries * bench.record_bytes * 3 // 2
        table[entries] = race(bench, catalogue, os.path.join(args.work, str(entries)), args.runs,
                              with_peers if entries == args.entries else {})
        if entries == args.entries:
            floors = {key: floor(bench, catalogue, r["selected"], r["page_bytes"], args.work, args.runs,
                                 key[1])
                      for key, r in table[entries].items()}

    base = table[args.entries]
    megabytes = os.path.getsize(os.path.join(args.work, f"catalogue_{args.entries}.dat")) / 1e6
    peer_names = list(with_peers)
    print(f"\n{args.entries:,} entries ({megabytes:.0f} MB), median of {args.runs} runs, "
          f"wall seconds and peak resident MB")
    head = "| query | condition | selected | page MB | tarnvel s | tarnvel MB |"
    for peer in peer_names:
        head += f" {peer} s | {peer} / tarnvel |"
    head += " churned / warm | floor s | tarnvel / floor |"
    print(head)
    print("|" + "---|" * (head.count("|") - 1))
    for (name, condition), r in base.items():
        ours_s, ours_kb = r["ours"]
        row = (f"| {name} | {condition} | {r['selected']:,} | {r['page_bytes'] / 1e6:.0f} | "
               f"{ours_s:.3f} | {ours_kb / 1024:.0f} |")
        for peer in peer_names:
            peer_s = r["peers"][peer][0]
            row += f" {peer_s:.3f} | {peer_s / ours_s:.1f}x |"
        warm_s = base[(name, "warm")]["ours"][0]
        floor_s = floors[(name, condition)]
        row += f" {ours_s / warm_s:.2f} | {floor_s:.3f} | {ours_s / floor_s:.2f} |"
        print(row)
    # tarnvel-check over the same catalogue, warm: within twice tarnvel's time,
    # in memory that does not grow with the catalogue (but for its names).
    case = os.path.join(args.work, str(args.entries), "1pct_strip")
    checks = [bench.timed([bench.checker], case, "warm", statuses=(0, 1)) for _ in range(args.runs)]
    check_s = statistics.median(s for s, _ in checks)
    fastest = min(r["ours"][0] for (_, condition), r in base.items() if condition == "warm")
    print(f"\ntarnvel-check over the {args.entries:,} entries, warm: {check_s:.3f} s, "
          f"{max(kb for _, kb in checks) / 1024:.0f} MB; {check_s / fastest:.2f} times tarnvel's "
          f"fastest warm query ({fastest:.3f} s)")
    if len(sizes) == 2:
        big = table[sizes[1]]
        print(f"\nGrowth to {sizes[1]:,} entries:")
        print("| query | condition | tarnvel s | time / 1M time | tarnvel MB | memory / 1M memory |")
        print("|---|---|---|---|---|---|")
        for (name, condition), r in big.items():
            s, kb = r["ours"]
            s0, kb0 = base[(name, condition)]["ours"]
            print(f"| {name} | {condition} | {s:.3f} | {s / s0:.2f} | {kb / 1024:.0f} | "
                  f"{kb / kb0:.2f} |")
    if args.smoke:
        checked = " and ".join(["tarnvel"] + peer_names)
        missing = "" if "shared awk" in with_peers else f"; {SHARED_PEER} is absent, not raced"
        print(f"smoke run: every query ran warm and churned; {checked} selected alike{missing}")


if __name__ == "__main__":
    main()
