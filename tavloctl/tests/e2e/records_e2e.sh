#!/usr/bin/env bash
# The records both ways between tavloctl and the panel setting dialog:
# what tavloctl writes, Cordane shows (names, modes, time-out); what
# Cordane saves, tavloctl reads. A record with a wrong type is reported
# with the value Brimol reads for it.
. "$(dirname "$0")/../../../cordane/tests/e2e/common.sh"

ctl() { wine_run "$WIN_BIN/tavloctl.exe" "$@"; }

sim attach 0x11 attach 0x22 >/dev/null
ctl record id:17 --name "Line A" --mode supervisor >/dev/null || fail "record 17"
ctl record 34 --name "Press 2" --mode disable >/dev/null || fail "record 34"
ctl system --timeout 90 --time-release on >/dev/null || fail "system"
expect_record 17 "Line A|2|0"
expect_system "90|1"

start_cordane
expect_row 0 "17|Line A|1|1"  # list positions: 0 Interlock, 1 Supervisor, 2 Disable
expect_row 1 "34|Press 2|2|1"
[ "$(probe checked "$MAIN" $ID_TIME_RELEASE)" = 1 ] || fail "time release not checked"
[ "$(probe text "$MAIN" $ID_TIME_OUT)" = 90 ] || fail "time-out shows $(probe text "$MAIN" $ID_TIME_OUT)"

# Cordane's changes, read back by tavloctl.
set_name 1 "Gate"
set_mode 1 0
probe settext "$MAIN" $ID_TIME_OUT 1800
probe click "$MAIN" $ID_OK
wait_closed
out=$(ctl records) || fail "records"
echo "$out"
grep -qx 'ID34: name "Gate", mode interlock, IR_OP 0' <<<"$out" || fail "record 34 as read by tavloctl"
grep -qx 'ALL: time-out 1800 s, time release on' <<<"$out" || fail "system record as read by tavloctl"
[ "$(ctl list --json | tr -d ' \n' | grep -o '"name":"Gate","mode":"interlock"')" != "" ] || fail "list --json"

# A TOUCH_OP stored as text reads as interlock and is noted.
reg_record 32 "$KEY\\ID5" NAME REG_SZ "Spare" TOUCH_OP REG_SZ "2" IR_OP REG_DWORD 0
out=$(ctl record 5) || fail "record 5"
echo "$out"
grep -qx 'ID5: name "Spare", mode interlock, IR_OP 0' <<<"$out" || fail "record 5 read"
grep -Eqx '  note: TOUCH_OP is not a 32-bit number \(type 1, [0-9]+ bytes\); read as 1 \(interlock\)' <<<"$out" ||
    fail "no note on the wrong type"
echo "records: tavloctl and Cordane read each other's records"
