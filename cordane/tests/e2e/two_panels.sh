# Two panels, the second without a record: it shows an empty name and
# "Interlock", and OK creates its record with IR_OP 0. Both rows
# Supervisor: the message at OK, and everything is saved all the same. The
# dialog has the template's size with one panel and with two.
. "$(dirname "$0")/common.sh"
sim attach 0x11 attach 0x22 >/dev/null
put_panel 17 "Line A" 1 3
start_cordane

expect_row 0 "17|Line A|0|1"
expect_row 1 "34||0|1"
expect_row_enabled 1 1
# No system record: 30 seconds, time release off, the field disabled.
[ "$(probe checked "$MAIN" $ID_TIME_RELEASE)" = 0 ] || fail "time release checked"
[ "$(probe text "$MAIN" $ID_TIME_OUT)" = 30 ] || fail "time-out shows $(probe text "$MAIN" $ID_TIME_OUT)"
[ "$(probe enabled "$MAIN" $ID_TIME_OUT)" = 0 ] || fail "time-out enabled"
screenshot cordane-two-panels.png
size_two=$(window_size)

# Checking the box enables the time-out field at once.
probe click "$MAIN" $ID_TIME_RELEASE
wait_eq 1 probe enabled "$MAIN" $ID_TIME_OUT

set_name 1 "Line B"
set_mode 0 1
set_mode 1 1
probe click "$MAIN" $ID_OK
expect_box "There are two Supervisor in this system"
wait_closed
expect_record 17 "Line A|2|3"
expect_record 34 "Line B|2|0"
expect_system "30|1"

# The dialog with one panel has the same size as with two.
sim reset attach 0x11 >/dev/null
start_cordane
expect_row 1 "||-1|0"
[ "$(window_size)" = "$size_two" ] || fail "size with one panel $(window_size), with two $size_two"
probe click "$MAIN" $ID_CANCEL
wait_closed
echo "two panels: record created, two Supervisor warned about and saved"
