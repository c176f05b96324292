#!/usr/bin/env bash
# Builds the packages (the README's package command, and the Windows .zip),
# installs the Debian package, runs the installed program's --version and
# the demo query, removes the package and checks that nothing of it stays;
# unpacks the .tar.gz and runs the program in it; lists the .zip. As root
# the Debian package is installed on this machine (dpkg -i); otherwise it is
# unpacked into a scratch folder instead.
set -euo pipefail
cd "$(dirname "$0")/../.."
version=$(sed -n 's/^project(tarnvel VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
rm -rf build/release build/windows
cmake --workflow --preset package >/dev/null
cmake --workflow --preset package-windows >/dev/null
deb=build/release/tarnvel_${version}_amd64.deb
tgz=build/release/tarnvel-${version}-Linux.tar.gz
zip=build/windows/tarnvel-${version}-win64.zip
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# The demo query with the program at $1; its page must be the golden one.
run_demo() {
  local work="$scratch/demo"
  rm -rf "$work" && mkdir -p "$work"
  cp examples/style.var examples/query.frm examples/quasar_list.dat "$work"/
  (cd "$work" && "$1") | grep -q "File results.html has been created successfully"
  cmp "$work/results.html" tests/e2e/golden/demo.html
}

if [ "$(id -u)" = 0 ]; then
  dpkg -i "$deb" >/dev/null
  [ "$(tarnvel --version)" = "tarnvel $version" ]
  [ "$(command -v tarnvel)" = /usr/bin/tarnvel ]
  test -f /usr/share/man/man1/tarnvel.1.gz
  run_demo tarnvel
  dpkg -r tarnvel >/dev/null
  if dpkg -s tarnvel >/dev/null 2>&1 || [ -e /usr/bin/tarnvel ] || [ -e /usr/share/man/man1/tarnvel.1.gz ] ||
     [ -e /usr/share/doc/tarnvel ]; then
    echo "the package left files behind" >&2
    exit 1
  fi
  echo "installed $deb, ran tarnvel --version and the demo query, removed it cleanly"
else
  dpkg-deb -x "$deb" "$scratch/root"
  [ "$("$scratch/root/usr/bin/tarnvel" --version)" = "tarnvel $version" ]
  run_demo "$scratch/root/usr/bin/tarnvel"
  echo "not root: unpacked $deb instead of installing it, ran --version and the demo query"
fi

tar -xzf "$tgz" -C "$scratch"
[ "$("$scratch/tarnvel-${version}-Linux/bin/tarnvel" --version)" = "tarnvel $version" ]
test -f "$scratch/tarnvel-${version}-Linux/share/man/man1/tarnvel.1.gz"
echo "unpacked $tgz and ran its program"

listing=$(python3 -m zipfile -l "$zip")
for member in tarnvel.exe tarnvel.txt README.md; do
  grep -q "tarnvel-${version}-win64/$member" <<<"$listing" || { echo "$zip lacks $member" >&2; exit 1; }
done
echo "$zip holds tarnvel.exe, tarnvel.txt and README.md"
