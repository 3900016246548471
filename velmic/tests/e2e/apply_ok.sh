# Apply saves what the sliders show and keeps the dialog open with Apply
# disabled; Cancel after it keeps the applied values. Then a new run: OK
# saves and ends.
. "$(dirname "$0")/common.sh"
one_panel 50 20 450 30 off
start_velmic
wait_main
press_slider_end $ID_DOWN right
wait_eq "7 2 4 5" sliders
expect_sets "70 20 400 30" on "50 20 450 30" off
expect_time 400
press_control "$MAIN" $ID_APPLY
wait_eq "1 0" buttons
expect_sets "70 20 400 30" on "70 20 400 30" off
expect_time 400
press_control "$MAIN" $ID_CANCEL
wait_ended
expect_sets "70 20 400 30" off "70 20 400 30" off
expect_time 400

reset_double_click_time
start_velmic
wait_main
wait_eq "7 2 4 5" sliders
press_slider_end $ID_AREA left
wait_eq "7 2 4 3" sliders
press_control "$MAIN" $ID_CLICK_SOUND
wait_eq 1 probe checked "$MAIN" $ID_CLICK_SOUND
press_control "$MAIN" $ID_OK
wait_ended
expect_sets "70 20 400 26" on "70 20 400 26" on
expect_time 400
echo "apply_ok: Apply then Cancel keeps the applied set; OK saves and ends"
