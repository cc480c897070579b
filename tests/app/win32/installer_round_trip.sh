#!/bin/sh
# The Windows installer's round trip under wine, in a fresh wine prefix, as a
# user without administrator rights: a silent install; the installed
# converter on the installed sample, which writes the logbook into the user's
# own folder; a silent uninstall, which removes the program, its Start-menu
# entry and its Add/Remove Programs entry, and keeps the user's folder with
# its edited template and its Output.
#
#   tests/app/win32/installer_round_trip.sh build/windows
set -eu
source_dir=$(cd "$(dirname "$0")/../../.." && pwd)
build=$(cd "$1" && pwd)
installer=$(ls "$build"/quellmar-*-setup.exe)
wine_dir="$build/wine/round-trip"
rm -rf "$wine_dir"
mkdir -p "$wine_dir"
export WINEPREFIX="$wine_dir/prefix"
run() { "$source_dir/cmake/wine-run.sh" "$@"; }
registered() {
  run "$WINEPREFIX/drive_c/windows/system32/reg.exe" query \
    'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quellmar' >/dev/null 2>&1
}
fail() {
  echo "installer round trip: $*" >&2
  exit 1
}

run "$installer" /S
user=$(ls "$WINEPREFIX/drive_c/users" | grep -v '^Public$' | head -n 1)
local_dir="$WINEPREFIX/drive_c/users/$user/AppData/Local"
programs="$local_dir/Programs/Quellmar"
start_menu="$WINEPREFIX/drive_c/users/$user/AppData/Roaming/Microsoft/Windows/Start Menu/Programs"
for file in bin/quellmar.exe bin/quellmar-convert.exe share/quellmar/html/head.html \
  share/quellmar/pict/note.gif share/quellmar/examples/logbook.csv uninstall.exe; do
  [ -f "$programs/$file" ] || fail "not installed: $file"
done
[ -f "$start_menu/Quellmar.lnk" ] || fail "no Start-menu entry"
registered || fail "not in Add/Remove Programs"

windows_programs="C:\\users\\$user\\AppData\\Local\\Programs\\Quellmar"
run "$programs/bin/quellmar-convert.exe" --quiet \
  "$windows_programs\\share\\quellmar\\examples\\logbook.csv" >/dev/null 2>&1 ||
  fail "the installed converter failed"
user_dir="$local_dir/Quellmar"
[ -f "$user_dir/Output/logbook.html" ] || fail "no logbook in the user's folder"
echo "<!-- edited -->" >>"$user_dir/html/foot.html"

run "$programs/uninstall.exe" /S
# The uninstaller runs on from a copy of itself: wait for it to end.
for _ in $(seq 60); do
  [ -e "$programs" ] || break
  sleep 1
done
[ ! -e "$programs" ] || fail "left behind: $(cd "$programs" && find . -type f | head -n 5)"
[ ! -e "$start_menu/Quellmar.lnk" ] || fail "Start-menu entry left behind"
! registered || fail "still in Add/Remove Programs"
[ -f "$user_dir/Output/logbook.html" ] || fail "the user's Output was removed"
grep -q edited "$user_dir/html/foot.html" || fail "the user's edited template was removed"
# The prefix stays until the next run: its wine server may still be saving it.
echo "installer round trip: installed, converted, uninstalled"
