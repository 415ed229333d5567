#!/bin/sh
# Fails when 32-bit object code does double arithmetic on the x87 unit, whose
# 80-bit intermediates choose other candidates than every other build.
set -eu
found=$(i686-w64-mingw32-objdump -d "$@" | grep -E '\sf(add|sub|mul|div)[a-z]*\s' || true)
if [ -n "$found" ]; then
  echo "x87 arithmetic found:"
  echo "$found" | head -20
  exit 1
fi
echo "no x87 arithmetic in $# object files"
