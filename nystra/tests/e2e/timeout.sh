# Release by time and by the "Release" button. With time release on and a
# TIMEOUT of 2 s the panel stays active while it is touched and is released
# about two seconds after the last touch; with time release off it stays
# active until "Release", which releases at once.
. "$(dirname "$0")/common.sh"
sim attach 0x11 attach 0x22 >/dev/null
seed_panel 17 "Line A" 1
seed_panel 34 "Line B" 1
seed_system 2 1
start_nystra

sim touch 1 >/dev/null
wait_rows 34 "Line B" "" ""
wait_pointdata "0 1"
# Held for three seconds: each poll sees the touch and starts the time again.
rows_stay 3 34 "Line B" "" ""
sim release 1 >/dev/null
released_from=$SECONDS
WAIT_SECONDS=6 wait_rows "" "$RELEASED" "" ""
wait_pointdata "0 0"
elapsed=$((SECONDS - released_from))
[ $elapsed -ge 1 ] || fail "released after $elapsed s, TIMEOUT is 2 s"
echo "timeout: released ${elapsed}s after the last touch"

# Time release off (a TIMEOUT of 1 s would otherwise end it at the first poll).
seed_system 1 0
sim touch 0 >/dev/null
wait_rows 17 "Line A" "" ""
sim release 0 >/dev/null
rows_stay 3 17 "Line A" "" ""  # time release off: no release over several polls
probe click "$MAIN" "$ID_RELEASE"
wait_rows "" "$RELEASED" "" ""
wait_pointdata "0 0"
echo "timeout: no release with TIMEENABLE 0; Release button"
