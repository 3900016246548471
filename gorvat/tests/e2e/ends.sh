# The endings the other scenarios leave out. Esc (a real key) ends
# nothing: the calibration window answers its Cancel button only. Alt+F4
# (a real key) at the first mark is handled as Cancel. The end of the
# session, at the second mark and with the question open, puts the values
# read at the start touch back before WM_ENDSESSION returns. The driver
# gone when No is pressed keeps the window open, saying so; once the
# driver is back the next Cancel puts the values back.
. "$(dirname "$0")/common.sh"
NOT_RESTORED="Can't send the IOCTL!1  The calibration in use was not restored."

# WM_QUERYENDSESSION, then WM_ENDSESSION as the system sends them; once
# answered the process may be ended, so the driver must hold the values.
end_session() {
    [ "$(probe send "$MAIN" 0x11 0 0)" = 1 ] || fail "WM_QUERYENDSESSION refused"
    probe send "$MAIN" 0x16 1 0 >/dev/null || fail "no answer to WM_ENDSESSION"
    [ "$(calibration)" = "$MARKER $IDENTITY" ] || fail "WM_ENDSESSION returned before the restore: $(calibration)"
    wait_closed
}

sim attach 0x31 "${MARKER_REPLY[@]}" >/dev/null
start_gorvat
run_to_second_mark
xdotool key Escape
stays_eq 1 "$IDENTITY $IDENTITY" calibration
probe find "$MAIN" 0 >/dev/null || fail "Esc closed the window"
help_is "$HELP_SECOND"
end_session
echo "ends: Esc changed nothing; WM_ENDSESSION at the second mark restored $MARKER"

sim reset attach 0x31 "${MARKER_REPLY[@]}" >/dev/null
start_gorvat
press 900 700
help_is "$HELP_FIRST"
xdotool key alt+F4
wait_closed
expect_cal "$MARKER" "$IDENTITY"
echo "ends: Alt+F4 at the first mark restored $MARKER"

sim reset attach 0x31 "${MARKER_REPLY[@]}" >/dev/null
start_gorvat
run_to_question
end_session
probe gone "$BOX" 5000 >/dev/null || fail "the question box stayed"
echo "ends: WM_ENDSESSION with the question open restored $MARKER"

sim reset attach 0x31 "${MARKER_REPLY[@]}" >/dev/null
start_gorvat
run_to_question
sim unplug >/dev/null
press_control "$BOX" "$ID_NO"
help_is "$NOT_RESTORED"
expect_cal "$RESULT" "$IDENTITY"
sim replug >/dev/null
press_control "$MAIN" "$ID_QUIT_BUTTON"
wait_closed
expect_cal "$MARKER" "$IDENTITY"
! sim_has log 'code=0x22A08C' || fail "the saved set was written"
echo "ends: the driver gone at No kept the window open; back, Cancel restored $MARKER"
