# The window: "Always Top", the about box, "Minimize" to the tray icon and
# back, the tray icon coming back when the task bar is created again, and
# polls that go on while another window does not answer the broadcast.
. "$(dirname "$0")/common.sh"
sim attach 0x11 attach 0x22 >/dev/null
start_nystra

topmost() { read -r _ ex < <(probe style "$MAIN"); echo $(((16#$ex & 0x8) != 0)); }
wait_eq 1 topmost
probe syscommand "$MAIN" "$ID_ALWAYS_TOP"
wait_eq 0 topmost
probe syscommand "$MAIN" "$ID_ALWAYS_TOP"
wait_eq 1 topmost

# The about box has the window's caption: it is the other window of that name.
probe syscommand "$MAIN" "$NYSTRA_IDM_ABOUTBOX"
about_box() { local found; found=$(probe find "$CAPTION" 100) && [ "$found" != "$MAIN" ] && echo "$found"; }
wait_until 5 about_box || fail "no about box"
about=$(about_box)
# The box has its caption before its controls exist; it is shown once they do.
wait_eq 1 probe visible "$about"
wait_eq $'For ZRM450 USB Touch Panels\nTouch Panel Interlock Program\n Version 1.00' probe text "$about" "$ID_ABOUT_TEXT"
screenshot nystra-about.png
probe click "$about" "$IDOK"
probe gone "$about" 5000 >/dev/null || fail "the about box stayed"

probe click "$MAIN" "$ID_MINIMIZE"
wait_eq 0 probe visible "$MAIN"
click_tray 1
wait_eq 1 probe visible "$MAIN"

# The task bar lost the icon (as when it restarts) and announces itself again.
wine_run "$HELPER" tray-delete "$MAIN" || fail "could not remove the tray icon"
wait_eq 0 tray_icons
probe post "$MAIN" TaskbarCreated 0 0
wait_eq 1 tray_icons

# A top-level window that answers nothing for 30 s: the broadcasts that every
# change sends must not hold up the polls.
wine_bg "$TEST_LOGS/hang.txt" "$HELPER" hang 30
hung=$BG_PID
wait_until 10 grep -q hung "$TEST_LOGS/hang.txt" || fail "no hung window"
sim touch 0 >/dev/null
wait_rows 17 "" "" ""
sim release 0 touch 1 >/dev/null
WAIT_SECONDS=3 wait_rows 17 "" 34 ""
sim release 1 >/dev/null
probe click "$MAIN" "$ID_RELEASE"
WAIT_SECONDS=3 wait_rows "" "$RELEASED" "" ""
wine_bg_end "$hung"
rm -f "$TEST_LOGS/hang.txt"
echo "window: Always Top, about box, minimise and tray, TaskbarCreated, hung listener"
