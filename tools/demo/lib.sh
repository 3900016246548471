# Steps shared by the demo's scenes (tools/demo/*.sh), sourced after the
# program's own e2e steps (its tests/e2e/common.sh), so that the demo drives
# every window the way the end-to-end tests do. A scene sees WIN_BIN, the
# installed program folder; SHOTS, where its screenshots go; and the
# session's environment, as a scenario script does.
: "${SHOTS:?run the scenes through tools/run-demo.sh}"
# The programs' scenarios end on a failed wait; so does a scene.
TEST_LOGS=$SHOTS
# The programs' identifiers and the install folder (tools/run-demo.sh).
. "${SUITE_E2E_IDS:?no e2e_ids.sh: SUITE_E2E_IDS is set by the e2e tests and the demo}"

# say TEXT: one step of the demo, as the reader follows it.
say() { printf -- '-> %s\n' "$*"; }
# show TEXT: one observed effect, indented under its step.
show() { printf '     %s\n' "$*"; }

# ctl ARGS...: the installed service console, command and answer printed.
ctl() {
    local out
    out=$(wine_run "$WIN_BIN/tavloctl.exe" "$@") || fail "tavloctl $* failed: $out"
    show "\$ tavloctl $*"
    sed 's/^/       /' <<<"$out"
}

# The records as Nystra and Cordane keep them, in the 32-bit registry view.
RECORDS='HKLM\Software\ZR_EX_CONTROL'
# show_record KEY VALUE...: the values of one record, "missing" for none.
show_record() {
    local key=$1 value data line=""
    shift
    for value in "$@"; do
        data=$(reg_get 32 "$RECORDS\\$key" "$value" 2>/dev/null | cut -d' ' -f2-) || data=missing
        line+="$value=${data:-missing} "
    done
    show "registry $key: $line"
}

# What the driver holds, read through its own console (not through the
# suite): one line per panel with the fields named.
driver_panels() {  # driver_panels FIELD...
    local field line out
    while read -r line; do
        out=""
        for field in index id "$@"; do
            out+="$field=$(sed -n "s/.*\\b$field=\\([^ ]*\\).*/\\1/p" <<<"$line") "
        done
        show "driver: panel $out"
    done < <(sim -m state | grep '^panel ')
}

# window_shot NAME TITLE WINDOW...: the screen cut to the rectangle around
# the given windows (handles or captions), saved as $SHOTS/NAME.png with
# no time stamps inside, so an unchanged picture is an unchanged file.
# TITLE labels it on the contact sheet.
window_shot() {
    local name=$1 title=$2 window left top right bottom
    shift 2
    local x0=100000 y0=100000 x1=0 y1=0 screen_w screen_h
    read -r screen_w screen_h < <(xdotool getdisplaygeometry)
    for window in "$@"; do
        read -r left top right bottom < <(probe rect "$window") || fail "no window $window for $name"
        ((left < x0)) && x0=$left
        ((top < y0)) && y0=$top
        ((right > x1)) && x1=$right
        ((bottom > y1)) && y1=$bottom
    done
    # Kept on the screen.
    ((x0 >= 0)) || x0=0
    ((y0 >= 0)) || y0=0
    ((x1 <= screen_w)) || x1=$screen_w
    ((y1 <= screen_h)) || y1=$screen_h
    # A window settles a moment after the step that changed it (focus,
    # caret, a repaint): the picture is taken once two captures a fifth of
    # a second apart are the same.
    local full last="" this end=$((SECONDS + 10))
    full=$(mktemp --suffix=.png)
    while :; do
        "$HARNESS" screenshot "$full"
        this=$(convert "$full" -crop "$((x1 - x0))x$((y1 - y0))+$x0+$y0" +repage -depth 8 rgb:- | md5sum)
        [ "$this" != "$last" ] || break
        if [ $SECONDS -ge $end ]; then
            show "($name still changing after 10 s: the last capture is kept)"
            break
        fi
        last=$this
        sleep 0.2
    done
    convert "$full" -crop "$((x1 - x0))x$((y1 - y0))+$x0+$y0" +repage -strip \
        -define png:exclude-chunks=date,time "$SHOTS/$name.png"
    rm -f "$full"
    printf '%s\t%s\n' "$name" "$title" >>"$SHOTS/index.tsv"
    show "screenshot $name.png: $title"
}
