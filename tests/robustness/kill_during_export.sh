#!/bin/sh
# Kills quellmar-convert (kill -9) during an export of 1,000 dives over an
# earlier logbook, and checks what is left in Output: the earlier logbook
# whole or the new one whole, never a mix. The kills are aimed with strace's
# fault injection at the steps of the switch itself (the sync of the new
# folder, the exchange of the two folders, the removal of the old one; with
# the exchange made to fail as on a system without it, each rename and sync
# of the journal), and a few fall at fractions of the export's time. After a
# kill, the next start of the program finishes a journaled switch, and the
# next export finishes and leaves nothing of the killed one behind.
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
  "$make_export" --dives 1000 --seed $seed "$work/export$seed/logbook.csv" >/dev/null
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

# "old" or "new" when Output is that logbook whole, else "mixed".
state() {
  sums "$1" >"$work/out.sums" 2>/dev/null || true
  if cmp -s "$work/out.sums" "$work/old.sums"; then echo old
  elif cmp -s "$work/out.sums" "$work/new.sums"; then echo new
  else echo mixed; fi
}

olds=0 news=0 mixed=0
# Runs the export over the old logbook, killed as $1 says ("after SECONDS",
# or strace options that kill it), then starts the program once without
# exporting, and counts what Output holds; then exports again.
run() {
  kill=$1 clear=$2
  rm -rf "$work/program"
  program "$work/program"
  cp -r "$old" "$work/program/Output"
  set -- "$convert" --quiet $clear --base "$work/program" "$work/export2/logbook.csv"
  case $kill in
    after*)
      "$@" >/dev/null 2>&1 &
      pid=$!
      sleep "${kill#after }"
      kill -9 $pid 2>/dev/null || true
      wait $pid 2>/dev/null || true ;;
    *)
      # shellcheck disable=SC2086
      strace -f --seccomp-bpf -o /dev/null $kill "$@" >/dev/null 2>&1 || true ;;
  esac
  "$convert" --quiet --import-only --base "$work/program" "$work/export2/logbook.csv" \
    >/dev/null 2>&1 || fail "the start after the kill failed ($kill)"
  case $(state "$work/program/Output") in
    old) olds=$((olds + 1)) ;;
    new) news=$((news + 1)) ;;
    *) mixed=$((mixed + 1)); echo "kill_during_export: a mixed Output ($kill $clear)" >&2 ;;
  esac
  "$convert" --quiet --base "$work/program" "$work/export2/logbook.csv" >/dev/null 2>&1 ||
    fail "the export after the kill failed ($kill)"
  [ "$(state "$work/program/Output")" = new ] || fail "no new logbook after the next export ($kill)"
  if ls -A "$work/program" "$work/program/Output" | grep -q 'quellmar-.*\.\(tmp\|new\|old\)$'; then
    fail "left behind after the next export ($kill)"
  fi
}

# The renames of an export: one per file written, in the new folder.
strace -f --seccomp-bpf -e trace=rename -o "$work/renames" \
  "$convert" --quiet --base "$work/ref2" "$work/export2/logbook.csv" >/dev/null 2>&1
files=$(grep -c 'rename(' "$work/renames")

kill_at() { echo "-e inject=$1:signal=SIGKILL:when=$2"; }
no_exchange="-e inject=renameat2:error=EINVAL"
# The exchange: the files' sync, halfway through the renames in the new
# folder, the sync of the parent before the exchange, the exchange, the
# sync after it, the removal of the old folder.
for how in "$(kill_at syncfs 1)" "$(kill_at rename $((files / 2)))" "$(kill_at fsync 3)" \
  "$(kill_at renameat2 1)" "$(kill_at fsync 4)" "$(kill_at unlinkat 100)"; do
  run "$how" --clear
done
# The journal: its rename into place, the old folder aside, the new one in,
# each sync between them, the journal's removal, the old folder's removal.
for how in "$(kill_at rename $((files + 1)))" "$(kill_at rename $((files + 2)))" \
  "$(kill_at rename $((files + 3)))" "$(kill_at fsync 6)" "$(kill_at fsync 7)" \
  "$(kill_at unlink 1)" "$(kill_at unlinkat 100)"; do
  run "$no_exchange $how" --clear
done
# Without clearing: the user's other files carried over, at the exchange
# and with the old folder aside.
run "$(kill_at renameat2 1)" ""
run "$no_exchange $(kill_at rename $((files + 3)))" ""
# A few kills at fractions of the time an export takes here.
for percent in 20 60 95; do
  run "after $(awk -v ms="$took" -v p="$percent" 'BEGIN { printf "%.3f", ms * p / 100000 }')" --clear
done
total=$((olds + news + mixed))
echo "kill_during_export: $total kills: $olds old, $news new, $mixed mixed"
[ "$mixed" -eq 0 ] || fail "$mixed kills left a mixed Output"
