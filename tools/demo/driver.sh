# Scene: the simulated driver gets its two panels; the installed service
# console lists them.
. "$E2E_LIB"
. "$REPO/tools/demo/lib.sh"
say "the simulator console attaches two panels: identifier 0x11 (17), firmware 0x0105, and 0x22 (34), firmware 0x0207"
sim attach 0x11 0x0105 attach 0x22 0x0207 >/dev/null
wait_eq "17 34" panel_field id
ctl list
show "the simulator's own view:"
driver_panels pointdata cal sound
