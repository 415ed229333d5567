#!/bin/sh
# Prepares the Wine prefix $WINEPREFIX once: booted, no crash dialog.
set -eu
: "${WINEPREFIX:?}"
if [ ! -f "$WINEPREFIX/.kestaro-ready" ]; then
  mkdir -p "$WINEPREFIX"
  run="$(dirname "$0")/wine-run.sh win64"
  KESTARO_WINE_TIMEOUT=300 $run wineboot -u >/dev/null 2>&1
  $run reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  # The dialogs' face, MS PGothic, drawn with its proportional IPA likeness.
  reg="$WINEPREFIX/fonts.reg"
  printf '\357\273\277Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n"ＭＳ Ｐゴシック"="IPAPGothic"\r\n"ＭＳ ゴシック"="IPAGothic"\r\n' |
    iconv -f UTF-8 -t UTF-16LE >"$reg"
  $run regedit /S "$reg" >/dev/null 2>&1
  # Caption buttons are drawn with Marlett; without it they show as letters.
  cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
  # wine64 alone has no wineserver command, only its own server.
  server=/usr/lib/wine/wineserver64
  [ -x "$server" ] || server=wineserver
  "$server" -w
  touch "$WINEPREFIX/.kestaro-ready"
fi
