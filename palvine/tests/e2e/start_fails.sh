# Start-up that cannot go on: no driver ends silently with nothing written;
# a missing library is named in a message and the driver is not touched; a
# picture file that cannot be loaded leaves the picture as it was.
. "$(dirname "$0")/common.sh"

sim unplug >/dev/null
wine_run "$PALVINE" </dev/null || fail "no driver: exit status $?"
[ "$(probe count "$ERROR_TITLE")" = 0 ] || fail "a message without a driver"
sim replug >/dev/null
sim fail 0x226000 31 >/dev/null  # the version request fails: a driver that does not answer
wine_run "$PALVINE" </dev/null || fail "no answer: exit status $?"
[ "$(writes)" = 0 ] || fail "written without a driver"
[ "$(modes)" = 1/2/0 ] || fail "modes $(modes)"
sim clear-faults >/dev/null
echo "start_fails: no driver, silent end, nothing written"

# A folder with the program and left.ico but without TAVLO.DLL or right.ico.
alone=$(mktemp -d)
trap 'rm -rf "$alone"' EXIT
cp "$PALVINE" "$WIN_BIN/left.ico" "$alone/"
requests_before=$(driver_field requests)
launch "$alone/Palvine.exe"
probe find Palvine 15000 >/dev/null || fail "no message about the library"
# The box has its title a moment before its text.
names_library() { [[ "$(probe text Palvine 65535)" == *TAVLO.DLL* ]]; }
wait_until 5 names_library || fail "the message does not name the library: $(probe text Palvine 65535)"
text=$(probe text Palvine 65535)
probe click Palvine "$IDOK"
probe gone Palvine 5000 >/dev/null || fail "the message stayed"
[ "$(driver_field requests)" = "$requests_before" ] || fail "the driver was asked something"
echo "start_fails: missing library named: $text"

# The library beside it: right.ico is missing, so an armed flag keeps the
# left picture and the program goes on.
cp "$WIN_BIN/TAVLO.DLL" "$alone/"
set_modes 2 1 middle
launch "$alone/Palvine.exe"
MAIN=$(probe find-class "$CLASS" 15000) || fail "no window"
wait_eq 1/2/0 modes
wait_eq -t 3 left picture
release_over 1
wait_eq 1/2/1 modes
stays_eq 1 left picture
tavloctl once-mode 0 right >/dev/null
release_over 1
wait_eq 1/2/1 modes
stays_eq 1 left picture
probe close "$MAIN"
wait_gone
wait_eq 2/4/0 modes
echo "start_fails: a missing right.ico keeps the left picture"
