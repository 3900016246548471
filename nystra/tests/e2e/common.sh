# Shared steps of Nystra's end-to-end scenarios: Nystra.exe under Wine
# against the simulated driver and the prefix's registry, read back through
# the window probe and the driver's state. Sourced by the scenario scripts.
set -euo pipefail

CAPTION="Interlock Control"
BOX="Nystra"  # title of the question boxes
ID_ACTIVE_ID=1001
ID_REQUEST_ID=1002
ID_ACTIVE_NAME=1003
ID_REQUEST_NAME=1004
ID_RELEASE=1000
ID_MINIMIZE=1005
ID_INDICATOR=1006
RELEASED="  Released  "
HELPER=$WIN_BIN/nystra_e2e_helper.exe

fail() {
    echo "FAIL: $*" >&2
    "$HARNESS" sim state >&2 || true
    [ -n "${MAIN:-}" ] && "$HARNESS" probe children "$MAIN" >&2 || true
    exit 1
}

sim() { "$HARNESS" sim "$@"; }
# The window probe run directly, so that its exit status reaches the caller.
probe() {
    local out status=0
    out=$(/usr/lib/wine/wine64 "$SUITE_WIN64_BIN/winprobe.exe" "$@" </dev/null) || status=$?
    out=${out//$'\r'/}
    [ -z "$out" ] || printf '%s\n' "$out"
    return $status
}

# The panel records, in the 32-bit registry view where every build keeps them.
reg32() { /usr/lib/wine/wine64 reg "$@" /reg:32 /f </dev/null >/dev/null 2>&1 || fail "reg $*"; }
seed_panel() {  # seed_panel ID NAME MODE
    local key="HKLM\\Software\\ZR_EX_CONTROL\\ID$1"
    reg32 add "$key" /v NAME /t REG_SZ /d "$2"
    reg32 add "$key" /v TOUCH_OP /t REG_DWORD /d "$3"
    reg32 add "$key" /v IR_OP /t REG_DWORD /d 0
}
seed_system() {  # seed_system TIMEOUT TIMEENABLE
    reg32 add 'HKLM\Software\ZR_EX_CONTROL\ALL' /v TIMEOUT /t REG_DWORD /d "$1"
    reg32 add 'HKLM\Software\ZR_EX_CONTROL\ALL' /v TIMEENABLE /t REG_DWORD /d "$2"
}

# Starts Nystra; MAIN is its window's handle from then on (the about box has
# the same caption).
start_nystra() {
    "$HARNESS" launch "$WIN_BIN/Nystra.exe"
    MAIN=$(probe find "$CAPTION" 15000) || fail "the interlock window did not appear"
    wait_rows "" "$RELEASED" "" ""
}

rows() {
    local id
    for id in $ID_ACTIVE_ID $ID_ACTIVE_NAME $ID_REQUEST_ID $ID_REQUEST_NAME; do
        printf '[%s]' "$(probe text "$MAIN" "$id")"
    done
}

# Waits until the four display texts are as given (active ID, active NAME,
# request ID, request NAME).
wait_rows() {
    local want end
    want=$(printf '[%s]' "$@")
    end=$((SECONDS + ${WAIT_SECONDS:-5}))
    until [ "$(rows)" = "$want" ]; do
        [ $SECONDS -lt $end ] || fail "rows are $(rows), expected $want"
        sleep 0.05
    done
}

# Checks over $1 seconds that the rows stay as given (something that must
# not happen, such as a release, has a window of time to show itself).
rows_stay() {
    local seconds=$1 want end
    shift
    want=$(printf '[%s]' "$@")
    end=$((SECONDS + seconds))
    while [ $SECONDS -lt $end ]; do
        [ "$(rows)" = "$want" ] || fail "rows changed to $(rows), expected $want to stay"
        sleep 0.1
    done
}

# Point-data enables of all panels, as "0 1".
pointdata() { sim -m state | sed -n 's/^panel .* pointdata=\([01]\) .*/\1/p' | paste -sd' '; }
wait_pointdata() {
    local end=$((SECONDS + ${WAIT_SECONDS:-5}))
    until [ "$(pointdata)" = "$1" ]; do
        [ $SECONDS -lt $end ] || fail "point data $(pointdata), expected $1"
        sleep 0.05
    done
}
startup_mode() { sim -m state | sed -n 's/^driver .* startup=\([01]\) .*/\1/p'; }

# Listens for a broadcast of registered message $1 in the background
# (winprobe run directly, so that its "listening" line is not held in a
# pipe); LISTENER is its process, $2 the file it writes to.
listen_start() {
    /usr/lib/wine/wine64 "$SUITE_WIN64_BIN/winprobe.exe" listen "$1" "${3:-5000}" </dev/null >"$2" 2>&1 &
    LISTENER=$!
    local end=$((SECONDS + 10))
    until grep -q listening "$2"; do [ $SECONDS -lt $end ] || fail "the listener did not start"; sleep 0.05; done
}

indicator() { probe visible "$MAIN" "$ID_INDICATOR"; }

# The notification-area icons Wine shows in its fallback tray window.
tray_icons() { probe children "Wine System Tray" 2>/dev/null | grep -c __winex11_tray_icon || true; }

# Clicks the notification-area icon in Wine's tray window with mouse button
# $1 ($2 clicks).
click_tray() {
    local left top right bottom
    read -r left top right bottom < <(probe rect "Wine System Tray" 0) || fail "no tray icon"
    xdotool mousemove $(((left + right) / 2)) $(((top + bottom) / 2)) click --repeat "${2:-1}" --delay 80 "$1"
}

# A question box of Nystra's, once it is open: its handle.
wait_box() { probe find "$BOX" 5000 || fail "no question box"; }
box_text() { probe text "$1" 65535; }
