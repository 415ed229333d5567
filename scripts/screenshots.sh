#!/bin/sh
# Takes the screenshots shown in the README: Kestaro under Wine in a virtual
# display with the sample history, one picture a command, and the page that
# kestaro-cli.exe report writes, as a browser shows it.
# Usage: screenshots.sh [OUT_FOLDER]   (default docs/)
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/scripts/common.sh"
out=$(cd "${1:-$top/docs}" && pwd)
build=$(sh "$top/scripts/build-windows.sh")
work=$(mktemp -d)
cp "$top/data/sample-LOTO.DAT" "$work/LOTO.DAT"
cp "$build/bin/kestaro.exe" "$build/bin/send_command.exe" "$work/"
use_wine_prefix

# shot NAME COMMAND: starts Kestaro, chooses the command, saves the screen.
cat >"$work/shot.sh" <<SHOT
set -eu
cd "$work"
run="$build/run"
\$run explorer /desktop=Kestaro,800x600 kestaro.exe &
sleep 8  # the desktop and the window are up well within this
\$run explorer /desktop=Kestaro,800x600 send_command.exe \$2
sleep 3
import -window root -crop 800x600+0+0 "$out/\$1.png"
wineserver -k
wait || true
SHOT
in_virtual_display sh -c "
  sh '$work/shot.sh' screen-distribution 1005 &&
  sh '$work/shot.sh' screen-draw-entry 1006 &&
  sh '$work/shot.sh' screen-search-settings 1007 &&
  sh '$work/shot.sh' screen-version 1009"

sh "$top/scripts/install-deps.sh" chromium-headless-shell >&2
(cd "$work" && "$build/run" "$build/bin/kestaro-cli.exe" report --backtest --seed 0 --threshold 9)
# The whole page: its height at this width.
chromium-headless-shell --no-sandbox --disable-gpu --hide-scrollbars --user-data-dir="$work/profile" \
  --window-size=1000,3360 --screenshot="$out/report.png" "file://$work/kestaro-report.html" 2>/dev/null
rm -rf "$work"
echo "Screenshots in $out"
