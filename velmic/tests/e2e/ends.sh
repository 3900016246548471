# The endings the other scenarios leave out, each after a preview of the
# double-click speed: Esc and Alt+F4 as real keys (Alt+F4 comes as the
# close box's SC_CLOSE and WM_CLOSE), the end of the session (WM_QUERYENDSESSION, then
# WM_ENDSESSION, as the system sends them), a refused preview write, and
# the driver going away while the dialog is open and coming back while the
# error report is open. Every time the working set and the double-click
# time are back at the saved set once the program has ended.
. "$(dirname "$0")/common.sh"
PREVIEW="50 20 500 30"
SAVED="50 20 450 30"

preview() {
    sim reset >/dev/null
    one_panel 50 20 450 30 off
    start_velmic
    wait_main
    press_slider_end $ID_SPEED right
    expect_time 500
    wait_eq "$PREVIEW" click_of 0 working
}
restored() {
    wait_ended
    expect_sets "$SAVED" off "$SAVED" off
    expect_time 450
    echo "ends: $1: working set and double-click time back at the saved set"
}

preview
xdotool key Escape
restored Esc

preview
xdotool key alt+F4
restored Alt+F4

preview
[ "$(probe send "$MAIN" 0x11 0 0)" = 1 ] || fail "WM_QUERYENDSESSION refused"
[ "$(click_of 0 working)" = "$PREVIEW" ] || fail "the query alone changed the working set"
probe send "$MAIN" 0x16 1 0 >/dev/null || fail "no answer to WM_ENDSESSION"
# Answered: the process may be ended now, so the panel must already hold
# the saved set.
[ "$(click_of 0 working) $(sound_of 0 working)" = "$SAVED off" ] || fail "WM_ENDSESSION returned before the restore"
restored WM_ENDSESSION

preview
sim fail 0x22A144 31 >/dev/null   # IOCTL_TAVLO_SET_CLICK_DATA: status 8
press_slider_end $ID_DOWN right
probe find "Debug" 5000 >/dev/null || fail "no Debug box"
wait_eq "SetSettings(2): 8" probe text "Debug" 65535
sim clear-faults >/dev/null
probe click "Debug" "$ID_OK" >/dev/null
restored "a refused preview write"

# The lost driver is met first either by the poll's first call (it names
# itself in a Debug box, then the error report follows) or, when the unplug
# falls between that call and the next, by the restore of the dialog that
# closes on "no panel" (its Debug box, then the poll's own and the report).
# Each Debug box is answered until the report shows. In the first case the
# restore runs after the report, on the driver that is back; in the second
# it met the lost driver, so the working set keeps the preview and only the
# double-click time goes back to the saved speed.
answer_debug_until_report() {
    probe find "Error report" 300 >/dev/null && return 0
    if probe find "Debug" 300 >/dev/null; then probe click "Debug" "$ID_OK" >/dev/null || true; fi
    return 1
}
preview
sim unplug >/dev/null
probe find "Debug" 5000 >/dev/null || fail "no Debug box for the lost driver"
first_box=$(probe text "Debug" 65535)
wait_until 15 answer_debug_until_report || fail "no error report"
sim replug >/dev/null
probe click "Error report" "$ID_OK" >/dev/null
case $first_box in
FindPanel*)
    wait_ended
    expect_sets "$PREVIEW" off "$SAVED" off
    expect_time 450
    echo "ends: the driver gone and back: the restore met the lost driver; double-click time back at the saved speed"
    ;;
GetActivePanel*) restored "the driver gone and back" ;;
*) fail "unexpected first Debug box: $first_box" ;;
esac
