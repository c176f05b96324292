#!/usr/bin/env python3
"""Times tarnvel over a catalogue with and without text behind its closing line.

usage: bench/text_behind.py PROGRAM CATALOGUE [--runs R] [--behind MB]

Writes, beside CATALOGUE, a copy with the first MB megabytes (100 by
default) of CATALOGUE behind its closing line, and runs PROGRAM on the "1%
sky box" query of bench/run.py over each in turn, R times (11 by default),
alternating. Prints both medians and their ratio: the look-ahead past the
closing line should cost at most a tenth.
"""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import run  # noqa: E402  (the benchmark's queries and files)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("program")
    parser.add_argument("catalogue")
    parser.add_argument("--runs", type=int, default=11)
    parser.add_argument("--behind", type=int, default=100)
    args = parser.parse_args()
    behind = args.catalogue + f".behind{args.behind}"
    if not os.path.exists(behind):
        with open(behind + ".part", "wb") as out, open(args.catalogue, "rb") as cat:
            shutil.copyfileobj(cat, out)
            cat.seek(0)
            out.write(cat.read(args.behind * 1000000))
        os.rename(behind + ".part", behind)
    cases = {}
    for name, catalogue in (("plain", args.catalogue), ("behind", behind)):
        case = os.path.join(os.path.dirname(os.path.abspath(args.catalogue)), "text_behind_" + name)
        run.prepare(case, catalogue, run.QUERIES["1% sky box"])
        cases[name] = case
    times = {name: [] for name in cases}
    for _ in range(args.runs):
        for name, case in cases.items():
            start = time.perf_counter()
            subprocess.run([os.path.abspath(args.program)], cwd=case, check=True,
                           stdout=subprocess.DEVNULL)
            times[name].append(time.perf_counter() - start)
    plain, with_text = (statistics.median(times[n]) for n in ("plain", "behind"))
    print(f"{args.behind} MB behind the closing line, median of {args.runs}: "
          f"{plain:.4f} s without, {with_text:.4f} s with, {with_text / plain:.3f}x")


if __name__ == "__main__":
    main()
