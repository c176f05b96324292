#!/bin/sh
# bench/index_cones.sh [ENTRIES] [SOURCES]: the position index behind
# lighttpd on 127.0.0.1, over a generated catalogue of ENTRIES entries
# (1,000,000 by default), in one run:
#  - tarnvel's page for the benchmark's "1% sky box" query (median of 3);
#  - a dozen 0.1 degree cone searches at different places without the index
#    (its lock held, so that none is made) and with it, each the median of
#    the dozen, warm and right after bench/touch_memory has touched 1.5 times
#    the records' memory;
#  - the making of the index (tarnvel-cgi --index) beside one cone without it,
#    which is one reading of the catalogue;
#  - stilts coneskymatch of SOURCES sources (1,000 by default; 0 skips it)
#    of radius 10 seconds of arc, without and with the index.
# Builds the release programs (preset "bench") first. Prints wall times and
# their ratios; each answer is compared byte for byte with and without.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
entries=${1:-1000000}
sources=${2:-1000}
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
holder=
trap 'kill $server $holder 2>/dev/null; wait $server 2>/dev/null; rm -rf "$site"' EXIT
for _ in $(seq 100); do curl -s -o /dev/null "http://127.0.0.1:$port/" && break; sleep 0.1; done
ln -sf "$catalogue" "$site/data/quasar_list.dat"
index=$site/spool/.tarnvel-index
url=http://127.0.0.1:$port/query.cgi
page="$url?epoch=2000&ra_min=02%3A00%3A00&ra_max=03%3A30%3A00&dec_min=-30%3A00%3A00&dec_max=%2B45%3A15%3A00&z_min=1.5&z_max=4&v_min=10&v_max=19&m_min=-30&m_max=-20"
places="0,0 40.5,7.5 359.95,-20 120,45 200,-60 300,80 10,-89.95 180,89.99 75,30 250,-5 330,15 150,-35"
churn=$(( entries * $("$bench/bench/record_bytes") * 3 / 2 ))
timed() { curl -s -o "$2" -w '%{time_total}\n' "$1"; }
median() { sort -n | awk '{ v[NR] = $1 } END { printf "%.4f", NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
# cones LABEL CHURN: the dozen cones' median time; their answers in $site/LABEL.*
cones() {
  for place in $places; do
    [ "$2" = churned ] && "$bench/bench/touch_memory" "$churn"
    timed "$url/scs?RA=${place%,*}&DEC=${place#*,}&SR=0.1" "$site/$1.$place"
  done | median
}
# hold_lock: holds the index's lock (in a process of its own, $holder), so
# that no index is made while cones are timed without one.
hold_lock() {
  sh -c 'exec 9>"$1"; flock 9; exec sleep 100000' sh "$index.lock" &
  holder=$!
  sleep 0.2
  rm -f "$index"
}
build_env="TARNVEL_CATALOGUE=$site/data/quasar_list.dat TARNVEL_SPOOL=$site/spool"

timed "$page" /dev/null >/dev/null
page_s=$(for _ in 1 2 3; do timed "$page" "$site/page"; done | median)
hold_lock
cones without warm >/dev/null
without_warm=$(cones without warm)
without_churned=$(cones without churned)
kill $holder; wait $holder 2>/dev/null || true; holder=
start=$(date +%s.%N)
env $build_env "$bench/cgi-bin/tarnvel" --index
made_s=$(awk -v s="$start" -v e="$(date +%s.%N)" 'BEGIN { printf "%.3f", e - s }')
with_warm=$(cones with warm)
with_churned=$(cones with churned)
for place in $places; do cmp -s "$site/without.$place" "$site/with.$place" || echo "DIFFERENT: cone at $place"; done
printf 'catalogue: %s entries; index %s bytes\n' "$entries" "$(wc -c <"$index")"
printf "tarnvel's 1%% page: %s s (median of 3, warm)\n" "$page_s"
printf 'cone 0.1 deg without index: %s s warm, %s s churned (median of 12)\n' "$without_warm" "$without_churned"
printf 'cone 0.1 deg with index:    %s s warm, %s s churned (median of 12)\n' "$with_warm" "$with_churned"
awk -v c="$with_warm" -v d="$with_churned" -v p="$page_s" 'BEGIN { printf "cone with index / page: %.3f warm, %.3f churned\n", c / p, d / p }'
printf 'making the index: %s s; one reading (a cone without it): %s s; ratio %s\n' "$made_s" "$without_warm" \
  "$(awk -v m="$made_s" -v r="$without_warm" 'BEGIN { printf "%.2f", m / r }')"

if [ "$sources" -gt 0 ] && command -v stilts >/dev/null; then
  # Half the sources a few seconds of arc from an entry, half anywhere.
  awk -F'$' -v n="$sources" -v entries="$entries" 'BEGIN { srand(7); print "ra,dec"; step = int(entries / (n / 2)) }
    NR % step == 1 && taken < n / 2 && NF > 17 {
      sign = $5 ~ /^ *-/ ? -1 : 1; d = $5 < 0 ? -$5 : $5
      printf "%.6f,%.6f\n", ($2 * 3600 + $3 * 60 + $4) / 240 + 0.0005, sign * (d * 3600 + $6 * 60 + $7) / 3600; taken++ }
    END { for (i = taken; i < n; i++) printf "%.5f,%.5f\n", rand() * 360, atan2(u = 2 * rand() - 1, sqrt(1 - u * u)) * 57.29577951308232 }' \
    "$catalogue" >"$site/sources.csv"
  match() {
    start=$(date +%s.%N)
    stilts coneskymatch in="$site/sources.csv" ifmt=csv ra=ra dec=dec sr=0.0028 usefoot=false \
      serviceurl="$url/scs?" out="$site/$1.matches.csv" ofmt=csv >/dev/null 2>"$site/$1.stilts.log"
    awk -v s="$start" -v e="$(date +%s.%N)" 'BEGIN { printf "%.1f", e - s }'
  }
  with_match=$(match with)
  hold_lock
  without_match=$(match without)
  cmp -s "$site/with.matches.csv" "$site/without.matches.csv" || echo "DIFFERENT: coneskymatch"
  printf 'stilts coneskymatch of %s sources: %s s without index, %s s with (%s rows)\n' "$sources" \
    "$without_match" "$with_match" "$(($(wc -l <"$site/with.matches.csv") - 1))"
fi
