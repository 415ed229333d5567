#!/bin/sh
# Builds in release mode and prints every performance figure the project
# tracks, each against its baseline measured in the same run.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
. scripts/common.sh
sh scripts/install-deps.sh cmake make g++ nlohmann-json3-dev libgtest-dev libbenchmark-dev >/dev/null
preset release benchmarks >/dev/null
echo "== analysis (native, Release)"
build/release/bin/benchmarks
preset release kestaro-cli >/dev/null
echo "== peak memory of an import (native, Release)"
python3 bench/import_peak.py build/release/bin/kestaro-cli

build=$(sh scripts/build-windows.sh)
cmake --build "$build" -j "$jobs" --target list_benchmark >/dev/null
use_wine_prefix
echo "== result list under Wine ($(basename "$build"), visible window)"
in_virtual_display "$build/run" "$build/bin/list_benchmark.exe"
