# The about box from the system menu (command 16), with its Japanese
# caption intact, and the dialog's caption.
. "$(dirname "$0")/common.sh"
sim attach 0x11 >/dev/null
start_cordane
[ "$(probe utext "$MAIN")" = "Panel Setting" ] || fail "caption"
probe syscommand "$MAIN" "$CORDANE_IDM_ABOUTBOX"
about=$(probe popup "$MAIN" 5000) || fail "no about box"
[ "$(probe utext "$about")" = "Cordaneのバージョン情報" ] || fail "about caption: $(probe utext "$about")"
[ "$(probe text "$about" "$ID_ABOUT_TEXT")" = "Cordane Version 1.0" ] || fail "about text: $(probe text "$about" "$ID_ABOUT_TEXT")"
screenshot cordane-about.png
probe click "$about" "$ID_OK"
probe gone "$about" 5000 >/dev/null || fail "the about box stayed"
[ "$(probe visible "$MAIN")" = 1 ] || fail "the dialog went with the about box"
probe close "$MAIN"
wait_closed
echo "about: opened from the system menu and closed"
