#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for SECONDS (default 60)
# from the seed corpus in fuzz/corpus. A crash, a sanitizer report, a
# difference from the C library or an input that runs longer than 10 seconds
# fails the run; the finding is left in build/fuzz/findings/ to be turned
# into a regression test (a file of fuzz/corpus/<target>/ replays as a test).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
findings=build/fuzz/findings
mkdir -p "$findings"
# Every target the build made (fuzz/CMakeLists.txt names them).
for program in build/fuzz/fuzz/*_fuzz; do
  target=$(basename "$program" _fuzz)
  work=$(mktemp -d)
  cp fuzz/corpus/"$target"/* "$work"/
  echo "== fuzzing $target for $seconds s"
  ASAN_OPTIONS=detect_leaks=1 "$program" "$work" \
    -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=8192 \
    -artifact_prefix="$findings/${target}-" -print_final_stats=1 2>&1 | tail -n 12
  rm -rf "$work"
done
