#!/bin/sh
# Builds the draw-file fuzzer with clang's libFuzzer and runs it for a bounded
# time from the committed seed corpus. Seconds: $KESTARO_FUZZ_SECONDS (60).
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
sh scripts/install-deps.sh clang libclang-rt-14-dev >/dev/null
out=build/fuzz
mkdir -p "$out"
clang++ -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
  -Ianalysis -Iplatform fuzz/draw_file_fuzzer.cpp analysis/draw_file.cpp \
  analysis/frequency_table.cpp analysis/score_table.cpp analysis/random_source.cpp \
  analysis/text_format.cpp platform/file_lock_posix.cpp \
  -o "$out/draw_file_fuzzer"
# New inputs go to a scratch corpus; the committed seeds stay as they are.
rm -rf "$out/corpus" && mkdir -p "$out/corpus"
status=0
"$out/draw_file_fuzzer" -max_total_time="${KESTARO_FUZZ_SECONDS:-60}" -max_len=4096 \
  -artifact_prefix="$out/" -print_final_stats=1 "$out/corpus" fuzz/corpus >"$out/log" 2>&1 ||
  status=$?
grep -E '^(Done|stat::number_of_executed_units|stat::new_units_added)|ERROR|SUMMARY' "$out/log" || true
# A crash leaves its input in build/fuzz/crash-*: make it a regression test.
exit $status
