# Shared steps of Nystra's end-to-end scenarios: Nystra.exe under Wine
# against the simulated driver and the prefix's registry, read back through
# the window probe and the driver's state. Sourced by the scenario scripts;
# the harness's step library (harness/e2e-lib.sh) does the waiting.
. "$E2E_LIB"

CAPTION="Interlock Control"
BOX="Nystra"  # title of the question boxes
# The controls and commands, from nystra_ids.h through the generated e2e_ids.sh.
. "${SUITE_E2E_IDS:?no e2e_ids.sh: SUITE_E2E_IDS is set by the e2e tests and the demo}"
ID_ACTIVE_ID=$NYSTRA_IDC_ACTIVE_ID
ID_REQUEST_ID=$NYSTRA_IDC_REQUEST_ID
ID_ACTIVE_NAME=$NYSTRA_IDC_ACTIVE_NAME
ID_REQUEST_NAME=$NYSTRA_IDC_REQUEST_NAME
ID_RELEASE=$NYSTRA_IDC_RELEASE
ID_MINIMIZE=$NYSTRA_IDC_MINIMIZE
ID_INDICATOR=$NYSTRA_IDC_REQUEST_ICON
ID_ABOUT_TEXT=$NYSTRA_IDC_ABOUT_TEXT
ID_ALWAYS_TOP=$NYSTRA_IDM_ALWAYS_TOP
RELEASED="  Released  "
HELPER=$WIN_BIN/nystra_e2e_helper.exe

e2e_on_fail() {
    [ -z "${MAIN:-}" ] || probe children "$MAIN" || true
    [ -z "${MONITOR:-}" ] || { echo "trace so far:"; trace_lines; wine_bg_end "$MONITOR"; }
}

# The panel records, in the 32-bit registry view where every build keeps
# them; each is written in one step and read back.
seed_panel() {  # seed_panel ID NAME MODE
    reg_record 32 "HKLM\\Software\\ZR_EX_CONTROL\\ID$1" NAME REG_SZ "$2" TOUCH_OP REG_DWORD "$3" IR_OP REG_DWORD 0
}
seed_system() {  # seed_system TIMEOUT TIMEENABLE
    reg_record 32 'HKLM\Software\ZR_EX_CONTROL\ALL' TIMEOUT REG_DWORD "$1" TIMEENABLE REG_DWORD "$2"
}

# Starts Nystra; MAIN is its window's handle from then on (the about box has
# the same caption).
start_nystra() {
    launch "$WIN_BIN/Nystra.exe"
    MAIN=$(probe find "$CAPTION" 15000) || fail "the interlock window did not appear"
    wait_rows "" "$RELEASED" "" ""
}

# Two panels (identifiers 0x11 and 0x22), the second one's record "Line B"
# in Interlock mode, Nystra started and that panel made active by a touch.
start_with_line_b_active() {
    sim attach 0x11 attach 0x22 >/dev/null
    seed_panel 34 "Line B" 1
    start_nystra
    sim touch 1 >/dev/null
    wait_rows 34 "Line B" "" ""
    sim release 1 >/dev/null
    wait_pointdata "0 1"
}

rows() {
    local id
    for id in $ID_ACTIVE_ID $ID_ACTIVE_NAME $ID_REQUEST_ID $ID_REQUEST_NAME; do
        printf '[%s]' "$(probe text "$MAIN" "$id")"
    done
}

# Waits until the four display texts are as given (active ID, active NAME,
# request ID, request NAME).
wait_rows() { wait_eq -t "${WAIT_SECONDS:-$E2E_WAIT}" "$(printf '[%s]' "$@")" rows; }

# Checks over $1 seconds that the rows stay as given (something that must
# not happen, such as a release, has a window of time to show itself).
rows_stay() {
    local seconds=$1
    shift
    stays_eq "$seconds" "$(printf '[%s]' "$@")" rows
}

# Point-data enables of all panels, as "0 1".
pointdata() { panel_field pointdata; }
wait_pointdata() { wait_eq -t "${WAIT_SECONDS:-$E2E_WAIT}" "$1" pointdata; }
startup_mode() { driver_field startup; }

# Listens for a broadcast of registered message $1 in the background
# (winprobe run directly, so that its "listening" line is not held in a
# pipe); LISTENER is its process, $2 the file it writes to.
listen_start() {
    wine_bg "$2" "$SUITE_WIN64_BIN/winprobe.exe" listen "$1" "${3:-5000}"
    LISTENER=$BG_PID
    wait_until 10 grep -q listening "$2" || fail "the listener did not start"
}

indicator() { probe visible "$MAIN" "$ID_INDICATOR"; }

# The notification-area icons Wine shows in its fallback tray window.
tray_icons() { probe children "Wine System Tray" 2>/dev/null | grep -c __winex11_tray_icon || true; }

# Clicks the notification-area icon in Wine's tray window with mouse button
# $1 ($2 clicks).
click_tray() {
    local left top right bottom
    wait_until 5 probe find "Wine System Tray" 100 || fail "no tray window"
    read -r left top right bottom < <(probe rect "Wine System Tray" 0) || fail "no tray icon"
    xdotool mousemove $(((left + right) / 2)) $(((top + bottom) / 2)) click --repeat "${2:-1}" --delay 80 "$1"
}

# A question box of Nystra's, once it is open: its handle. The box has its
# title a moment before its text: a check of the text waits for it.
wait_box() { probe find "$BOX" 5000 || fail "no question box"; }
box_text() { probe text "$1" 65535; }

# end_with_ok: the close box, then OK to the question; waits until the
# window is gone.
end_with_ok() {
    probe close "$MAIN"
    local box
    box=$(wait_box)
    probe click "$box" "$IDOK" >/dev/null
    probe gone "$MAIN" 5000 >/dev/null || fail "the interlock did not end"
}

# nystra_run ARGS...: runs Nystra.exe to its end (at most 30 s); STATUS is
# its exit code.
nystra_run() {
    local loader
    loader=$(suite_pe_loader "$WIN_BIN/Nystra.exe")
    STATUS=0
    timeout 30 "$loader" "$WIN_BIN/Nystra.exe" "$@" </dev/null >/dev/null 2>&1 || STATUS=$?
}

# The trace: a debug-output receiver, as the usual viewers are, collects
# every program's debug strings into $TEST_LOGS/debug-output.txt ("PID TEXT")
# from trace_start on. trace_lines prints Nystra's lines without the PIDs.
trace_start() {
    TRACE=$TEST_LOGS/debug-output.txt
    wine_bg "$TRACE" "$HELPER" debug-monitor "${1:-100}"
    MONITOR=$BG_PID
    wait_until 10 grep -q '^listening' "$TRACE" || fail "the debug-output receiver did not start: $(cat "$TRACE")"
}
trace_lines() { tr -d '\r' <"$TRACE" | sed -n 's/^[0-9]* \(Nystra: .*\)/\1/p'; }
trace_stop() {
    wine_bg_end "$MONITOR"
    MONITOR=
}
# Waits until the trace's last line is $1.
wait_trace() { wait_eq -t "${WAIT_SECONDS:-$E2E_WAIT}" "$1" last_trace_line; }
last_trace_line() { trace_lines | tail -n 1; }
