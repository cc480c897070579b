#!/bin/sh
# Runs a Windows program under wine, in a wine prefix of its own beside the
# build (build/<preset>/wine, or $WINEPREFIX when set), created on first use.
# Used as CMake's cross-compiling emulator: tests and build steps call it with
# the .exe and its arguments; the program's exit status is passed through.
set -eu
program="$1"
shift
if [ -z "${WINEPREFIX:-}" ]; then
  # The prefix lives in the build folder that holds the program (…/bin/x.exe).
  build_dir=$(cd "$(dirname "$program")/.." && pwd)
  WINEPREFIX="$build_dir/wine"
fi
export WINEPREFIX
export WINEDEBUG=-all
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
# No window system is needed by the converter or the tests.
[ -n "${DISPLAY:-}" ] || export DISPLAY=
wine=$(command -v wine64 || command -v wine || echo /usr/lib/wine/wine64)
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  # Two first runs at once would both build the prefix: take turns.
  mkdir -p "$WINEPREFIX"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      "$wine" wineboot --init >/dev/null 2>&1 || true
      wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver64)
      WINEPREFIX="$WINEPREFIX" "$wineserver" -w || true
    fi
  ) 9>"$WINEPREFIX.lock"
fi
exec "$wine" "$program" "$@"
