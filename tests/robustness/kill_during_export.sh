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
  mkdir -p "$work/export$seed"
  "$make_export" --dives 3000 --seed $seed "$work/export$seed/logbook.csv" >/dev/null
  program "$work/ref$seed"
  start=$(date +%s%N)
  "$convert" --quiet --base "$work/ref$seed" "$work/export$seed/logbook.csv" >/dev/null 2>&1
  took=$(( ($(date +%s%N) - start) / 1000000 ))  # milliseconds, of the second export
done
old=$work/ref1/Output
new=$work/ref2/Output

fail() { echo "kill_during_export: $*" >&2; exit 1; }

# "SUM NAME" for every file of a folder but the hidden ones (temporaries).
sums() { (cd "$1" && md5sum -- *) | sort -k 2; }
sums "$old" >"$work/old.sums"
sums "$new" >"$work/new.sums"

# Every file of Output as the old or the new logbook has it; under the old
# index every old file there, under the new one every new file.
check() {
  sums "$1" >"$work/out.sums"
  problem=$(awk -v index_sum="$(grep ' logbook.html$' "$work/new.sums" | cut -d' ' -f1)" '
    FILENAME == ARGV[1] { old[$2] = $1; next }
    FILENAME == ARGV[2] { new[$2] = $1; next }
    { out[$2] = $1; if ($1 != old[$2] && $1 != new[$2]) print $2 " is not whole" }
    END {
      newIndex = out["logbook.html"] == index_sum
      if (newIndex) { for (n in new) if (out[n] != new[n]) print n " is missing or old under the new index" }
      else { for (n in old) if (!(n in out)) print n " is missing under the old index" }
    }' "$work/old.sums" "$work/new.sums" "$work/out.sums" | head -n 3)
  [ -z "$problem" ] || fail "$problem ($2)"
}

# The kills fall at fractions of the time an export takes here.
for percent in 5 20 40 60 80 95; do
  delay=$(awk -v ms="$took" -v p="$percent" 'BEGIN { printf "%.3f", ms * p / 100000 }')
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
