# Shared steps of Cordane's end-to-end scenarios: Cordane.exe under Wine
# against the simulated driver and the prefix's registry, read back through
# the window probe and the prefix's own `reg` tool. Sourced by the scenario
# scripts; the harness's step library (harness/e2e-lib.sh) does the waiting.
. "$E2E_LIB"

CAPTION="Panel Setting"
BOX="Cordane"  # title of the message boxes
# The controls, from cordane_ids.h through the generated e2e_ids.sh; the
# arrays hold rows 1 to 4.
. "${SUITE_E2E_IDS:?no e2e_ids.sh: SUITE_E2E_IDS is set by the e2e tests and the demo}"
ID_IDS=($CORDANE_IDC_ID1 $CORDANE_IDC_ID2 $CORDANE_IDC_ID3 $CORDANE_IDC_ID4)
ID_NAMES=($CORDANE_IDC_NAME1 $CORDANE_IDC_NAME2 $CORDANE_IDC_NAME3 $CORDANE_IDC_NAME4)
ID_MODES=($CORDANE_IDC_MODE1 $CORDANE_IDC_MODE2 $CORDANE_IDC_MODE3 $CORDANE_IDC_MODE4)
ID_TOUCH=($CORDANE_IDC_TOUCH1 $CORDANE_IDC_TOUCH2 $CORDANE_IDC_TOUCH3 $CORDANE_IDC_TOUCH4)
ID_CALIBRATION=($CORDANE_IDC_CALIBRATION1 $CORDANE_IDC_CALIBRATION2 $CORDANE_IDC_CALIBRATION3 $CORDANE_IDC_CALIBRATION4)
ID_TIME_RELEASE=$CORDANE_IDC_TIME_RELEASE
ID_TIME_OUT=$CORDANE_IDC_TIME_OUT
ID_ABOUT_TEXT=$CORDANE_IDC_ABOUT_TEXT
ID_OK=$IDOK
ID_CANCEL=$IDCANCEL
KEY='HKLM\Software\ZR_EX_CONTROL'

# The records, in the 32-bit registry view where every build keeps them.
reg_dump() { suite_reg query "$KEY" /s /reg:32 </dev/null 2>/dev/null | tr -d '\r'; }
key_exists() { suite_reg query "$1" /reg:32 </dev/null >/dev/null 2>&1; }
e2e_on_fail() {
    [ -z "${MAIN:-}" ] || probe children "$MAIN" || true
    if [ -n "${MAIN:-}" ]; then
        local id states=""
        for id in "${ID_NAMES[@]}" "${ID_MODES[@]}" "${ID_TOUCH[@]}" "${ID_CALIBRATION[@]}" $ID_TIME_OUT $ID_OK; do
            states+=" $id=$(probe enabled "$MAIN" "$id" 2>/dev/null)"
        done
        echo "enabled now:$states"
    fi
    reg_dump || true
}

put_panel() {  # put_panel ID NAME MODE [IR_OP]
    reg_record 32 "$KEY\\ID$1" NAME REG_SZ "$2" TOUCH_OP REG_DWORD "$3" IR_OP REG_DWORD "${4:-0}"
}
put_system() {  # put_system TIMEOUT TIMEENABLE
    reg_record 32 "$KEY\\ALL" TIMEOUT REG_DWORD "$1" TIMEENABLE REG_DWORD "$2"
}
# One value as stored: text as it is, numbers in decimal (signed); nothing
# when the value or its key is missing, "(unreadable)" when reg failed (the
# harness says why on the error output).
reg_value() {  # reg_value SUBKEY VALUE
    local type data out
    out=$(reg_get 32 "$KEY\\$1" "$2") || { [ $? -eq 1 ] || echo "(unreadable)"; return 0; }
    read -r type data <<<"$out"
    if [ "$type" = REG_DWORD ] && [ "$data" -ge 2147483648 ]; then data=$((data - 4294967296)); fi
    printf '%s\n' "$data"
}
# A panel record as "NAME|TOUCH_OP|IR_OP", the system record as
# "TIMEOUT|TIMEENABLE"; "" when none of its values is there.
record() {
    local text
    text="$(reg_value "ID$1" NAME)|$(reg_value "ID$1" TOUCH_OP)|$(reg_value "ID$1" IR_OP)"
    [ "$text" = "||" ] && text=""
    echo "$text"
}
system_record() {
    local text
    text="$(reg_value ALL TIMEOUT)|$(reg_value ALL TIMEENABLE)"
    [ "$text" = "|" ] && text=""
    echo "$text"
}
expect_record() {  # expect_record ID WANT
    local got
    got=$(record "$1")
    [ "$got" = "$2" ] || fail "record ID$1 is [$got], expected [$2]"
}
expect_system() {
    local got
    got=$(system_record)
    [ "$got" = "$1" ] || fail "system record is [$got], expected [$1]"
}

# Starts Cordane; MAIN is its window's handle from then on. The dialog
# exists before its controls are set up and is shown once they are.
start_cordane() {
    launch "$WIN_BIN/Cordane.exe"
    wait_shown
}
wait_shown() {
    MAIN=$(probe find "$CAPTION" 15000) || fail "the panel setting dialog did not appear"
    wait_eq 1 probe visible "$MAIN"
}
# Waits until the dialog has ended.
wait_closed() { probe gone "$MAIN" 5000 >/dev/null || fail "the dialog stayed open"; }

# What row $1 (0-based) shows: "id|name|mode position|enabled", the enabled
# state being that of the name edit.
row() {
    printf '%s|%s|%s|%s' "$(probe text "$MAIN" "${ID_IDS[$1]}")" "$(probe text "$MAIN" "${ID_NAMES[$1]}")" \
        "$(probe cursel "$MAIN" "${ID_MODES[$1]}")" "$(probe enabled "$MAIN" "${ID_NAMES[$1]}")"
}
expect_row() {
    local got
    got=$(row "$1")
    [ "$got" = "$2" ] || fail "row $(($1 + 1)) shows [$got], expected [$2]"
}
# Every control of row $1 enabled (1) or disabled (0).
expect_row_enabled() {
    local id got
    for id in "${ID_NAMES[$1]}" "${ID_MODES[$1]}" "${ID_TOUCH[$1]}" "${ID_CALIBRATION[$1]}"; do
        got=$(probe enabled "$MAIN" "$id")
        [ "$got" = "$2" ] || fail "control $id of row $(($1 + 1)) gives enabled=[$got], expected $2"
    done
}
set_name() { probe settext "$MAIN" "${ID_NAMES[$1]}" "$2"; }
set_mode() { probe select "$MAIN" "${ID_MODES[$1]}" "$2"; }

# A message box of Cordane's over the dialog: waits for it, checks its text
# and closes it with its OK button; a screenshot NAME is taken before.
expect_box() {  # expect_box TEXT [SCREENSHOT]
    local box text
    box=$(probe popup "$MAIN" 5000) || fail "no message box"
    [ "$(probe text "$box")" = "$BOX" ] || fail "box title: $(probe text "$box")"
    text=$(probe text "$box" 65535)
    [ "$text" = "$1" ] || fail "box text [$text], expected [$1]"
    [ -z "${2:-}" ] || screenshot "$2"
    probe click "$box" "$ID_OK"
    probe gone "$box" 5000 >/dev/null || fail "the box stayed"
}

# The dialog's size on the screen in pixels, "width height".
window_size() {
    local left top right bottom
    read -r left top right bottom < <(probe rect "$MAIN")
    echo "$((right - left)) $((bottom - top))"
}
