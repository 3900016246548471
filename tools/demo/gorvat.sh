# Scene: Cordane's second-row "Calibration" starts the installed Gorvat,
# which calibrates the active panel (panel 1, Line B) with two touches and
# saves the result; Cordane is then closed without saving. Gorvat's steps
# are the ones its end-to-end tests take (gorvat/tests/e2e/conftest.py).
. "$E2E_LIB"
. "$REPO/tools/demo/lib.sh"

MAIN="Touch Panel Calibration"   # frmMain's caption
BOX="Calibration data save"      # frmSure's title
ID_TEXT_MESSAGE=$GORVAT_IDC_TEXT_MESSAGE
ID_PIC_POINT=$GORVAT_IDC_PIC_POINT
ID_DBG_MESSAGE=$GORVAT_IDC_DBG_MESSAGE
ID_LBL_MSG_AREA=$GORVAT_IDC_LBL_MSG_AREA
ID_YES=$GORVAT_IDC_BTN_YES_NO_0
HELP_START="1. Touch anywhere on the screen to start the Calibration Setting Program."
HELP_FIRST="2. Touch the yellow '+' mark."
HELP_SECOND="3. Touch the '+' mark again."
HELP_QUESTION="4. Select Save to keep the figure of calibration, Cancel to abort, Retry to return a beginning."
IDENTITY="10000,0,10000,0"

help_is() {
    probe wait-text "$MAIN" "$ID_TEXT_MESSAGE" "$1" "${2:-5000}" >/dev/null ||
        fail "help line is '$(probe text "$MAIN" "$ID_TEXT_MESSAGE")', expected '$1'"
}
# The working and saved calibration of panel $1, as "WORKING SAVED".
calibration() {
    sim -m state | sed -n "s/^panel index=$1 .* cal=\([^ ]*\) calsaved=\([^ ]*\).*/\1 \2/p"
}
expect_cal() { wait_eq "$1 $2" calibration "$3"; }
wait_closed() {
    probe gone "$MAIN" 10000 >/dev/null || fail "the calibration window is still open"
}
ID_ROW2_CALIBRATION=$CORDANE_IDC_CALIBRATION2
PANEL=1

show_calibration() {
    show "panel $PANEL calibration, working set: $(calibration $PANEL | cut -d' ' -f1)," \
         "saved set: $(calibration $PANEL | cut -d' ' -f2) (x gain, x offset, y gain, y offset)"
}

cordane=$(probe find "Panel Setting" 20000) || fail "Cordane is not open"
say "Cordane's row-2 'Calibration' starts $SUITE_INSTALL_FOLDER\\Gorvat.exe: a full-screen window"
show_calibration
probe click "$cordane" $ID_ROW2_CALIBRATION
probe find "$MAIN" 15000 >/dev/null || fail "the calibration window did not appear"
help_is "$HELP_START"
show "help line: $(probe text "$MAIN" $ID_TEXT_MESSAGE)"
window_shot gorvat-start "Gorvat: waiting for the start touch" "$MAIN"

say "the start touch, anywhere: Gorvat finds the active panel, reads its saved set and works uncorrected"
press 900 700
help_is "$HELP_FIRST"
wait_eq "( $PANEL )" probe text "$MAIN" $ID_DBG_MESSAGE
wait_eq 1 probe visible "$MAIN" $ID_PIC_POINT
expect_cal "$IDENTITY" "$IDENTITY" $PANEL
show "help line: $(probe text "$MAIN" $ID_TEXT_MESSAGE)"
show_calibration
window_shot gorvat-first-mark "Gorvat: the first mark" "$MAIN"

say "a touch 9 pixels right of and 7 below the first mark's centre, as a panel that reads a little off"
read -r x y < <(centre_of "$MAIN" $ID_PIC_POINT)
press $((x + 9)) $((y + 7))
help_is "$HELP_SECOND"
show "help line: $(probe text "$MAIN" $ID_TEXT_MESSAGE)"
window_shot gorvat-second-mark "Gorvat: the mark moved to the second target" "$MAIN"

say "a touch on the second mark's centre: the new calibration is in effect while Gorvat asks"
read -r x y < <(centre_of "$MAIN" $ID_PIC_POINT)
press "$x" "$y"
box=$(probe find "$BOX" 20000) || fail "the question box did not open"
help_is "$HELP_QUESTION"
wait_until 20 eval '[ "$(calibration $PANEL | cut -d" " -f1)" != "$IDENTITY" ]' || fail "nothing new in the working set"
show "question \"$BOX\": $(probe text "$box" $ID_LBL_MSG_AREA | paste -sd' ')"
show_calibration
window_shot gorvat-question "Gorvat: save the new calibration? (15 s)" "$MAIN"

say "Yes: the new calibration goes into the saved set as well; Gorvat ends"
result=$(calibration $PANEL | cut -d' ' -f1)
press_control "$box" $ID_YES
wait_closed
probe ended Gorvat.exe 10000 >/dev/null || fail "Gorvat did not end"
expect_cal "$result" "$result" $PANEL
show_calibration
wine_run "$WIN_BIN/tavloctl.exe" calibration $PANEL --saved | sed 's/^/     tavloctl: /'

say "Cordane is closed with Cancel: the records stay as they were"
probe click "$cordane" "$IDCANCEL"
probe gone "$cordane" 20000 >/dev/null || fail "Cordane stayed open"
end_program "$WIN_BIN/Cordane.exe"
