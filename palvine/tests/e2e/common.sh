# Shared steps of Palvine's end-to-end scenarios: Palvine.exe under Wine
# against the simulated driver, driven by real mouse releases and system
# commands, read back through the window probe, the helper that reads the
# system menu from inside the program, and the driver's state. Sourced by
# the scenario scripts after the harness's step library.
. "$E2E_LIB"

CLASS=PalvineMainDlg     # the window's class (its caption is empty)
ID_CLICK_STATUS=1001
PALVINE=$WIN_BIN/Palvine.exe
HELPER=$WIN_BIN/palvine_e2e_helper.exe
ERROR_TITLE="Error report"
# The lit button of each picture, in the icon's pixels: blue on left.ico,
# red on right.ico.
LEFT_SPOT=(8 8)
RIGHT_SPOT=(23 8)

e2e_on_fail() { [ -z "${MAIN:-}" ] || probe children "$MAIN" || true; }

tavloctl() { wine_run "$WIN_BIN/tavloctl.exe" "$@"; }

# The driver's modes as "click mode/once button/once flag".
modes() { echo "$(driver_field clickbutton)/$(driver_field oncebutton)/$(driver_field onceflag)"; }
# Sets the driver's modes (click mode, once flag, once button) as another
# program would.
set_modes() {
    tavloctl click-mode "$1" >/dev/null || fail "cannot set the click mode"
    tavloctl once-mode "$2" "$3" >/dev/null || fail "cannot set the once mode"
}
# Requests the driver saw that change the modes (set click mode, set once mode).
writes() { sim log | grep -cE '0x22A1E4|0x22A1EC' || true; }

# Starts Palvine with the given arguments; MAIN is its window's handle.
start_palvine() {
    launch "$PALVINE" "$@"
    MAIN=$(probe find-class "$CLASS" 15000) || fail "the window did not appear"
    wait_eq -t 10 1 probe visible "$MAIN"
}
wait_gone() { probe gone "$MAIN" "${1:-5000}" >/dev/null || fail "the window is still there"; }

# Outer size as "width height" in pixels, the height without the caption
# bar: the window keeps a square client area under the bar, so a size of
# width w shows as "w w". The bar's height is read from the window itself
# (the client area's inset at the top less the one at the bottom).
size() {
    local left top right bottom cleft ctop cright cbottom
    read -r left top right bottom < <(probe rect "$MAIN") || return 1
    read -r cleft ctop cright cbottom < <(probe client "$MAIN") || return 1
    echo "$((right - left)) $((bottom - top - ((ctop - top) - (bottom - cbottom))))"
}
# The caption bar's height in pixels.
caption_bar() {
    local left top right bottom cleft ctop cright cbottom
    read -r left top right bottom < <(probe rect "$MAIN") || return 1
    read -r cleft ctop cright cbottom < <(probe client "$MAIN") || return 1
    echo "$(((ctop - top) - (bottom - cbottom)))"
}
# A point on the caption bar, clear of its close box on the right: "X Y".
caption_point() {
    local left top right bottom cleft ctop cright cbottom
    read -r left top right bottom < <(probe rect "$MAIN") || return 1
    read -r cleft ctop cright cbottom < <(probe client "$MAIN") || return 1
    echo "$((cleft + 4)) $(((top + ctop) / 2))"
}
# The window's top left corner: "X Y".
position() {
    local left top right bottom
    read -r left top right bottom < <(probe rect "$MAIN") || return 1
    echo "$left $top"
}
topmost() {
    local style ex
    read -r style ex < <(probe style "$MAIN") || return 1
    echo $(((16#$ex & 0x8) != 0))
}
# Check marks of "Always top window" and the three sizes, as "1 1 0 0".
checks() { wine_run "$HELPER" menu "$MAIN" 101 102 103 104 | paste -sd' '; }

# Which picture ClickStatus shows: left, right or other.
picture() {
    local left right
    left=$(probe pixel "$MAIN" "$ID_CLICK_STATUS" "${LEFT_SPOT[@]}") || return 1
    right=$(probe pixel "$MAIN" "$ID_CLICK_STATUS" "${RIGHT_SPOT[@]}") || return 1
    if [ "$left" = 0000FF ] && [ "$right" = FFFFFF ]; then
        echo left
    elif [ "$left" = FFFFFF ] && [ "$right" = FF0000 ]; then
        echo right
    else
        echo "other($left,$right)"
    fi
}

# A real release of mouse button $1 (1 left, 2 middle, 3 right, as X
# numbers them) over the picture, or beside it near the client area's
# corner with $2 = edge.
release_over() {
    local left top right bottom
    if [ "${2:-}" = edge ]; then
        read -r left top right bottom < <(probe client "$MAIN") || fail "no window"
        press $((left + 1)) $((bottom - 2)) "$1"
    else
        read -r left top right bottom < <(probe rect "$MAIN" "$ID_CLICK_STATUS") || fail "no picture"
        press $(((left + right) / 2)) $(((top + bottom) / 2)) "$1"
    fi
}
