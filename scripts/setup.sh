#!/bin/sh
# Installs every Debian package that the build, the release artifacts, the
# tests, the benchmarks and the fuzz targets need, and the npm packages of the
# browser test (axe-core, pinned by tests/browser/package-lock.json, into
# tests/browser/node_modules).
# Safe to run again; run as root (or through sudo). Packages are installed
# without their recommendations, so the X libraries and fonts that wine's
# window driver loads at run time are named here too.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
packages="
  build-essential cmake ninja-build pkg-config git
  clang clang-format libclang-rt-14-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev libgl-dev libjpeg-dev libgif-dev
  xvfb xauth fonts-dejavu-core fonts-dejavu-extra fonts-liberation2
  chromium chromium-driver python3 python3-selenium libxml2-utils
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 googletest wine wine64 nsis xdotool
  fonts-wine libxrender1 libxrandr2 libxinerama1 libxcursor1 libxi6 libxcomposite1 libxfixes3
  lintian desktop-file-utils appstream imagemagick poppler-utils
  strip-nondeterminism diffoscope-minimal faketime locales strace
  emscripten
"
missing=""
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
# npm may come with a nodejs from elsewhere; Debian's own otherwise.
command -v npm >/dev/null 2>&1 || missing="$missing nodejs npm"
if [ -n "$missing" ]; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO=sudo
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends $missing
fi
browser="$root/tests/browser"
if [ ! -f "$browser/node_modules/axe-core/axe.min.js" ] ||
   [ "$browser/package-lock.json" -nt "$browser/node_modules/.package-lock.json" ]; then
  npm ci --prefix "$browser" --no-audit --no-fund
fi
