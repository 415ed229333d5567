#!/bin/sh
# kestaro-cli run as a user runs it, on files in a fresh folder: its output
# and exit codes against the expected texts. Usage: cli_test.sh [RUNNER...] PROGRAM
# (RUNNER: the Wine wrapper for the Windows build).
set -u
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
here=$(cd "$(dirname "$0")" && pwd)
cd "$work" || exit 1
passed=0 failed=0
windows=no
case "$*" in *.exe) windows=yes ;; esac

program="$*"
kc() { $program "$@" >out 2>err; echo $? >status; }

# Texts the program prints in Japanese: UTF-8 natively, code page 932 from
# the Windows build when its output goes to a file.
jp() { if [ $windows = yes ]; then printf '%s' "$1" | iconv -f UTF-8 -t CP932; else printf '%s' "$1"; fi; }

expect() {  # NAME STATUS EXPECTED_STDOUT
  if [ "$(cat status)" = "$2" ] && [ "$(cat out)" = "$3" ]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAILED: $1 (exit $(cat status), wanted $2)"; echo "  stdout: $(cat out)"; echo "  stderr: $(cat err)"
  fi
}
expect_file() {  # NAME EXPECTED_BYTES FILE
  if [ "$(od -An -c "$3")" = "$(printf "$2" | od -An -c)" ]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1)); echo "FAILED: $1: $3 holds"; od -c "$3" | head -5
  fi
}
expect_err() {  # NAME TEXT: stderr holds the Japanese text
  if grep -qF "$(jp "$2")" err; then passed=$((passed + 1)); else
    failed=$((failed + 1)); echo "FAILED: $1: stderr is"; cat err; fi
}
tab=$(printf '\t')
check_history='4,17,21,29,31,11\r\n14,18,20,26,30,29\r\n16,18,24,25,28,27\r\n1,3,8,15,20,4\r\n1,4,15,27,31,22\r\n7,9,12,13,22,11\r\n3,13,17,21,24,26\r\n3,10,11,27,29,18\r\n5,19,23,28,29,21\r\n1,12,15,28,30,23\r\n13,16,18,19,29,3\r\n14,16,17,25,26,20\r\n9,14,17,28,30,19\r\n1,17,19,26,31,8\r\n2,4,17,22,23,27\r\n8,14,16,20,29,5\r\n15,16,21,22,30,23\r\n9,10,13,18,22,30\r\n13,16,17,23,26,14\r\n1,2,5,9,10,27\r\n15,16,20,26,29,17\r\n7,9,15,16,30,23\r\n14,16,18,25,26,27\r\n10,11,15,27,30,2\r\n'

# --- The tabulations: the window's texts, a tab between cells, LF.
printf '1,2,3,4,5,6\r\n7,8,9,10,11,12\r\n' >LOTO.DAT
kc history
expect "history rows" 0 "No.  1${tab}1${tab}2${tab}3${tab}4${tab}5${tab}6${tab}
No.  2${tab}7${tab}8${tab}9${tab}10${tab}11${tab}12${tab}"
od -An -c out | grep -q '\\r' && { failed=$((failed + 1)); echo "FAILED: CR in rows"; }
kc --format csv history
expect "history csv" 0 "No,A,B,C,D,E,Z,AVG
1,1,2,3,4,5,6,
2,7,8,9,10,11,12,"
kc distribution --file LOTO.DAT
[ "$(sed -n 1p out)" = "No.  1${tab}1${tab}0${tab}0${tab}0${tab}0${tab}0${tab}50.00%" ] &&
  [ "$(sed -n 31p out)" = "No. 31${tab}0${tab}0${tab}0${tab}0${tab}0${tab}0${tab}0.00%" ] &&
  [ "$(wc -l <out)" -eq 31 ] && passed=$((passed + 1)) || { failed=$((failed + 1)); echo "FAILED: distribution"; cat out; }
kc distribution --format csv
[ "$(sed -n 7p out)" = "6,0,0,0,0,0,1,50.00" ] && passed=$((passed + 1)) ||
  { failed=$((failed + 1)); echo "FAILED: distribution csv: $(sed -n 7p out)"; }

# --- search and best: the window's candidate for clock seed 1, the pause's
# out-of-reach case as exit 3, and the exact maximum.
printf "$check_history" >LOTO.DAT
kc search --seed 1 --count 1
expect "search seed 1" 0 "No. 1${tab}4${tab}14${tab}17${tab}21${tab}30${tab}29${tab}11.11%"
kc search --count 2 --seed 4294967295 --format csv
[ "$(sed -n 3p out | cut -d, -f1)" = 2 ] && [ "$(wc -l <out)" -eq 3 ] && passed=$((passed + 1)) ||
  { failed=$((failed + 1)); echo "FAILED: seed wraps"; cat out err; }
printf '1,0,0,0,0,0\r\n%.0s' $(seq 52) >LOTO.DAT
printf '0,0,0,0,0,0\r\n%.0s' $(seq 35) >>LOTO.DAT
kc search
expect "out of reach prints no row" 3 ""
expect_err "out of reach says why" "に届く組合せはありません。最高は 9.96% (9.9616858237547898) です。"
kc best --threshold 9.96
expect "best" 0 "$(jp "最高の出現率: 9.96% (9.9616858237547898)
出現率 9.96% 以上の組合せ: 712530 / 4417686")"
printf '1,2,3,4,5,6\r\n' >LOTO.DAT
kc best --threshold 100
expect "best of one draw" 0 "$(jp "最高の出現率: 100.00% (100)
出現率 100% 以上の組合せ: 1 / 4417686")"
kc search --threshold 16.5 --seed 7 --count 3
[ "$(cut -f8 out | sort -u | tr '\n' ' ')" != "" ] && ! cut -f8 out | grep -q '^16.6[0-6]\|^1[0-5]\.' &&
  passed=$((passed + 1)) || { failed=$((failed + 1)); echo "FAILED: decimal threshold"; cat out; }

# --- Input is checked; nothing is written for a refused draw.
rm -f LOTO.DAT
for command in history distribution search best; do
  kc $command
  expect "missing file: $command" 2 ""
  [ $command = best ] || { kc $command --format csv; expect "missing file: $command, csv" 2 ""; }
done
kc add 3,8,15,22,29,11
expect "add" 0 ""
expect_file "add writes CR LF" '3,8,15,22,29,11\r\n' LOTO.DAT
for bad in 3,8,15,22,29 3,8,15,22,29,32 0,8,15,22,29,11 3,8,8,22,29,11 3,8,15,22,29,8 3,x,15,22,29,11; do
  kc add "$bad"
  expect "add refuses $bad" 1 ""
done
expect_file "refused adds write nothing" '3,8,15,22,29,11\r\n' LOTO.DAT
kc add 1,2,3,4,5,6 --seed 1
expect "option of another command" 1 ""
kc frobnicate
expect "unknown command" 1 ""
kc --help
[ "$(cat status)" = 0 ] && grep -qF "$(jp "使い方: kestaro-cli")" out && passed=$((passed + 1)) ||
  { failed=$((failed + 1)); echo "FAILED: --help"; }

# --- import: only what follows the overlap; twice adds nothing; a disjoint
# list is refused unless forced; a bad line refuses the whole file.
printf '1,3,17,20,25,26\r\n2,11,12,21,30,28\r\n' >LOTO.DAT
printf 'Draw,Date,N1,N2,N3,N4,N5,Bonus\n1,2000-01-01,1,3,17,20,25,26\n2,2000-01-08,12,2,11,21,30,28\n\n3,2000-01-15,1,8,10,24,30,2\n4,2000-01-22,5,6,7,8,9,10\n' >results.csv
kc import results.csv --columns 3,4,5,6,7,8 --dry-run
expect "dry run" 0 "$(jp "読み込み 4 回、登録済みで省略 2 回、追加予定 2 回")"
kc import results.csv --columns 3,4,5,6,7,8
expect "import" 0 "$(jp "読み込み 4 回、登録済みで省略 2 回、追加 2 回")"
kc --columns 3,4,5,6,7,8 import results.csv
expect "import twice" 0 "$(jp "読み込み 4 回、登録済みで省略 4 回、追加 0 回")"
expect_file "import appends in order" '1,3,17,20,25,26\r\n2,11,12,21,30,28\r\n1,8,10,24,30,2\r\n5,6,7,8,9,10\r\n' LOTO.DAT
printf '9\t10\t11\t12\t13\t14\n' >disjoint.txt
kc import disjoint.txt
expect "disjoint refused" 1 ""
kc import disjoint.txt --force
expect "disjoint forced" 0 "$(jp "読み込み 1 回、登録済みで省略 0 回、追加 1 回")"
printf '20,21,22,23,24,25\n20,21,22,23,24\n' >broken.csv
cp LOTO.DAT before
kc import broken.csv --force
expect "bad line" 1 ""
expect_err "bad line number" "2 行目"
cmp -s LOTO.DAT before && passed=$((passed + 1)) || { failed=$((failed + 1)); echo "FAILED: bad import wrote"; }

printf '1,2,3,4,5,6\n7,8,9,10,11,12\n13,14,15,16,17,18\n' >three.csv
if [ $windows = no ]; then
  # All or nothing: a file-size limit at every byte of the import's lines.
  cut_ok=yes
  # ulimit -f counts 512-byte blocks: a file of 512 - ROOM bytes leaves ROOM
  # for the two new lines (35 bytes) after the overlapping first draw.
  pad=$(head -c 512 /dev/zero | tr '\0' ' ')
  for room in $(seq 0 36); do
    { printf '%s' "$pad" | head -c $((512 - room - 15)); printf '\r\n1,2,3,4,5,6\r\n'; } >LOTO.DAT
    cp LOTO.DAT before
    (trap '' XFSZ; ulimit -f 1; exec $program import three.csv) >/dev/null 2>&1
    status=$?
    if [ $room -ge 35 ]; then [ $status = 0 ] || cut_ok="no: room $room exit $status"
    elif [ $status != 2 ] || ! cmp -s LOTO.DAT before; then cut_ok="no: room $room exit $status"; fi
  done
  [ "$cut_ok" = yes ] && passed=$((passed + 1)) || { failed=$((failed + 1)); echo "FAILED: cut points $cut_ok"; }
fi

if [ $windows = yes ]; then
  # The writers' lock seen across Wine and native processes: an open-file-
  # description lock held natively makes the program under Wine wait, and
  # the program's own lock refuses a native one while it appends.
  printf '1,2,3,4,5,6\r\n' >LOTO.DAT
  python3 "$here/lock_probe.py" hold LOTO.DAT 5 released &
  sleep 1
  kc add 7,8,9,10,11,12
  wait
  [ "$(cat status)" = 0 ] && [ -e released ] && passed=$((passed + 1)) ||
    { failed=$((failed + 1)); echo "FAILED: the program under Wine did not wait for the native lock"; }
  python3 "$here/lock_probe.py" probe LOTO.DAT $program import "$(pwd)/three.csv" --force >probe
  [ "$(cat probe)" -gt 0 ] && passed=$((passed + 1)) ||
    { failed=$((failed + 1)); echo "FAILED: the native side never saw the program's lock"; }
fi

echo "cli: $passed passed, $failed failed"
[ $failed -eq 0 ]
