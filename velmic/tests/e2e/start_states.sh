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
wait_until 10 bash -c "! kill -0 $BG_PID 2>/dev/null || grep -q . /proc/$BG_PID/status && grep -q '^State:.*Z' /proc/$BG_PID/status" ||
    fail "Velmic did not end without the driver"
wine_bg_end "$BG_PID"
stays_eq 1 "" bash -c "\"$SUITE_WINE64\" \"$SUITE_WIN64_BIN/winprobe.exe\" find \"$START\" 0 2>/dev/null | tr -d '\r'"
sim replug >/dev/null
echo "start_states: no panel is reported and waited on; no driver ends silently"
