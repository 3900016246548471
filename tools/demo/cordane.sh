# Scene: Cordane names the two panels, chooses their modes and the release
# time-out; its refusal of a bad time-out; the records it writes.
. "$REPO/cordane/tests/e2e/common.sh"
. "$REPO/tools/demo/lib.sh"

say "Cordane opens with the panels the driver reports (identifiers 17 and 34); no records yet: empty names, Interlock"
start_cordane
expect_row 0 "17||0|1"
expect_row 1 "34||0|1"
window_shot cordane-opened "Cordane: the two panels, no records yet" "$MAIN"

say "row 1: 'Line A', Interlock; row 2: 'Line B', Supervisor; 'Panel Release after' on, time-out 0"
set_name 0 "Line A"
set_mode 0 0
set_name 1 "Line B"
set_mode 1 1
probe click "$MAIN" "$ID_TIME_RELEASE"
wait_eq 1 probe enabled "$MAIN" "$ID_TIME_OUT"
probe settext "$MAIN" "$ID_TIME_OUT" 0
say "OK: the time-out is refused, nothing is saved, the dialog stays open"
probe click "$MAIN" "$ID_OK"
box=$(probe popup "$MAIN" 20000) || fail "no message box"
show "message box \"$(probe text "$box")\": $(probe text "$box" 65535)"
window_shot cordane-refused "Cordane: a time-out outside 1 to 1800 is refused" "$MAIN" "$box"
probe click "$box" "$ID_OK"
probe gone "$box" 20000 >/dev/null || fail "the box stayed"
[ -z "$(record 17)" ] || fail "a record was written after the refusal"
show "registry: no record written"

say "time-out 600 seconds; OK: the records are written and Cordane ends"
probe settext "$MAIN" "$ID_TIME_OUT" 600
window_shot cordane-filled "Cordane: names, modes and time-out chosen" "$MAIN"
probe click "$MAIN" "$ID_OK"
wait_closed
end_program "$WIN_BIN/Cordane.exe"
wait_eq "Line A|1|0" record 17
wait_eq "Line B|2|0" record 34
show_record ID17 NAME TOUCH_OP IR_OP
show_record ID34 NAME TOUCH_OP IR_OP
show_record ALL TIMEOUT TIMEENABLE
