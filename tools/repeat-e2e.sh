#!/usr/bin/env bash
# Runs the end-to-end part of the test command (every e2e_ test of the win64
# and win32 presets, under Wine) N times in a row and prints how many runs
# passed. A run fails when any of its tests fails; the logs of failed runs
# are kept under build/repeat-e2e/.
#
#   tools/repeat-e2e.sh [N]        (default 10; the presets must be built)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-10}
[[ $runs =~ ^[1-9][0-9]*$ ]] || { echo "usage: $0 [N]" >&2; exit 2; }

# win64 first: the i686 tests use its simulated driver and probe.
presets=(win64 win32)
for preset in "${presets[@]}"; do
    [ -f "build/$preset/CTestTestfile.cmake" ] ||
        { echo "build/$preset is not built: cmake --preset $preset && cmake --build --preset $preset" >&2; exit 2; }
done

logs=build/repeat-e2e
rm -rf "$logs"
mkdir -p "$logs"
passed=0 failed=0
for run in $(seq 1 "$runs"); do
    start=$SECONDS
    ok=1
    # Side by side, as in the test command: each build tree has its own
    # Wine session (SUITE_TESTS_SERIAL=1: one after the other).
    pids=()
    for preset in "${presets[@]}"; do
        ctest --test-dir "build/$preset" -R '^e2e_' --output-on-failure -j2 >"$logs/run$run-$preset.txt" 2>&1 &
        pids+=($!)
        if [ "${SUITE_TESTS_SERIAL:-0}" = 1 ]; then
            wait "${pids[-1]}" || ok=0
            pids=()
        fi
    done
    for pid in "${pids[@]}"; do
        wait "$pid" || ok=0
    done
    if [ $ok = 1 ]; then
        passed=$((passed + 1))
        echo "run $run: passed in $((SECONDS - start)) s"
        rm -f "$logs/run$run-"*.txt
    else
        failed=$((failed + 1))
        echo "run $run: FAILED in $((SECONDS - start)) s: $(grep -h '(Failed)\|(Timeout)\|\*\*\*' "$logs/run$run-"*.txt | sed 's/^ *[0-9]*\/[0-9]* Test *#[0-9]*: //; s/ *\.\.\.*.*//' | paste -sd' ') (logs: $logs/run$run-*.txt)"
    fi
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
