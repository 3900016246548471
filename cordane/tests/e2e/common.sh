# Shared steps of Cordane's end-to-end scenarios: Cordane.exe under Wine
# against the simulated driver and the prefix's registry, read back through
# the window probe and the prefix's own `reg` tool. Sourced by the scenario
# scripts.
set -euo pipefail

CAPTION="Panel Setting"
BOX="Cordane"  # title of the message boxes
ID_IDS=(1013 1015 1020 1025)
ID_NAMES=(1017 1018 1021 1026)
ID_MODES=(1003 1006 1022 1027)
ID_TOUCH=(1004 1007 1023 1028)
ID_CALIBRATION=(1005 1008 1024 1029)
ID_TIME_RELEASE=1011
ID_TIME_OUT=1012
ID_OK=1
ID_CANCEL=2
KEY='HKLM\Software\ZR_EX_CONTROL'

fail() {
    echo "FAIL: $*" >&2
    "$HARNESS" sim state >&2 || true
    [ -n "${MAIN:-}" ] && probe children "$MAIN" >&2 || true
    reg_dump >&2 || true
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

# The records, in the 32-bit registry view where every build keeps them.
reg32() { /usr/lib/wine/wine64 reg "$@" /reg:32 </dev/null 2>/dev/null | tr -d '\r'; }
seed_panel() {  # seed_panel ID NAME MODE [IR_OP]
    reg32 add "$KEY\\ID$1" /v NAME /t REG_SZ /d "$2" /f >/dev/null || fail "reg add"
    reg32 add "$KEY\\ID$1" /v TOUCH_OP /t REG_DWORD /d "$3" /f >/dev/null || fail "reg add"
    reg32 add "$KEY\\ID$1" /v IR_OP /t REG_DWORD /d "${4:-0}" /f >/dev/null || fail "reg add"
}
seed_system() {  # seed_system TIMEOUT TIMEENABLE
    reg32 add "$KEY\\ALL" /v TIMEOUT /t REG_DWORD /d "$1" /f >/dev/null || fail "reg add"
    reg32 add "$KEY\\ALL" /v TIMEENABLE /t REG_DWORD /d "$2" /f >/dev/null || fail "reg add"
}
# One value as stored: text as it is, numbers in decimal (signed); nothing
# when the value or its key is missing.
reg_value() {  # reg_value SUBKEY VALUE
    local line type data
    line=$(reg32 query "$KEY\\$1" /v "$2" | grep -E "^ +$2 +REG_" || true)
    [ -n "$line" ] || return 0
    read -r _ type data <<<"$line"
    if [ "$type" = REG_DWORD ]; then
        data=$((data))
        [ "$data" -lt 2147483648 ] || data=$((data - 4294967296))
    fi
    printf '%s\n' "$data"
}
# A panel record as "NAME|TOUCH_OP|IR_OP", the system record as
# "TIMEOUT|TIMEENABLE"; "" when the key is missing.
record() {
    reg32 query "$KEY\\ID$1" >/dev/null 2>&1 || { echo ""; return 0; }
    echo "$(reg_value "ID$1" NAME)|$(reg_value "ID$1" TOUCH_OP)|$(reg_value "ID$1" IR_OP)"
}
system_record() {
    reg32 query "$KEY\\ALL" >/dev/null 2>&1 || { echo ""; return 0; }
    echo "$(reg_value ALL TIMEOUT)|$(reg_value ALL TIMEENABLE)"
}
reg_dump() { reg32 query "$KEY" /s; }
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

# Starts Cordane; MAIN is its window's handle from then on.
start_cordane() {
    "$HARNESS" launch "$WIN_BIN/Cordane.exe"
    MAIN=$(probe find "$CAPTION" 15000) || fail "the panel setting dialog did not appear"
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
    local id
    for id in "${ID_NAMES[$1]}" "${ID_MODES[$1]}" "${ID_TOUCH[$1]}" "${ID_CALIBRATION[$1]}"; do
        [ "$(probe enabled "$MAIN" "$id")" = "$2" ] || fail "control $id of row $(($1 + 1)) is not enabled=$2"
    done
}
set_name() { probe settext "$MAIN" "${ID_NAMES[$1]}" "$2"; }
set_mode() { probe select "$MAIN" "${ID_MODES[$1]}" "$2"; }

# A message box of Cordane's over the dialog: waits for it, checks its text
# and closes it with its OK button.
expect_box() {  # expect_box TEXT [SCREENSHOT]
    local box text
    box=$(probe popup "$MAIN" 5000) || fail "no message box"
    [ "$(probe text "$box")" = "$BOX" ] || fail "box title: $(probe text "$box")"
    text=$(probe text "$box" 65535)
    [ "$text" = "$1" ] || fail "box text [$text], expected [$1]"
    [ -z "${2:-}" ] || "$HARNESS" screenshot "$2"
    probe click "$box" 1
    probe gone "$box" 5000 >/dev/null || fail "the box stayed"
}

# The dialog's size on the screen in pixels, "width height".
window_size() {
    local left top right bottom
    read -r left top right bottom < <(probe rect "$MAIN")
    echo "$((right - left)) $((bottom - top))"
}
