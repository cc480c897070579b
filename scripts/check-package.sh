#!/bin/sh
# Checks the Debian package in build/deb/ as a user meets it: lintian, the
# desktop entry and the AppStream file; then installs it, converts the
# installed sample as an ordinary user (nobody, with a fresh home), starts the
# window under Xvfb as that user, and purges the package again, removing any
# package that the installation pulled in. Run as root after
# `cmake --workflow --preset deb`; the machine ends as it was.
set -eu
cd "$(dirname "$0")/.."

fail() {
  echo "check-package: $*" >&2
  exit 1
}

set -- build/deb/quellmar_*.deb
[ $# -eq 1 ] && [ -f "$1" ] || fail "want one build/deb/quellmar_*.deb, found: $*"
deb=$1
[ "$(id -u)" -eq 0 ] || fail "run as root: the check installs and purges the package"
if dpkg-query -W -f='${Status}' quellmar 2>/dev/null | grep -q "ok installed"; then
  fail "quellmar is installed already; the check would purge it"
fi

echo "== lintian $deb"
lintian --fail-on error --display-info "$deb"

echo "== desktop entry and AppStream file"
# Both validators are clean when they print nothing at all (hints included).
out=$(desktop-file-validate resources/desktop/quellmar.desktop 2>&1) || fail "desktop-file-validate: $out"
[ -z "$out" ] || fail "desktop-file-validate: $out"
appstreamcli validate --no-net --pedantic build/deb/packaging/quellmar.metainfo.xml

user_home=""
window_home=""
before=$(mktemp)
after=$(mktemp)
dpkg-query -W -f='${Package}\n' | sort >"$before"
cleanup() {
  status=$?
  if dpkg-query -W -f='${Status}' quellmar 2>/dev/null | grep -q "ok installed"; then
    apt-get purge -y -q quellmar >/dev/null
  fi
  # Whatever the installation pulled in goes again.
  dpkg-query -W -f='${Package}\n' | sort >"$after"
  added=$(comm -13 "$before" "$after")
  [ -z "$added" ] || apt-get purge -y -q $added >/dev/null
  rm -rf "$before" "$after" "$user_home" "$window_home"
  exit $status
}
trap cleanup EXIT INT TERM

echo "== install"
DEBIAN_FRONTEND=noninteractive apt-get install -y -q "./$deb" >/dev/null
for file in /usr/bin/quellmar /usr/bin/quellmar-convert /usr/share/quellmar/html/head.html \
  /usr/share/quellmar/examples/logbook.csv /usr/share/man/man1/quellmar.1.gz; do
  [ -f "$file" ] || fail "not installed: $file"
done

# A fresh home for nobody, who runs the installed programs from it.
as_nobody() {
  home=$1
  shift
  (cd "$home" && setpriv --reuid=nobody --regid=nogroup --clear-groups \
    env -u XDG_DATA_HOME HOME="$home" XDG_RUNTIME_DIR="$home/.runtime" "$@")
}
fresh_home() {
  home=$(mktemp -d)
  chown nobody:nogroup "$home"
  echo "$home"
}

echo "== quellmar-convert as nobody"
user_home=$(fresh_home)
folder=$user_home/.local/share/quellmar
as_nobody "$user_home" quellmar-convert --help | grep -qF "Program directory: $folder (per-user folder" ||
  fail "--help does not name the per-user folder $folder"
as_nobody "$user_home" quellmar-convert --quiet /usr/share/quellmar/examples/logbook.csv >/dev/null
for file in html/head.html pict/nog.gif examples/logbook.csv Output/logbook.html; do
  [ -f "$folder/$file" ] || fail "missing in the per-user folder: $folder/$file"
done
[ "$(stat -c %U "$folder/Output/logbook.html")" = nobody ] || fail "the logbook is not nobody's"
echo "logbook written: $folder/Output/logbook.html ($(ls "$folder/Output" | wc -l) files)"

echo "== quellmar under Xvfb as nobody"
window_home=$(fresh_home)
# The window waits in its about dialog; alive after a few seconds, it started.
as_nobody "$window_home" xvfb-run -a sh -c '
  quellmar & pid=$!
  sleep 4
  kill -0 $pid || exit 1
  kill $pid
  wait $pid 2>/dev/null || true' || fail "quellmar did not keep running under Xvfb"
[ -f "$window_home/.local/share/quellmar/html/head.html" ] ||
  fail "the window did not fill its per-user folder"
echo "quellmar started"

echo "== purge"
apt-get purge -y -q quellmar >/dev/null
[ ! -e /usr/share/quellmar ] && [ ! -e /usr/bin/quellmar ] || fail "files left after the purge"
echo "check-package: all good"
