# A driver failure while opening shows one "Debug" box naming the call and
# the status, and the program ends after it without touching the
# double-click time (the dialog never opened), also when the closing step
# could read the saved speed; a missing TAVLO.DLL is named in a message.
. "$(dirname "$0")/common.sh"
one_panel 50 20 450 30 off
# the saved click settings (IOCTL_TAVLO_GET_CLICK_DATA_ALT) or the saved
# sound (IOCTL_TAVLO_GET_CLICK_SOUND_ALT) unreadable: status 8
for failing in "0x22E148|GetSettings(1): 8|80 90 700 36" "0x22E188|GetClickSound(1): 8|50 20 450 30"; do
    IFS='|' read -r code box working <<<"$failing"
    set_click 0 working 80 90 700 36
    sim fail "$code" 31 >/dev/null
    start_velmic
    probe find "Debug" 15000 >/dev/null || fail "no Debug box"
    wait_eq "$box" probe text "Debug" 65535
    [ "$code" = 0x22E188 ] || screenshot debug_box.png
    # The closing step meets the same failure: it adds no second box.
    probe click "Debug" "$ID_OK" >/dev/null
    wait_ended
    probe gone "Debug" 0 >/dev/null || fail "a second Debug box"
    expect_time "$WINDOWS_DEFAULT_TIME"
    sim clear-faults >/dev/null
    # The closing step copied what it could read.
    expect_sets "$working" on "50 20 450 30" off
    echo "failures: $box at opening, the double-click time left at $WINDOWS_DEFAULT_TIME"
done

folder=$(mktemp -d)
trap '"$HARNESS" end "$folder/Velmic.exe" >/dev/null 2>&1 || true; rm -rf "$folder"; probe set-dblclick-time "$WINDOWS_DEFAULT_TIME" >/dev/null 2>&1 || true' EXIT
cp "$WIN_BIN/Velmic.exe" "$folder/"
launch "$folder/Velmic.exe"
probe find "Velmic" 15000 >/dev/null || fail "no message about the missing library"
# The box has its title a moment before its text.
names_library() { [[ "$(probe text "Velmic" 65535)" == *TAVLO.DLL* ]]; }
wait_until 5 names_library || fail "the message does not name TAVLO.DLL: $(probe text "Velmic" 65535)"
screenshot library_missing.png
probe click "Velmic" "$ID_OK" >/dev/null
probe gone "Velmic" 5000 >/dev/null || fail "the message stayed"
"$HARNESS" end "$folder/Velmic.exe" >/dev/null || fail "Velmic did not end after the message"
echo "failures: one Debug box with the tag and status; the missing library named"
