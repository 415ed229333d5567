#!/bin/sh
# Checks the Windows package: exactly the 32-bit program, the help page, the
# sample history under a name that never replaces LOTO.DAT, and the read-me.
set -eu
zip=$1
names=$(unzip -Z1 "$zip" | grep -v '/$' | sort | tr '\n' ' ')
expected="Kestaro/README.txt Kestaro/kestaro.exe Kestaro/kestarohelp.html Kestaro/sample-LOTO.DAT "
[ "$names" = "$expected" ] || { echo "package holds: $names"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unzip -q "$zip" -d "$work"
i686-w64-mingw32-objdump -f "$work/Kestaro/kestaro.exe" | grep -q 'file format pei-i386' ||
  { echo "kestaro.exe is not a 32-bit program"; exit 1; }
grep -q '<meta charset="UTF-8">' "$work/Kestaro/kestarohelp.html" || { echo "help page charset"; exit 1; }
[ "$(grep -c "$(printf '\r')\$" "$work/Kestaro/sample-LOTO.DAT")" -ge 100 ] ||
  { echo "sample history is not a CR LF draw file of 100 draws or more"; exit 1; }
echo "package ok: $names"
