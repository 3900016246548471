# The start values cannot be written back: the run still ends. After No
# the trial values stay in the working set; after Cancel at the second
# mark the identity stays. The saved set is never written.
. "$(dirname "$0")/common.sh"
sim attach 0x31 "${MARKER_REPLY[@]}" >/dev/null
start_gorvat
run_to_question
expect_cal "$RESULT" "$IDENTITY"
sim fail 0x22A084 31 >/dev/null
press_control "$BOX" "$ID_NO"
wait_closed
expect_cal "$RESULT" "$IDENTITY"
sim -m log | grep -q 'code=0x22A084 .*error=31' || fail "no refused write of the start values in the log"
! sim -m log | grep -q 'code=0x22A08C' || fail "the saved set was written"

sim reset attach 0x31 "${MARKER_REPLY[@]}" >/dev/null
start_gorvat
run_to_second_mark
sim fail 0x22A084 31 >/dev/null
press_control "$MAIN" "$ID_QUIT_BUTTON"
wait_closed
expect_cal "$IDENTITY" "$IDENTITY"
sim -m log | grep -q 'code=0x22A084 .*error=31' || fail "no refused write of the start values in the log"
echo "restore_fails: window closed after No and after Cancel although the start values were refused"
