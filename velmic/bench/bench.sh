#!/usr/bin/env bash
# Velmic's numbers under Wine against the simulated driver (one enabled
# panel), each beside a trivial dialog program measured in the same run:
#   1. start to the first window shown (median of RUNS starts);
#   2. CPU use over SECONDS of idle running with the settings dialog open
#      (the poll ticking every 200 ms).
#   bench.sh HARNESS WIN_BIN [SECONDS] [RUNS]
# Uses the build tree's Wine session (started here when none is up); it
# resets the driver, so it must not run beside that tree's e2e tests.
set -euo pipefail
harness=$1 bin=$2 seconds=${3:-30} runs=${4:-5}
. "$(dirname "$harness")/wine-env.sh"
. "$(dirname "$harness")/bench-lib.sh"
pid=
stop_program() {
    if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; fi
    pid=
}
cleanup() {
    stop_program
    "$harness" agent '{"cmd": "session.set_dblclick_time", "args": {"ms": 500}}' >/dev/null 2>&1 || true
    bench_session_end
}
trap cleanup EXIT
bench_session_begin "$harness"
wine64=$SUITE_WINE64
# One command of the e2e agent, quiet; its status.
agent() { "$harness" agent "$1" >/dev/null 2>&1; }
"$harness" sim reset attach 0x31 >/dev/null

start_program() {  # start_program EXE: in the background, in its folder
    (cd "$(dirname "$1")" && exec "$wine64" "$1" </dev/null >/dev/null 2>&1) &
    pid=$!
}
# Waits until the window with this caption is visible (the agent polls).
wait_shown() {
    agent '{"cmd": "window.find", "args": {"title": "'"$1"'", "timeout_ms": 15000}}' &&
        agent '{"cmd": "wait", "args": {"do": {"cmd": "window.state", "args": {"window": "'"$1"'"}},
                                         "match": {"visible": 1}, "timeout_ms": 15000}}' ||
        { echo "no window '$1'" >&2; exit 1; }
}
# Milliseconds from the start to the window shown, median of $runs.
start_time() {
    local exe=$1 caption=$2 i t0 t1 samples=()
    for ((i = 0; i < runs; i++)); do
        t0=$(date +%s%N)
        start_program "$exe"
        wait_shown "$caption"
        t1=$(date +%s%N)
        samples+=($(((t1 - t0) / 1000000)))
        stop_program
        agent '{"cmd": "window.gone", "args": {"window": "'"$caption"'", "timeout_ms": 5000}}'
    done
    printf '%s\n' "${samples[@]}" | sort -n | sed -n "$((runs / 2 + 1))p"
}

echo "== Start to the first window (median of $runs, the e2e agent polls for it)"
velmic=$(start_time "$bin/Velmic.exe" "Touch Settings Program")
trivial=$(start_time "$bin/velmic_trivial_dialog.exe" "Trivial dialog")
echo "Velmic.exe to its settings dialog: $velmic ms; trivial dialog program: $trivial ms"

echo "== CPU use over ${seconds} s idle"
winedevice=$(session_pids 'winedevice\.exe')
wineserver=$(session_pids "^$(dirname "$SUITE_WINESERVER")/wineserver")
hz=$(getconf CLK_TCK)
idle() {  # idle EXE CAPTION LABEL
    start_program "$1"
    wait_shown "$2"
    local n0 s0 d0 n1 s1 d1 t0 t1
    n0=$(cpu_ticks "$pid"); s0=$(cpu_ticks $wineserver); d0=$(cpu_ticks $winedevice); t0=$(date +%s.%N)
    sleep "$seconds"
    n1=$(cpu_ticks "$pid"); s1=$(cpu_ticks $wineserver); d1=$(cpu_ticks $winedevice); t1=$(date +%s.%N)
    stop_program
    awk -v n=$((n1 - n0)) -v s=$((s1 - s0)) -v d=$((d1 - d0)) -v hz="$hz" -v t0="$t0" -v t1="$t1" -v label="$3" 'BEGIN {
        wall = t1 - t0
        printf "%s: %.2f %% of a core; wineserver %.2f %%, driver host %.2f %%\n", label, 100 * n / hz / wall, 100 * s / hz / wall, 100 * d / hz / wall
    }'
}
idle "$bin/Velmic.exe" "Touch Settings Program" "Velmic.exe, settings dialog open"
idle "$bin/velmic_trivial_dialog.exe" "Trivial dialog" "trivial dialog program"
