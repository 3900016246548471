# The command line read back from the window and the driver: topmost, outer
# size, the system menu's check marks and the buttons written; the modes
# found at start are put back at the end.
. "$(dirname "$0")/common.sh"

# arguments | topmost | outer size in pixels | check marks 101-104 | modes while running
cases=(
    "||1|39 39|1 1 0 0|1/2/0"
    "|/notop /top /LARGESIZE|1|117 117|1 0 0 1|1/2/0"
    "|/NOTOP /nmlsize /NORMALRIGHT /ONCEMIDDLE|0|78 78|0 0 1 0|2/4/0"
    "|/TopMost /SMALLSIZE /LARGESIZE /normalmiddle /onceleftx|1|117 117|1 0 0 1|4/1/0"
)
for case in "${cases[@]}"; do
    IFS='|' read -r _ arguments top wanted_size wanted_checks running <<<"$case"
    set_modes 2 1 middle  # found at start: click mode 2, once button 4, once flag 1
    wait_eq 2/4/1 modes
    # shellcheck disable=SC2086  # the arguments are words
    start_palvine $arguments
    wait_eq "$running" modes
    [ "$(topmost)" = "$top" ] || fail "[$arguments] topmost $(topmost)"
    [ "$(size)" = "$wanted_size" ] || fail "[$arguments] size $(size), expected $wanted_size"
    [ "$(checks)" = "$wanted_checks" ] || fail "[$arguments] check marks $(checks), expected $wanted_checks"
    wait_eq -t 3 left picture
    probe close "$MAIN"
    wait_gone
    wait_eq 2/4/0 modes
    echo "options [$arguments]: topmost $top, $wanted_size, checks $wanted_checks, running $running, after 2/4/0"
done
