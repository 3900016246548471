# Answer No: the values read at the start touch go back into the working
# set; the saved set is not written.
. "$(dirname "$0")/common.sh"
sim attach 0x31 "${MARKER_REPLY[@]}" >/dev/null
start_gorvat
run_to_question
expect_cal "$RESULT" "$IDENTITY"
press_control "$BOX" "$ID_NO"
wait_closed
expect_cal "$MARKER" "$IDENTITY"
! sim_has log 'code=0x22A08C' || fail "the saved set was written"
echo "no: working set back at $MARKER, saved set untouched"
