#!/bin/sh
# kestaro-cli report on real files, the page opened in a real browser
# (chromium-headless-shell, with the network shut off) and checked from what
# it rendered by report_check.py. A Windows build writes the page under its
# emulator; the browser is the build machine's.
# Usage: report_test.sh [RUNNER...] PROGRAM
here=$(cd "$(dirname "$0")" && pwd)
. "$here/cli_test_support.sh"
sample="$here/../data/sample-LOTO.DAT"
browser=$(command -v chromium-headless-shell) || {
  echo "FAILED: chromium-headless-shell is not installed (scripts/test.sh installs it)"
  exit 1
}
unshare -rn true 2>/dev/null || { echo "FAILED: unshare -rn cannot shut the network off here"; exit 1; }

# render PAGE DOM: the page loaded from the disk, in a network namespace of
# its own, its DOM as the browser built it.
render() {
  unshare -rn "$browser" --no-sandbox --disable-gpu --user-data-dir="$work/profile" \
    --dump-dom "file://$work/$1" >"$2" 2>browser.log
}
# page_ok NAME PAGE DRAW_FILE EVERY [BACKTEST_OPTION...]: the rendered page
# holds what the draw file and the other commands say; one point of its curve
# in EVERY is asked of best.
page_ok() {
  name=$1 page=$2 draws=$3 every=$4
  shift 4
  if ! render "$page" dom.html || [ ! -s dom.html ]; then
    failed=$((failed + 1)); echo "FAILED: $name: the browser did not render $page"; grep -v dbus browser.log | tail -3
  elif python3 "$here/report_check.py" "$program" dom.html "$page" "$draws" "$every" "$@" >why 2>&1; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1)); echo "FAILED: $name:"; cat why
  fi
}

# --- The sample history with its backtest at 9%, to the default file.
cp "$sample" LOTO.DAT
kc report --backtest --seed 0 --threshold 9
expect "report writes the page, says nothing" 0 ""
# Every point of the sample's curve natively; an emulator starts each run
# slowly. The short histories reach far higher, hundreds of points: one in 25.
every=1
[ $windows = yes ] && every=5
page_ok "the sample's page" kestaro-report.html LOTO.DAT $every --seed 0 --threshold 9
kc report --backtest --seed 0 --threshold 9 --out -
same "--out - is the page's bytes" out kestaro-report.html
kc report --backtest --seed 0 --threshold 9 --out "記録 ページ.html"
same "a Japanese name with a space" "記録 ページ.html" kestaro-report.html
kc report --out plain.html
page_ok "no backtest section unless asked" plain.html LOTO.DAT 20
grep -q '<section id="backtest"' plain.html && { failed=$((failed + 1)); echo "FAILED: backtest section"; } || passed=$((passed + 1))

# --- A short history: a draw stored out of order (a uniform expectation), a
# repeated number as the bonus, numbers that never came up; a path to escape.
printf '1,2,3,4,5,6\n9,7,8,10,11,12\n1,2,3,4,5,1\n' >'a&b.DAT'
kc report --file 'a&b.DAT' --out short.html
expect "a short history" 0 ""
page_ok "a short history's page" short.html 'a&b.DAT' 25
grep -qF 'a&amp;b.DAT' short.html && ! grep -qF 'a&b.DAT' short.html && passed=$((passed + 1)) ||
  { failed=$((failed + 1)); echo "FAILED: the path is not escaped"; }

# --- A hand-edited history: numbers outside 1 to 31 count as draws, stand in
# no cell, and the page says how many such draws there are. A name with
# HTML's own characters (not allowed in Windows names).
printf '1,2,3,4,5,6\n0,7,8,9,10,99\n2,4,6,8,10,12\n' >edited.DAT
[ $windows = no ] && cp edited.DAT '<b>"x"&amp;.DAT' && edited='<b>"x"&amp;.DAT' || edited=edited.DAT
kc report --file "$edited" --out edited.html
expect "a hand-edited history" 0 ""
page_ok "a hand-edited history's page" edited.html "$edited" 25
if [ $windows = no ]; then
  grep -qF '&lt;b&gt;&quot;x&quot;&amp;amp;.DAT' edited.html && ! grep -qF '<b>' edited.html &&
    passed=$((passed + 1)) || { failed=$((failed + 1)); echo "FAILED: <, >, \" and & in the path"; }
fi

# --- An empty history: a page with nothing to compare.
: >empty.DAT
kc report --file empty.DAT --out empty.html
expect "an empty history" 0 ""
page_ok "an empty history's page" empty.html empty.DAT 1

# --- A backtest threshold nothing reaches: the page, then exit 3.
kc report --backtest --seed 0 --threshold 101 --out high.html
expect "no target within reach" 3 ""
expect_err "the reason" "出現率 101% に届く回はありません。"
page_ok "the page of an unreachable backtest" high.html LOTO.DAT 20 --seed 0 --threshold 101

# --- Refusals.
kc report --seed 1
expect "a backtest option without --backtest" 1 ""
expect_err "why" "--seed は --backtest と共に使います"
cp LOTO.DAT before.DAT
kc report --out ./LOTO.DAT
expect "the draw file as the page" 1 ""
same "the draw file kept" LOTO.DAT before.DAT
kc report --out missing/page.html
expect "a folder that is not there" 2 ""
expect_err "why" "missing/page.html に書き込めませんでした。"
if [ $windows = no ] && [ -w /dev/full ]; then
  kc report --out /dev/full
  expect "a full disk" 2 ""
fi
# A write cut short, here by a file size limit whose signal is ignored so
# that the write fails: the earlier page stays whole, and nothing is left
# beside it.
if [ $windows = no ]; then
  mkdir kept
  kc report --file 'a&b.DAT' --out kept/page.html
  cp kept/page.html page.before
  (trap '' XFSZ; ulimit -f 4; kc report --out kept/page.html)
  expect "a write cut short" 2 ""
  same "the earlier page is kept whole" kept/page.html page.before
  [ "$(ls -A kept)" = page.html ] && passed=$((passed + 1)) ||
    { failed=$((failed + 1)); echo "FAILED: left beside the page: $(ls -A kept)"; }
fi
kc report --out=
expect "an empty name" 1 ""
kc report --format json
expect "report has no formats" 1 ""
kc report --file none.DAT
expect "no draw file" 2 ""

finish report_test
