#!/bin/sh
# Builds the draw-file fuzzer with clang's libFuzzer and runs it for a bounded
# time from the committed seed corpus. Seconds: $KESTARO_FUZZ_SECONDS (60).
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
. scripts/common.sh
sh scripts/install-deps.sh cmake make clang libclang-rt-14-dev >/dev/null
# The fuzz preset: clang, libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer.
preset fuzz >/dev/null
out=build/fuzz
# New inputs go to a scratch corpus; the committed seeds stay as they are.
rm -rf "$out/corpus" && mkdir -p "$out/corpus"
status=0
"$out/bin/draw_file_fuzzer" -max_total_time="${KESTARO_FUZZ_SECONDS:-60}" -max_len=4096 \
  -artifact_prefix="$out/" -print_final_stats=1 "$out/corpus" fuzz/corpus >"$out/log" 2>&1 ||
  status=$?
grep -E '^(Done|stat::number_of_executed_units|stat::new_units_added)|ERROR|SUMMARY' "$out/log" || true
# A crash leaves its input in build/fuzz/crash-*: make it a regression test.
exit $status
