# Both questions that end the interlock have Cancel as their default
# button, with the keyboard focus on it: Enter (or a stray tap on the
# default) on either box keeps the interlock running with its panel active.
# Saves the close question as it opens (nystra-close-cancel.png).
. "$(dirname "$0")/common.sh"
start_with_line_b_active
focused() { wine_run "$HELPER" focus "$1"; }

# ask WHAT TEXT: the question opened by WHAT shows TEXT, Cancel (2) has the
# focus, and Enter closes it with the interlock still running.
ask() {
    local box
    box=$(wait_box)
    wait_eq "$2" box_text "$box"
    wait_eq 2 focused "$box"
    wait_eq "$box" probe foreground
    [ "$1" != close ] || screenshot nystra-close-cancel.png
    xdotool key Return
    probe gone "$box" 5000 >/dev/null || fail "Enter did not close the $1 question"
    stays_eq 1 "0 1" pointdata
    [ "$(probe processes Nystra.exe)/$(startup_mode)" = "1/0" ] || fail "Enter on the $1 question ended the interlock"
    wait_rows 34 "Line B" "" ""
    echo "safe default: Enter on the $1 question kept the interlock"
}

probe close "$MAIN"
ask close "Panel Interlock Control is cancelled."
click_tray 3 2
ask tray $'Are you sure\nthe Panel Exclusive Control is stopped ?'
