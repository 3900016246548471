#!/usr/bin/env bash
# Nystra's numbers under Wine, against the simulated driver with four panels
# (records for all four in the registry, none active):
#   1. the time of one poll while Released, as a share of the 200 ms interval
#      (nystra_bench.exe runs the very poll of Nystra.exe);
#   2. Nystra.exe's CPU use over SECONDS of idle running (default 60).
#   bench.sh HARNESS WIN_BIN [SECONDS]
# Uses the build tree's Wine session (started here when none is up); it
# resets the driver, so it must not run beside that tree's e2e tests.
set -euo pipefail
harness=$1 bin=$2 seconds=${3:-60}
. "$(dirname "$harness")/wine-env.sh"
. "$(dirname "$harness")/bench-lib.sh"
nystra_pid=
cleanup() {
    if [ -n "$nystra_pid" ]; then kill "$nystra_pid" 2>/dev/null || true; wait "$nystra_pid" 2>/dev/null || true; fi
    bench_session_end
}
trap cleanup EXIT
bench_session_begin "$harness"
wine64=$SUITE_WINE64

"$harness" sim reset attach 0x11 attach 0x22 attach 0x33 attach 0x44 >/dev/null
# The four records and the release time-out, in the 32-bit view as the
# programs keep them, written with one agent request.
records=""
for id in 17 34 51 68; do
    records+='{"cmd": "registry.write", "args": {"view": 32, "key": "HKLM\\Software\\ZR_EX_CONTROL\\ID'$id'",
               "values": [{"name": "NAME", "type": "REG_SZ", "data": "Panel '$id'"},
                          {"name": "TOUCH_OP", "type": "REG_DWORD", "data": 1}]}},'
done
"$harness" agent '{"cmd": "batch", "args": {"commands": ['"$records"'
    {"cmd": "registry.write", "args": {"view": 32, "key": "HKLM\\Software\\ZR_EX_CONTROL\\ALL",
                                       "values": [{"name": "TIMEOUT", "type": "REG_DWORD", "data": 30}]}}]}}' >/dev/null

echo "== Nystra: one poll while Released (4 panels)"
"$harness" wine "$bin/nystra_bench.exe" 500 </dev/null | tr -d '\r'

echo "== Nystra: CPU use over ${seconds} s idle (4 panels, Released, polling every 200 ms)"
winedevice=$(session_pids 'winedevice\.exe')
wineserver=$(session_pids "^$(dirname "$SUITE_WINESERVER")/wineserver")
(cd "$bin" && exec "$wine64" "$bin/Nystra.exe" </dev/null >/dev/null 2>&1) &
nystra_pid=$!
"$harness" agent '{"cmd": "window.find", "args": {"title": "Interlock Control", "timeout_ms": 15000}}' >/dev/null ||
    { echo "Nystra.exe did not start" >&2; exit 1; }
hz=$(getconf CLK_TCK)
n0=$(cpu_ticks "$nystra_pid"); s0=$(cpu_ticks $wineserver); d0=$(cpu_ticks $winedevice)
t0=$(date +%s.%N)
sleep "$seconds"
n1=$(cpu_ticks "$nystra_pid"); s1=$(cpu_ticks $wineserver); d1=$(cpu_ticks $winedevice)
t1=$(date +%s.%N)
awk -v n=$((n1 - n0)) -v s=$((s1 - s0)) -v d=$((d1 - d0)) -v hz="$hz" -v t0="$t0" -v t1="$t1" 'BEGIN {
    wall = t1 - t0
    printf "Nystra.exe: %.2f s CPU in %.1f s = %.2f %% of a core (goal <= 0.5 %%)\n", n / hz, wall, 100 * n / hz / wall
    printf "serving its requests (whole session, mostly Nystra): wineserver %.2f %%, driver hosts %.2f %% of a core\n", 100 * s / hz / wall, 100 * d / hz / wall
}'
