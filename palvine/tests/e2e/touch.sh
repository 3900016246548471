# Palvine with a pointer alone, as on a touch-only screen: the window has a
# thin frame and no caption bar (so no close box under a finger); the strip
# at the top of its client area answers as caption. A right click on the
# strip (what a press and hold gives) opens the system menu, a click on its
# last item chooses "Large size", and a drag of the strip moves the window.
# At every size the whole picture lies in the square below the strip.
# Clicks on the picture stay Palvine's own. Screenshots of the window at the
# three sizes and of the open menu are kept.
. "$(dirname "$0")/common.sh"

start_palvine
wait_eq 1/2/0 modes
wait_eq -t 3 left picture
read -r style _ < <(probe style "$MAIN")
# WS_CAPTION is WS_BORDER | WS_DLGFRAME; no WS_THICKFRAME either.
[ $((16#$style & 0xC40000)) = $((0x800000)) ] || fail "not a thin frame without a caption bar: style $style"
bar=$(strip)
[ "$bar" -ge 8 ] || fail "no strip above the picture ($bar pixels)"
wait_eq "39 39" size

# The whole picture in the square below the strip, in its middle (the
# sizes' own rounding allows a pixel or two).
placed() {
    local cl ct cr cb pl pt pr pb
    read -r cl ct cr cb < <(probe client "$MAIN") || return 1
    read -r pl pt pr pb < <(probe rect "$MAIN" "$ID_CLICK_STATUS") || return 1
    local top=$((ct + bar))
    if ((pr - pl != 32 || pb - pt != 32 || pl < cl || pr > cr || pt < top || pb > cb)); then
        echo "outside: client $cl $ct $cr $cb, strip $bar, picture $pl $pt $pr $pb"
        return 0
    fi
    local dx=$(((pl - cl) - (cr - pr))) dy=$(((pt - top) - (cb - pb)))
    [ "${dx#-}" -le 2 ] && [ "${dy#-}" -le 2 ] && echo yes || echo "off centre: $cl $top $cr $cb / $pl $pt $pr $pb"
}
shot() {  # shot NAME: the window alone, with a margin
    local left top right bottom
    read -r left top right bottom < <(probe rect "$MAIN")
    screenshot "$1.png"
    if command -v convert >/dev/null; then
        convert "$TEST_LOGS/$1.png" -crop "$((right - left + 20))x$((bottom - top + 20))+$((left - 10))+$((top - 10))" \
            +repage "$TEST_LOGS/$1-window.png"
    fi
}
[ "$(placed)" = yes ] || fail "small: $(placed)"
shot touch-small

# Which points are strip: its corners and its last row answer as caption,
# the row below it and the picture as client.
read -r cl ct cr cb < <(probe client "$MAIN")
read -r pl pt pr pb < <(probe rect "$MAIN" "$ID_CLICK_STATUS")
for point in "$cl $ct 2" "$((cr - 1)) $ct 2" "$((cr - 1)) $((ct + bar - 1)) 2" "$cl $((ct + bar)) 1" \
    "$(((cl + cr) / 2)) $((ct + bar)) 1" "$(((pl + pr) / 2)) $(((pt + pb) / 2)) 1"; do
    read -r x y want <<<"$point"
    [ "$(hit "$x" "$y")" = "$want" ] || fail "hit test at $x,$y: $(hit "$x" "$y"), expected $want"
done

# The system menu, by pointer input alone.
read -r x y < <(strip_point)
press "$x" "$y" 3
MENU=$(probe find-class "#32768" 10000) || fail "no menu after a right click on the strip"
wait_eq 1 probe visible "$MENU"
screenshot touch-menu.png
wait_eq 1/2/0 modes  # the right click was no click on the picture
# Its last item is "Large size".
read -r left top right bottom < <(probe rect "$MENU")
press $(((left + right) / 2)) $((bottom - 8))
wait_eq "117 117" size
wait_eq "1 0 0 1" checks
[ "$(strip)" = "$bar" ] || fail "the strip changed: $(strip), was $bar"
[ "$(placed)" = yes ] || fail "large: $(placed)"
shot touch-large

# Normal size, then the window dragged by its strip.
probe syscommand "$MAIN" $ID_NORMAL
wait_eq "78 78" size
[ "$(placed)" = yes ] || fail "normal: $(placed)"
shot touch-normal

read -r x0 y0 < <(position)
read -r x y < <(strip_point)
xdotool mousemove "$x" "$y" mousedown 1 mousemove $((x - 30)) $((y + 20)) mousemove $((x - 60)) $((y + 40)) \
    mouseup 1
wait_eq "$((x0 - 60)) $((y0 + 40))" position
wait_eq "78 78" size
wait_eq 1/2/0 modes  # the drag was no click on the picture

# Back to small, where the picture only just fits.
probe syscommand "$MAIN" $ID_SMALL
wait_eq "39 39" size
[ "$(placed)" = yes ] || fail "small again: $(placed)"

# A click on the picture still arms the one-shot.
release_over 1
wait_eq 1/2/1 modes
wait_eq -t 3 right picture
echo "touch: strip of $bar pixels; menu opened by a right click on it, Large size chosen, window dragged"
