#!/usr/bin/env bash
# Runs the demo query and takes a screenshot of its page with headless
# Chromium: docs/demo-page.png, shown in the README and the guide.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --workflow --preset demo >/dev/null
chromium=${TARNVEL_CHROMIUM:-$(command -v chromium || command -v chromium-browser)}
profile=$(mktemp -d)
trap 'rm -rf "$profile"' EXIT
"$chromium" --headless --no-sandbox --disable-gpu --no-first-run --disable-background-networking \
  --disable-component-update --disable-sync --user-data-dir="$profile" --hide-scrollbars \
  --window-size=1100,1250 --screenshot="$PWD/docs/demo-page.png" \
  "file://$PWD/examples/results.html" 2>/dev/null
echo "docs/demo-page.png"
