#!/bin/sh
# Builds Kestaro and starts it under Wine in its working folder (default
# ~/Kestaro), which holds LOTO.DAT and the help page. A LOTO.DAT already
# there is the user's and is never replaced. Without a display it shows the
# program at work in a virtual one and saves screenshots instead.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/scripts/common.sh"
folder=${1:-$HOME/Kestaro}
build=$(sh "$top/scripts/build-windows.sh")
mkdir -p "$folder"
[ -e "$folder/LOTO.DAT" ] || cp "$top/data/sample-LOTO.DAT" "$folder/LOTO.DAT"
[ -e "$top/docs/kestarohelp.html" ] && cp "$top/docs/kestarohelp.html" "$folder/"
cp "$build/bin/kestaro.exe" "$build/bin/kestaro-cli.exe" "$folder/"
use_wine_prefix
cd "$folder"
if [ -n "${DISPLAY:-}" ]; then
  KESTARO_WINE_TIMEOUT=0 "$build/run" explorer /desktop=Kestaro,1024x768 kestaro.exe
  exit 0
fi
echo "No display here: Kestaro runs in a virtual display and shows its work in screenshots."
cp "$build/bin/send_command.exe" "$folder/"
in_virtual_display sh -c "
  run='$build/run'
  \$run explorer /desktop=Kestaro,800x600 kestaro.exe &
  sleep 8
  \$run explorer /desktop=Kestaro,800x600 send_command.exe 1005; sleep 3
  import -window root -crop 800x600+0+0 '$folder/kestaro-distribution.png'
  \$run explorer /desktop=Kestaro,800x600 send_command.exe long-shot 5; sleep 3
  \$run explorer /desktop=Kestaro,800x600 send_command.exe 1001; sleep 10
  import -window root -crop 800x600+0+0 '$folder/kestaro-search.png'"
rm -f "$folder/send_command.exe"
echo "The distribution table of LOTO.DAT: $folder/kestaro-distribution.png"
echo "A search for 5 candidates at the long-shot rate: $folder/kestaro-search.png"
