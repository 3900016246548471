# All panels disabled while the dialog is open: the dialog closes, the
# working set of the panel it edited is restored, the start-up window says
# "No active panel found" and the program keeps running; enabled again, the
# dialog opens afresh with the values saved meanwhile.
. "$(dirname "$0")/common.sh"
sim attach 0x30 >/dev/null
one_panel_at_1() {
    sim attach 0x31 >/dev/null
    set_click 1 saved 50 20 450 30
    set_sound 1 saved off
    set_click 1 working 80 90 700 36
    sim pointdata 0 0 >/dev/null
}
one_panel_at_1
start_velmic
wait_main
wait_eq " 49" probe text "$MAIN" $ID_ACTIVE_PANEL_ID
press_slider_end $ID_SPEED right
expect_time 500
expect_sets "50 20 500 30" on "50 20 450 30" off 1

sim pointdata 1 0 >/dev/null
wait_closed 5000
wait_eq 1 probe visible "$START"
probe wait-text "$START" $ID_INFO_MSG "$NO_ACTIVE" 5000 >/dev/null || fail "no message"
expect_sets "50 20 450 30" off "50 20 450 30" off 1
expect_time 450
screenshot start_waiting.png

set_click 1 saved 100 0 900 40
sim pointdata 1 1 >/dev/null
wait_main
wait_eq "10 0 9 10" sliders
expect_time 900
wait_eq 0 probe visible "$START"
press_control "$MAIN" $ID_CANCEL
wait_ended
echo "lost_panel: the dialog closed and restored its panel, the program waited, then reopened afresh"
