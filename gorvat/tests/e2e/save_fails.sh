# Yes, but the saved set cannot be written: the window stays at the second
# mark with the failure; the next press is a new second touch.
. "$(dirname "$0")/common.sh"
sim attach 0x31 fail 0x22A08C 31 >/dev/null
start_gorvat
run_to_question
press_control "$BOX" "$ID_YES"
help_is "Can't send the IOCTL!8"
expect_cal "$RESULT" "$IDENTITY"
sim fail 0x22A08C 0 >/dev/null
press 840 633
wait_question
press_control "$BOX" "$ID_YES"
wait_closed
expect_cal "10343,-100,10281,-93" "10343,-100,10281,-93"
echo "save_fails: failure shown, new second touch saved"
