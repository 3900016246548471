# No panel: every row, the check box, the time-out and OK are disabled; only
# Cancel works, and nothing is written.
. "$(dirname "$0")/common.sh"
start_cordane
for row in 0 1; do
    expect_row "$row" "||-1|0"
    expect_row_enabled "$row" 0
done
for id in $ID_TIME_RELEASE $ID_TIME_OUT $ID_OK; do
    [ "$(probe enabled "$MAIN" $id)" = 0 ] || fail "control $id is enabled"
done
[ "$(probe enabled "$MAIN" $ID_CANCEL)" = 1 ] || fail "Cancel is disabled"
# The disabled time-out shows the value held (no record is read): 0.
[ "$(probe text "$MAIN" $ID_TIME_OUT)" = 0 ] || fail "time-out field: '$(probe text "$MAIN" $ID_TIME_OUT)'"
screenshot cordane-no-panel.png
probe click "$MAIN" $ID_CANCEL
wait_closed
! key_exists "$KEY" || fail "something was written: $(reg_dump)"
echo "no panel: only Cancel works"
