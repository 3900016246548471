# The stop request: `Nystra.exe /stop` asks the controller of this session
# to end as at its normal end, without a question (every panel enabled,
# start-up mode 1, the tray icon gone) and returns 0 once its process has
# ended. With none running it returns 0 at once and reaches neither the
# driver nor a window; a question box open in the controller does not hold
# up its end.
. "$(dirname "$0")/common.sh"
start_with_line_b_active
wait_eq 1 tray_icons

nystra_run /stop
[ "$STATUS" = 0 ] || fail "/stop ended with $STATUS"
[ "$(probe processes Nystra.exe)" = 0 ] || fail "/stop returned before the controller had ended"
[ "$(pointdata)/$(startup_mode)" = "1 1/1" ] || fail "not ended as at its normal end: $(pointdata)/$(startup_mode)"
[ "$(probe count "$BOX")" = 0 ] || fail "a question box is open"
wait_eq 0 tray_icons
echo "stop: the controller ended with every panel enabled and start-up mode 1"

# Nothing to stop: at once 0, not a request to the driver.
sim clear-log >/dev/null
before=$(driver_field requests)
nystra_run /stop:5
[ "$STATUS" = 0 ] || fail "/stop with none running ended with $STATUS"
[ "$(driver_field requests)" = "$before" ] || fail "/stop reached the driver"
[ "$(probe count "$CAPTION")/$(probe count "$BOX")" = "0/0" ] || fail "/stop showed a window"
echo "stop: none running, 0"

# The close question is open: the stop request closes it and ends.
start_nystra
wait_pointdata "0 0"
probe close "$MAIN"
box=$(wait_box)
nystra_run /stop
[ "$STATUS" = 0 ] || fail "/stop with the question open ended with $STATUS"
[ "$(probe processes Nystra.exe)" = 0 ] || fail "the controller still runs"
[ "$(pointdata)/$(startup_mode)" = "1 1/1" ] || fail "not ended as at its normal end: $(pointdata)/$(startup_mode)"
echo "stop: the open question did not hold up the end"
