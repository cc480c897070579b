#!/bin/sh
# Takes the screenshots of the Windows window in docs/: quellmar.exe of
# build/windows under wine, in a wine desktop of its own on Xvfb scaled to
# the DPI given (default 144, that is 150 %; another DPI names its files
# "-NNNdpi"), with the sample opened: the about dialog, the main window, the
# export's last message. Needs ImageMagick's import and xdotool.
# Usage: windows-screenshots.sh [DPI]
set -eu
if [ -z "${QUELLMAR_SHOT_DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-ac -screen 0 1100x800x24" env QUELLMAR_SHOT_DISPLAY=1 "$0" "$@"
fi
cd "$(dirname "$0")/.."
dpi=${1:-144}
suffix=""
[ "$dpi" = 144 ] || suffix="-${dpi}dpi"
docs=$PWD/docs
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine wineboot --init >/dev/null 2>&1
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
wineserver -w
program="$WINEPREFIX/drive_c/Quellmar"  # C:\Quellmar
cp -r build/windows/bin "$program"
rm -rf "$program/Output"
shot() {
  sleep 2
  import -window root -crop 840x660+130+70 "$docs/$1$suffix.png"
}
wait_window() {
  for _ in $(seq 150); do
    xdotool search --name "^$1\$" >/dev/null 2>&1 && return 0
    sleep 0.2
  done
  echo "no window \"$1\"" >&2
  exit 1
}
(cd "$program" && wine explorer /desktop=Quellmar,1100x800 quellmar.exe 'examples\logbook.csv') \
  >/dev/null 2>&1 &
wait_window About
shot windows-about
xdotool key Return
wait_window Information
xdotool key Return
sleep 1
shot windows-main-window
xdotool key ctrl+e
wait_window Confirm
xdotool key Return
wait_window Information
shot windows-export-finished
xdotool key Escape
sleep 1
xdotool key ctrl+q
wineserver -w
