# Scene: Cordane, opened again, starts the installed Velmic from its
# second row; Velmic finds the active panel (panel 1, Line B), previews
# new click settings in the working set and saves them.
. "$REPO/velmic/tests/e2e/common.sh"
. "$REPO/tools/demo/lib.sh"
# The double-click time Velmic sets is the demo's to show: it stays.
trap - EXIT
CORDANE_CAPTION="Panel Setting"
ID_ROW2_TOUCH_SETTINGS=$CORDANE_IDC_TOUCH2
PANEL=1

# Both sets of the active panel and the double-click time, as read from
# the driver through the service console and from the Wine session.
show_sets() {
    show "panel $PANEL working set: $(click_of $PANEL working), sound $(sound_of $PANEL working)" \
         "(down cancel, up cancel, double-click time, area)"
    show "panel $PANEL saved set:   $(click_of $PANEL saved), sound $(sound_of $PANEL saved)"
    show "Windows double-click time: $(probe dblclick-time) ms"
}
show_dialog() {
    show "dialog: sliders $(sliders), touch-down sound $(probe checked "$MAIN" $ID_CLICK_SOUND)," \
         "OK/Apply enabled $(buttons)"
}

say "Cordane opens again and reads the records back; its row-2 'Touch Settings' starts $SUITE_INSTALL_FOLDER\\Velmic.exe"
launch "$WIN_BIN/Cordane.exe"
cordane=$(probe find "$CORDANE_CAPTION" 15000) || fail "Cordane did not open"
wait_eq 1 probe visible "$cordane"
wait_eq "Line B" probe text "$cordane" "$CORDANE_IDC_NAME2"
show "Cordane row 1: $(probe text "$cordane" "$CORDANE_IDC_ID1") '$(probe text "$cordane" "$CORDANE_IDC_NAME1")'," \
     "row 2: $(probe text "$cordane" "$CORDANE_IDC_ID2") '$(probe text "$cordane" "$CORDANE_IDC_NAME2")'"
show_sets
probe click "$cordane" $ID_ROW2_TOUCH_SETTINGS
wait_main
wait_eq " 34" probe text "$MAIN" $ID_ACTIVE_PANEL_ID
wait_eq "0 0" buttons
say "Velmic shows the saved set of the active panel (ID 34) and sets the double-click time from it"
show_dialog
show_sets
window_shot velmic-opened "Velmic: the active panel's saved click settings" "$MAIN"

# The values the sliders stand for: "DOWN UP TIME AREA".
slider_values() {
    local down up speed area
    read -r down up speed area < <(sliders)
    echo "$((down * 10)) $((up * 10)) $((speed * 100)) $((area * 2 + 20))"
}

say "real clicks into the sliders' channels: touch-down chatter cancel towards 'High', double-click speed twice towards 'Slow'"
press_slider_end $ID_DOWN right
wait_until 20 eval '[ "$(sliders)" != "3 3 4 4" ]' || fail "the chatter cancel slider did not move"
for _ in 1 2; do
    before=$(sliders)
    press_slider_end $ID_SPEED right
    wait_until 20 eval '[ "$(sliders)" != "$before" ]' || fail "the speed slider did not move"
done
new=$(slider_values)
wait_eq "$new" click_of $PANEL working
expect_time "$(cut -d' ' -f3 <<<"$new")"
wait_eq "1 1" buttons
say "'Touch down sound' off: previewed in the working set too"
press_control "$MAIN" $ID_CLICK_SOUND
wait_eq 0 probe checked "$MAIN" $ID_CLICK_SOUND
wait_eq off sound_of $PANEL working
show_dialog
show_sets
window_shot velmic-changed "Velmic: new settings in effect, not yet saved" "$MAIN"

say "Apply: the saved set takes the new values; Apply is disabled, the dialog stays"
press_control "$MAIN" $ID_APPLY
wait_eq "1 0" buttons
wait_eq "$new" click_of $PANEL saved
wait_eq off sound_of $PANEL saved
show_sets

say "OK: saved again, Velmic ends; Cordane stays open"
press_control "$MAIN" $ID_OK
wait_closed
probe gone "$START" 10000 >/dev/null || fail "Velmic's start-up window stayed"
probe ended Velmic.exe 10000 >/dev/null || fail "Velmic did not end"
show_sets
