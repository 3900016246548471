# Scene: Nystra's interlock on the two records, with touches on both
# panels from the simulator console. Nystra keeps running after it, with
# panel 1 (Line B) active, for the tools that work on the active panel.
. "$REPO/nystra/tests/e2e/common.sh"
. "$REPO/tools/demo/lib.sh"

# What the window and the driver show, once both have settled on it.
settled() {  # settled ROWS POINTDATA INDICATOR
    wait_eq "$1" rows
    wait_pointdata "$2"
    wait_eq "$3" indicator
    show "window: $(rows) (active ID, active name, request ID, request name), request indicator" \
         "$(sed 's/1/shown/;s/0/hidden/' <<<"$3")"
    show "driver: point data $(pointdata | sed 's/1/on/g;s/0/off/g') (panel 0, panel 1), start-up mode $(startup_mode)"
}

say "Nystra starts: start-up mode 0, every panel disabled, no panel active"
start_nystra
settled "[][$RELEASED][][]" "0 0" 0
window_shot nystra-released "Nystra: no panel active" "$MAIN"

say "touch on panel 0 (Line A, Interlock): the first touch makes it the active panel"
sim touch 0 >/dev/null
settled "[17][Line A][][]" "1 0" 0
sim release 0 >/dev/null
window_shot nystra-active "Nystra: Line A active" "$MAIN"

say "touch on panel 1 (Line B, Supervisor) while Line A is active: it takes over at once"
sim touch 1 >/dev/null
settled "[34][Line B][][]" "0 1" 0
sim release 1 >/dev/null

say "touch on panel 0 (Line A, Interlock) while Line B is active: only shown as a request, for ten seconds"
sim touch 0 >/dev/null
settled "[34][Line B][17][Line A]" "0 1" 1
sim release 0 >/dev/null
window_shot nystra-request "Nystra: Line A asks, Line B stays active" "$MAIN"

say "the 'Release' button: every panel disabled again"
press_control "$MAIN" "$ID_RELEASE"
settled "[][$RELEASED][][]" "0 0" 0

say "another program sends ZRM450_NYSTRA_ACTIVE with panel number 1: Line B becomes active"
probe send "$MAIN" ZRM450_NYSTRA_ACTIVE 1 0 >/dev/null
settled "[34][Line B][][]" "0 1" 0
show "Nystra keeps running; Line B (panel 1) is the active panel for the next steps"
