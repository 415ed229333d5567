#!/bin/sh
# Lists of 50 to 400 MB imported with 1.3 GB of address space, as a 32-bit
# program has little more: each is imported or refused as too large, never
# ended by a signal, and the draw file holds all of it or none.
# Usage: import_memory_test.sh PROGRAM
here=$(cd "$(dirname "$0")" && pwd)
. "$here/cli_test_support.sh"
# A megabyte of draws as the draw file stores them, no two neighbours alike
# (an import refuses a line given twice in a row), repeated.
python3 - <<'PY'
import random
draws = random.Random(7)
lines, size, previous = [], 0, None
while size < 1 << 20 or lines[-1] == lines[0]:
    numbers = sorted(draws.sample(range(1, 32), 6))
    bonus = numbers.pop(draws.randrange(6))
    line = "%d,%d,%d,%d,%d,%d\r\n" % (*numbers, bonus)
    if line != previous:
        lines.append(line)
        size += len(line)
        previous = line
open("megabyte", "wb").write("".join(lines).encode())
PY
list=0
for megabytes in 50 100 200 300 400; do
  while [ $list -lt $megabytes ]; do cat megabyte >>list.csv; list=$((list + 1)); done
  for run in --dry-run ""; do
    : >LOTO.DAT
    rm -f LOTO.DAT-journal
    (ulimit -v 1300000 && $program import list.csv $run >out 2>err; echo $? >status)
    name="$megabytes MB ${run:-import}"
    case "$(cat status)" in
      0) if [ -z "$run" ]; then same "$name: every draw stored" list.csv LOTO.DAT; else
           expect_file "$name: nothing written" "" LOTO.DAT; fi ;;
      2) expect_err "$name: refused as too large" "は大きすぎて読み込めません"
         expect_file "$name: nothing written" "" LOTO.DAT ;;
      *) failed=$((failed + 1)); echo "FAILED: $name ended with $(cat status)"; cat err ;;
    esac
    echo "$name: exit $(cat status)"
  done
done
finish "import memory"
