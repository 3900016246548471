#!/usr/bin/env bash
# Benchmark of the two e2e harnesses (not a test): the scenarios that exist
# in both, run with the shell harness (one Wine start per probe/sim call)
# and with the Python step library (one agent per run), in one Wine session
# of a build tree. Prints wall time and Wine process starts of each.
#
#   harness/bench-e2e-harness.sh [BUILD_TREE] [RUNS]
#
# BUILD_TREE defaults to build/win64 (configured and built; the win64 tree
# must be built as well for build/win32). Wine starts from the host are
# counted by wrapping the loaders (SUITE_WINE64/SUITE_WINE32, which both
# harnesses take from wine-env.sh); programs the agent starts inside the
# session (process.run) are counted by the agent and added.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/.." && pwd)
tree=$(cd "${1:-$repo/build/win64}" && pwd)
runs=${2:-1}
# Scenarios ported to the Python library: shell name -> Python name.
scenarios=(velmic_open_cancel palvine_options gorvat_yes cordane_one_panel)

. "$here/wine-env.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for loader in wine64:"$SUITE_WINE64" wine:"$SUITE_WINE32"; do
    name=${loader%%:*} real=${loader#*:}
    cat >"$work/$name" <<WRAP
#!/bin/sh
echo "\$\$" >>"\$SUITE_BENCH_STARTS"
exec "$real" "\$@"
WRAP
    chmod +x "$work/$name"
done

export SUITE_WINE_ROOT=$tree/wine SUITE_WIN64_BIN=${SUITE_WIN64_BIN:-$repo/build/win64/bin}
prefix=e2e_x86_64
if grep -q 'mingw-i686' "$tree/CMakeCache.txt"; then prefix=e2e_i686; fi

"$here/wine-harness.sh" start >&2
trap '"$here/wine-harness.sh" stop >&2 || true; rm -rf "$work"' EXIT

# run_set LABEL REGEX: runs the tests RUNS times; prints seconds and starts per run.
run_set() {
    local label=$1 regex=$2 i start end total_ms=0 starts=0 in_session=0
    for ((i = 0; i < runs; i++)); do
        : >"$work/starts"
        : >"$work/stats"
        start=$(date +%s%N)
        SUITE_WINE64=$work/wine64 SUITE_WINE32=$work/wine SUITE_BENCH_STARTS=$work/starts \
            SUITE_E2E_STATS=$work/stats ctest --test-dir "$tree" -R "$regex" -FS wine_session -FC wine_session \
            >"$work/ctest.log" 2>&1 || { cat "$work/ctest.log" >&2; echo "$label: tests failed" >&2; exit 1; }
        end=$(date +%s%N)
        total_ms=$((total_ms + (end - start) / 1000000))
        starts=$((starts + $(wc -l <"$work/starts")))
        in_session=$((in_session + $(awk -F'in_session_starts=' 'NF > 1 {split($2, a, " "); s += a[1]} END {print s + 0}' "$work/stats")))
    done
    printf '%-8s %6.1f s   %5d host Wine starts + %4d in-session = %5d per run\n' "$label" \
        "$(awk -v t="$total_ms" -v r="$runs" 'BEGIN {print t / r / 1000}')" $((starts / runs)) $((in_session / runs)) \
        $(((starts + in_session) / runs))
}

joined=$(IFS='|'; echo "${scenarios[*]}")
echo "scenarios: ${scenarios[*]} ($prefix, $runs run(s) each, one session)"
run_set shell "^${prefix}_(${joined})\$"
run_set python "^${prefix}_py_(${joined})\$"
