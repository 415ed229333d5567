#!/bin/sh
# The draw file after a crash, as a user meets it: every command sees the
# draws that the next writer will leave, a writer cuts back only the torn
# tail that the rollback record beside the file explains, and a record that
# is not a plain file of its own is never written through.
# Usage: kept_files_test.sh [RUNNER...] PROGRAM
here=$(cd "$(dirname "$0")" && pwd)
. "$here/cli_test_support.sh"
old='1,2,3,4,5,6\r\n7,8,9,10,11,12\r\n13,14,15,16,17,18\r\n'
appended='2,4,6,8,10,12\r\n5,7,9,11,13,15\r\n1,3,16,23,28,20\r\n'
# crash FILE: the old draws, then an import of three killed three bytes
# short, its last line cut to 1,3,16,23,28,2: a complete-looking wrong draw.
crash() {
  printf "$old" >"$1"
  python3 "$here/rollback_record.py" "$1" "$1-journal" "$appended" 45
  cp "$1-journal" record.before
}
record_kept() {  # NAME FILE: the record is as the crash left it
  same "$1: the record is untouched" record.before "$2"
}
draws() { kc history --format csv --file "${1:-LOTO.DAT}"; tail -n +2 out | cut -d, -f2-7; }
csv_of() { printf "$1" | sed 's/\r$//'; }

# --- Readers leave out the torn tail, and so the dry run plans what the
# real import does.
crash LOTO.DAT
[ "$(draws)" = "$(csv_of "$old")" ] && passed=$((passed + 1)) ||
  { failed=$((failed + 1)); echo "FAILED: history shows the torn tail:"; cat out; }
printf "$old$appended" >list.csv
kc import list.csv --dry-run
expect "the dry run sees the repaired draws" 0 "$(jp "読み込み 6 回、登録済みで省略 3 回、追加予定 3 回
列 1,2,3,4,5,6 (既定)、文字コード UTF-8")"
kc import list.csv
expect "the import cuts the tail and adds the list's new draws" 0 "$(jp "読み込み 6 回、登録済みで省略 3 回、追加 3 回
列 1,2,3,4,5,6 (既定)、文字コード UTF-8")"
expect_file "after the import" "$old$appended" LOTO.DAT

# --- The old history copied back and a draw typed at its end: the record
# no longer describes the file and is never applied.
crash LOTO.DAT
printf "${old}1,7,13,20,25,9\r\n" >LOTO.DAT
kc add 3,9,14,22,30,5
expect "add beside a record the file does not match" 2 ""
expect_err "the refusal names the record" "巻き戻し記録 "
expect_err "and why" "の末尾が合いません"
expect_file "the typed draw is kept" "${old}1,7,13,20,25,9\r\n" LOTO.DAT
record_kept "refused add" LOTO.DAT-journal
kc import list.csv --dry-run
expect "the dry run refuses as the import would" 2 ""
expect_err "the dry run says why" "の末尾が合いません"

# --- An old draw corrected in place, the length kept: the torn tail still goes.
crash LOTO.DAT
sed 's/^1,2,3,4,5,6/1,2,3,4,5,9/' LOTO.DAT >edited && cp edited LOTO.DAT
kc add 3,9,14,22,30,5
expect "add after a correction in place" 0 ""
expect_file "the correction stays, the tail goes" \
  '1,2,3,4,5,9\r\n7,8,9,10,11,12\r\n13,14,15,16,17,18\r\n3,9,14,22,30,5\r\n' LOTO.DAT

# --- A last line without a line end that no record explains and that reads
# as no draw is never completed by a new draw.
printf '1,2,3,4,5,6\r\n1,3,16' >half.DAT
kc add 3,9,14,22,30,5 --file half.DAT
expect "add after a half line" 2 ""
expect_err "the half line is named" "の最後の行 (2 行目「1,3,16」) は改行で終わらず"
expect_file "the half line is kept as it was" '1,2,3,4,5,6\r\n1,3,16' half.DAT

# --- No page is written over the record, however it is named.
crash LOTO.DAT
for out in LOTO.DAT-journal ./LOTO.DAT-journal; do
  kc report --out "$out"
  expect "report --out $out" 1 ""
  record_kept "report --out $out" LOTO.DAT-journal
done
printf "$old" >fresh.DAT
kc report --file fresh.DAT --out fresh.DAT-journal
expect "report --out the name of a record not made yet" 1 ""
[ ! -e fresh.DAT-journal ] && passed=$((passed + 1)) ||
  { failed=$((failed + 1)); echo "FAILED: the page took the record's name"; }

if [ $windows = yes ]; then
  # --- Wine follows a Unix link like a file: the record that opens as the
  # draw file itself is refused all the same.
  printf "$old" >LOTO.DAT
  rm -f LOTO.DAT-journal
  ln -s LOTO.DAT LOTO.DAT-journal
  kc add 3,9,14,22,30,5
  expect "add beside a record that opens as the draw file" 2 ""
  expect_err "the record that is the draw file is named" "を使えません: "
  expect_file "the draw file is untouched" "$old" LOTO.DAT
  rm -f LOTO.DAT-journal
else
  # --- Links and special files at the record's name are refused, nothing
  # written, neither the draw file nor what the name points to.
  # (Wine follows Unix links like files: these run natively.)
  for kind in "link to the draw file" "link elsewhere" folder fifo "hard link"; do
    rm -rf LOTO.DAT-journal victim
    printf "$old" >LOTO.DAT
    printf 'precious\n' >victim
    case $kind in
      "link to the draw file") ln -s LOTO.DAT LOTO.DAT-journal; why="シンボリックリンクです" ;;
      "link elsewhere") ln -s victim LOTO.DAT-journal; why="シンボリックリンクです" ;;
      folder) mkdir LOTO.DAT-journal; why="フォルダです" ;;
      fifo) mkfifo LOTO.DAT-journal; why="通常のファイルではありません" ;;
      "hard link") ln victim LOTO.DAT-journal; why="ほかの名前 (ハードリンク) もある" ;;
    esac
    kc add 3,9,14,22,30,5
    expect "add beside a record that is a $kind" 2 ""
    expect_err "a $kind is named as the rollback record" "巻き戻し記録 $PWD/LOTO.DAT-journal を使えません: $why"
    expect_file "a $kind: the draw file is untouched" "$old" LOTO.DAT
    expect_file "a $kind: its target is untouched" 'precious\n' victim
  done
  rm -rf LOTO.DAT-journal victim

  # --- Every name of the draw file finds one record: a crash through the
  # real name is repaired through a link, and the other way round.
  mkdir real
  crash real/LOTO.DAT
  ln -sf real/LOTO.DAT LOTO.DAT
  [ "$(draws)" = "$(csv_of "$old")" ] && passed=$((passed + 1)) ||
    { failed=$((failed + 1)); echo "FAILED: a link's reader sees the torn tail"; cat out; }
  kc add 3,9,14,22,30,5
  expect "add through a link" 0 ""
  expect_file "the tail cut through the link" "${old}3,9,14,22,30,5\r\n" real/LOTO.DAT
  kc report --out real/LOTO.DAT-journal
  expect "report --out the record by the file's real name" 1 ""
fi
finish "kept files"
