# No panel enabled at the start touch: the window waits, paced by a timer
# and still answering, until panel 1 is enabled; then it calibrates panel 1.
. "$(dirname "$0")/common.sh"
sim attach 0x31 attach 0x32 pointdata 0 0 pointdata 1 0 >/dev/null
start_gorvat
press 900 700
for _ in $(seq 50); do
    text=$(probe text "$MAIN" "$ID_TEXT_MESSAGE")
    [[ "$text" =~ ^All\ panels\(2\)\ Disable\.\ \(Touch\ me!\)0-?[0-9]+$ ]] && break
done
[[ "$text" =~ ^All\ panels\(2\)\ Disable ]] || fail "help line while waiting: $text"
requests=$(sim -m state | sed -n 's/^driver .*requests=\([0-9]*\).*/\1/p')
sim pointdata 1 1 >/dev/null
wait_eq "( 1 )" probe text "$MAIN" "$ID_DBG_MESSAGE"
# The wait's text stays when the wait ends; the mark shows where to touch.
waiting=$(probe text "$MAIN" "$ID_TEXT_MESSAGE")
[[ "$waiting" =~ ^All\ panels\(2\)\ Disable ]] || fail "help line rewritten when the wait ended: $waiting"
press "${TOUCH1[@]}"
help_is "$HELP_SECOND"
press "${TOUCH2[@]}"
wait_question
press_control "$BOX" "$ID_YES"
wait_closed
expect_cal "$RESULT" "$RESULT" 1
expect_cal "$IDENTITY" "$IDENTITY" 0
echo "search: waited with $requests requests answered, then calibrated panel 1"
