#!/bin/sh
# Builds the fuzzers with clang's libFuzzer and runs each for a bounded time
# from its committed seed corpus, fuzz/corpus/NAME. Seconds for all of them
# together: $KESTARO_FUZZ_SECONDS (60), shared equally.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
. scripts/common.sh
sh scripts/install-deps.sh cmake make clang nlohmann-json3-dev libclang-rt-14-dev >/dev/null
# The fuzz preset: clang, libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer.
preset fuzz >/dev/null
out=build/fuzz
seconds=$(( ${KESTARO_FUZZ_SECONDS:-60} / 2 ))
status=0
for name in draw_file import; do
  echo "-- ${name}_fuzzer, $seconds s"
  # New inputs go to a scratch corpus; the committed seeds stay as they are.
  rm -rf "$out/corpus-$name" && mkdir -p "$out/corpus-$name"
  "$out/bin/${name}_fuzzer" -max_total_time="$seconds" -max_len=4096 \
    -artifact_prefix="$out/$name-" -print_final_stats=1 "$out/corpus-$name" "fuzz/corpus/$name" \
    >"$out/$name.log" 2>&1 || status=$?
  grep -E '^(Done|stat::number_of_executed_units|stat::new_units_added)|ERROR|SUMMARY' \
    "$out/$name.log" || true
done
# A crash leaves its input in build/fuzz/NAME-crash-*: make it a regression test.
exit $status
