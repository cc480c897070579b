#!/bin/sh
# Builds the release artifacts of the current commit twice, each in a fresh
# clone of its own, and compares them byte for byte. The two builds differ in
# what two rebuilders' machines differ in: the folder, the time, the umask,
# the locale and the time zone. On any difference diffoscope shows where,
# and the check fails.
set -eu
cd "$(dirname "$0")/.."
root=$(pwd)
commit=$(git rev-parse HEAD)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A locale that sorts and speaks otherwise than C; compiled here, since a
# build machine often has none but C.
mkdir "$work/locale"
localedef -i de_DE -f UTF-8 "$work/locale/de_DE.UTF-8"

# build DIR UMASK COMMAND...: the artifacts, built in a clone at DIR.
build() {
  dir=$1 mask=$2
  shift 2
  git clone -q --no-checkout "$root" "$dir"
  git -C "$dir" checkout -q --detach "$commit"
  (cd "$dir" && umask "$mask" && "$@" cmake --workflow --preset artifacts)
}
first=$work/a
second=$work/second-build/in/a/longer/folder
build "$first" 022 env LC_ALL=C TZ=UTC+12
# Three days later, as far as the second build's programs can tell.
build "$second" 077 env LOCPATH="$work/locale" LC_ALL=de_DE.UTF-8 TZ=UTC-14 faketime -f +3d

a=$first/build/release-artifacts
b=$second/build/release-artifacts
echo "== SHA256SUMS of the first build, $first"
cat "$a/SHA256SUMS"
echo "== SHA256SUMS of the second build, $second"
cat "$b/SHA256SUMS"
if cmp -s "$a/SHA256SUMS" "$b/SHA256SUMS"; then
  echo "check-reproducible: the two builds are identical"
  exit 0
fi
for file in $(cut -d' ' -f3 "$a/SHA256SUMS"); do
  cmp -s "$a/$file" "$b/$file" ||
    diffoscope --text - --max-text-report-size 200000 "$a/$file" "$b/$file" || true
done
echo "check-reproducible: the two builds differ" >&2
exit 1
