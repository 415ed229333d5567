# What kestaro-cli's test scripts share: a fresh folder, the program run as
# a user runs it, and the checks of its output. Sourced once `here` names
# the scripts' folder; sets program, windows, passed and failed.
set -u
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
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
  if grep -qF -e "$(jp "$2")" err; then passed=$((passed + 1)); else
    failed=$((failed + 1)); echo "FAILED: $1: stderr is"; cat err; fi
}
tab=$(printf '\t')
# kc_to FILE ARGS...: kc, its output kept in FILE and its stderr in FILE.err;
# a failure unless it exits 0.
kc_to() {
  to=$1
  shift
  kc "$@"
  cp out "$to"
  cp err "$to.err"
  [ "$(cat status)" = 0 ] || { failed=$((failed + 1)); echo "FAILED: $* exited $(cat status)"; cat err; }
}
# json_ok NAME CHECK ARGS...: json_check.py's CHECK holds.
json_ok() {
  name=$1
  shift
  if python3 "$here/json_check.py" "$@" >why 2>&1; then passed=$((passed + 1)); else
    failed=$((failed + 1)); echo "FAILED: $name: $(cat why)"; fi
}
same() {  # NAME FILE FILE
  if cmp -s "$2" "$3"; then passed=$((passed + 1)); else
    failed=$((failed + 1)); echo "FAILED: $1: $2 and $3 differ"; fi
}
# wait_for FILE: until another process has made it (a minute at most).
wait_for() {
  tries=0
  while [ ! -e "$1" ] && [ $tries -lt 600 ]; do sleep 0.1; tries=$((tries + 1)); done
}
# Ends the script: the counts, and its status.
finish() {
  echo "$1: $passed passed, $failed failed"
  [ $failed -eq 0 ]
}
