#!/bin/sh
# Unpacks the portable Windows zip (build/windows) and converts the bundled
# sample with it under wine, in its own folder as a user would; its Output
# must equal byte for byte what the Linux build (build/release) writes.
set -eu
cd "$(dirname "$0")/.."
root=$(pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"

mkdir "$work/linux"
cp -r build/release/bin/html build/release/bin/pict build/release/bin/examples "$work/linux"
build/release/bin/quellmar-convert --quiet --clear --base "$work/linux" \
  "$work/linux/examples/logbook.csv" >/dev/null

mkdir "$work/windows"
(cd "$work/windows" && cmake -E tar xf "$root"/build/windows/quellmar-*-windows-x64.zip)
portable=$(echo "$work"/windows/quellmar-*-windows-x64)
# wine-run.sh runs wine as nobody when started by root: the folder is theirs.
[ "$(id -u)" -ne 0 ] || chown -R nobody:nogroup "$work/windows"
WINEPREFIX="$root/build/windows/wine/prefix" cmake/wine-run.sh "$portable/quellmar-convert.exe" \
  --quiet --clear "Z:$portable/examples/logbook.csv" >/dev/null

diff -r "$work/linux/Output" "$portable/Output"
echo "Windows and Linux wrote the same $(ls "$portable/Output" | wc -l) files"
