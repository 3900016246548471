# The start-up check without an active panel: no panel gives "No panel
# device found", Cancel ends; a driver that does not answer ends the
# program without any window.
. "$(dirname "$0")/common.sh"
start_velmic
probe wait-text "$START" $ID_INFO_MSG "$NO_DEVICE" 5000 >/dev/null || fail "no 'No panel device found'"
wait_eq 1 probe visible "$START"
screenshot start_no_device.png
press_control "$START" $ID_CANCEL
probe gone "$START" 5000 >/dev/null || fail "Cancel did not end the program"
"$HARNESS" end "$WIN_BIN/Velmic.exe" >/dev/null 2>&1 || true

sim unplug >/dev/null
out=$(mktemp)
wine_bg "$out" "$WIN_BIN/Velmic.exe"
# Ended: no process left (or only its zombie, which this script reaps).
process_ended() { [ ! -e "/proc/$BG_PID" ] || grep -q '^State:.*Z' "/proc/$BG_PID/status"; }
wait_until 10 process_ended || fail "Velmic did not end without the driver"
wine_bg_end "$BG_PID"
probe gone "$START" 0 >/dev/null || fail "a start-up window was left"
[ ! -s "$out" ] || fail "Velmic wrote: $(cat "$out")"
rm -f "$out"
sim replug >/dev/null
echo "start_states: no panel is reported and waited on; no driver ends silently"
