#!/bin/sh
# Builds everything and runs every test. Installs what is missing first.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
jobs=$(nproc)

sh scripts/install-deps.sh cmake make g++ googletest libgtest-dev libbenchmark-dev

echo "== native build and tests"
cmake -S . -B build/native -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/native -j "$jobs"
ctest --test-dir build/native --output-on-failure -j "$jobs"
