# Cordane and the interlock meet only in the registry: with the interlock
# running, Cordane turns panel 0 into Disable; a touch on panel 0 no longer
# activates it, while panel 1 still can be activated.
. "$(dirname "$0")/common.sh"
INTERLOCK="Interlock Control"
RELEASED="  Released  "
sim attach 0x11 attach 0x22 >/dev/null
put_panel 17 "Line A" 1
put_panel 34 "Line B" 1
launch "$WIN_BIN/Nystra.exe"
nystra=$(probe find "$INTERLOCK" 15000) || fail "the interlock did not start"
probe wait-text "$nystra" "$NYSTRA_IDC_ACTIVE_NAME" "$RELEASED" 5000 >/dev/null || fail "the interlock is not Released"
wait_eq "0 0" panel_field pointdata

start_cordane
set_mode 0 2
probe click "$MAIN" $ID_OK
wait_closed
expect_record 17 "Line A|0|0"

# Touch panel 0 and let the interlock poll it several times (each poll
# reads both touch flags): nothing is activated.
sim touch 0 >/dev/null
seen=$(driver_field requests)
polled() { [ "$(driver_field requests)" -ge $((seen + 12)) ]; }
wait_until 10 polled || fail "the interlock does not poll"
[ "$(panel_field pointdata)" = "0 0" ] || fail "the Disable panel was activated: $(panel_field pointdata)"
[ "$(probe text "$nystra" "$NYSTRA_IDC_ACTIVE_NAME")" = "$RELEASED" ] || fail "interlock shows $(probe text "$nystra" "$NYSTRA_IDC_ACTIVE_NAME")"
sim release 0 touch 1 >/dev/null
wait_eq "0 1" panel_field pointdata
probe wait-text "$nystra" "$NYSTRA_IDC_ACTIVE_NAME" "Line B" 5000 >/dev/null || fail "panel 1 was not shown active"
sim release 1 >/dev/null
echo "with the interlock: the panel turned Disable in Cordane is no longer activated"
