#!/usr/bin/env bash
# Every icon drawn for the suite (installer/assets) holds the 16, 24, 32, 48
# and 256 pixel images Windows picks from for lists, menus, the desktop
# and large views, each square. The check itself is run first against
# icons with a fault each, made here.
#   icons_test.sh ASSETS_FOLDER
set -euo pipefail
assets=$1
want="16 24 32 48 256"

sizes() {  # the square images of an .ico, ascending; "bad" when not square
    local count i w h
    count=$(od -An -tu2 -j4 -N2 "$1" | tr -d ' ')
    for ((i = 0; i < count; i++)); do
        read -r w h < <(od -An -tu1 -j$((6 + 16 * i)) -N2 "$1")
        [ "$w" -eq 0 ] && w=256
        [ "$h" -eq 0 ] && h=256
        [ "$w" -eq "$h" ] && echo "$w" || echo bad
    done | sort -n | paste -sd' '
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
icon() {  # icon FILE WIDTH:HEIGHT...: an icon directory with these entries
    local file=$1 entry
    shift
    printf '\0\0\1\0'"$(printf '\\%03o\\%03o' $(($# % 256)) $(($# / 256)))" >"$file"
    for entry in "$@"; do
        printf "$(printf '\\%03o\\%03o' $((${entry%:*} % 256)) $((${entry#*:} % 256)))"'\0\0\1\0\40\0\0\0\0\0\0\0\0\0' >>"$file"
    done
}
icon "$work/complete.ico" 16:16 24:24 32:32 48:48 256:256
icon "$work/no256.ico" 16:16 24:24 32:32 48:48
icon "$work/only32.ico" 32:32
icon "$work/oblong.ico" 16:16 24:24 32:32 48:24 256:256

failed=0
check() {  # check ICON EXPECTED-OK(yes|no)
    local got
    got=$(sizes "$1")
    if [ "$got" = "$want" ]; then
        [ "$2" = yes ] && echo "ok   $(basename "$1"): $got" && return
        echo "FAIL $(basename "$1"): the check passed a faulty icon ($got)"
    else
        [ "$2" = no ] && echo "ok   $(basename "$1") is refused: $got" && return
        echo "FAIL $(basename "$1") holds [$got], not [$want]"
    fi
    failed=1
}
check "$work/complete.ico" yes
for fault in no256 only32 oblong; do check "$work/$fault.ico" no; done
found=0
while IFS= read -r -d '' file; do
    check "$file" yes
    found=1
done < <(find "$assets" -name '*.ico' -print0)
[ $found -eq 1 ] || { echo "FAIL no icon in $assets"; failed=1; }
exit $failed
