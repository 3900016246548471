# The edited panel changes its number while the dialog is open (the
# disabled panel listed before it is unplugged): the dialog stays open with
# the unsaved change, and OK saves it into that panel at its new number.
. "$(dirname "$0")/common.sh"
sim attach 0x30 attach 0x31 pointdata 0 0 >/dev/null
set_click 1 saved 50 20 450 30
set_sound 1 saved off
start_velmic
wait_main
wait_eq " 49" probe text "$MAIN" $ID_ACTIVE_PANEL_ID
dialog=$(probe find "$MAIN")
press_slider_end $ID_SPEED right
expect_time 500
wait_eq "1 1" buttons

sim remove 0 >/dev/null
wait_eq 1 driver_field panels
# Several polls later the same dialog is open, with its change in effect.
stays_eq 2 1 probe visible "$dialog"
[ "$(probe find "$MAIN")" = "$dialog" ] || fail "the dialog was opened afresh"
wait_eq "1 1" buttons
expect_time 500
expect_sets "50 20 500 30" on "50 20 450 30" off 0

press_control "$MAIN" $ID_OK
wait_ended
expect_sets "50 20 500 30" off "50 20 500 30" off 0
expect_time 500
echo "renumbered: the dialog followed panel 49 from number 1 to 0 and saved into it"
