#!/usr/bin/env bash
# After a crash: a calibration trial of Gorvat killed at its question leaves
# trial values in the working set, and an interlock controller killed while
# running leaves start-up mode 0 and every panel disabled. doctor names both
# (exit 2); recover --revert puts back point data, start-up mode and the
# saved calibration; doctor then finds nothing (exit 0).
. "$(dirname "$0")/../../../gorvat/tests/e2e/common.sh"

ctl() { wine_run "$WIN_BIN/tavloctl.exe" "$@"; }
folder="Z:${WIN_BIN//\//\\}"

sim attach 0x31 attach 0x32 >/dev/null
ctl record 49 --name "Left" --mode interlock >/dev/null
ctl record 50 --name "Right" --mode interlock >/dev/null
start_gorvat
run_to_question
expect_cal "$RESULT" "$IDENTITY"
end_program "$WIN_BIN/Gorvat.exe"
expect_cal "$RESULT" "$IDENTITY"   # nobody put the saved set back

launch "$WIN_BIN/Nystra.exe"
wait_eq 0 driver_field startup
wait_eq "0 0" panel_field pointdata
end_program "$WIN_BIN/Nystra.exe"

status=0
report=$(ctl doctor --folder "$folder") || status=$?
echo "$report"
[ $status -eq 2 ] || fail "doctor exit $status after the crash"
grep -q '^FAIL  startup: start-up mode is 0 with Nystra not running' <<<"$report" || fail "startup not reported"
grep -q '^FAIL  point data: 2 panel(s) have point data off' <<<"$report" || fail "point data not reported"
grep -q '^WARN  working set: panel 0 (id 49): working calibration differs' <<<"$report" || fail "trial not reported"

out=$(ctl recover --revert) || fail "recover: $out"
echo "$out"
grep -qx 'start-up mode: 0 -> 1' <<<"$out" || fail "recover output"
[ "$(driver_field startup)" = 1 ] || fail "start-up mode $(driver_field startup)"
[ "$(panel_field pointdata)" = "1 1" ] || fail "point data $(panel_field pointdata)"
expect_cal "$IDENTITY" "$IDENTITY"

report=$(ctl doctor --folder "$folder") || fail "doctor after recover: $report"
echo "$report"
! grep -qv '^OK  ' <<<"$report" || fail "doctor still finds something"
echo "recover: a killed calibration trial and interlock undone; doctor all OK"
