# Shared steps of Palvine's end-to-end scenarios: Palvine.exe under Wine
# against the simulated driver, driven by real mouse releases and system
# commands, read back through the window probe, the helper that reads the
# system menu from inside the program, and the driver's state. Sourced by
# the scenario scripts after the harness's step library.
. "$E2E_LIB"

CLASS=PalvineMainDlg     # the window's class (its caption is empty)
# The picture's identifier, from palvine_ids.h through the generated e2e_ids.sh.
. "${SUITE_E2E_IDS:?no e2e_ids.sh: SUITE_E2E_IDS is set by the e2e tests and the demo}"
ID_CLICK_STATUS=$PALVINE_IDC_CLICK_STATUS
# The system menu's commands.
ID_ALWAYS_TOP=$PALVINE_IDM_ALWAYS_TOP
ID_SMALL=$PALVINE_IDM_SMALL_SIZE
ID_NORMAL=$PALVINE_IDM_NORMAL_SIZE
ID_LARGE=$PALVINE_IDM_LARGE_SIZE
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

# The caption strip's height in pixels: the frame is the same a side, so
# the client area is taller than wide by the strip.
strip() {
    local cleft ctop cright cbottom
    read -r cleft ctop cright cbottom < <(probe client "$MAIN") || return 1
    echo "$(((cbottom - ctop) - (cright - cleft)))"
}
# Outer size as "width height" in pixels, the height without the strip: the
# window keeps a square under the strip, so a size of width w shows as
# "w w".
size() {
    local left top right bottom bar
    read -r left top right bottom < <(probe rect "$MAIN") || return 1
    bar=$(strip) || return 1
    echo "$((right - left)) $((bottom - top - bar))"
}
# A point in the middle of the strip: "X Y".
strip_point() {
    local cleft ctop cright cbottom bar
    read -r cleft ctop cright cbottom < <(probe client "$MAIN") || return 1
    bar=$(strip) || return 1
    echo "$(((cleft + cright) / 2)) $((ctop + bar / 2))"
}
# The window's answer to a hit test at screen point X Y (WM_NCHITTEST):
# 1 client, 2 caption.
hit() { probe send "$MAIN" 0x84 0 $(((($2 & 0xFFFF) << 16) | ($1 & 0xFFFF))); }
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
checks() { wine_run "$HELPER" menu "$MAIN" $ID_ALWAYS_TOP $ID_SMALL $ID_NORMAL $ID_LARGE | paste -sd' '; }

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
