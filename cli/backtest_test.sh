#!/bin/sh
# kestaro-cli backtest on real files: its tickets against the search and the
# draw file, its summary against the tickets, worked out by backtest_check.py.
# Usage: backtest_test.sh [RUNNER...] PROGRAM
here=$(cd "$(dirname "$0")" && pwd)
. "$here/cli_test_support.sh"
sample="$here/../data/sample-LOTO.DAT"
text_encoding=utf-8
[ $windows = yes ] && text_encoding=cp932
# check_ok NAME CHECK ARGS...: backtest_check.py's CHECK holds.
check_ok() {
  name=$1
  shift
  if python3 "$here/backtest_check.py" "$@" >why 2>&1; then passed=$((passed + 1)); else
    failed=$((failed + 1)); echo "FAILED: $name: $(cat why)"; fi
}

# --- The sample history at 9%, seed 0, ten tickets: every target from the
# second is tested; 13,960 tickets, a mean of 0.8127 and z about 0.60.
cp "$sample" LOTO.DAT
kc_to summary.json backtest --seed 0 --threshold 9 --format json
kc_to tickets.csv backtest --seed 0 --threshold 9 --tickets --format csv
check_ok "every ticket's matches and the summary from them" tickets LOTO.DAT tickets.csv summary.json
python3 - summary.json >why 2>&1 <<'EOF' && passed=$((passed + 1)) || { failed=$((failed + 1)); echo "FAILED: the sample's figures: $(cat why)"; }
import json, sys
s = json.load(open(sys.argv[1]))
assert (s["targets"], s["outOfReach"], s["invalid"], s["tickets"]) == (1396, 0, 0, 13960), s
assert round(s["meanMatches"], 4) == 0.8127 and abs(s["z"] - 0.60) < 0.005, s
EOF
[ -s summary.json.err ] && { failed=$((failed + 1)); echo "FAILED: stderr of a run with --seed to a file: $(cat summary.json.err)"; } || passed=$((passed + 1))
kc_to tickets.jsonl backtest --seed 0 --threshold 9 --tickets --format json
check_ok "JSON Lines tickets are the CSV rows" lines tickets.csv tickets.jsonl
kc_to summary.txt backtest --seed 0 --threshold 9
check_ok "the text shows the summary's figures" text summary.txt summary.json --encoding $text_encoding
kc_to summary.csv backtest --seed 0 --threshold 9 --format csv
python3 - summary.csv summary.json >why 2>&1 <<'EOF' && passed=$((passed + 1)) || { failed=$((failed + 1)); echo "FAILED: summary CSV: $(cat why)"; }
import json, sys
rows = open(sys.argv[1], "rb").read().decode("ascii").split("\n")
s = json.load(open(sys.argv[2]))
want = ["kind,index,observed,expected"]
want += [f"matches,{m},{s['matches'][m]},{s['expectedMatches'][m]:.2f}" for m in range(6)]
want += [f"tier,{t + 1},{s['tiers'][t]},{s['expectedTiers'][t]:.2f}" for t in range(4)]
assert rows == want + [""], rows
EOF

# A target's tickets are the search's candidates on the draws before it, for
# seeds S + (t - 1)·K + k, wrapping past 2^32.
kc_to wrap.csv backtest --seed 4294967000 --count 3 --threshold 9.5 --from 1300 --tickets --format csv
for t in 1300 1397; do
  head -$((t - 1)) "$sample" >before.DAT
  kc_to search$t.csv search --file before.DAT --threshold 9.5 --count 3 \
    --seed $(((4294967000 + (t - 1) * 3) % 4294967296)) --format csv
  check_ok "the tickets of draw $t are the search's" search wrap.csv $t search$t.csv
done

# Where only a handful of combinations reach 10% the tickets come from the
# vector lanes: the same as the search's.
head -916 "$sample" >lanes.DAT
kc_to lanes.csv backtest --file lanes.DAT --from 914 --count 3 --threshold 10 --seed 11 --tickets --format csv
for t in 914 915 916; do
  head -$((t - 1)) "$sample" >before.DAT
  kc_to lanes$t.csv search --file before.DAT --threshold 10 --count 3 --seed $((11 + (t - 1) * 3)) --format csv
  check_ok "the lanes' tickets of draw $t are the search's" search lanes.csv $t lanes$t.csv
done
kc_to lanes2.csv backtest --file lanes.DAT --from 914 --count 3 --threshold 10 --seed 11 --tickets --format csv --jobs 2
same "the lanes on two threads" lanes.csv lanes2.csv

# --- Any number of threads, the same bytes.
for format in tsv json; do
  kc_to jobs1.$format backtest --seed 7 --threshold 9.6 --from 900 --jobs 1 --format $format
  kc_to jobs2.$format backtest --seed 7 --threshold 9.6 --from 900 --jobs 2 --format $format
  kc_to jobs5.$format backtest --seed 7 --threshold 9.6 --from 900 --jobs=5 --format $format
  same "--jobs 2 changes nothing ($format)" jobs1.$format jobs2.$format
  same "--jobs 5 changes nothing ($format)" jobs1.$format jobs5.$format
done
kc_to jobs1.rows backtest --seed 7 --threshold 9.6 --from 900 --jobs 1 --tickets
kc_to jobs2.rows backtest --seed 7 --threshold 9.6 --from 900 --tickets
same "the machine's cores change no ticket" jobs1.rows jobs2.rows

# --- Targets without tickets: out of reach (the search would exit 3) or a
# hand-edited draw; both stay in the later histories.
head -40 "$sample" >LOTO.DAT
printf '3,3,9,12,20,6\r\n' >>LOTO.DAT
tail -n +41 "$sample" | head -20 >>LOTO.DAT
kc_to edited.json backtest --seed 3 --threshold 15 --count 2 --format json
kc_to edited.csv backtest --seed 3 --threshold 15 --count 2 --tickets --format csv
check_ok "out of reach and hand-edited targets" tickets LOTO.DAT edited.csv edited.json
python3 - edited.json >why 2>&1 <<'EOF' && passed=$((passed + 1)) || { failed=$((failed + 1)); echo "FAILED: the edited draw: $(cat why)"; }
import json, sys
s = json.load(open(sys.argv[1]))
assert s["invalid"] == 1 and s["outOfReach"] > 0 and s["targets"] > 0, s
EOF
grep -q '^41,' edited.csv && { failed=$((failed + 1)); echo "FAILED: the hand-edited draw got tickets"; } || passed=$((passed + 1))

# Every target out of reach: the summary all the same, then exit 3.
kc backtest --threshold 101 --seed 1 --tickets --format csv
cp out none.csv
kc backtest --threshold 101 --seed 1 --format json
cp out none.json
check_ok "nothing tested: mean, z and p null" tickets LOTO.DAT none.csv none.json
# Out of reach comes first: the hand-edited draw is counted as out of reach.
python3 -c "import json; s = json.load(open('none.json')); assert (s['invalid'], s['outOfReach']) == (0, 60), s" &&
  passed=$((passed + 1)) || { failed=$((failed + 1)); echo "FAILED: out of reach before invalid: $(cat none.json)"; }
[ "$(cat status)" = 3 ] && passed=$((passed + 1)) || { failed=$((failed + 1)); echo "FAILED: all out of reach exited $(cat status)"; }
expect_err "all out of reach says so" "出現率 101% に届く回はありません。"
kc backtest --threshold 101 --seed 1
[ "$(cat status)" = 3 ] && grep -qF "$(jp "平均、z、p はありません")" out && passed=$((passed + 1)) ||
  { failed=$((failed + 1)); echo "FAILED: the text of nothing tested"; cat out; }
# Past the last draw there is no target at all: nothing to reach, exit 0.
kc backtest --from 500 --seed 1 --format csv
expect "no target at all" 0 "kind,index,observed,expected
matches,0,0,0.00
matches,1,0,0.00
matches,2,0,0.00
matches,3,0,0.00
matches,4,0,0.00
matches,5,0,0.00
tier,1,0,0.00
tier,2,0,0.00
tier,3,0,0.00
tier,4,0,0.00"
# Its heading says that no draw comes from there on, and the rest stays.
kc_to late.txt backtest --from 500 --seed 1
kc_to next.txt backtest --from 62 --seed 1
kc backtest --from 1000000 --seed 1
[ "$(sed -n 1p out)" = "$(jp "バックテスト: 第 1000000 回以降の回はありません (最後は第 61 回)、各回 10 枚、出現率 10% 以上、シード 1")" ] &&
  [ "$(sed -n 1p next.txt)" = "$(jp "バックテスト: 第 62 回以降の回はありません (最後は第 61 回)、各回 10 枚、出現率 10% 以上、シード 1")" ] &&
  [ "$(sed 1d out)" = "$(sed 1d late.txt)" ] && [ "$(sed 1d next.txt)" = "$(sed 1d late.txt)" ] &&
  [ "$(sed -n 2p out)" = "$(jp "  検証した回               0")" ] &&
  passed=$((passed + 1)) || { failed=$((failed + 1)); echo "FAILED: the heading past the last draw:"; head -2 out next.txt; }
: >empty.DAT
kc backtest --file empty.DAT --seed 1
expect "an empty draw file has no target" 0 "$(jp "バックテスト: 第 2 回以降の回はありません (当選番号ファイルに回がありません)、各回 10 枚、出現率 10% 以上、シード 1")
$(sed 1d late.txt)"

kc backtest --from 62 --seed 1 --tickets
expect "ticket rows past the last draw: none" 0 ""
expect_err "and stderr says why" "バックテスト: 第 62 回以降の回はありません (最後は第 61 回)"

# --- Without --seed the clock's seed is named on stderr and used.
kc_to clock.json backtest --threshold 9 --count 1 --from 1390 --format json
seed=$(LC_ALL=C sed -n 's/^[^:]*: \([0-9][0-9]*\) .*$/\1/p' clock.json.err)
python3 -c "import json,sys; assert json.load(open('clock.json'))['seed'] == int(sys.argv[1])" "${seed:--1}" &&
  passed=$((passed + 1)) || { failed=$((failed + 1)); echo "FAILED: the clock's seed: $(cat clock.json.err)"; }

# --- Bad usage.
for bad in "--from 1" "--from x" "--jobs 0" "--jobs 1025" "--count -1"; do
  kc backtest $bad
  expect "backtest $bad" 1 ""
done
# Every ticket is kept until the end: a count beyond memory is refused.
kc backtest --count 2000000000 --seed 1
expect "a count beyond memory" 1 ""
expect_err "a count beyond memory says so" "券が多すぎます: 60 回 × 2000000000 枚。"
kc backtest --tickets --file missing.DAT
expect "a missing file" 2 ""

# --- Progress only on a terminal: none in a file (above), lines on a
# terminal's stderr, and the same results.
if [ $windows = no ]; then
  cp "$sample" LOTO.DAT
  python3 - $program >why 2>&1 <<'EOF' && passed=$((passed + 1)) || { failed=$((failed + 1)); echo "FAILED: progress on a terminal: $(cat why)"; }
import os, pty, subprocess, sys
main, side = pty.openpty()
out = open("tty.out", "wb")
run = subprocess.run(sys.argv[1:] + ["backtest", "--seed", "0", "--threshold", "9"],
                     stdout=out, stderr=side, stdin=subprocess.DEVNULL)
os.close(side)
shown = b""
while True:
    try:
        chunk = os.read(main, 4096)
    except OSError:
        break
    if not chunk:
        break
    shown += chunk
assert run.returncode == 0, run.returncode
assert "1396 / 1396 回".encode() in shown, shown[-200:]
assert shown.endswith(b"\r"), shown[-80:]
EOF
  same "the results with progress shown" tty.out summary.txt
fi

finish backtest
