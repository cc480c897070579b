#!/bin/sh
# Installs every Debian package that the build, the tests, the benchmarks and
# the fuzz targets need. Safe to run again; run as root (or through sudo).
set -eu
packages="
  build-essential cmake ninja-build pkg-config git
  clang clang-format libclang-rt-14-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev libgl-dev libjpeg-dev libgif-dev
  xvfb xauth fonts-dejavu-core
  chromium chromium-driver python3 python3-selenium
  g++-mingw-w64-x86-64-posix googletest wine wine64
"
missing=""
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO=sudo
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends $missing
fi
