# The tool buttons start the real programs placed at the fixed paths in the
# prefix, without waiting: Cordane stays usable while the tool runs, and the
# tool finds the active panel itself. A tool that is not installed starts
# nothing and shows nothing.
. "$(dirname "$0")/common.sh"
CALIBRATION="Touch Panel Calibration"  # the calibration tool's window
TOOLS=$WINEPREFIX/drive_c/Orlinde/Dravik
cleanup() {
    probe close "$CALIBRATION" >/dev/null 2>&1 || true
    probe gone "$CALIBRATION" 5000 >/dev/null 2>&1 || true
    rm -rf "$WINEPREFIX/drive_c/Orlinde"
}
trap cleanup EXIT
mkdir -p "$TOOLS"
cp "$WIN_BIN/Gorvat.exe" "$WIN_BIN/TAVLO.DLL" "$TOOLS/"

sim attach 0x11 attach 0x22 >/dev/null
start_cordane
# Row 2's button: the tool is told nothing about the row.
probe click "$MAIN" "${ID_CALIBRATION[1]}"
probe find "$CALIBRATION" 15000 >/dev/null || fail "the calibration tool did not start"
[ "$(probe text "$MAIN" "${ID_IDS[0]}")" = 17 ] || fail "Cordane does not answer while the tool runs"
[ "$(probe visible "$MAIN")" = 1 ] || fail "Cordane is hidden"
probe close "$CALIBRATION" >/dev/null
probe gone "$CALIBRATION" 10000 >/dev/null || fail "the calibration tool did not end"

# Velmic.exe is not in the folder: the click starts nothing and opens no
# box, so the Cancel clicked after it closes the dialog.
probe click "$MAIN" "${ID_TOUCH[0]}"
probe click "$MAIN" $ID_CANCEL
wait_closed
! probe find "$BOX" 100 >/dev/null 2>&1 || fail "a box opened for the missing tool"
echo "tools: started by fixed path without waiting; a missing tool passes quietly"
