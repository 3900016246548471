# The window: "Always Top", the about box, "Minimize" to the tray icon and
# back, the tray icon coming back when the task bar is created again, and
# polls that go on while another window does not answer the broadcast.
. "$(dirname "$0")/common.sh"
sim attach 0x11 attach 0x22 >/dev/null
start_nystra

topmost() { read -r _ ex < <(probe style "$MAIN"); echo $(((16#$ex & 0x8) != 0)); }
[ "$(topmost)" = 1 ] || fail "not topmost at start"
probe syscommand "$MAIN" 103
end=$((SECONDS + 5)); until [ "$(topmost)" = 0 ]; do [ $SECONDS -lt $end ] || fail "still topmost"; sleep 0.05; done
probe syscommand "$MAIN" 103
end=$((SECONDS + 5)); until [ "$(topmost)" = 1 ]; do [ $SECONDS -lt $end ] || fail "not topmost again"; sleep 0.05; done

# The about box has the window's caption: it is the other window of that name.
probe syscommand "$MAIN" 16
end=$((SECONDS + 5))
until about=$(probe find "$CAPTION" 100) && [ "$about" != "$MAIN" ]; do
    [ $SECONDS -lt $end ] || fail "no about box"
    sleep 0.05
done
[ "$(probe text "$about" 1010)" = $'For ZRM450 USB Touch Panels\nTouch Panel Interlock Program\n Version 1.00' ] ||
    fail "about text: $(probe text "$about" 1010)"
"$HARNESS" screenshot "$TEST_LOGS/nystra-about.png"
probe click "$about" 1
probe gone "$about" 5000 >/dev/null || fail "the about box stayed"

probe click "$MAIN" "$ID_MINIMIZE"
end=$((SECONDS + 5)); until [ "$(probe visible "$MAIN")" = 0 ]; do [ $SECONDS -lt $end ] || fail "not hidden"; sleep 0.05; done
click_tray 1
end=$((SECONDS + 5)); until [ "$(probe visible "$MAIN")" = 1 ]; do [ $SECONDS -lt $end ] || fail "not shown"; sleep 0.05; done

# The task bar lost the icon (as when it restarts) and announces itself again.
/usr/lib/wine/wine64 "$HELPER" tray-delete "$MAIN" </dev/null || fail "could not remove the tray icon"
[ "$(tray_icons)" = 0 ] || fail "the tray icon is still there"
probe post "$MAIN" TaskbarCreated 0 0
end=$((SECONDS + 5)); until [ "$(tray_icons)" = 1 ]; do [ $SECONDS -lt $end ] || fail "the tray icon did not come back"; sleep 0.05; done

# A top-level window that answers nothing for 30 s: the broadcasts that every
# change sends must not hold up the polls.
/usr/lib/wine/wine64 "$HELPER" hang 30 </dev/null >"$TEST_LOGS/hang.txt" 2>&1 &
hung=$!
end=$((SECONDS + 10)); until grep -q hung "$TEST_LOGS/hang.txt"; do [ $SECONDS -lt $end ] || fail "no hung window"; sleep 0.05; done
sim touch 0 >/dev/null
wait_rows 17 "" "" ""
sim release 0 touch 1 >/dev/null
WAIT_SECONDS=3 wait_rows 17 "" 34 ""
sim release 1 >/dev/null
probe click "$MAIN" "$ID_RELEASE"
WAIT_SECONDS=3 wait_rows "" "$RELEASED" "" ""
kill "$hung" 2>/dev/null || true
wait "$hung" 2>/dev/null || true
rm -f "$TEST_LOGS/hang.txt"
echo "window: Always Top, about box, minimise and tray, TaskbarCreated, hung listener"
