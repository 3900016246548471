# The start values cannot be written back: the trial values would stay in
# use, so the window stays open and says so. After No the driver takes
# writes again and the next Cancel puts the values read at the start touch
# back; at the second mark the driver goes on refusing and the second
# Cancel ends the program all the same. The saved set is never written.
. "$(dirname "$0")/common.sh"
NOT_RESTORED="Can't send the IOCTL!8  The calibration in use was not restored."
sim attach 0x31 "${MARKER_REPLY[@]}" >/dev/null
start_gorvat
run_to_question
expect_cal "$RESULT" "$IDENTITY"
sim fail 0x22A084 31 >/dev/null
press_control "$BOX" "$ID_NO"
help_is "$NOT_RESTORED"
probe gone "$BOX" 5000 >/dev/null || fail "the question box stayed"
expect_cal "$RESULT" "$IDENTITY"
sim clear-faults >/dev/null
press_control "$MAIN" "$ID_QUIT_BUTTON"
wait_closed
expect_cal "$MARKER" "$IDENTITY"
sim_has log 'code=0x22A084 .*error=31' || fail "no refused write of the start values in the log"
! sim_has log 'code=0x22A08C' || fail "the saved set was written"

sim reset attach 0x31 "${MARKER_REPLY[@]}" >/dev/null
start_gorvat
run_to_second_mark
sim fail 0x22A084 31 >/dev/null
press_control "$MAIN" "$ID_QUIT_BUTTON"
help_is "$NOT_RESTORED"
press_control "$MAIN" "$ID_QUIT_BUTTON"
wait_closed
expect_cal "$IDENTITY" "$IDENTITY"
[ "$(sim -m log | grep -c 'code=0x22A084 .*error=31')" = 2 ] || fail "the second Cancel did not try again"
echo "restore_fails: window kept open after a refused restore; the next Cancel restored, or ended when refused again"
