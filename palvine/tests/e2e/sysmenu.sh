# The system-menu commands as WM_SYSCOMMAND: 101 toggles topmost and its
# check mark, 102-104 resize keeping height minus width, 0x6F is not 101;
# the system menu's Close ends the program through the exit steps.
# The check marks are waited for like every other state the commands change:
# one read made once, right after the size was reached, has seen other marks
# than the read just after it.
. "$(dirname "$0")/common.sh"

set_modes 2 1 middle
start_palvine
wait_eq 1/2/0 modes
[ "$(checks)" = "1 1 0 0" ] || fail "check marks $(checks) at start"

probe syscommand "$MAIN" $ID_ALWAYS_TOP
wait_eq 0 topmost
wait_eq "0 1 0 0" checks
probe syscommand "$MAIN" $ID_ALWAYS_TOP
wait_eq 1 topmost
wait_eq "1 1 0 0" checks

# "Always top window" | 0x0F is another command: nothing changes.
probe syscommand "$MAIN" $((ID_ALWAYS_TOP | 0x0F))
probe syscommand "$MAIN" $ID_LARGE  # a later command shows the one before was handled
wait_eq "117 117" size
[ "$(topmost)" = 1 ] || fail "0x6F changed topmost"
wait_eq "1 0 0 1" checks

for step in "$ID_NORMAL|78 78|1 0 1 0" "$ID_NORMAL|78 78|1 0 1 0" "$ID_SMALL|39 39|1 1 0 0"; do
    IFS='|' read -r command want marks <<<"$step"
    probe syscommand "$MAIN" "$command"
    wait_eq "$want" size
    wait_eq "$marks" checks
    echo "sysmenu: $command -> $want, checks $marks"
done
wait_eq -t 3 left picture

# The system menu's Close (as Alt+F4 sends it).
probe syscommand "$MAIN" 0xF060
wait_gone
wait_eq 2/4/0 modes
echo "sysmenu: Close restored 2/4/0"
