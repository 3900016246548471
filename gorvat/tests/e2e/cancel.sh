# Cancel before the start touch writes nothing; Cancel at the second mark
# puts the values read at the start touch back.
. "$(dirname "$0")/common.sh"
sim attach 0x31 >/dev/null
start_gorvat
press_control "$MAIN" "$ID_QUIT_BUTTON"
wait_closed
! sim_has log -E 'code=0x22A0(84|8C)' || fail "Cancel before the start touch wrote a calibration"
expect_cal "$IDENTITY" "$IDENTITY"

sim reset attach 0x31 "${MARKER_REPLY[@]}" >/dev/null
start_gorvat
run_to_second_mark
expect_cal "$IDENTITY" "$IDENTITY"
press_control "$MAIN" "$ID_QUIT_BUTTON"
wait_closed
expect_cal "$MARKER" "$IDENTITY"
echo "cancel: nothing written before the start touch; working set restored after it"
