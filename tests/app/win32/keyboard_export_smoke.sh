#!/bin/sh
# End to end: quellmar.exe started with the sample on its command line, under
# wine on an X server of its own, driven by the keyboard as a user would:
# Enter closes the about dialog and the import's message, Alt+H then A shows
# the about dialog again through the menu's mnemonics, Ctrl+E exports
# (Enter keeps the default No to emptying Output, Escape declines the
# browser), Ctrl+Q quits. The Output it wrote must equal, byte for byte, the
# one the Linux converter writes from the same sample.
#
#   tests/app/win32/keyboard_export_smoke.sh build/windows build/release
set -eu
if [ -z "${QUELLMAR_SMOKE_DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-ac -screen 0 1024x768x24" env QUELLMAR_SMOKE_DISPLAY=1 "$0" "$@"
fi
source_dir=$(cd "$(dirname "$0")/../../.." && pwd)
windows=$(cd "$1" && pwd)
linux=$(cd "$2" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "keyboard export: $*" >&2
  exit 1
}
# Waits until a window of that title is there (or, with "gone", is not).
wait_window() {
  for _ in $(seq 300); do
    if xdotool search --name "^$1\$" >/dev/null 2>&1; then
      [ "${2:-}" = gone ] || return 0
    else
      [ "${2:-}" != gone ] || return 0
    fi
    sleep 0.2
  done
  fail "window \"$1\" ${2:-not shown}"
}

# The Linux converter's logbook of the sample, with the default options.
mkdir -p "$work/linux"
cp -r "$linux/bin/html" "$linux/bin/pict" "$work/linux/"
"$linux/bin/quellmar-convert" --quiet --base "$work/linux" "$source_dir/examples/logbook.csv" \
  >/dev/null 2>&1 || fail "the Linux converter failed"

# A portable copy of the Windows program folder, without an earlier Output.
cp -r "$windows/bin" "$work/windows"
rm -rf "$work/windows/Output"
chmod -R a+rwX "$work"
export WINEPREFIX="$windows/wine/window/prefix" QUELLMAR_WINE_DISPLAY=1
(cd "$work/windows" && exec "$source_dir/cmake/wine-run.sh" ./quellmar.exe 'examples\logbook.csv') &
program=$!

wait_window About
xdotool key Return
wait_window Information
xdotool key Return
wait_window Information gone
xdotool key alt+h
xdotool key a
wait_window About
xdotool key Return
wait_window About gone
xdotool key ctrl+e
wait_window Confirm
xdotool key Return
wait_window Information
xdotool key Escape
wait_window Information gone
xdotool key ctrl+q
wait "$program" || fail "quellmar.exe ended with status $?"

diff -r "$work/linux/Output" "$work/windows/Output" || fail "Output differs from the Linux one"
echo "keyboard export: $(ls "$work/windows/Output" | wc -l) files, the same as on Linux"
