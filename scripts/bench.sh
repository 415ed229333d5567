#!/bin/sh
# Builds in release mode and prints every performance figure the project
# tracks, each against its baseline measured in the same run.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
sh scripts/install-deps.sh cmake make g++ libgtest-dev libbenchmark-dev >/dev/null
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release -j "$(nproc)" --target benchmarks >/dev/null
echo "== analysis (native, Release)"
build/release/bin/benchmarks

build=$(sh scripts/build-windows.sh)
cmake --build "$build" -j "$(nproc)" --target list_benchmark >/dev/null
arch=$(sh "$top/scripts/wine-arch.sh" "$build")
export WINEPREFIX="$top/build/wineprefix"
sh scripts/wine-prefix.sh
echo "== result list under Wine ($arch, visible window)"
xvfb-run -a -s "-screen 0 1024x768x24" sh -c \
  "sh scripts/wine-run.sh $arch '$build/bin/list_benchmark.exe'; status=\$?; wineserver -k; exit \$status"
