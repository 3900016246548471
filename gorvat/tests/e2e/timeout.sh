# No answer: after 15 seconds the question ends by itself and the run
# ends as with No.
. "$(dirname "$0")/common.sh"
sim attach 0x31 "${MARKER_REPLY[@]}" >/dev/null
start_gorvat
run_to_question
opened=$SECONDS
probe gone "$BOX" 25000 >/dev/null || fail "the question did not time out"
waited=$((SECONDS - opened))
[ "$waited" -ge 13 ] || fail "the question ended after only $waited s"
wait_closed
expect_cal "$MARKER" "$IDENTITY"
echo "timeout: question ended after about $waited s; working set back at $MARKER"
