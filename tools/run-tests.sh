#!/usr/bin/env bash
# The suite's test command: installs what is missing, builds every preset
# and runs all tests (native unit tests, the same under AddressSanitizer and
# UBSan, the Windows builds' checks and end-to-end tests under Wine, and the
# release builds' size check and installer test).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh

# win64 before win32: the i686 end-to-end tests use its simulated driver.
# The release builds (only what ships, about two minutes each) come after
# them for the same reason: their tests are the release check and the
# installer's end-to-end test. Each preset is configured and built by its
# workflow preset <preset>-build (CMakePresets.json); the configure step's
# report is left out, as the build's output is what matters here.
presets=(native native-asan win64 win32 win64-release win32-release)
for preset in "${presets[@]}"; do
    echo "=== build $preset"
    cmake --workflow --preset "$preset-build" | sed -u '1,/^Executing workflow step 2 of 2/d'
done

# Each build tree has a Wine session of its own, so the two Windows presets
# (and then the two release presets) run their tests side by side: they wait
# on Wine far more than they use the processor. SUITE_TESTS_SERIAL=1 runs
# one preset after the other instead. The logs are shown preset by preset.
logs=build/test-logs
rm -rf "$logs"
mkdir -p "$logs"
run_tests() {  # run_tests PRESET: its tests (test preset: output on failure, two at a time), the log in $logs/PRESET.txt
    echo "=== test $1" >"$logs/$1.txt"
    ctest --preset "$1" >>"$logs/$1.txt" 2>&1
}
failed=0
for group in "native" "native-asan" "win64 win32" "win64-release win32-release"; do
    read -r -a members <<<"$group"
    pids=()
    for preset in "${members[@]}"; do
        if [ "${SUITE_TESTS_SERIAL:-0}" = 1 ]; then
            run_tests "$preset" || failed=1
        else
            run_tests "$preset" &
            pids+=($!)
        fi
    done
    for pid in "${pids[@]}"; do
        wait "$pid" || failed=1
    done
    for preset in "${members[@]}"; do
        cat "$logs/$preset.txt"
    done
done
exit $failed
