#!/bin/sh
# Prepares the Wine prefix $WINEPREFIX once: booted, no crash dialog.
set -eu
: "${WINEPREFIX:?}"
if [ ! -f "$WINEPREFIX/.kestaro-ready" ]; then
  mkdir -p "$WINEPREFIX"
  run="$(dirname "$0")/wine-run.sh win64"
  KESTARO_WINE_TIMEOUT=300 $run wineboot -u >/dev/null 2>&1
  $run reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  wineserver -w
  touch "$WINEPREFIX/.kestaro-ready"
fi
