# Scene: Cordane, opened again, starts the installed Velmic from its
# second row; Velmic finds the active panel (panel 1, Line B), previews
# new click settings in the working set and saves them.
. "$REPO/velmic/tests/e2e/common.sh"
. "$REPO/tools/demo/lib.sh"
# The double-click time Velmic sets is the demo's to show: it stays.
trap - EXIT
CORDANE_CAPTION="Panel Setting"
ID_ROW2_TOUCH_SETTINGS=1007
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

say "Cordane opens again and reads the records back; its row-2 'Touch Settings' starts C:\\Orlinde\\Dravik\\Velmic.exe"
launch "$WIN_BIN/Cordane.exe"
cordane=$(probe find "$CORDANE_CAPTION" 15000) || fail "Cordane did not open"
wait_eq 1 probe visible "$cordane"
wait_eq "Line B" probe text "$cordane" 1018
show "Cordane row 1: $(probe text "$cordane" 1013) '$(probe text "$cordane" 1017)'," \
     "row 2: $(probe text "$cordane" 1015) '$(probe text "$cordane" 1018)'"
show_sets
probe click "$cordane" $ID_ROW2_TOUCH_SETTINGS
wait_main
wait_eq " 34" probe text "$MAIN" $ID_ACTIVE_PANEL_ID
wait_eq "0 0" buttons
say "Velmic shows the saved set of the active panel (ID 34) and sets the double-click time from it"
show_dialog
show_sets
window_shot velmic-opened "Velmic: the active panel's saved click settings" "$MAIN"

say "'Set to default': chatter cancel 30/30, 400 ms, area 28, sound on, in effect at once (working set only)"
press_control "$MAIN" $ID_SET_DEFAULT
wait_eq "3 3 4 4" sliders
wait_eq "30 30 400 28" click_of $PANEL working
wait_eq "1 1" buttons
expect_time 400
show_dialog
show_sets

say "the double-click speed slider one page towards 'Slow' (a real click into its channel): previewed at once"
press_slider_end $ID_SPEED right
wait_until 5 eval '[ "$(sliders)" != "3 3 4 4" ]' || fail "the speed slider did not move"
read -r _ _ speed _ < <(sliders)
wait_eq "30 30 $((speed * 100)) 28" click_of $PANEL working
expect_time $((speed * 100))
show_dialog
show_sets
window_shot velmic-changed "Velmic: new settings previewed, not yet saved" "$MAIN"

say "Apply: the saved set takes the new values; Apply is disabled, the dialog stays"
press_control "$MAIN" $ID_APPLY
wait_eq "1 0" buttons
wait_eq "30 30 $((speed * 100)) 28" click_of $PANEL saved
wait_eq on sound_of $PANEL saved
show_sets

say "OK: saved again, Velmic ends; Cordane stays open"
press_control "$MAIN" $ID_OK
wait_closed
probe gone "$START" 10000 >/dev/null || fail "Velmic's start-up window stayed"
probe ended Velmic.exe 10000 >/dev/null || fail "Velmic did not end"
show_sets
