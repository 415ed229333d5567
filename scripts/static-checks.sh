#!/bin/sh
# The folders' order of includes, clang-tidy (the checks in .clang-tidy) over
# the portable code and the Win32 layer, cppcheck over all code, and the
# formatting of every C++ file against .clang-format.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
. scripts/common.sh
sh scripts/install-deps.sh clang-tidy cppcheck clang-format cmake make g++ nlohmann-json3-dev libgtest-dev \
  libbenchmark-dev googletest mingw-w64 >/dev/null
echo "== layout"
python3 scripts/check-layout.py
python3 scripts/check-layout.py --self-test

# The presets' build folders, with their compile_commands.json.
configure native

echo "== clang-format"
files=$(git ls-files '*.cpp' '*.h')
clang-format --dry-run -Werror $files
echo "formatted: $(echo "$files" | wc -l) files"

echo "== clang-tidy"
# The portable code that the native build compiles; tests and Win32 code excluded.
portable=$(git ls-files 'analysis/*.cpp' 'import/*.cpp' 'backtest/*.cpp' 'report/*.cpp' 'ui/list_sort.cpp' 'platform/*_posix.cpp' \
  'bench/search_benchmark.cpp' | grep -v _test)
clang-tidy -p build/native --quiet $portable >build/native/clang-tidy.log 2>&1 ||
  { grep -v "warnings generated" build/native/clang-tidy.log; echo "clang-tidy found problems"; exit 1; }
echo "clang-tidy: clean over $(echo "$portable" | wc -l) files"
# The Win32 layer, as the 64-bit MinGW build compiles it, with that target's headers.
configure x86_64
cxx=/usr/lib/gcc/x86_64-w64-mingw32/$(x86_64-w64-mingw32-g++-posix -dumpversion)/include/c++
win32=$(git ls-files 'ui/*.cpp' 'platform/*_win32.cpp' 'platform/windows_*.cpp' 'cli/*.cpp' |
  grep -v -e _test -e _posix)
clang-tidy -p build/x86_64 --quiet --extra-arg=--target=x86_64-w64-mingw32 \
  --extra-arg=-isystem"$cxx" --extra-arg=-isystem"$cxx/x86_64-w64-mingw32" \
  $win32 >build/x86_64/clang-tidy.log 2>&1 ||
  { grep -v "warnings generated" build/x86_64/clang-tidy.log; echo "clang-tidy found problems in the Win32 layer"; exit 1; }
echo "clang-tidy: clean over $(echo "$win32" | wc -l) Win32 files"

echo "== cppcheck"
code=$(git ls-files '*.cpp' | grep -v _test)
cppcheck --quiet --error-exitcode=1 --std=c++17 --language=c++ --inline-suppr \
  --enable=warning,performance,portability --suppress=missingIncludeSystem \
  -I analysis -I ui $code
echo "cppcheck: clean"
