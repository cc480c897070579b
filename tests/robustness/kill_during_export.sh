#!/bin/sh
# Kills quellmar-convert (kill -9) at a few moments of an export of 3,000
# dives over an earlier logbook, and checks what is left in Output: each file
# whole, the earlier one or the new one; the earlier index page with all of
# its files; the new index page only with all of the new logbook's. The next
# export then finishes and leaves none of the killed one's temporaries.
# Usage: kill_during_export.sh RELEASE_BUILD BENCH_BUILD (make-export is a
# benchmark tool).
set -eu
convert=$1/bin/quellmar-convert
make_export=$2/bench-bin/make-export
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

program() {  # a program directory of the bundled templates
  mkdir -p "$1" && cp -r "$(dirname "$convert")/html" "$(dirname "$convert")/pict" "$1/"
}
for seed in 1 2; do
  "$make_export" --dives 3000 --seed $seed "$work/export$seed/logbook.csv" >/dev/null
  program "$work/ref$seed"
  "$convert" --quiet --base "$work/ref$seed" "$work/export$seed/logbook.csv" >/dev/null 2>&1
done
old=$work/ref1/Output
new=$work/ref2/Output

fail() { echo "kill_during_export: $*" >&2; exit 1; }

# Every file of Output as the old or the new logbook has it.
check() {
  out=$1
  index=old
  cmp -s "$out/logbook.html" "$new/logbook.html" && index=new
  for file in "$out"/* ; do
    name=$(basename "$file")
    cmp -s "$file" "$old/$name" || cmp -s "$file" "$new/$name" || fail "$name is not whole ($2)"
  done
  for file in "$(eval echo \$$index)"/* ; do
    name=$(basename "$file")
    [ -f "$out/$name" ] || fail "$name is missing under the $index index ($2)"
    [ $index = old ] || cmp -s "$file" "$out/$name" || fail "$name is old under the new index ($2)"
  done
}

for delay in 0.05 0.2 0.4 0.7 1.0 1.5; do
  for clear in "" --clear; do
    run="delay $delay $clear"
    rm -rf "$work/program"
    program "$work/program"
    cp -r "$old" "$work/program/Output"
    "$convert" --quiet $clear --base "$work/program" "$work/export2/logbook.csv" >/dev/null 2>&1 &
    pid=$!
    sleep "$delay"
    kill -9 $pid 2>/dev/null || true
    wait $pid 2>/dev/null || true
    check "$work/program/Output" "$run"
    "$convert" --quiet --base "$work/program" "$work/export2/logbook.csv" >/dev/null 2>&1 ||
      fail "the export after the kill failed ($run)"
    check "$work/program/Output" "$run, then exported again"
    cmp -s "$work/program/Output/logbook.html" "$new/logbook.html" || fail "no new index ($run)"
    if ls -A "$work/program/Output" | grep -q '^\..*\.quellmar-.*\.tmp$'; then
      fail "temporaries left after the next export ($run)"
    fi
  done
done
echo "kill_during_export: 12 kills, every Output whole"
