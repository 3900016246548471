#!/usr/bin/env bash
# tavloctl against the simulated driver: panel list with identifiers and
# records, a calibration written by identifier and read back (checked in the
# driver), a touch seen live with its time and identifier, JSON output, and
# the report of a missing device.
. "$E2E_LIB"

ctl() { wine_run "$WIN_BIN/tavloctl.exe" "$@"; }
# For watch: each line as soon as it is printed.
ctl_live() { "$HARNESS" wine "$WIN_BIN/tavloctl.exe" "$@" | stdbuf -oL tr -d '\r'; }

sim attach 0x11 attach 0x22 0x0207 >/dev/null
ctl record 34 --name "Line B" --mode supervisor >/dev/null

list=$(ctl list)
echo "$list"
grep -q '^    1          34    0x0207     enabled       no  supervisor  Line B$' <<<"$list" || fail "panel list"
[ "$(ctl list --json | tr -d ' \n' | grep -o '"id":34,"firmware":519')" != "" ] || fail "list --json"

out=$(ctl calibration id:34 9000 -12 11000 34) || fail "tavloctl calibration: $out"
grep -q '^panel 1 calibration (working): x gain 9000, x offset -12, y gain 11000, y offset 34$' <<<"$out" ||
    fail "calibration read back: $out"
sim_has state '^panel index=1 .* cal=9000,-12,11000,34 calsaved=10000,0,10000,0' || fail "calibration in the driver"
ctl revert 1 >/dev/null
sim_has state '^panel index=1 .* cal=10000,0,10000,0' || fail "revert to the saved set"

status=0
ctl led id:99 >/dev/null 2>"$TEST_LOGS/err.txt" || status=$?
[ $status -eq 1 ] || fail "exit code $status for an identifier no panel has"
grep -q 'no attached panel has identifier 99' "$TEST_LOGS/err.txt" || fail "message for identifier 99"
status=0
ctl list --saved >/dev/null 2>"$TEST_LOGS/err.txt" || status=$?
[ $status -eq 2 ] || fail "exit code $status for a refused option"
[ "$(ctl --version)" = "tavloctl 1.0.0" ] || fail "version: $(ctl --version)"

# A touch while watching: watch runs in the background until it sees one.
watch_out=$TEST_LOGS/watch.txt
( ctl_live watch --count 1 --seconds 20 >"$watch_out" 2>&1; echo "exit=$?" >>"$watch_out" ) &
watcher=$!
wait_until 20 grep -q 'watching touches' "$watch_out" || fail "watch did not start"
sim touch 1 >/dev/null
wait $watcher
cat "$watch_out"
grep -Eq '^[0-9]{2}:[0-9]{2}:[0-9]{2}\.[0-9]{3} panel 1 \(id 34\) touched$' "$watch_out" || fail "touch not seen"
grep -q '^exit=0$' "$watch_out" || fail "watch exit code"
rm -f "$watch_out"

sim unplug >/dev/null
status=0
ctl list 2>"$TEST_LOGS/err.txt" || status=$?
[ $status -eq 1 ] || fail "exit code $status with the device missing"
grep -q 'TavloNoDevice (1)' "$TEST_LOGS/err.txt" || fail "missing device message"
rm -f "$TEST_LOGS/err.txt"
echo "tavloctl end to end: ok"
