#!/bin/sh
# The window's scaling tests at each scale a Windows user picks: 96, 120, 144
# and 192 DPI (100 % to 200 %), in one wine prefix whose desktop DPI
# (LogPixels) is set before each run. Under Xvfb, with WINEPREFIX set:
#
#   desktop_scales.sh WINE_RUN TEST_PROGRAM
set -eu
wine_run=$1
program=$2
reg="$WINEPREFIX/drive_c/windows/system32/reg.exe"
for dpi in 96 120 144 192; do
  # A new prefix, made by the first run, is at 96 DPI.
  if [ -f "$reg" ]; then
    "$wine_run" "$reg" add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f \
      >/dev/null
  fi
  echo "At $dpi DPI:"
  QUELLMAR_TEST_DPI=$dpi "$wine_run" "$program" --gtest_brief=1 \
    --gtest_filter='*ScaledToItsMonitor:*Ellipsis*'
done
