#!/bin/sh
# Builds every artifact of a release into OUT: the Debian package, the
# Windows portable zip and installer, the web page, the source tarball and
# SHA256SUMS, the builds themselves in WORK. Run through `cmake --workflow --preset artifacts`,
# which passes the project's VERSION.
#
# The same commit gives the same bytes wherever and whenever it is built:
# every date is SOURCE_DATE_EPOCH, the last commit's time (unless set), and
# the programs carry no build path nor link time (CMakeLists.txt,
# cmake/mingw-w64.cmake); scripts/check-reproducible.sh proves it.
set -eu
[ $# -eq 3 ] || { echo "usage: $0 VERSION WORK OUT" >&2; exit 2; }
version=$1 work=$2 out=$3
cd "$(dirname "$0")/.."
SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}
export SOURCE_DATE_EPOCH
# The packagers take file and folder modes from the disk: made under one umask,
# they are the same for every builder.
umask 022
[ -z "$(git status --porcelain)" ] ||
  echo "release-artifacts: uncommitted changes are built, but not in the source tarball" >&2

# Each build starts empty: nothing of an earlier one (a cache, a stale file in
# the program folder) can go into a package.
for preset in deb windows; do
  rm -rf "${work:?}/$preset"
  cmake --preset "$preset" -B "$work/$preset" -DQUELLMAR_TESTS=OFF
  cmake --build "$work/$preset"
  (cd "$work/$preset" && cpack)
done

# The web page: one file, the module and the templates inside it.
rm -rf "${work:?}/web"
cmake --preset web -B "$work/web"
cmake --build "$work/web"

rm -rf "$out"
mkdir -p "$out"
deb=quellmar_${version}_$(dpkg --print-architecture).deb
zip=quellmar-$version-windows-x64.zip
installer=quellmar-$version-setup.exe
tarball=quellmar-$version.tar.gz
page=quellmar-$version.html
cp "$work/deb/$deb" "$work/windows/$zip" "$work/windows/$installer" "$out"
cp "$work/web/quellmar.html" "$out/$page"
# CPack's zip takes each file's time and mode from the disk, and its own order.
strip-nondeterminism --type zip --timestamp "$SOURCE_DATE_EPOCH" "$out/$zip"
# The commit's files with the commit's time; modes not from the user's git setup.
git -c tar.umask=022 archive --format=tar --prefix="quellmar-$version/" HEAD | gzip -9n >"$out/$tarball"
# Named one by one: a glob's order follows the locale.
(cd "$out" && sha256sum "$deb" "$zip" "$installer" "$page" "$tarball" >SHA256SUMS)
cat "$out/SHA256SUMS"
