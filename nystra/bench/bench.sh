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
root=${SUITE_WINE_ROOT:?}
started=0
if [ ! -f "$root/session.env" ]; then
    "$harness" start
    started=1
fi
nystra_pid=
cleanup() {
    if [ -n "$nystra_pid" ]; then kill "$nystra_pid" 2>/dev/null || true; wait "$nystra_pid" 2>/dev/null || true; fi
    "$harness" sim reset >/dev/null 2>&1 || true
    if [ $started = 1 ]; then "$harness" stop; fi
}
trap cleanup EXIT
eval "$("$harness" env)"
. "$(dirname "$harness")/wine-env.sh"
wine64=$SUITE_WINE64

"$harness" sim reset attach 0x11 attach 0x22 attach 0x33 attach 0x44 >/dev/null
for id in 17 34 51 68; do
    "$harness" reg-set 32 "HKLM\\Software\\ZR_EX_CONTROL\\ID$id" NAME REG_SZ "Panel $id" TOUCH_OP REG_DWORD 1
done
"$harness" reg-set 32 'HKLM\Software\ZR_EX_CONTROL\ALL' TIMEOUT REG_DWORD 30

echo "== Nystra: one poll while Released (4 panels)"
"$harness" wine "$bin/nystra_bench.exe" 500 </dev/null | tr -d '\r'

echo "== Nystra: CPU use over ${seconds} s idle (4 panels, Released, polling every 200 ms)"
# CPU time in clock ticks of a process, user and system.
ticks() {
    local pid total=0
    for pid in "$@"; do
        [ -r "/proc/$pid/stat" ] && total=$((total + $(awk '{print $14 + $15}' "/proc/$pid/stat")))
    done
    echo $total
}
# Processes of this Wine session only (other build trees run their own).
session_pids() {
    local pid
    for pid in $(pgrep -f "$1" || true); do
        if tr '\0' '\n' 2>/dev/null <"/proc/$pid/environ" | grep -qx "WINEPREFIX=$WINEPREFIX"; then echo "$pid"; fi
    done 2>/dev/null | paste -sd' '
}
winedevice=$(session_pids 'winedevice\.exe')
wineserver=$(session_pids "^$(dirname "$SUITE_WINESERVER")/wineserver")
(cd "$bin" && exec "$wine64" "$bin/Nystra.exe" </dev/null >/dev/null 2>&1) &
nystra_pid=$!
end=$((SECONDS + 15))
until "$wine64" "$SUITE_WIN64_BIN/winprobe.exe" find "Interlock Control" 100 </dev/null >/dev/null 2>&1; do
    [ $SECONDS -lt $end ] || { echo "Nystra.exe did not start" >&2; exit 1; }
done
hz=$(getconf CLK_TCK)
n0=$(ticks "$nystra_pid"); s0=$(ticks $wineserver); d0=$(ticks $winedevice)
t0=$(date +%s.%N)
sleep "$seconds"
n1=$(ticks "$nystra_pid"); s1=$(ticks $wineserver); d1=$(ticks $winedevice)
t1=$(date +%s.%N)
awk -v n=$((n1 - n0)) -v s=$((s1 - s0)) -v d=$((d1 - d0)) -v hz="$hz" -v t0="$t0" -v t1="$t1" 'BEGIN {
    wall = t1 - t0
    printf "Nystra.exe: %.2f s CPU in %.1f s = %.2f %% of a core (goal <= 0.5 %%)\n", n / hz, wall, 100 * n / hz / wall
    printf "serving its requests (whole session, mostly Nystra): wineserver %.2f %%, driver hosts %.2f %% of a core\n", 100 * s / hz / wall, 100 * d / hz / wall
}'
