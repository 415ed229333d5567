#!/bin/sh
# Builds the Windows program and prints the build folder whose programs this
# machine can run under Wine: the shipped 32-bit one, or the 64-bit one where
# i386 programs cannot run. Installs what is missing first.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
. scripts/common.sh
sh scripts/install-deps.sh cmake make g++ nlohmann-json3-dev googletest mingw-w64 wine wine64 wine32:i386 xvfb xauth \
  imagemagick locales fonts-ipafont-gothic fonts-wine >&2
sh scripts/japanese-locale.sh >&2
arch=$(windows_arch)
[ "$arch" = i686 ] || echo "This machine cannot run i386 programs: using the 64-bit build." >&2
preset "$arch" kestaro kestaro-cli send_command >&2
echo "$top/build/$arch"
