# Two panels, one Interlock and one Supervisor: the first touch activates,
# the Supervisor takes over at once, an Interlock touch while another panel
# is active is only shown as a request, which fades after ten seconds. Every
# change is broadcast as ZRM450_NYSTRA_UPDATE. Saves the screenshots of the
# window Released, Active and with a request shown.
. "$(dirname "$0")/common.sh"
sim attach 0x11 attach 0x22 >/dev/null
seed_panel 17 "Line A" 1
seed_panel 34 "Line B" 2
start_nystra
wait_pointdata "0 0"
wait_eq 0 startup_mode
wait_eq 0 indicator
read -r _ exstyle < <(probe style "$MAIN")
(( 16#$exstyle & 0x8 )) || fail "the window is not topmost (extended style $exstyle)"
screenshot "nystra-released.png"

# A program listening for the broadcast hears the activation.
heard=$TEST_LOGS/heard.txt
listen_start ZRM450_NYSTRA_UPDATE "$heard"
sim touch 0 >/dev/null
wait_rows 17 "Line A" "" ""
wait_pointdata "1 0"
wait $LISTENER || fail "no ZRM450_NYSTRA_UPDATE broadcast"
grep -qx '0 0' <<<"$(tr -d '\r' <"$heard")" || fail "broadcast wParam/lParam: $(cat "$heard")"
rm -f "$heard"
sim release 0 >/dev/null
screenshot "nystra-active.png"

# The Supervisor panel takes over.
sim touch 1 >/dev/null
wait_rows 34 "Line B" "" ""
wait_pointdata "0 1"
sim release 1 >/dev/null

# Panel 0 is Interlock: its touch is shown as a request and changes nothing.
sim touch 0 >/dev/null
wait_rows 34 "Line B" 17 "Line A"
wait_eq 1 indicator
sim release 0 >/dev/null
screenshot nystra-request.png
stays_eq 1 "0 1" pointdata  # a request changes no panel

# Ten one-second polls later the second row is empty again.
start=$SECONDS
WAIT_SECONDS=15 wait_rows 34 "Line B" "" ""
[ $((SECONDS - start)) -ge 8 ] || fail "the request faded after $((SECONDS - start)) s"
wait_eq 0 indicator
wait_pointdata "0 1"
echo "activate: first touch, Supervisor takeover, request shown and faded"
