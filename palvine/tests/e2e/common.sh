# Shared steps of Palvine's end-to-end scenarios: Palvine.exe under Wine
# against the simulated driver, driven by real mouse releases (xdotool) and
# system commands, read back through the window probe, the helper that reads
# the system menu from inside the program, and the driver's state. Sourced
# by the scenario scripts.
set -euo pipefail

CLASS=PalvineMainDlg     # the window's class (its caption is empty)
ID_CLICK_STATUS=1001
PALVINE=$WIN_BIN/Palvine.exe
HELPER=$WIN_BIN/palvine_e2e_helper.exe
ERROR_TITLE="Error report"
# The lit button of each picture, in the icon's pixels: blue on left.ico,
# red on right.ico.
LEFT_SPOT=(8 8)
RIGHT_SPOT=(23 8)

fail() {
    echo "FAIL: $*" >&2
    "$HARNESS" sim state >&2 || true
    exit 1
}

sim() { "$HARNESS" sim "$@"; }
# A failed wait or look-up of the probe ("winprobe: ..." on its error
# output) counts as a failure even when the exit code is lost on the way.
probe() {
    local errors status=0
    errors=$(mktemp)
    "$HARNESS" probe "$@" 2>"$errors" || status=$?
    cat "$errors" >&2
    if [ "$status" -eq 0 ] && grep -q '^winprobe: ' "$errors"; then status=1; fi
    rm -f "$errors"
    return "$status"
}
tavloctl() { /usr/lib/wine/wine64 "$SUITE_WIN64_BIN/tavloctl.exe" "$@" </dev/null | tr -d '\r'; }

# The driver's modes as "click mode/once button/once flag".
modes() {
    sim -m state |
        sed -n 's/^driver .* clickbutton=\([0-9]*\) onceflag=\([0-9]*\) oncebutton=\([0-9]*\) .*/\1\/\3\/\2/p'
}
wait_modes() {
    local end=$((SECONDS + ${WAIT_SECONDS:-5}))
    until [ "$(modes)" = "$1" ]; do
        [ $SECONDS -lt $end ] || fail "driver modes $(modes), expected $1"
        sleep 0.05
    done
}
# Sets the driver's modes (click mode, once flag, once button) as another
# program would.
set_modes() {
    tavloctl click-mode "$1" >/dev/null || fail "cannot set the click mode"
    tavloctl once-mode "$2" "$3" >/dev/null || fail "cannot set the once mode"
}
# Requests the driver has answered so far.
requests() { sim -m state | sed -n 's/^driver .* requests=\([0-9]*\) .*/\1/p'; }
# Requests the driver saw that change the modes (set click mode, set once mode).
writes() { sim log | grep -cE '0x22A1E4|0x22A1EC' || true; }

# Starts Palvine with the given arguments; MAIN is its window's handle.
start_palvine() {
    "$HARNESS" launch "$PALVINE" "$@"
    MAIN=$(probe find-class "$CLASS" 15000) || fail "the window did not appear"
    # Start-up has ended once the poll runs: the driver holds Palvine's modes.
    local end=$((SECONDS + 10))
    until [ "$(probe visible "$MAIN" 2>/dev/null)" = 1 ]; do
        [ $SECONDS -lt $end ] || fail "the window was not shown"
        sleep 0.05
    done
}
wait_gone() { probe gone "$MAIN" "${1:-5000}" >/dev/null || fail "the window is still there"; }

# Outer size as "width height" in pixels.
size() {
    local left top right bottom
    read -r left top right bottom < <(probe rect "$MAIN") || fail "no window"
    echo "$((right - left)) $((bottom - top))"
}
wait_size() {
    local end=$((SECONDS + 5))
    until [ "$(size)" = "$1" ]; do [ $SECONDS -lt $end ] || fail "size $(size), expected $1"; sleep 0.05; done
}
topmost() {
    local style ex
    read -r style ex < <(probe style "$MAIN") || fail "no window"
    echo $(((16#$ex & 0x8) != 0))
}
wait_topmost() {
    local end=$((SECONDS + 5))
    until [ "$(topmost)" = "$1" ]; do
        [ $SECONDS -lt $end ] || fail "topmost is $(topmost), expected $1"
        sleep 0.05
    done
}
# Check marks of "Always top window" and the three sizes, as "1 1 0 0".
checks() {
    "$HARNESS" wine "$HELPER" menu "$MAIN" 101 102 103 104 </dev/null | tr -d '\r' | paste -sd' '
}

# Which picture ClickStatus shows: left, right or other.
picture() {
    local left right
    left=$(probe pixel "$MAIN" "$ID_CLICK_STATUS" "${LEFT_SPOT[@]}")
    right=$(probe pixel "$MAIN" "$ID_CLICK_STATUS" "${RIGHT_SPOT[@]}")
    if [ "$left" = 0000FF ] && [ "$right" = FFFFFF ]; then
        echo left
    elif [ "$left" = FFFFFF ] && [ "$right" = FF0000 ]; then
        echo right
    else
        echo "other($left,$right)"
    fi
}
# Within one poll (200 ms) plus the time the X server takes to show it.
wait_picture() {
    local end=$((SECONDS + ${WAIT_SECONDS:-3}))
    until [ "$(picture)" = "$1" ]; do
        [ $SECONDS -lt $end ] || fail "the picture is $(picture), expected $1"
        sleep 0.05
    done
}

# Checks over $2 seconds (several polls) that the picture stays $1.
picture_stays() {
    local end=$((SECONDS + $2))
    while [ $SECONDS -lt $end ]; do
        [ "$(picture)" = "$1" ] || fail "the picture changed to $(picture)"
        sleep 0.1
    done
}

# A real release of mouse button $1 (1 left, 2 middle, 3 right, as X
# numbers them) over the picture, or over the window's corner with $2 = edge.
release_over() {
    local left top right bottom
    if [ "${2:-}" = edge ]; then
        read -r left top right bottom < <(probe rect "$MAIN") || fail "no window"
        xdotool mousemove $((left + 2)) $((bottom - 3)) click "$1"
    else
        read -r left top right bottom < <(probe rect "$MAIN" "$ID_CLICK_STATUS") || fail "no picture"
        xdotool mousemove $(((left + right) / 2)) $(((top + bottom) / 2)) click "$1"
    fi
}
