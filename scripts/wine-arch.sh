#!/bin/sh
# Prints which Wine loader runs the programs of a Windows build folder:
# win32 for the i686 build, win64 for the x86_64 one. Usage: wine-arch.sh BUILD
set -eu
case "$1" in
  *i686) echo win32 ;;
  *) echo win64 ;;
esac
