# The tool buttons start the real programs placed at the fixed paths in the
# prefix, without waiting: Cordane stays usable while a tool runs, and the
# tool finds the active panel itself. A tool that is not installed starts
# nothing and shows nothing.
. "$(dirname "$0")/common.sh"
CALIBRATION="Touch Panel Calibration"  # the calibration tool's window
SETTINGS="Touch Settings Program"      # the click settings tool's dialog
SETTINGS_START="Touch panel settings  -  Information"
WINDOWS_DEFAULT_TIME=500               # double-click time; the click settings tool changes it
TOOLS=$WINEPREFIX/drive_c/$SUITE_VENDOR_FOLDER_NAME/$SUITE_PROGRAM_FOLDER_NAME  # the install folder
cleanup() {
    probe close "$CALIBRATION" >/dev/null 2>&1 || true
    probe click "$SETTINGS" "$ID_CANCEL" >/dev/null 2>&1 || true
    probe gone "$CALIBRATION" 5000 >/dev/null 2>&1 || true
    probe gone "$SETTINGS_START" 5000 >/dev/null 2>&1 || true
    probe set-dblclick-time "$WINDOWS_DEFAULT_TIME" >/dev/null 2>&1 || true
    rm -rf "$WINEPREFIX/drive_c/$SUITE_VENDOR_FOLDER_NAME"
}
trap cleanup EXIT
probe set-dblclick-time "$WINDOWS_DEFAULT_TIME" >/dev/null || fail "cannot reset the double-click time"
mkdir -p "$TOOLS"
cp "$WIN_BIN/Gorvat.exe" "$WIN_BIN/Velmic.exe" "$WIN_BIN/TAVLO.DLL" "$TOOLS/"

sim attach 0x11 attach 0x22 >/dev/null
start_cordane
# Row 2's button: the tool is told nothing about the row.
probe click "$MAIN" "${ID_CALIBRATION[1]}"
probe find "$CALIBRATION" 15000 >/dev/null || fail "the calibration tool did not start"
[ "$(probe text "$MAIN" "${ID_IDS[0]}")" = 17 ] || fail "Cordane does not answer while the tool runs"
[ "$(probe visible "$MAIN")" = 1 ] || fail "Cordane is hidden"
probe close "$CALIBRATION" >/dev/null
probe gone "$CALIBRATION" 10000 >/dev/null || fail "the calibration tool did not end"

# Row 1's "Touch Settings": the click settings tool opens on the active
# panel (panel 0, identifier 17) and ends with its Cancel.
probe click "$MAIN" "${ID_TOUCH[0]}"
probe find "$SETTINGS" 15000 >/dev/null || fail "the click settings tool did not start"
wait_eq 1 probe visible "$SETTINGS"
wait_eq " 17" probe text "$SETTINGS" "$VELMIC_IDC_ACTIVE_PANEL_ID"
[ "$(probe text "$MAIN" "${ID_IDS[1]}")" = 34 ] || fail "Cordane does not answer while the tool runs"
probe click "$SETTINGS" "$ID_CANCEL"
probe gone "$SETTINGS_START" 10000 >/dev/null || fail "the click settings tool did not end"

# The tool is not in the folder: the click starts nothing and opens no
# box, so the Cancel clicked after it closes the dialog.
rm "$TOOLS/Velmic.exe"
probe click "$MAIN" "${ID_TOUCH[1]}"
probe click "$MAIN" $ID_CANCEL
wait_closed
! probe find "$BOX" 100 >/dev/null 2>&1 || fail "a box opened for the missing tool"
echo "tools: started by fixed path without waiting; a missing tool passes quietly"
