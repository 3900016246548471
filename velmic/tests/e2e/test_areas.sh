# The test areas load "single1.bmp"... by bare name from the current
# folder: a click changes the click area's picture each time, a double
# click the double-click area's; the colours are read from the screen.
. "$(dirname "$0")/common.sh"
folder=$(mktemp -d)
trap '"$HARNESS" end "$folder/Velmic.exe" >/dev/null 2>&1 || true; rm -rf "$folder"; probe set-dblclick-time "$WINDOWS_DEFAULT_TIME" >/dev/null 2>&1 || true' EXIT
for entry in single1:red single2:lime double1:blue double2:yellow; do
    convert -size 64x64 "xc:${entry#*:}" -type palette "BMP3:$folder/${entry%%:*}.bmp"
done
# The harness starts a program in its own folder: a copy of Velmic (with
# the library) in the folder of the bitmaps has it as its current folder.
cp "$WIN_BIN/Velmic.exe" "$WIN_BIN/TAVLO.DLL" "$folder/"
one_panel 30 30 400 28 on
launch "$folder/Velmic.exe"
wait_main

read -r cx cy < <(centre_of "$MAIN" $ID_CLICK_TEST_AREA)
read -r dx dy < <(centre_of "$MAIN" $ID_DCLICK_TEST_AREA)
picture_at() { pixel_at "$1" "$2"; }
initial_click=$(picture_at "$cx" "$cy")
press "$cx" "$cy"
wait_eq "#00FF00" picture_at "$cx" "$cy"      # single2.bmp
screenshot test_area_single2.png
# Slowly enough not to make a double click.
sleep_past_double_click() { wait_until 2 false || true; }
sleep_past_double_click
press "$cx" "$cy"
wait_eq "#FF0000" picture_at "$cx" "$cy"      # single1.bmp
[ "$initial_click" != "#FF0000" ] || fail "the click area showed red before any click"

xdotool mousemove "$dx" "$dy" click --repeat 2 --delay 80 1
wait_eq "#FFFF00" picture_at "$dx" "$dy"      # double2.bmp
sleep_past_double_click
xdotool mousemove "$dx" "$dy" click --repeat 2 --delay 80 1
wait_eq "#0000FF" picture_at "$dx" "$dy"      # double1.bmp
screenshot test_area_double1.png
# The test areas write nothing.
expect_sets "80 90 700 36" on "30 30 400 28" on
wait_eq "0 0" buttons
echo "test_areas: pictures from the current folder alternate on clicks and double clicks"
