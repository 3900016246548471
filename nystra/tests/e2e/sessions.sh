# One controller per machine. The machine-wide lock held by a controller of
# another session (here a helper that holds it without this session's mark):
# a start ends at once, without a single request to the driver, a window or
# a box, and says why in the trace; `/stop` cannot reach it (2). A lock whose
# holder ended without releasing it is taken over. After a crash (the
# process killed with a panel active) a new start takes the machine over
# with every panel disabled.
. "$(dirname "$0")/common.sh"
sim attach 0x11 attach 0x22 >/dev/null
trace_start 100

wine_bg "$TEST_LOGS/holder.txt" "$HELPER" hold-lock 100
holder=$BG_PID
wait_until 10 grep -q holding "$TEST_LOGS/holder.txt" || fail "the helper did not take the lock"
sim clear-log >/dev/null
before=$(driver_field requests)
nystra_run
[ "$STATUS" = 0 ] || fail "the start ended with $STATUS"
wait_trace "Nystra: a controller runs in another session; this start ends"
[ "$(driver_field requests)" = "$before" ] || fail "the start reached the driver: $(sim log)"
[ "$(probe count "$CAPTION")/$(probe count "$BOX")/$(probe processes Nystra.exe)" = "0/0/0" ] ||
    fail "the start left a window, a box or a process"
[ "$(pointdata)/$(startup_mode)" = "1 1/1" ] || fail "the driver changed: $(pointdata)/$(startup_mode)"
nystra_run /stop
[ "$STATUS" = 2 ] || fail "/stop with the controller in another session ended with $STATUS"
wait_trace "Nystra: stop request: a controller runs in another session, out of reach from here"
wine_bg_end "$holder"
echo "sessions: a controller of another session keeps the machine; this start ended at once"

wine_bg "$TEST_LOGS/holder.txt" "$HELPER" abandon-lock 100
holder=$BG_PID
wait_until 10 grep -q abandoned "$TEST_LOGS/holder.txt" || fail "the helper did not abandon the lock"
start_nystra
wait_pointdata "0 0"
grep -qx "Nystra: took over the lock of a controller that ended without releasing it" < <(trace_lines) ||
    fail "no take-over in the trace"
wine_bg_end "$holder"
echo "sessions: an abandoned lock was taken over"

# A crash with panel 1 active leaves it as it was; the next start releases.
sim touch 1 >/dev/null
wait_pointdata "0 1"
sim release 1 >/dev/null
end_program "$WIN_BIN/Nystra.exe"
[ "$(pointdata)/$(startup_mode)" = "0 1/0" ] || fail "the killed controller changed the driver"
start_nystra
wait_pointdata "0 0"
wait_trace "Nystra: started: 2 panels, every panel disabled, start-up mode 0"
trace_stop
echo "sessions: a start after a crash takes over"
