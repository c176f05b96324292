#!/usr/bin/env bash
# Serves the demo's catalogue with tarnvel-cgi behind lighttpd, set up as
# the guide says (tests/web/serve-site), and takes screenshots of the query
# form and of the answer to the demo's query with headless Chromium:
# docs/query-form.png and docs/query-answer.png, shown in the guide.
# Needs Debian's lighttpd and chromium.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset release >/dev/null && cmake --build --preset release >/dev/null
chromium=${TARNVEL_CHROMIUM:-$(command -v chromium || command -v chromium-browser)}
work=$(mktemp -d)
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
tests/web/serve-site "$work/site" "$port" "$PWD/build/release/cgi-bin/tarnvel" >"$work/lighttpd.log" 2>&1 &
server=$!
trap 'kill $server 2>/dev/null; wait $server 2>/dev/null; rm -rf "$work"' EXIT
for attempt in $(seq 50); do
  python3 -c "import socket; socket.create_connection(('127.0.0.1', $port))" 2>/dev/null && break
  sleep 0.1
done
shoot() { # URL FILE
  "$chromium" --headless --no-sandbox --disable-gpu --no-first-run --disable-background-networking \
    --disable-component-update --disable-sync --disable-quic --user-data-dir="$work/profile" \
    --hide-scrollbars --window-size=1100,1000 --screenshot="$PWD/$2" "$1" 2>/dev/null
  echo "$2"
}
base="http://127.0.0.1:$port/query.cgi"
shoot "$base" docs/query-form.png
shoot "$base?epoch=2000&ra_min=02%3A30%3A00&ra_max=14%3A00%3A30.5&dec_min=-30%3A00%3A00&dec_max=%2B45%3A15%3A00&z_min=1.5&z_max=4&v_min=10&v_max=20&m_min=-30&m_max=-20" docs/query-answer.png
