# Palvine with a pointer alone, as on a touch-only screen: a right click on
# the caption bar (what a press and hold gives) opens the system menu, a
# click on its last item chooses "Large size", and a drag of the bar moves
# the window. Clicks on the picture stay Palvine's own. Screenshots of the
# window at the three sizes and of the open menu are kept.
. "$(dirname "$0")/common.sh"

start_palvine
wait_eq 1/2/0 modes
wait_eq -t 3 left picture
bar=$(caption_bar)
[ "$bar" -ge 8 ] || fail "no caption bar above the picture ($bar pixels)"
wait_eq "39 39" size

# The picture sits in the middle of the client area (the sizes' own rounding
# allows a pixel or two).
centred() {
    local cl ct cr cb pl pt pr pb
    read -r cl ct cr cb < <(probe client "$MAIN") || return 1
    read -r pl pt pr pb < <(probe rect "$MAIN" "$ID_CLICK_STATUS") || return 1
    local dx=$(((pl - cl) - (cr - pr))) dy=$(((pt - ct) - (cb - pb)))
    [ "${dx#-}" -le 4 ] && [ "${dy#-}" -le 4 ] && echo yes || echo "no: $cl $ct $cr $cb / $pl $pt $pr $pb"
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
[ "$(centred)" = yes ] || fail "small: picture not centred: $(centred)"
shot touch-small

# The system menu, by pointer input alone.
read -r x y < <(caption_point)
press "$x" "$y" 3
MENU=$(probe find-class "#32768" 10000) || fail "no menu after a right click on the caption bar"
wait_eq 1 probe visible "$MENU"
screenshot touch-menu.png
# Its last item is "Large size".
read -r left top right bottom < <(probe rect "$MENU")
press $(((left + right) / 2)) $((bottom - 8))
wait_eq "117 117" size
wait_eq "1 0 0 1" checks
[ "$(caption_bar)" = "$bar" ] || fail "the caption bar changed: $(caption_bar), was $bar"
[ "$(centred)" = yes ] || fail "large: picture not centred: $(centred)"
shot touch-large

# Normal size, then the window dragged by its bar.
probe syscommand "$MAIN" 103
wait_eq "78 78" size
[ "$(centred)" = yes ] || fail "normal: picture not centred: $(centred)"
shot touch-normal

read -r x0 y0 < <(position)
read -r x y < <(caption_point)
xdotool mousemove "$x" "$y" mousedown 1 mousemove $((x - 30)) $((y + 20)) mousemove $((x - 60)) $((y + 40)) \
    mouseup 1
wait_eq "$((x0 - 60)) $((y0 + 40))" position
wait_eq "78 78" size
wait_eq 1/2/0 modes  # the drag was no click on the picture

# A click on the picture still arms the one-shot.
release_over 1
wait_eq 1/2/1 modes
wait_eq -t 3 right picture
echo "touch: menu opened by a right click on the caption bar ($bar pixels), Large size chosen, window dragged"
