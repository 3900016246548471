# A driver failure while opening shows the "Debug" box naming the call and
# the status, and the program ends after it; a missing TAVLO.DLL is named
# in a message.
. "$(dirname "$0")/common.sh"
one_panel 50 20 450 30 off
sim fail 0x22E148 31 >/dev/null   # IOCTL_TAVLO_GET_CLICK_DATA_ALT fails: status 8
start_velmic
probe find "Debug" 15000 >/dev/null || fail "no Debug box"
wait_eq "GetSettings(1): 8" probe text "Debug" 65535
screenshot debug_box.png
sim clear-faults >/dev/null
probe click "Debug" 2 >/dev/null || probe close "Debug" >/dev/null
wait_ended
expect_time "$WINDOWS_DEFAULT_TIME"

folder=$(mktemp -d)
cp "$WIN_BIN/Velmic.exe" "$folder/"
out=$(mktemp)
(cd "$folder" && wine_bg "$out" "$folder/Velmic.exe"; echo "$BG_PID" >"$folder/pid")
probe find "Velmic" 15000 >/dev/null || fail "no message about the missing library"
text=$(probe text "Velmic" 65535)
[[ "$text" == *TAVLO.DLL* ]] || fail "the message does not name TAVLO.DLL: $text"
probe close "Velmic" >/dev/null
probe gone "Velmic" 5000 >/dev/null || fail "the message stayed"
rm -rf "$folder"
echo "failures: Debug box with the tag and status; the missing library named"
