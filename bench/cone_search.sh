#!/bin/sh
# bench/cone_search.sh [ENTRIES]: one run each, through lighttpd on
# 127.0.0.1, of a 0.1 degree cone search (VOTable) and of tarnvel's page for
# the benchmark's "1% sky box" query, over the same generated catalogue of
# ENTRIES entries (1,000,000 by default); warm (each request once before),
# and right after bench/touch_memory has touched 1.5 times the records'
# memory. Builds the release programs (preset "bench") first. Prints the
# wall times, the rows of each answer, and their ratio.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
entries=${1:-1000000}
work=$root/build/bench-work
cmake --preset bench >/dev/null
cmake --build --preset bench --target tarnvel tarnvel-cgi gen_catalogue touch_memory record_bytes >/dev/null
bench=$root/build/bench
mkdir -p "$work"
catalogue=$work/catalogue-$entries.dat
[ -f "$catalogue" ] || "$bench/bench/gen_catalogue" "$entries" 1 >"$catalogue"
site=$(mktemp -d)
port=$(( 20000 + $$ % 20000 ))
"$root/tests/web/serve-site" "$site" "$port" "$bench/cgi-bin/tarnvel" >"$site/server.log" 2>&1 &
server=$!
trap 'kill $server 2>/dev/null; wait $server 2>/dev/null; rm -rf "$site"' EXIT
for _ in $(seq 100); do curl -s -o /dev/null "http://127.0.0.1:$port/" && break; sleep 0.1; done
ln -sf "$catalogue" "$site/data/quasar_list.dat"
url=http://127.0.0.1:$port/query.cgi
cone="$url/scs?RA=40.5&DEC=7.5&SR=0.1"
page="$url?epoch=2000&ra_min=02%3A00%3A00&ra_max=03%3A30%3A00&dec_min=-30%3A00%3A00&dec_max=%2B45%3A15%3A00&z_min=1.5&z_max=4&v_min=10&v_max=19&m_min=-30&m_max=-20"
churn=$(( entries * $("$bench/bench/record_bytes") * 3 / 2 ))
timed() { curl -s -o "$site/answer" -w '%{time_total}' "$1"; }
for condition in warm churned; do
  if [ $condition = warm ]; then timed "$cone" >/dev/null; timed "$page" >/dev/null; fi
  [ $condition = churned ] && "$bench/bench/touch_memory" "$churn"
  cone_s=$(timed "$cone"); cone_rows=$(grep -c '<TR>' "$site/answer" || true)
  [ $condition = churned ] && "$bench/bench/touch_memory" "$churn"
  page_s=$(timed "$page"); page_rows=$(sed -n 's/.*There are \([0-9]*\) *records.*/\1/p' "$site/answer")
  printf '%s: cone %s s (%s rows), page %s s (%s rows), cone / page %s\n' $condition \
    "$cone_s" "$cone_rows" "$page_s" "$page_rows" \
    "$(awk -v c="$cone_s" -v p="$page_s" 'BEGIN { printf "%.2f", c / p }')"
done
