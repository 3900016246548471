# A complete run answered Yes: the result is in both sets. Saves the
# screenshots of step 0, step 2 and the open question.
. "$(dirname "$0")/common.sh"
sim attach 0x31 >/dev/null
start_gorvat
read -r _ exstyle < <(probe style "$MAIN")
(( 16#$exstyle & 0x8 )) || fail "the window is not topmost (extended style $exstyle)"
screenshot gorvat-step0.png

# The start touch on the help line itself: the frame lets it through.
press_control "$MAIN" "$ID_TEXT_MESSAGE"
help_is "$HELP_FIRST"
wait_eq "( 0 )" probe text "$MAIN" "$ID_DBG_MESSAGE"
wait_eq "171 128" centre_of "$MAIN" "$ID_PIC_POINT"
expect_cal "$IDENTITY" "$IDENTITY"

press "${TOUCH1[@]}"
help_is "$HELP_SECOND"
wait_eq "853 640" centre_of "$MAIN" "$ID_PIC_POINT"
screenshot gorvat-step2.png

press "${TOUCH2[@]}"
wait_question
help_is "$HELP_QUESTION"
wait_eq 0 probe visible "$MAIN" "$ID_PIC_POINT"
expect_cal "$RESULT" "$IDENTITY"   # tried while the question is open
wait_eq $'Do you wish to save this calibration data?\n(Automatic timeout after 15 sec. )' \
    probe text "$BOX" "$ID_LBL_MSG_AREA"
captions() { echo "$(probe text "$BOX" "$ID_YES")/$(probe text "$BOX" "$ID_NO")"; }
wait_eq "Yes/No" captions
screenshot gorvat-question.png

press_control "$BOX" "$ID_YES"
wait_closed
expect_cal "$RESULT" "$RESULT"
echo "yes: working and saved sets hold $RESULT"
