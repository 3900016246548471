# The sound check box previews in the working set only; Set to default
# shows the defaults and puts them into effect, OK and Apply enabled; the
# saved set changes only with OK.
. "$(dirname "$0")/common.sh"
one_panel 50 20 450 30 off
start_velmic
wait_main
press_control "$MAIN" $ID_CLICK_SOUND
wait_eq 1 probe checked "$MAIN" $ID_CLICK_SOUND
expect_sets "80 90 700 36" on "50 20 450 30" off
wait_eq "1 1" buttons
press_control "$MAIN" $ID_CLICK_SOUND
expect_sets "80 90 700 36" off "50 20 450 30" off

press_control "$MAIN" $ID_SET_DEFAULT
wait_eq "3 3 4 4" sliders
wait_eq 1 probe checked "$MAIN" $ID_CLICK_SOUND
expect_sets "30 30 400 28" on "50 20 450 30" off
expect_time 400
wait_eq "1 1" buttons
press_control "$MAIN" $ID_OK
wait_ended
expect_sets "30 30 400 28" on "30 30 400 28" on
expect_time 400
echo "defaults_sound: the check box and Set to default preview; OK saves"
