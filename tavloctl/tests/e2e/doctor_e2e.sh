#!/usr/bin/env bash
# doctor on a healthy machine (exit 0, every line OK), with the interlock
# controller running (seen by its lock or window; start-up mode 0 and one
# panel enabled are then right), and on a broken one: two panels with the
# same identifier, a panel without a record, missing files (exit 2).
. "$E2E_LIB"

ctl() { wine_run "$WIN_BIN/tavloctl.exe" "$@"; }
folder="Z:${WIN_BIN//\//\\}"

sim attach 0x11 attach 0x22 >/dev/null
ctl record 17 --name "A" --mode interlock >/dev/null
ctl record 34 --name "B" --mode supervisor >/dev/null
report=$(ctl doctor --folder "$folder") || fail "doctor on a healthy machine: exit $?"
echo "$report"
! grep -qv '^OK  ' <<<"$report" || fail "a line is not OK"
grep -qx 'OK    driver: the driver answers, version 0x0210' <<<"$report" || fail "driver line"
grep -qx 'OK    interlock: Nystra is not running' <<<"$report" || fail "interlock line"
json=$(ctl doctor --folder "$folder" --json) || fail "doctor --json"
grep -q '"result": "OK"' <<<"$json" || fail "JSON result"

launch "$WIN_BIN/Nystra.exe"
wait_eq 0 driver_field startup
wait_eq "0 0" panel_field pointdata
report=$(ctl doctor --folder "$folder") || fail "doctor with the interlock running: exit $?"
echo "$report"
grep -Eq '^OK    interlock: Nystra is running \(.*(lock|window).*\)$' <<<"$report" || fail "Nystra not seen"
grep -qx 'OK    startup: start-up mode 0 fits' <<<"$report" || fail "start-up mode line"
status=0
ctl recover >/dev/null 2>&1 || status=$?
[ $status -eq 1 ] || fail "recover ran while Nystra runs (exit $status)"
end_program "$WIN_BIN/Nystra.exe"

sim reset attach 0x11 attach 0x11 attach 0x40 >/dev/null
status=0
report=$(ctl doctor --folder 'C:\nowhere') || status=$?
echo "$report"
[ $status -eq 2 ] || fail "doctor exit $status on a broken machine"
grep -q '^FAIL  identifiers: panels 0, 1 both report identifier 17' <<<"$report" || fail "shared identifier"
grep -q '^WARN  records: panel 2 (id 64) has no record' <<<"$report" || fail "missing record"
grep -q '^FAIL  files: C:\\nowhere\\ lacks TAVLO.DLL, BRIMOL.DLL' <<<"$report" || fail "missing files"
echo "doctor: healthy, interlock running and broken machine told apart"
