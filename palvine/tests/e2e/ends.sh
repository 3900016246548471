# Every end puts the driver's modes back: the end of the session (the
# program may be ended right after it), WM_CLOSE and Alt+F4; a second
# instance ends at once and disturbs nothing; a lost driver and a refused
# click write each show one error report.
. "$(dirname "$0")/common.sh"

# The end of the session.
set_modes 2 1 middle
start_palvine
wait_eq 1/2/0 modes
[ "$(probe send "$MAIN" 0x11 0 0)" = 1 ] || fail "WM_QUERYENDSESSION refused"
[ "$(modes)" = 1/2/0 ] || fail "the query alone changed the driver"
probe send "$MAIN" 0x16 1 0 >/dev/null || fail "no answer to WM_ENDSESSION"
wait_eq 2/4/0 modes
echo "ends: WM_ENDSESSION restored 2/4/0"
# The request log holds the latest 128 requests only, and the poll keeps
# adding to it: cleared first, it can only lose a write, never show one
# that was not made.
sim clear-log >/dev/null
probe close "$MAIN"
wait_gone
[ "$(writes)" = 0 ] || fail "the driver was written again after the session's end"

# A second instance.
start_palvine
wait_eq 1/2/0 modes
first=$MAIN
set_modes 4 1 left
sim clear-log >/dev/null
wine_run "$PALVINE" /NOTOP /ONCEMIDDLE </dev/null || fail "the second instance failed"
[ "$(writes)" = 0 ] || fail "the second instance wrote to the driver"
[ "$(modes)" = 4/1/1 ] || fail "the second instance changed the modes: $(modes)"
[ "$(probe find-class "$CLASS" 100)" = "$first" ] || fail "another window"
[ "$(topmost)" = 1 ] || fail "the first window lost topmost"
echo "ends: the second instance ended at once"

# The driver goes away: one error report while it is open, however many
# polls pass; with the driver back the report's OK ends the program and
# the exit steps restore the modes found at start.
sim unplug >/dev/null
probe find "$ERROR_TITLE" 5000 >/dev/null || fail "no error report"
# The box has its title a moment before its text.
wait_eq "Critical error occured" probe text "$ERROR_TITLE" 65535
stays_eq 2 1 probe count "$ERROR_TITLE"
sim replug >/dev/null
probe click "$ERROR_TITLE" "$IDOK"
wait_gone
[ "$(probe count "$ERROR_TITLE")" = 0 ] || fail "a report after the end"
wait_eq 2/4/0 modes
echo "ends: one error report, modes restored 2/4/0"

# Alt+F4 (a real key) with the one-shot armed: the modes found come back,
# the flag clear.
set_modes 2 1 middle
start_palvine
wait_eq 1/2/0 modes
release_over 1
wait_eq 1/2/1 modes
xdotool key alt+F4
wait_gone
wait_eq 2/4/0 modes
echo "ends: Alt+F4 with the one-shot armed restored 2/4/0"

# A click whose write is refused: the error report; with the driver taking
# writes again, its OK ends the program and the modes found come back.
set_modes 2 1 middle
start_palvine
wait_eq 1/2/0 modes
sim fail 0x22A1EC 31 >/dev/null   # IOCTL_TAVLO_SET_CLICK_ONCE_MODE
release_over 1
probe find "$ERROR_TITLE" 5000 >/dev/null || fail "no error report for the refused write"
sim clear-faults >/dev/null
probe click "$ERROR_TITLE" "$IDOK"
wait_gone
wait_eq 2/4/0 modes
echo "ends: a refused click write: one error report, modes restored 2/4/0"
