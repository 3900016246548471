# Two panels reporting the same identifier: the message at start; OK writes
# both rows into the one record, the second row last.
. "$(dirname "$0")/common.sh"
sim attach 0x21 attach 0x21 >/dev/null
launch "$WIN_BIN/Cordane.exe"
# The message comes while the dialog is being set up, before it is shown.
box=$(probe find "$BOX" 15000) || fail "no message about the same identifier"
# The box has its title a moment before its text.
wait_eq "A system find the same PanelID" probe text "$box" 65535
probe click "$box" "$ID_OK"
wait_shown
expect_row 0 "33||0|1"
expect_row 1 "33||0|1"
set_name 0 "First"
set_name 1 "Second"
set_mode 1 2
probe click "$MAIN" $ID_OK
wait_closed
expect_record 33 "Second|0|0"
echo "same identifier: warned at start, the second row written last"
