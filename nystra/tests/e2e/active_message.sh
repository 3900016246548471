# ZRM450_NYSTRA_ACTIVE from another program makes the panel with that
# number active at once, whatever its mode; a number that is not a panel of
# the table is ignored.
. "$(dirname "$0")/common.sh"
sim attach 0x11 attach 0x22 attach 0x33 >/dev/null
seed_panel 17 "Line A" 1
seed_panel 34 "Line B" 0
seed_panel 51 "Line C" 2
start_nystra

result=$(probe send "$MAIN" ZRM450_NYSTRA_ACTIVE 1 0) || fail "the window did not answer"
[ "$result" = 0 ] || fail "result $result"
wait_rows 34 "Line B" "" ""
wait_pointdata "0 1 0"

for wparam in 3 4 255 0xFFFFFFFF; do
    probe send "$MAIN" ZRM450_NYSTRA_ACTIVE "$wparam" 0 >/dev/null || fail "no answer to wParam $wparam"
done
# A panel number that is valid afterwards shows every message was handled.
probe send "$MAIN" ZRM450_NYSTRA_ACTIVE 2 0 >/dev/null
wait_rows 51 "Line C" "" ""
wait_pointdata "0 0 1"
echo "active message: panel 1, then ignored numbers, then panel 2"
