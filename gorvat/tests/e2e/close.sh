# Closing the window by other means than Cancel after the start touch
# undoes like Cancel: WM_CLOSE (as the task bar sends it) at the first
# mark, and Alt+F4 (SC_CLOSE) on the open question.
. "$(dirname "$0")/common.sh"
sim attach 0x31 "${MARKER_REPLY[@]}" >/dev/null
start_gorvat
press 900 700
help_is "$HELP_FIRST"
probe close "$MAIN" >/dev/null
wait_closed
expect_cal "$MARKER" "$IDENTITY"

sim reset attach 0x31 "${MARKER_REPLY[@]}" >/dev/null
start_gorvat
run_to_question
probe syscommand "$BOX" 0xF060 >/dev/null
wait_closed
expect_cal "$MARKER" "$IDENTITY"
echo "close: working set restored after WM_CLOSE and after closing the question"
