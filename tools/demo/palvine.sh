# Scene: Palvine, large, arms and disarms the one-shot; the driver's modes
# before, during and after it.
. "$REPO/palvine/tests/e2e/common.sh"
. "$REPO/tools/demo/lib.sh"

show_modes() {
    local mode
    IFS=/ read -r -a mode <<<"$(modes)"
    show "driver: click mode ${mode[0]}, once button ${mode[1]}, once flag ${mode[2]} (1 left, 2 right, 4 middle)"
}

say "another setting left the driver's once button at middle"
ctl once-mode 0 middle
show_modes

say "Palvine /LARGESIZE starts: left clicks, the right button as the one-shot, disarmed"
start_palvine /LARGESIZE
wait_eq 1/2/0 modes
wait_eq -t 20 left picture
show "picture: $(picture).ico"
show_modes
window_shot palvine-disarmed "Palvine: one-shot disarmed (left.ico)" "$MAIN"

say "a press and hold on the caption strip (here a right click) opens the system menu"
read -r x y < <(strip_point)
press "$x" "$y" 3
MENU=$(probe find-class "#32768" 10000) || fail "no system menu"
wait_eq 1 probe visible "$MENU"
window_shot palvine-menu "Palvine: the system menu, from the caption strip" "$MAIN" "$MENU"
read -r left top right bottom < <(probe rect "$MENU")
press $(((left + right) / 2)) $((bottom - 8))  # its last item, "Large size", closes it
menu_closed() { [ "$(probe visible "$MENU" 2>/dev/null)" != 1 ]; }
wait_until 10 menu_closed || fail "the system menu stayed open"
show "Large size chosen: the window stays $(size | cut -d' ' -f1) pixels wide"

say "a left click on the window arms the one-shot: the next touch gives one right click"
release_over 1
wait_eq 1/2/1 modes
wait_eq -t 20 right picture
show "picture: $(picture).ico"
show_modes
window_shot palvine-armed "Palvine: one-shot armed (right.ico)" "$MAIN"

say "the driver uses the one-shot and clears the flag (here the console does it): the picture follows"
ctl once-mode 0 right
wait_eq -t 20 left picture
show "picture: $(picture).ico"

say "Palvine is closed: the modes it found are back"
probe close "$MAIN"
wait_gone
wait_eq 1/4/0 modes
show_modes
end_program "$PALVINE"
