# One panel with a record: the dialog shows it in row 1 and nothing in row
# 2; the lists hold the three modes in order; OK writes the name, the mode
# chosen and the time-out, and keeps IR_OP as it was.
. "$(dirname "$0")/common.sh"
sim attach 0x11 >/dev/null
put_panel 17 "Line A" 2 9
put_system 45 1
start_cordane

expect_row 0 "17|Line A|1|1"
expect_row 1 "||-1|0"
expect_row_enabled 0 1
expect_row_enabled 1 0
[ "$(probe items "$MAIN" "${ID_MODES[0]}" | paste -sd,)" = "Interlock,Supervisor,Disable" ] || fail "mode list: $(probe items "$MAIN" "${ID_MODES[0]}")"
[ "$(probe items "$MAIN" "${ID_MODES[1]}" | paste -sd,)" = "Interlock,Supervisor,Disable" ] || fail "mode list of row 2"
for id in "${ID_NAMES[0]}" "${ID_NAMES[1]}"; do
    [ "$(probe limit "$MAIN" "$id")" = 16 ] || fail "name edit $id takes $(probe limit "$MAIN" "$id") characters"
done
[ "$(probe checked "$MAIN" $ID_TIME_RELEASE)" = 1 ] || fail "time release is not checked"
[ "$(probe text "$MAIN" $ID_TIME_RELEASE)" = "Panel Release        after" ] || fail "check box text"
[ "$(probe text "$MAIN" $ID_TIME_OUT)" = 45 ] || fail "time-out shows $(probe text "$MAIN" $ID_TIME_OUT)"
[ "$(probe enabled "$MAIN" $ID_TIME_OUT)" = 1 ] || fail "time-out disabled"
[ "$(probe enabled "$MAIN" $ID_OK)" = 1 ] || fail "OK disabled"
read -r _ exstyle < <(probe style "$MAIN")
(( 16#$exstyle & 0x40000 )) || fail "no task bar button (extended style $exstyle)"
screenshot cordane-one-panel.png

set_name 0 "Press 1"
set_mode 0 2
probe settext "$MAIN" $ID_TIME_OUT 90
probe click "$MAIN" $ID_OK
wait_closed
expect_record 17 "Press 1|0|9"
expect_system "90|1"
echo "one panel: shown, edited and saved"
