# Steps shared by the benchmark scripts that measure programs under Wine.
# Sourced after wine-env.sh, with WINEPREFIX set to the session's prefix.

# cpu_ticks PID...: CPU time (user and system) of the processes, in clock
# ticks (getconf CLK_TCK a second); processes gone count nothing.
cpu_ticks() {
    local pid total=0
    for pid in "$@"; do
        [ -r "/proc/$pid/stat" ] && total=$((total + $(awk '{print $14 + $15}' "/proc/$pid/stat")))
    done
    echo $total
}

# session_pids PATTERN: the processes matching PATTERN (pgrep -f) that
# belong to this Wine session only (other build trees run their own).
session_pids() {
    local pid
    for pid in $(pgrep -f "$1" || true); do
        if grep -qx "WINEPREFIX=$WINEPREFIX" < <(tr '\0' '\n' 2>/dev/null <"/proc/$pid/environ"); then echo "$pid"; fi
    done 2>/dev/null | paste -sd' '
}

# bench_session_begin HARNESS: uses the build tree's Wine session, started
# here when none is up, and takes over its environment (WINEPREFIX...).
# bench_session_end: resets the driver and stops the session if it was
# started here. Call it from the script's exit trap.
bench_session_begin() {
    BENCH_HARNESS=$1
    BENCH_STARTED=0
    if [ ! -f "${SUITE_WINE_ROOT:?}/session.env" ]; then
        "$BENCH_HARNESS" start
        BENCH_STARTED=1
    fi
    eval "$("$BENCH_HARNESS" env)"
}
bench_session_end() {
    "$BENCH_HARNESS" sim reset >/dev/null 2>&1 || true
    if [ "${BENCH_STARTED:-0}" = 1 ]; then "$BENCH_HARNESS" stop; fi
}
