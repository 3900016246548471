# Shared steps of Velmic's end-to-end scenarios: Velmic.exe under Wine
# against the simulated driver, driven by real input (xdotool) and read back
# through the window probe, the service console and the driver's state.
# Sourced by the scenario scripts after the harness's step library.
. "$E2E_LIB"

START="Touch panel settings  -  Information"  # StartDlg's caption
MAIN="Touch Settings Program"                  # MainDlg's caption
# The controls, from velmic_ids.h through the generated e2e_ids.sh.
. "${SUITE_E2E_IDS:?no e2e_ids.sh: SUITE_E2E_IDS is set by the e2e tests and the demo}"
ID_INFO_MSG=$VELMIC_IDC_INFO_MSG
ID_OK=$IDOK
ID_CANCEL=$IDCANCEL
ID_ACTIVE_PANEL_ID=$VELMIC_IDC_ACTIVE_PANEL_ID
ID_DOWN=$VELMIC_IDC_DOWN_CANCELER
ID_UP=$VELMIC_IDC_UP_CANCELER
ID_SPEED=$VELMIC_IDC_DBL_CLICK_SPEED
ID_AREA=$VELMIC_IDC_DBL_CLICK_AREA
ID_CLICK_SOUND=$VELMIC_IDC_CLICK_SOUND
ID_SET_DEFAULT=$VELMIC_IDC_SET_DEFAULT
ID_DCLICK_TEST_AREA=$VELMIC_IDC_DCLICK_TEST_AREA
ID_CLICK_TEST_AREA=$VELMIC_IDC_CLICK_TEST_AREA
ID_APPLY=$VELMIC_IDC_APPLY
NO_ACTIVE="No active panel found"
NO_DEVICE="No panel device found"
WINDOWS_DEFAULT_TIME=500

e2e_on_fail() {
    echo "double-click time: $(probe dblclick-time 2>&1)"
    probe children "$MAIN" 2>/dev/null || probe children "$START" 2>/dev/null || true
    screenshot failure.png 2>/dev/null || true
}

# The double-click time outlives a program under Wine: every scenario
# starts from the Windows default and leaves it there.
reset_double_click_time() {
    probe set-dblclick-time "$WINDOWS_DEFAULT_TIME" >/dev/null || fail "cannot reset the double-click time"
    wait_eq "$WINDOWS_DEFAULT_TIME" probe dblclick-time
}
trap 'probe set-dblclick-time "$WINDOWS_DEFAULT_TIME" >/dev/null 2>&1 || true' EXIT
reset_double_click_time

# tavloctl ARGS...: the service console of this build.
tavloctl() { wine_run "$WIN_BIN/tavloctl.exe" "$@"; }

# set_click PANEL working|saved DOWN UP TIME AREA; set_sound PANEL working|saved on|off
set_click() {
    local flag=()
    [ "$2" = saved ] && flag=(--saved)
    tavloctl click "$1" "${flag[@]}" "$3" "$4" "$5" "$6" >/dev/null || fail "cannot write the $2 click settings"
}
set_sound() {
    local flag=()
    [ "$2" = saved ] && flag=(--saved)
    tavloctl sound "$1" "${flag[@]}" "$3" >/dev/null || fail "cannot write the $2 sound flag"
}

# click_of PANEL working|saved: "DOWN UP TIME AREA"; sound_of: "on" or "off".
click_of() {
    local flag=()
    [ "$2" = saved ] && flag=(--saved)
    tavloctl click "$1" "${flag[@]}" |
        sed -n 's/.*down cancel \(-\?[0-9]*\), up cancel \(-\?[0-9]*\), double-click time \(-\?[0-9]*\) ms, double-click area \(-\?[0-9]*\).*/\1 \2 \3 \4/p'
}
sound_of() {
    local flag=()
    [ "$2" = saved ] && flag=(--saved)
    tavloctl sound "$1" "${flag[@]}" | sed -n 's/.*: \(on\|off\)$/\1/p'
}

# expect_sets WORKING SOUND SAVED SOUND [PANEL]: both sets of the panel.
expect_sets() {
    local panel=${5:-0}
    wait_eq "$1" click_of "$panel" working
    wait_eq "$2" sound_of "$panel" working
    wait_eq "$3" click_of "$panel" saved
    wait_eq "$4" sound_of "$panel" saved
}

# The double-click time as another process reads it.
expect_time() { wait_eq "$1" probe dblclick-time; }

sliders() {
    local id out=()
    for id in $ID_DOWN $ID_UP $ID_SPEED $ID_AREA; do out+=("$(probe trackbar "$MAIN" "$id")"); done
    echo "${out[*]}"
}
buttons() { echo "$(probe enabled "$MAIN" $ID_OK) $(probe enabled "$MAIN" $ID_APPLY)"; }

# One panel (identifier 0x31, shown as 49) with the given saved set and
# sound flag; the working set holds something else, as after an earlier
# preview that was never saved.
one_panel() {
    sim attach 0x31 >/dev/null
    set_click 0 saved "$1" "$2" "$3" "$4"
    set_sound 0 saved "$5"
    set_click 0 working 80 90 700 36
    set_sound 0 working on
}

start_velmic() {
    launch "$WIN_BIN/Velmic.exe"
}

wait_main() {
    probe find "$MAIN" 15000 >/dev/null || fail "the settings dialog did not open"
    wait_eq 1 probe visible "$MAIN"
}

wait_closed() {
    probe gone "$MAIN" "${1:-10000}" >/dev/null || fail "the settings dialog is still open"
}

# The program has ended: neither window is left.
wait_ended() {
    wait_closed
    probe gone "$START" 10000 >/dev/null || fail "the start-up window is still open"
    "$HARNESS" end "$WIN_BIN/Velmic.exe" >/dev/null 2>&1 || true
}

# A real click into a slider's channel at its right (or left) end: the
# thumb moves one page that way, and the release ends the move.
press_slider_end() {
    local left top right bottom
    read -r left top right bottom < <(probe rect "$MAIN" "$1") || fail "no slider $1"
    if [ "$2" = right ]; then
        press $((right - 12)) $(((top + bottom) / 2))
    else
        press $((left + 12)) $(((top + bottom) / 2))
    fi
}

# The colour of one screen pixel, as "#RRGGBB".
pixel_at() {
    local file
    file=$(mktemp --suffix=.png)
    "$HARNESS" screenshot "$file" >/dev/null 2>&1
    convert "$file" -crop "1x1+$1+$2" -depth 8 txt:- | sed -n 's/.*\(#[0-9A-F]\{6\}\).*/\1/p'
    rm -f "$file"
}
