#!/bin/sh
# The Windows installer's round trip under wine, in a fresh wine prefix, as a
# user without administrator rights whose name is beyond the ANSI code page
# (Dvořák): a silent install, which adds Quellmar to the Start menu, to
# Add/Remove Programs and to Explorer's "Open with" for .csv files without
# becoming their default program; the installed converter on the sample
# under Documents\Łódź\Καταδύσεις.csv, which writes the logbook into the
# user's own folder and prints its path as it is; a silent uninstall, which
# removes the program, its Start-menu entry, its Add/Remove Programs entry and
# its "Open with" entries, leaves another program's entry beside them, and
# keeps the user's folder with its edited template and its Output.
#
#   tests/app/win32/installer_round_trip.sh build/windows
set -eu
source_dir=$(cd "$(dirname "$0")/../../.." && pwd)
build=$(cd "$1" && pwd)
installer=$(ls "$build"/quellmar-*-setup.exe)
wine_dir="$build/wine/round-trip"
rm -rf "$wine_dir"
mkdir -p "$wine_dir"
# Names beyond ASCII pass between this script and wine as UTF-8.
export WINEPREFIX="$wine_dir/prefix" QUELLMAR_WINDOWS_USER='Dvořák' LC_ALL=C.UTF-8
run() { "$source_dir/cmake/wine-run.sh" "$@"; }
reg() { run "$WINEPREFIX/drive_c/windows/system32/reg.exe" "$@"; }
registered() { reg query "$1" ${2:+/v "$2"} >/dev/null 2>&1; }
fail() {
  echo "installer round trip: $*" >&2
  exit 1
}
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quellmar'
open_with='HKCU\Software\Classes\.csv\OpenWithProgids'
prog_id='HKCU\Software\Classes\Quellmar.csv'

run "$installer" /S
user_home="$WINEPREFIX/drive_c/users/Dvořák"
[ -d "$user_home" ] || fail "no user Dvořák: $(ls "$WINEPREFIX/drive_c/users")"
local_dir="$user_home/AppData/Local"
programs="$local_dir/Programs/Quellmar"
start_menu="$user_home/AppData/Roaming/Microsoft/Windows/Start Menu/Programs"
for file in bin/quellmar.exe bin/quellmar-convert.exe share/quellmar/html/head.html \
  share/quellmar/pict/note.gif share/quellmar/examples/logbook.csv uninstall.exe; do
  [ -f "$programs/$file" ] || fail "not installed: $file"
done
[ -f "$start_menu/Quellmar.lnk" ] || fail "no Start-menu entry"
registered "$uninstall_key" || fail "not in Add/Remove Programs"
registered "$open_with" Quellmar.csv || fail "not in Open with for .csv files"
reg query "$prog_id\shell\open\command" /ve | grep -q 'quellmar.exe" "%1"' ||
  fail "Open with does not start the window with the file"
! reg query 'HKCU\Software\Classes\.csv' /ve 2>/dev/null | grep -q Quellmar ||
  fail "made itself the default program for .csv files"
reg add "$open_with" /v Other.csv /d "" /f >/dev/null

# The sample under names of Polish and Greek letters.
export_dir="$user_home/Documents/Łódź"
mkdir -p "$export_dir"
for suffix in .csv '$DGE.CSV' '$NOT.CSV' '$PRO.CSV'; do
  cp "$programs/share/quellmar/examples/logbook$suffix" "$export_dir/Καταδύσεις$suffix"
done
[ "$(id -u)" -ne 0 ] || chown -R nobody: "$export_dir"
windows_home='C:\users\Dvořák'
run "$programs/bin/quellmar-convert.exe" "$windows_home\\Documents\\Łódź\\Καταδύσεις.csv" \
  >"$wine_dir/out.txt" 2>"$wine_dir/err.txt" || fail "the installed converter failed: $(cat "$wine_dir/err.txt")"
tr -d '\r' <"$wine_dir/out.txt" >"$wine_dir/out"
grep -qxF "$windows_home\\Documents\\Łódź\\Καταδύσεις.csv" "$wine_dir/out" ||
  fail "the export's path is not shown as it is: $(head -n 2 "$wine_dir/out")"
grep -qxF "$windows_home\\AppData\\Local\\Quellmar\\Output\\logbook.html" "$wine_dir/out" ||
  fail "the logbook's path is not shown as it is: $(tail -n 1 "$wine_dir/out")"
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
! registered "$uninstall_key" || fail "still in Add/Remove Programs"
! registered "$open_with" Quellmar.csv || fail "still in Open with for .csv files"
! registered "$prog_id" || fail "its program identifier left behind"
registered "$open_with" Other.csv || fail "another program's Open with entry was removed"
[ -f "$user_dir/Output/logbook.html" ] || fail "the user's Output was removed"
grep -q edited "$user_dir/html/foot.html" || fail "the user's edited template was removed"
# The prefix stays until the next run: its wine server may still be saving it.
echo "installer round trip: installed, converted, uninstalled"
