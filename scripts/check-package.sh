#!/bin/sh
# Checks the Windows package: exactly the two 32-bit programs, the help page, the
# sample history under a name that never replaces LOTO.DAT, and the read-me.
set -eu
zip=$1
names=$(unzip -Z1 "$zip" | grep -v '/$' | sort | tr '\n' ' ')
expected="Kestaro/README.txt Kestaro/kestaro-cli.exe Kestaro/kestaro.exe Kestaro/kestarohelp.html Kestaro/sample-LOTO.DAT "
[ "$names" = "$expected" ] || { echo "package holds: $names"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unzip -q "$zip" -d "$work"
for program in kestaro kestaro-cli; do
  i686-w64-mingw32-objdump -f "$work/Kestaro/$program.exe" | grep -q 'file format pei-i386' ||
    { echo "$program.exe is not a 32-bit program"; exit 1; }
done
grep -q '<meta charset="UTF-8">' "$work/Kestaro/kestarohelp.html" || { echo "help page charset"; exit 1; }
# The sample is the published history, draws 1 to 1397, byte for byte.
cmp -s "$work/Kestaro/sample-LOTO.DAT" "$(dirname "$0")/../data/sample-LOTO.DAT" &&
  [ "$(grep -c "$(printf '\r')\$" "$work/Kestaro/sample-LOTO.DAT")" -eq 1397 ] ||
  { echo "sample history is not the published history of 1397 draws"; exit 1; }
echo "package ok: $names"
