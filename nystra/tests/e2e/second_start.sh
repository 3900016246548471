# One interlock per session: a second start of Nystra.exe brings the running
# controller's window to the front (from the notification area too) and
# ends without a single request to the driver; the first goes on as it was.
# Once the first has ended, a new start runs the interlock again.
. "$(dirname "$0")/common.sh"
start_with_line_b_active

# Hidden to the notification area, as the "Minimize" button does.
probe click "$MAIN" "$ID_MINIMIZE" >/dev/null
wait_eq 0 probe visible "$MAIN"

# The requests the second start could make all come before it ends: the
# log from here on holds the first's touch polls only.
sim clear-log >/dev/null
before=$(driver_field requests)
loader=$(suite_pe_loader "$WIN_BIN/Nystra.exe")
status=0
timeout 20 "$loader" "$WIN_BIN/Nystra.exe" </dev/null >/dev/null 2>&1 || status=$?
[ "$status" = 0 ] || fail "the second start ended with status $status"
after=$(driver_field requests)

wait_eq 1 probe visible "$MAIN"
wait_eq "$MAIN" probe foreground
wait_eq 1 probe processes Nystra.exe
[ "$(probe count "$CAPTION")" = 1 ] || fail "more than one interlock window"

# Nothing dropped from the log, and nothing in it but touch polls (the
# status read and the touch read of each panel).
codes=$(sim -m log | sed -n 's/^request .*code=\([^ ]*\).*/\1/p' | sort -u | paste -sd' ')
logged=$(sim -m log | grep -c '^request ' || true)
[ "$logged" -ge $((after - before)) ] || fail "the log dropped requests: $logged of $((after - before))"
case "$codes" in
"" | 0x226004 | 0x22E0E0 | "0x226004 0x22E0E0") ;;
*) fail "the second start reached the driver: request codes $codes" ;;
esac
[ "$(pointdata)/$(startup_mode)" = "0 1/0" ] || fail "the driver changed: $(pointdata)/$(startup_mode)"
echo "second start: window in front, $((after - before)) requests all touch polls ($codes), one process"

# The first still runs the interlock.
sim touch 0 >/dev/null
stays_eq 1 "0 1" pointdata  # panel 0 is Interlock: only a request
wait_rows 34 "Line B" 17 ""
sim release 0 >/dev/null

# After the first has ended, a start runs the interlock again.
end_with_ok
wait_pointdata "1 1"
wait_eq 0 probe processes Nystra.exe
start_nystra
wait_pointdata "0 0"
wait_eq 0 startup_mode
echo "second start: the lock ends with the first"
