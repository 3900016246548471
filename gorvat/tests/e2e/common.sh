# Shared steps of Gorvat's end-to-end scenarios: Gorvat.exe under Wine
# against the simulated driver, driven by real mouse presses (xdotool) and
# read back through the window probe. Sourced by the scenario scripts; the
# harness's step library (harness/e2e-lib.sh) does the waiting.
. "$E2E_LIB"

MAIN="Touch Panel Calibration"   # frmMain's caption
BOX="Calibration data save"      # frmSure's title
# The controls, from gorvat_ids.h through the generated e2e_ids.sh; the
# question's buttons are btnYesNo(0) and (1).
. "${SUITE_E2E_IDS:?no e2e_ids.sh: SUITE_E2E_IDS is set by the e2e tests and the demo}"
ID_TEXT_MESSAGE=$GORVAT_IDC_TEXT_MESSAGE
ID_QUIT_BUTTON=$GORVAT_IDC_QUIT_BUTTON
ID_PIC_POINT=$GORVAT_IDC_PIC_POINT
ID_DBG_MESSAGE=$GORVAT_IDC_DBG_MESSAGE
ID_LBL_MSG_AREA=$GORVAT_IDC_LBL_MSG_AREA
ID_YES=$GORVAT_IDC_BTN_YES_NO_0
ID_NO=$((GORVAT_IDC_BTN_YES_NO_0 + 1))

HELP_START="1. Touch anywhere on the screen to start the Calibration Setting Program."
HELP_FIRST="2. Touch the yellow '+' mark."
HELP_SECOND="3. Touch the '+' mark again."
HELP_QUESTION="4. Select Save to keep the figure of calibration, Cancel to abort, Retry to return a beginning."

# The screen of the harness: 1024 x 768 pixels at 96 dpi, 15 twips a pixel.
# The first touch lands beside the first mark (a press on the window), the
# second on the centre of the second mark (a press on the mark itself).
TOUCH1=(180 135)
TOUCH2=(853 640)
RESULT="10143,-77,10138,-76"      # what those two touches give
IDENTITY="10000,0,10000,0"

# Saved set as read at the start touch, given by a one-time reply of the
# driver (IOCTL_TAVLO_GET_CALIBRATION_ALT): 10104, -10, 9838, 5. The
# driver's own saved set stays the identity, so a restored working set
# shows that exactly the values read were written back.
MARKER="10104,-10,9838,5"
MARKER_REPLY=(reply 0x22E088 once 0x78 0x27 0xf6 0xff 0x6e 0x26 0x05 0x00)

check_screen() {
    local geometry
    geometry=$(xdotool getdisplaygeometry)
    [ "$geometry" = "1024 768" ] || fail "the scenarios expect a 1024x768 screen, not $geometry"
}

# Centre of a control, in screen pixels.

help_is() {
    probe wait-text "$MAIN" "$ID_TEXT_MESSAGE" "$1" "${2:-5000}" >/dev/null ||
        fail "help line is '$(probe text "$MAIN" "$ID_TEXT_MESSAGE")', expected '$1'"
}

# The window has its caption from the start, then its help line, then it is
# made topmost and shown: a real press or a read of its style waits for the
# showing.
start_gorvat() {
    check_screen
    launch "$WIN_BIN/Gorvat.exe"
    probe find "$MAIN" 15000 >/dev/null || fail "the calibration window did not appear"
    help_is "$HELP_START"
    wait_eq 1 probe visible "$MAIN"
}

# The working (cal) and saved (calsaved) calibration of a panel, as
# "WORKING SAVED".
calibration() {
    sim -m state | sed -n "s/^panel index=${1:-0} .* cal=\([^ ]*\) calsaved=\([^ ]*\).*/\1 \2/p"
}
# Waits until panel ${3:-0} holds these sets (the driver is written by the
# program on its own time).
expect_cal() { wait_eq "$1 $2" calibration "${3:-0}"; }

wait_closed() {
    probe gone "$MAIN" "${1:-10000}" >/dev/null || fail "the calibration window is still open"
}

# Start touch, first mark, second mark; returns with the question open.
# The start touch and the first mark: the window then waits at the second.
run_to_second_mark() {
    press 900 700
    help_is "$HELP_FIRST"
    press "${TOUCH1[@]}"
    help_is "$HELP_SECOND"
}

# The question box has its title before its text, its button captions and
# its buttons' places; it is shown once they are set, so a click or a read
# waits for that.
wait_question() {
    probe find "$BOX" 5000 >/dev/null || fail "the question box did not open"
    wait_eq 1 probe visible "$BOX"
}

run_to_question() {
    run_to_second_mark
    press "${TOUCH2[@]}"
    wait_question
}
