#!/bin/sh
# clang-tidy (the checks in .clang-tidy) and cppcheck over the portable code,
# and the formatting of every C++ file against .clang-format.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
sh scripts/install-deps.sh clang-tidy cppcheck clang-format cmake g++ libgtest-dev >/dev/null
cmake -S . -B build/native -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
cmake --build build/native --target expected_texts >/dev/null

echo "== clang-format"
files=$(git ls-files '*.cpp' '*.h')
clang-format --dry-run -Werror $files
echo "formatted: $(echo "$files" | wc -l) files"

echo "== clang-tidy"
# The portable code that the native build compiles; tests and Win32 code excluded.
portable=$(git ls-files 'analysis/*.cpp' 'ui/list_sort.cpp' 'bench/search_benchmark.cpp' | grep -v _test)
clang-tidy -p build/native --quiet $portable >build/native/clang-tidy.log 2>&1 ||
  { grep -v "warnings generated" build/native/clang-tidy.log; echo "clang-tidy found problems"; exit 1; }
echo "clang-tidy: clean over $(echo "$portable" | wc -l) files"

echo "== cppcheck"
code=$(git ls-files '*.cpp' | grep -v _test)
cppcheck --quiet --error-exitcode=1 --std=c++17 --language=c++ --inline-suppr \
  --enable=warning,performance,portability --suppress=missingIncludeSystem \
  -I analysis -I ui $code
echo "cppcheck: clean"
