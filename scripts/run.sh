#!/bin/sh
# Builds Kestaro and starts it under Wine in its working folder (default
# ~/Kestaro), which holds LOTO.DAT and the help page. A LOTO.DAT already
# there is the user's and is never replaced.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
folder=${1:-$HOME/Kestaro}
build=$(sh "$top/scripts/build-windows.sh")
mkdir -p "$folder"
[ -e "$folder/LOTO.DAT" ] || cp "$top/data/sample-LOTO.DAT" "$folder/LOTO.DAT"
[ -e "$top/docs/kestarohelp.html" ] && cp "$top/docs/kestarohelp.html" "$folder/"
cp "$build/bin/kestaro.exe" "$folder/"
export WINEPREFIX="$top/build/wineprefix"
sh "$top/scripts/wine-prefix.sh"
arch=$(sh "$top/scripts/wine-arch.sh" "$build")
cd "$folder"
if [ -n "${DISPLAY:-}" ]; then
  KESTARO_WINE_TIMEOUT=0 sh "$top/scripts/wine-run.sh" "$arch" explorer /desktop=Kestaro,1024x768 kestaro.exe
  exit 0
fi
shot="$folder/kestaro-screen.png"
echo "No display here: Kestaro runs in a virtual display instead; a screenshot follows."
xvfb-run -a -s "-screen 0 1024x768x24" sh -c "
  sh '$top/scripts/wine-run.sh' $arch explorer /desktop=Kestaro,1024x768 kestaro.exe &
  sleep 8
  import -window root '$shot'
  wineserver -k"
echo "Screenshot of Kestaro's window: $shot"
