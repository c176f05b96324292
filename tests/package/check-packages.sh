#!/usr/bin/env bash
# Builds the packages in folders of its own under build/packages/ (a user's
# builds elsewhere in build/ stay as they are): the Debian package and the
# .tar.gz with the release preset, and the Windows .zip with the windows
# preset where MinGW-w64 is installed. Checks the Debian package with
# lintian --pedantic (any error or warning fails), installs it (as root;
# otherwise unpacks it), runs the three installed programs and the demo
# query, removes it and checks that nothing of it stays; unpacks the .tar.gz
# and runs its programs; lists the .zip.
# Needs Debian's dpkg-dev, file and lintian; MinGW-w64 (g++-mingw-w64-x86-64)
# for the .zip.
set -euo pipefail
cd "$(dirname "$0")/../.."
version=$(sed -n 's/^project(tarnvel VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
out=build/packages
rm -rf "$out"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# Runs a command quietly; shows what it said when it fails.
quietly() {
  "$@" >"$scratch/log" 2>&1 || { cat "$scratch/log" >&2; echo "failed: $*" >&2; exit 1; }
}

quietly cmake --preset release -B "$out/release"
quietly cmake --build "$out/release"
(cd "$out/release" && quietly cpack -G "DEB;TGZ")
deb=$out/release/tarnvel_${version}_amd64.deb
tgz=$out/release/tarnvel-${version}-Linux.tar.gz

# lintian as a distribution would run it: no error and no warning.
if command -v lintian >/dev/null 2>&1; then
  report=$(lintian --pedantic "$deb" 2>/dev/null || true)
  if grep -E '^(E|W): ' <<<"$report"; then
    echo "lintian finds errors or warnings in $deb" >&2
    exit 1
  fi
  echo "lintian --pedantic: no error and no warning in $deb"
else
  echo "skipped: lintian is not installed, $deb was not checked (Debian: lintian)"
fi
dpkg-deb -f "$deb" Depends | grep -q libstdc++ || { echo "$deb depends on nothing" >&2; exit 1; }

# The demo query with the program at $1; its page must be the golden one.
run_demo() {
  local work="$scratch/demo"
  rm -rf "$work" && mkdir -p "$work"
  cp examples/style.var examples/query.frm examples/quasar_list.dat "$work"/
  (cd "$work" && "$1") | grep -q "File results.html has been created successfully"
  cmp "$work/results.html" tests/e2e/golden/demo.html
}

# The programs under the prefix $1: versions, the demo, the checker on the
# demo, the CGI program's form.
check_programs() {
  [ "$("$1/bin/tarnvel" --version)" = "tarnvel $version" ]
  [ "$("$1/bin/tarnvel-check" --version)" = "tarnvel-check $version" ]
  run_demo "$1/bin/tarnvel"
  "$1/bin/tarnvel-check" examples >/dev/null
  REQUEST_METHOD=GET TARNVEL_CATALOGUE="$PWD/examples/quasar_list.dat" TARNVEL_SPOOL="$scratch" \
    "$1/lib/cgi-bin/tarnvel" | grep -q '^Status: 200 OK'
}

if [ "$(id -u)" = 0 ]; then
  dpkg -i "$deb" >/dev/null
  [ "$(command -v tarnvel)" = /usr/bin/tarnvel ]
  check_programs /usr
  for page in man1/tarnvel.1.gz man1/tarnvel-check.1.gz man8/tarnvel-cgi.8.gz; do
    test -f "/usr/share/man/$page"
  done
  test -f /usr/share/doc/tarnvel/copyright && test -f /usr/share/doc/tarnvel/guide.md && test -f /usr/share/doc/tarnvel/changelog.gz
  dpkg -r tarnvel >/dev/null
  if dpkg -s tarnvel >/dev/null 2>&1 || [ -e /usr/bin/tarnvel ] || [ -e /usr/bin/tarnvel-check ] ||
     [ -e /usr/lib/cgi-bin/tarnvel ] || [ -e /usr/share/doc/tarnvel ]; then
    echo "the package left files behind" >&2
    exit 1
  fi
  echo "installed $deb, ran its three programs and the demo query, removed it cleanly"
else
  dpkg-deb -x "$deb" "$scratch/root"
  check_programs "$scratch/root/usr"
  echo "not root: unpacked $deb instead of installing it, ran its three programs and the demo query"
fi

tar -xzf "$tgz" -C "$scratch"
check_programs "$scratch/tarnvel-${version}-Linux"
test -f "$scratch/tarnvel-${version}-Linux/share/doc/tarnvel/copyright"
echo "unpacked $tgz and ran its programs"

if ! command -v x86_64-w64-mingw32-g++-posix >/dev/null 2>&1 &&
   ! command -v x86_64-w64-mingw32-g++ >/dev/null 2>&1; then
  echo "skipped: the Windows .zip: MinGW-w64 is not installed (Debian: g++-mingw-w64-x86-64)"
  exit 0
fi
quietly cmake --preset windows -B "$out/windows"
quietly cmake --build "$out/windows"
(cd "$out/windows" && quietly cpack -G ZIP)
zip=$out/windows/tarnvel-${version}-win64.zip
listing=$(python3 -m zipfile -l "$zip")
for member in tarnvel.exe tarnvel-check.exe tarnvel.txt tarnvel-check.txt README.md guide.md LICENSE CHANGELOG.md; do
  grep -q "tarnvel-${version}-win64/$member" <<<"$listing" || { echo "$zip lacks $member" >&2; exit 1; }
done
echo "$zip holds the two programs, their manuals as text, the README and the guide, the licence and the changelog"
