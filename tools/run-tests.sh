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
# installer's end-to-end test.
presets=(native native-asan win64 win32 win64-release win32-release)
for preset in "${presets[@]}"; do
    echo "=== build $preset"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
done

failed=0
for preset in "${presets[@]}"; do
    echo "=== test $preset"
    if ! ctest --test-dir "build/$preset" --output-on-failure -j2; then
        failed=1
    fi
done
exit $failed
