#!/usr/bin/env python3
"""Races tarnvel against the awk peer on generated catalogues.

Builds the release program and the catalogue generator (preset "bench"),
makes catalogues of --entries and 5 x --entries entries, and for queries
at epoch 2000 (two selecting about 1% of the entries, one about half) runs
tarnvel and the awk peer (../shared/bench/peer_awk.sh, with mawk) side by
side, --runs times each, alternating. It prints the median wall time and the
peak resident memory of each, the ratios, and for reference the I/O floor:
cat of the catalogue to /dev/null and the writing of a file of the page's size.

usage: bench/run.py [--entries N] [--runs R] [--smoke] [--work DIR]
--smoke runs 20,000 entries once each and checks that everything runs,
nothing about speed.
"""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
PEER = os.path.join(os.path.dirname(ROOT), "shared", "bench", "peer_awk.sh")

STYLE = "border=1\nwidth=90\nheight=50\ncolor_interchange=y\nheader_align=c\ncell_align=l\n"

# name: (ra_min, ra_max, dec_min, dec_max, z_min, z_max, v_min, v_max, m_min, m_max)
# Two queries of about 1%: a box of sky (whose narrow right-ascension band
# lets the awk program drop most lines after its first test) and an
# equatorial strip in a redshift slice; and one of about half.
QUERIES = {
    "1% sky box": ("02:00:00", "03:30:00", "-30:00:00", "+45:15:00", "1.5", "4", "10", "19",
                   "-30", "-20"),
    "1% strip": ("00:00:00", "24:00:00", "-05:00:00", "+05:00:00", "2.5", "3", "-100", "100",
                 "-100", "100"),
    "half query": ("00:00:00", "24:00:00", "-90:00:00", "+90:00:00", "0", "1.8", "-100", "100",
                   "-100", "100"),
}


def query_form(q):
    labels = ["Minimal right ascension", "Maximal right ascension", "Minimal declination",
              "Maximal declination", "Minimal redshift", "Maximal redshift",
              "Minimal apparent magnitude", "Maximal apparent magnitude",
              "Minimal absolute magnitude", "Maximal absolute magnitude"]
    return "Epoch=2000\n" + "".join(f"{label}={value}\n" for label, value in zip(labels, q))


def timed(argv, cwd, stderr=subprocess.DEVNULL):
    """Runs argv; returns (wall seconds, peak resident KiB)."""
    start = time.perf_counter()
    process = subprocess.Popen(argv, cwd=cwd, stdout=subprocess.DEVNULL, stderr=stderr)
    _, status, usage = os.wait4(process.pid, 0)
    wall = time.perf_counter() - start
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit(f"{argv[0]} failed in {cwd}")
    return wall, usage.ru_maxrss


def build():
    for step in (["cmake", "--preset", "bench"], ["cmake", "--build", "--preset", "bench"]):
        subprocess.run(step, cwd=ROOT, check=True, stdout=subprocess.DEVNULL)
    build_dir = os.path.join(ROOT, "build", "bench")
    return os.path.join(build_dir, "tarnvel"), os.path.join(build_dir, "bench", "gen_catalogue")


def make_catalogue(generator, entries, path):
    if not os.path.exists(path):
        with open(path + ".part", "wb") as out:
            subprocess.run([generator, str(entries), "1"], stdout=out, check=True)
        os.rename(path + ".part", path)


def prepare(work, catalogue, q):
    os.makedirs(work, exist_ok=True)
    link = os.path.join(work, "quasar_list.dat")
    if os.path.lexists(link):
        os.remove(link)
    os.symlink(os.path.abspath(catalogue), link)
    with open(os.path.join(work, "style.var"), "w") as f:
        f.write(STYLE)
    with open(os.path.join(work, "query.frm"), "w") as f:
        f.write(query_form(q))


def selected_count(page):
    with open(page, "rb") as f:
        text = f.read(1 << 16).decode("latin-1")
    marker = "There are "
    at = text.find(marker)
    return int(text[at + len(marker):].split()[0]) if at >= 0 else 0


def median(values):
    return statistics.median(values)


def race(program, catalogue, work, runs, use_peer):
    """Per query: medians of tarnvel and peer, selected count and page size."""
    results = {}
    for name, q in QUERIES.items():
        case = os.path.join(work, name.replace(" ", "_").replace("%", "pct"))
        prepare(case, catalogue, q)
        ours, peer = [], []
        peer_log = os.path.join(case, "peer.log")
        for _ in range(runs):
            ours.append(timed([program], case))
            if use_peer:
                with open(peer_log, "w") as log:
                    peer.append(timed(["sh", PEER, catalogue] + list(q) +
                                      [os.path.join(case, "peer.html")], case, stderr=log))
        page = os.path.join(case, "results.html")
        if use_peer:
            # Both must have selected the same entries: "selected N of T".
            with open(peer_log) as log:
                peer_selected = int(log.read().split()[1])
            if peer_selected != selected_count(page):
                sys.exit(f"{name}: tarnvel selected {selected_count(page)}, the peer {peer_selected}")
        results[name] = {
            "ours": (median(w for w, _ in ours), max(m for _, m in ours)),
            "peer": (median(w for w, _ in peer), max(m for _, m in peer)) if peer else None,
            "selected": selected_count(page),
            "page_bytes": os.path.getsize(page),
        }
    return results


def io_floor(catalogue, page_bytes, work, runs):
    cat = median(timed(["cat", catalogue], work)[0] for _ in range(runs))
    target = os.path.join(work, "floor.html")
    blocks = max(1, page_bytes // (1 << 20))
    write = median(timed(["dd", "if=/dev/zero", f"of={target}", "bs=1M", f"count={blocks}"],
                         work)[0] for _ in range(runs))
    os.remove(target)
    return cat, write


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--entries", type=int, default=1000000)
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--smoke", action="store_true")
    parser.add_argument("--work", default=os.path.join(ROOT, "build", "bench-work"))
    args = parser.parse_args()
    if args.smoke:
        args.entries, args.runs = 20000, 1
    use_peer = os.path.exists(PEER)
    if not use_peer:
        print(f"note: {PEER} is absent; the awk peer is left out")

    program, generator = build()
    os.makedirs(args.work, exist_ok=True)
    sizes = [args.entries] if args.smoke else [args.entries, 5 * args.entries]
    table = {}
    for entries in sizes:
        catalogue = os.path.join(args.work, f"catalogue_{entries}.dat")
        make_catalogue(generator, entries, catalogue)
        table[entries] = race(program, catalogue, os.path.join(args.work, str(entries)),
                              args.runs, use_peer and entries == args.entries)
        if entries == args.entries:
            half = table[entries]["half query"]["page_bytes"]
            floor = io_floor(catalogue, half, args.work, args.runs)

    base = table[args.entries]
    print(f"\n{args.entries:,} entries ({os.path.getsize(os.path.join(args.work, f'catalogue_{args.entries}.dat')) / 1e6:.0f} MB), "
          f"median of {args.runs} runs, wall seconds and peak resident MB")
    print(f"| query | selected | page MB | tarnvel s | tarnvel MB | awk s | awk MB | awk / tarnvel |")
    print(f"|---|---|---|---|---|---|---|---|")
    for name, r in base.items():
        ours_s, ours_kb = r["ours"]
        if r["peer"]:
            peer_s, peer_kb = r["peer"]
            peer_cells = f"{peer_s:.3f} | {peer_kb / 1024:.0f} | {peer_s / ours_s:.1f}x"
        else:
            peer_cells = "- | - | -"
        print(f"| {name} | {r['selected']:,} | {r['page_bytes'] / 1e6:.0f} | {ours_s:.3f} | "
              f"{ours_kb / 1024:.0f} | {peer_cells} |")
    print(f"\nI/O floor: cat of the catalogue {floor[0]:.3f} s; writing {base['half query']['page_bytes'] / 1e6:.0f} MB "
          f"{floor[1]:.3f} s")
    if len(sizes) == 2:
        big = table[sizes[1]]
        print(f"\nGrowth to {sizes[1]:,} entries:")
        print("| query | tarnvel s | time ratio | tarnvel MB | memory ratio |")
        print("|---|---|---|---|---|")
        for name, r in big.items():
            s, kb = r["ours"]
            s0, kb0 = base[name]["ours"]
            print(f"| {name} | {s:.3f} | {s / s0:.2f} | {kb / 1024:.0f} | {kb / kb0:.2f} |")
    if args.smoke:
        print("smoke run complete: every query ran, and tarnvel and the peer selected alike")


if __name__ == "__main__":
    main()
