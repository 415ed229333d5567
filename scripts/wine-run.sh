#!/bin/sh
# Runs a Windows program under Wine with the Japanese locale, for ctest and
# the scripts. Usage: wine-run.sh win32|win64 PROGRAM [ARGS...]
# The prefix is $WINEPREFIX, prepared by wine-prefix.sh.
set -eu
: "${WINEPREFIX:?WINEPREFIX is not set: run through scripts/test.sh or scripts/run.sh}"
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
case "$1" in
  win64) loader=/usr/lib/wine/wine64 ;;
  *) loader=/usr/lib/wine/wine ;;
esac
shift
exec timeout -k 10 "${KESTARO_WINE_TIMEOUT:-600}" "$loader" "$@"
