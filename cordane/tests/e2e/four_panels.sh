# Four panels: the dialog grows by rows 3 and 4, each with its identifier,
# name, mode and tool buttons; OK saves every row and the system record.
. "$(dirname "$0")/common.sh"
sim attach 0x11 attach 0x22 attach 0x33 attach 0x44 >/dev/null
put_panel 51 "Line C" 0
put_panel 68 "Line D" 2
put_system 60 0
start_cordane
expect_row 0 "17||0|1"
expect_row 1 "34||0|1"
expect_row 2 "51|Line C|2|1"
expect_row 3 "68|Line D|1|1"
for row in 0 1 2 3; do expect_row_enabled "$row" 1; done
[ "$(probe items "$MAIN" ${ID_MODES[3]} | paste -sd,)" = "Interlock,Supervisor,Disable" ] || fail "mode list of row 4"
[ "$(probe text "$MAIN" ${ID_TOUCH[3]})" = "Touch Settings" ] || fail "row 4's Touch Settings"
[ "$(probe limit "$MAIN" ${ID_NAMES[3]})" = 16 ] || fail "row 4's name takes $(probe limit "$MAIN" ${ID_NAMES[3]})"
[ "$(probe text "$MAIN" ${ID_CALIBRATION[2]})" = "Calibration" ] || fail "row 3's Calibration"
# Row 4 lies above the check box, which moved down below it.
read -r _ _ _ row4bottom < <(probe rect "$MAIN" ${ID_NAMES[3]})
read -r _ boxtop _ _ < <(probe rect "$MAIN" $ID_TIME_RELEASE)
[ "$row4bottom" -lt "$boxtop" ] || fail "row 4 (bottom $row4bottom) overlaps the check box (top $boxtop)"
read -r _ _ _ okbottom < <(probe rect "$MAIN" $ID_OK)
read -r _ _ _ windowbottom < <(probe rect "$MAIN")
[ "$okbottom" -lt "$windowbottom" ] || fail "OK lies outside the dialog"
screenshot cordane-four-panels.png

for row in 0 1 2 3; do set_name "$row" "Row $((row + 1))"; done
set_mode 2 1
set_mode 3 0
probe click "$MAIN" $ID_OK
wait_closed
expect_record 17 "Row 1|1|0"
expect_record 34 "Row 2|1|0"
expect_record 51 "Row 3|2|0"
expect_record 68 "Row 4|1|0"
expect_system "60|0"
echo "four panels: every row shown and saved"
