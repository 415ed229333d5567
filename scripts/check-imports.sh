#!/bin/sh
# Fails when a Windows program imports a DLL that Windows itself does not ship.
set -eu
system="kernel32.dll user32.dll gdi32.dll comctl32.dll shell32.dll msvcrt.dll advapi32.dll"
status=0
for dll in $(x86_64-w64-mingw32-objdump -p "$1" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z'); do
  case " $system " in
    *" $dll "*) echo "ok: $dll" ;;
    *) echo "not a system DLL: $dll"; status=1 ;;
  esac
done
exit $status
