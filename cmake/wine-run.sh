#!/bin/sh
# Runs a Windows program under wine: CMake's cross-compiling emulator, so the
# tests and any build step call it with the .exe and its arguments, and the
# program's exit status is passed through.
#
# The wine prefix is the build folder's own (build/<preset>/wine/prefix, or
# $WINEPREFIX when set), made on first use. Under wine, root writes through
# read-only files, so root runs the program as the user nobody (with the
# prefix and HOME owned by nobody), as an ordinary Windows user would.
# QUELLMAR_WINDOWS_USER, when set, names the Windows user (and so the profile
# folder, C:\users\NAME) of a new prefix.
set -eu
program="$1"
shift
if [ -z "${WINEPREFIX:-}" ]; then
  build_dir=$(cd "$(dirname "$program")/.." && pwd)  # programs lie in build/<preset>/bin
  mkdir -p "$build_dir/wine"
  WINEPREFIX="$build_dir/wine/prefix"
fi
export WINEPREFIX
wine_dir=$(dirname "$WINEPREFIX")
mkdir -p "$wine_dir"

if [ "$(id -u)" -eq 0 ] && [ -z "${QUELLMAR_WINE_USER:-}" ]; then
  as_nobody="setpriv --reuid=nobody --regid=nogroup --clear-groups"
  user=nobody
  if ! $as_nobody test -r "$program" -a -x "$(dirname "$wine_dir")"; then
    echo "wine-run.sh: nobody cannot reach $program or $wine_dir; wine runs as root" >&2
    user=root
    as_nobody=""
  fi
  chown "$user:" "$wine_dir"
  [ ! -d "$WINEPREFIX" ] || [ "$(stat -c %U "$WINEPREFIX")" = "$user" ] ||
    chown -R "$user:" "$WINEPREFIX"
  exec $as_nobody env QUELLMAR_WINE_USER="$user" HOME="$wine_dir" USER="$user" LOGNAME="$user" \
    "$0" "$program" "$@"
fi

[ -z "${QUELLMAR_WINDOWS_USER:-}" ] || export USER="$QUELLMAR_WINDOWS_USER"
export WINEDEBUG=-all
# No Mono and no Gecko: nothing here needs them, and wine would ask for them.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
# No window system either, but for the window's tests (on their own Xvfb).
[ -n "${QUELLMAR_WINE_DISPLAY:-}" ] || export DISPLAY=
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  # Two first runs at once would both build the prefix: take turns.
  (
    flock 9
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      wine wineboot --init >/dev/null 2>&1 || true
      wineserver -w || true
    fi
  ) 9>"$wine_dir/lock"
fi
exec wine "$program" "$@"
