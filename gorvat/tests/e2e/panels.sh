# Panels attached or removed during the run shift the panel numbers: the
# calibrated panel is found again by its identifier. Cancel at the second
# mark after the panel before it was removed puts the start values back into
# the calibrated panel, now number 0. Yes on the question after the panel
# before it was removed and another attached (which takes the old number
# of the calibrated panel) saves the result into the calibrated panel and
# leaves the new one untouched.
. "$(dirname "$0")/common.sh"
sim attach 0x30 attach 0x31 pointdata 0 0 "${MARKER_REPLY[@]}" >/dev/null
start_gorvat
run_to_second_mark
wait_eq "( 1 )" probe text "$MAIN" "$ID_DBG_MESSAGE"
sim remove 0 >/dev/null
press_control "$MAIN" "$ID_QUIT_BUTTON"
wait_closed
expect_cal "$MARKER" "$IDENTITY" 0

sim reset attach 0x30 attach 0x31 pointdata 0 0 >/dev/null
start_gorvat
run_to_question
sim remove 0 attach 0x33 >/dev/null
press_control "$BOX" "$ID_YES"
wait_closed
expect_cal "$RESULT" "$RESULT" 0
expect_cal "$IDENTITY" "$IDENTITY" 1
sim_has state '^panel index=1 id=51 ' || fail "panel 1 is not the one attached during the run"
echo "panels: restored and saved into the calibrated panel after the panel numbers shifted"
