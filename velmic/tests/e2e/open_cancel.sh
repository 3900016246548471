# Opening shows the saved set and touches nothing; a slider moved with a
# real click previews in the working set and the double-click time only;
# Cancel puts the saved set back into effect and ends the program.
. "$(dirname "$0")/common.sh"
one_panel 50 20 450 30 off
start_velmic
wait_main
wait_eq " 49" probe text "$MAIN" $ID_ACTIVE_PANEL_ID
wait_eq "5 2 4 5" sliders
wait_eq "0 0" buttons
wait_eq 0 probe checked "$MAIN" $ID_CLICK_SOUND
expect_time 450
expect_sets "80 90 700 36" on "50 20 450 30" off
wait_eq 0 probe visible "$START"
screenshot settings_dialog.png

press_slider_end $ID_SPEED right
wait_eq "5 2 5 5" sliders
expect_time 500
expect_sets "50 20 500 30" on "50 20 450 30" off
wait_eq "1 1" buttons

press_control "$MAIN" $ID_CANCEL
wait_ended
expect_sets "50 20 450 30" off "50 20 450 30" off
expect_time 450
echo "open_cancel: saved set shown, preview in the working set only, Cancel restored it"
