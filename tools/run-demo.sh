#!/usr/bin/env bash
# The suite's main job on the simulated driver: installs what is missing,
# builds the Windows binaries, starts the simulated touch-panel driver under
# Wine with two panels and shows the service console at work on it.
# With a DISPLAY, windows appear on it; without one, Xvfb is used.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh

# win64 first: the demo's driver, console and probe come from it. The
# build's own output is kept in a log; if it fails, the errors are shown.
mkdir -p build
for preset in win64 win32; do
    echo "building $preset (log: build/demo-build-$preset.log)"
    if ! { cmake --preset "$preset" && cmake --build --preset "$preset"; } >"build/demo-build-$preset.log" 2>&1; then
        echo "the $preset build failed:" >&2
        grep -E -B2 -A6 'error|FAILED|Error' "build/demo-build-$preset.log" | head -60 >&2 ||
            tail -40 "build/demo-build-$preset.log" >&2
        exit 1
    fi
done

harness=harness/wine-harness.sh
# The demo has a Wine session of its own, apart from any test run.
export SUITE_WINE_ROOT=$PWD/build/wine-demo
bin=build/win64/bin
step() { printf '\n== %s\n' "$*"; }
ctl() { echo "\$ tavloctl $*"; "$harness" wine "$bin/tavloctl.exe" "$@" | tr -d '\r'; }

step "starting the simulated driver in a Wine session"
"$harness" start
trap '"$harness" stop' EXIT
"$harness" sim reset attach 0x11 0x0105 attach 0x22 0x0207

step "panels on the driver"
ctl list

step "calibration of panel 1 written to the working set and read back"
ctl calibration 1 10240 -35 9870 12
ctl calibration 1 --saved

step "a touch on panel 0, seen live"
watch_log=$(mktemp)
("$harness" wine "$bin/tavloctl.exe" watch --count 1 --seconds 20 | stdbuf -oL tr -d '\r' >"$watch_log") &
watcher=$!
end=$((SECONDS + 20))
until grep -q watching "$watch_log"; do [ $SECONDS -lt $end ] || break; sleep 0.05; done
echo "(the simulator console touches panel 0)"
"$harness" sim touch 0
wait $watcher || true
cat "$watch_log"
rm -f "$watch_log"
"$harness" sim release 0

step "the driver's own view"
"$harness" sim state

# Later parts of the demo (the programs) are added below this line.

step "the panel editor (Cordane) names the panels: 17 'Line A' Interlock, 34 'Line B' Supervisor, release after 5 s"
eval "$("$harness" env)"
shots=$SUITE_WINE_ROOT/screenshots
rm -rf "$shots"
mkdir -p "$shots"
# The records live in the 32-bit registry view, where both builds keep them.
records=(ID17 ID34 ALL)
for key in "${records[@]}"; do "$harness" reg-delete 32 "HKLM\\Software\\ZR_EX_CONTROL\\$key"; done
winprobe() { "$harness" probe "$@"; }
sim() { "$harness" sim "$@" >/dev/null; }
"$harness" launch "$PWD/$bin/Cordane.exe"  # launch changes into the program's folder
editor=$(winprobe find "Panel Setting" 15000)
# The dialog is shown once its controls are filled.
end=$((SECONDS + 5))
until [ "$(winprobe visible "$editor")" = 1 ]; do [ $SECONDS -lt $end ] || break; sleep 0.05; done
winprobe settext "$editor" 1017 "Line A"      # row 1: name, mode list position 0 (Interlock)
winprobe select "$editor" 1003 0
winprobe settext "$editor" 1018 "Line B"      # row 2: name, position 1 (Supervisor)
winprobe select "$editor" 1006 1
winprobe click "$editor" 1011                 # "Panel Release        after" on
end=$((SECONDS + 5))
until [ "$(winprobe enabled "$editor" 1012)" = 1 ]; do [ $SECONDS -lt $end ] || break; sleep 0.05; done
winprobe settext "$editor" 1012 5
"$harness" screenshot "$shots/cordane.png"
winprobe click "$editor" 1                    # OK: the records are written
winprobe gone "$editor" 5000 >/dev/null
for key in "${records[@]}"; do
    for value in NAME TOUCH_OP IR_OP TIMEOUT TIMEENABLE; do
        stored=$("$harness" reg-get 32 "HKLM\\Software\\ZR_EX_CONTROL\\$key" "$value") || continue
        echo "$key $value: $stored"
    done
done

step "the interlock (Nystra) reads those records"
"$harness" launch "$PWD/$bin/Nystra.exe"
main=$(winprobe find "Interlock Control" 15000)

# One line from the window's controls and the driver's state. The driver is
# read before and after the window: when the two differ, Nystra changed
# something in between and the reading is taken again.
driver_line() {
    local driver
    driver=$("$harness" sim -m state)
    printf 'driver: point data %s, start-up mode %s' \
        "$(sed -n 's/^panel .* pointdata=\([01]\) .*/\1/p' <<<"$driver" | sed 's/1/on/;s/0/off/' | paste -sd' ')" \
        "$(sed -n 's/^driver .* startup=\([01]\) .*/\1/p' <<<"$driver")"
}
interlock_view() {
    local controls before after
    while :; do
        before=$(driver_line)
        controls=$(winprobe children "$main" 2>/dev/null) || return 1
        [ -n "$controls" ] || return 1  # a handle whose window is gone lists nothing
        after=$(driver_line)
        [ "$before" = "$after" ] && break
    done
    text() { sed -n "s/^$1 Static [01] //p" <<<"$controls"; }
    printf 'window: active [%s] "%s"  request [%s] "%s"  indicator %s | %s' \
        "$(text 1001)" "$(text 1003)" "$(text 1002)" "$(text 1004)" \
        "$(sed -n 's/^1006 Static \([01]\).*/\1/p' <<<"$controls" | sed 's/1/shown/;s/0/hidden/')" "$after"
}
# Prints every change as it happens, until the window is gone; the lines
# also go to a log that the steps below wait on.
changes=$(mktemp)
start_ns=$(date +%s%N)
elapsed() { echo "$(( ($(date +%s%N) - start_ns) / 1000000 ))e-3"; }
(
    printed=
    while line=$(interlock_view); do
        if [ "$line" != "$printed" ]; then
            printf '   %6.1f s  %s\n' "$(elapsed)" "$line" | tee -a "$changes"
            printed=$line
        fi
    done
    printf '   %6.1f s  window closed | %s\n' "$(elapsed)" "$(driver_line)" | tee -a "$changes"
) &
monitor=$!
trap 'kill $monitor 2>/dev/null || true; rm -f "$changes"; "$harness" stop' EXIT
# Waits until a change printed after the last step contains $1.
seen=0
wait_printed() {
    local end=$((SECONDS + 20))
    until tail -n +$((seen + 1)) "$changes" | grep -qF -- "$1"; do
        [ $SECONDS -lt $end ] || { echo "the interlock did not show: $1" >&2; exit 1; }
        sleep 0.1
    done
    seen=$(wc -l <"$changes")
}
shot() { "$harness" screenshot "$shots/$1"; }

wait_printed 'active [] "  Released  "  request [] ""  indicator hidden | driver: point data off off, start-up mode 0'
shot nystra-released.png
echo "-> the simulator console touches panel 0 (Line A, Interlock): the first touch makes it active"
sim touch 0
wait_printed 'active [17] "Line A"  request [] ""  indicator hidden | driver: point data on off'
sim release 0
shot nystra-active.png
echo "-> touch on panel 1 (Line B, Supervisor): it takes over at once"
sim touch 1
wait_printed 'active [34] "Line B"  request [] ""  indicator hidden | driver: point data off on'
sim release 1
echo "-> touch on panel 0 (Interlock) while panel 1 is active: only shown as a request"
sim touch 0
wait_printed 'active [34] "Line B"  request [17] "Line A"  indicator shown | driver: point data off on'
sim release 0
shot nystra-request.png
echo "-> no touch on panel 1 for 5 s: released by time"
wait_printed 'active [] "  Released  "  request [] ""  indicator hidden | driver: point data off off'
echo "-> another program sends ZRM450_NYSTRA_ACTIVE with panel number 0"
winprobe send "$main" ZRM450_NYSTRA_ACTIVE 0 0 >/dev/null
wait_printed 'active [17] "Line A"  request [] ""  indicator hidden | driver: point data on off'
if ! grep -q XVFB_PID "$SUITE_WINE_ROOT/session.env" 2>/dev/null && [ -t 0 ]; then
    echo "-> Nystra keeps running on $DISPLAY; touch panels from another terminal, for example:"
    echo "     SUITE_WINE_ROOT=$SUITE_WINE_ROOT $harness sim touch 1 release 1"
    read -r -p "   press Enter to close Nystra " _
fi
echo "-> Nystra is closed (close box, then OK): every panel enabled, start-up mode 1"
winprobe close "$main"
box=$(winprobe find Nystra 5000)
winprobe click "$box" 1
wait_printed 'window closed | driver: point data on on, start-up mode 1'
wait $monitor || true
echo "screenshots: $shots"
