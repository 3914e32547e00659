#!/usr/bin/env bash
# quorin-id as the support desk runs it: the answer alone on standard output and exit 0, or
# nothing there, one line on standard error and exit 2; exit 1 where the answer cannot be
# written.
# Usage: quorin-id.sh QUORIN-ID
set -u
tool=$1 failures=0
run() {
  "$tool" "$@" >"$out" 2>"$err"
  status=$?
}
# Usage: expect WHAT STATUS FIRST-OUTPUT-LINE OUTPUT-LINES ERROR-LINES
expect() {
  local what=$1 want_status=$2 want_first=$3 out_lines=$4 err_lines=$5
  if [ "$status" != "$want_status" ] || [ "$(head -n 1 "$out")" != "$want_first" ] ||
    [ "$(wc -l <"$out")" != "$out_lines" ] || [ "$(wc -l <"$err")" != "$err_lines" ]; then
    echo "FAIL: $what: exit $status, output \"$(cat "$out")\", errors \"$(cat "$err")\""
    failures=$((failures + 1))
  fi
}
out=$(mktemp) err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT

run "２ＲＢ７９Ｋ１Ａ３Ｒ８Ｖ　５Ａ２ＷＷ４ＧＲＧ７８１Ｑ４"
expect "a support ID copied from the double-byte window" 0 161674CC-2A1E-11B2-A85C-E121881D01B9 1 0
run 161674cc-2a1e-11b2-a85c-e121881d01b9
expect "a UUID" 0 2RB79K1A3R8V5A2WW4GRG781Q4 1 0
run 2RB79K1A3R8V5A2WW4GRG781U4
expect "a U" 2 "" 0 1
run </dev/null
expect "no argument, from a file" 0 "" 0 0
run --help
expect "--help" 0 "Usage: quorin-id SUPPORT-ID          the machine's UUID" 40 0

# From a terminal, no argument is a mistake, not a request to read what is typed.
if script -qec "$tool" /dev/null </dev/null >"$out" 2>&1; then status=0; else status=$?; fi
[ "$status" = 2 ] || { echo "FAIL: no argument, from a terminal: exit $status"; failures=$((failures + 1)); }

# An answer that cannot be written is a failure, in every mode: exit 1, one line on standard
# error, also for a pipe that its reader closed.
: >"$out"
for mode in "161674cc-2a1e-11b2-a85c-e121881d01b9" --help - "--csv 1"; do
  # shellcheck disable=SC2086
  echo 161674cc-2a1e-11b2-a85c-e121881d01b9 | "$tool" $mode >/dev/full 2>"$err"
  status=$?
  expect "quorin-id $mode >/dev/full" 1 "" 0 1
done
yes 161674cc-2a1e-11b2-a85c-e121881d01b9 | head -n 100000 | "$tool" - 2>"$err" | head -n 1 >/dev/null
status=${PIPESTATUS[2]}
expect "a pipe closed by its reader" 1 "" 0 1

[ $failures -eq 0 ] && echo "PASS: quorin-id answers on standard output, refuses on standard error, fails where it cannot write"
[ $failures -eq 0 ]
