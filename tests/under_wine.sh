#!/bin/sh
# Runs a test program under Wine and returns when the program ends, with
# its exit status and its output. The output goes through a file rather
# than straight into ctest's pipe: Wine starts its desktop and service
# processes from the first program that needs them, and they inherit that
# program's streams. Holding ctest's pipe, they would keep a finished test
# "running" for as long as other tests keep the desktop in use.
out=$(mktemp) || exit 1
wine "$@" >"$out" 2>&1 </dev/null &
pid=$!
trap 'kill "$pid" 2>/dev/null' TERM INT
while :; do
  wait "$pid"
  status=$?
  # A signal interrupts the wait; the program's own status comes once it ended.
  kill -0 "$pid" 2>/dev/null || break
done
cat "$out"
rm -f "$out"
exit "$status"
