#!/usr/bin/env bash
# The suite's main job on the simulated driver: installs what is missing,
# builds the Windows binaries, starts the simulated touch-panel driver under
# Wine with two panels and shows the service console at work on it.
# With a DISPLAY, windows appear on it; without one, Xvfb is used.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh

for preset in win64 win32; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" >/dev/null
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
