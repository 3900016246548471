#!/usr/bin/env bash
# tavloctl against the simulated driver: panel list, a calibration written
# and read back (checked in the driver), a touch seen live, and the report
# of a missing device.
. "$E2E_LIB"

ctl() { "$HARNESS" wine "$WIN_BIN/tavloctl.exe" "$@" | stdbuf -oL tr -d '\r'; }

"$HARNESS" sim attach 0x11 attach 0x22 0x0207 >/dev/null

list=$(ctl list)
echo "$list"
grep -q '^    1        0x22    0x0207     enabled       no$' <<<"$list" || fail "panel list"

out=$(ctl calibration 1 9000 -12 11000 34) || fail "tavloctl calibration: $out"
grep -q 'x gain 9000, x offset -12, y gain 11000, y offset 34' <<<"$out" || fail "calibration read back"
sim_has state '^panel index=1 .* cal=9000,-12,11000,34 calsaved=10000,0,10000,0' || fail "calibration in the driver"
ctl reset-calibration 1 >/dev/null
sim_has state '^panel index=1 .* cal=10000,0,10000,0' || fail "reset to identity"

# A touch while watching: watch runs in the background until it sees one.
watch_out=$TEST_LOGS/watch.txt
( ctl watch --count 1 --seconds 20 >"$watch_out" 2>&1; echo "exit=$?" >>"$watch_out" ) &
watcher=$!
wait_until 20 grep -q 'watching touches' "$watch_out" || fail "watch did not start"
"$HARNESS" sim touch 1
wait $watcher
cat "$watch_out"
grep -q '^panel 1 touched$' "$watch_out" || fail "touch not seen"
grep -q '^exit=0$' "$watch_out" || fail "watch exit code"
rm -f "$watch_out"

"$HARNESS" sim unplug
status=0
ctl list 2>"$TEST_LOGS/err.txt" || status=$?
[ $status -eq 1 ] || fail "exit code $status with the device missing"
grep -q 'TavloNoDevice (1)' "$TEST_LOGS/err.txt" || fail "missing device message"
rm -f "$TEST_LOGS/err.txt"
echo "tavloctl end to end: ok"
