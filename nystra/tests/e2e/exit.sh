# Ending the interlock: the tray icon's right double-click and the close box
# ask first and Cancel keeps it running; OK ends it with every panel enabled,
# start-up mode 1 and the tray icon gone. The end of the Windows session does
# the same without a question.
. "$(dirname "$0")/common.sh"
sim attach 0x11 attach 0x22 >/dev/null
seed_panel 17 "Line A" 1
start_nystra
sim touch 1 >/dev/null
wait_rows 34 "" "" ""
sim release 1 >/dev/null
wait_eq 1 tray_icons

click_tray 3 2
box=$(wait_box)
wait_eq $'Are you sure\nthe Panel Exclusive Control is stopped ?' box_text "$box"
probe click "$box" "$IDCANCEL"
probe gone "$box" 5000 >/dev/null || fail "the question stayed open"

probe close "$MAIN"
box=$(wait_box)
wait_eq "Panel Interlock Control is cancelled." box_text "$box"
probe click "$box" "$IDCANCEL"
probe gone "$box" 5000 >/dev/null || fail "the question stayed open"
stays_eq 1 "0 1" pointdata  # Cancel changes no panel

end_with_ok
wait_pointdata "1 1"
wait_eq 1 startup_mode
wait_eq 0 tray_icons
echo "exit: questions, Cancel, OK with the panels enabled"

# The session ends: WM_ENDSESSION without ending changes nothing; with it,
# the end steps run and the program ends.
start_nystra
wait_pointdata "0 0"
[ "$(probe send "$MAIN" 0x16 0 0)" = 0 ] || fail "no answer to WM_ENDSESSION"
modes() { echo "$(pointdata)/$(startup_mode)"; }
stays_eq 1 "0 0/0" modes  # a session that goes on does not end the interlock
probe send "$MAIN" 0x11 0 0 >/dev/null  # WM_QUERYENDSESSION
probe send "$MAIN" 0x16 1 0 >/dev/null || true
probe gone "$MAIN" 5000 >/dev/null || fail "the interlock did not end with the session"
wait_pointdata "1 1"
wait_eq 1 startup_mode
echo "exit: session end enables every panel"
