#!/usr/bin/env bash
# Checks the Xvfb wrapper: the command sees a live display, its exit status comes back, the
# time limit holds, and the server is gone afterwards.
set -u
wrapper=$1
fail() { echo "FAIL: $*" >&2; exit 1; }
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

# The command records its display and the pid of the server behind it. Other tests may start their own servers meanwhile, even on the same display
# number once it is free again, so "gone afterwards" is asked of that very process.
"$wrapper" -- sh -c 'echo "$DISPLAY" >"$1"; echo "$WITH_XVFB_PID" >"$2"; xdpyinfo >/dev/null' \
  sh "$out/display" "$out/pid" \
  || fail "a command on the display did not succeed"
display=$(cat "$out/display")
case "$display" in :[0-9]*) ;; *) fail "DISPLAY was '$display'" ;; esac
pid=$(cat "$out/pid")
[ -n "$pid" ] || fail "the wrapper did not name its server"
kill -0 "$pid" 2>/dev/null && fail "Xvfb on $display (pid $pid) still runs"

"$wrapper" -- sh -c 'exit 7'
[ $? -eq 7 ] || fail "the exit status was not passed on"

start=$(date +%s)
"$wrapper" --timeout 2 -- sleep 60
status=$?
[ $status -eq 124 ] || fail "a command over the limit gave $status, not 124"
[ $(( $(date +%s) - start )) -lt 30 ] || fail "the time limit did not hold"

# Two wrappers at once get two displays.
"$wrapper" -- sh -c 'echo "$DISPLAY" >"$1"; sleep 1' sh "$out/a" &
"$wrapper" -- sh -c 'echo "$DISPLAY" >"$1"; sleep 1' sh "$out/b" &
wait
[ "$(cat "$out/a")" != "$(cat "$out/b")" ] || fail "two wrappers shared one display"

"$wrapper" 2>/dev/null
[ $? -eq 2 ] || fail "a missing command was not refused"
echo "with-xvfb: all checks passed"
