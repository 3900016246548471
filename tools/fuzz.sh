#!/usr/bin/env bash
# Builds the fuzz preset and runs each fuzz target (or the ones named) for a
# number of executions, one after another in one process each. New inputs go
# to build/fuzz/work/<target>/ (the kept corpus under fuzz/corpus/ is only
# read); a crash leaves its input in build/fuzz/artifacts/.
#   tools/fuzz.sh [-runs N] [target...]     targets: device_model library_replies key_store_records palvine_options
set -euo pipefail
cd "$(dirname "$0")/.."

runs=10000000
if [ "${1:-}" = "-runs" ]; then
    runs=$2
    shift 2
fi
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(device_model library_replies key_store_records palvine_options)

command -v clang++ >/dev/null && [ -n "$(ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a 2>/dev/null)" ] || {
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get update -q
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q clang libclang-rt-dev ||
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q clang-14 libclang-rt-14-dev
}
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
# Allocation stacks and a large quarantine cost more than half the speed of
# the small, allocation-heavy runs; a crash is still reported with its stack.
export ASAN_OPTIONS=${ASAN_OPTIONS:-malloc_context_size=0:quarantine_size_mb=64}
mkdir -p build/fuzz/artifacts
for target in "${targets[@]}"; do
    work=build/fuzz/work/$target
    mkdir -p "$work"
    log=build/fuzz/$target.log
    echo "=== $target: $runs executions"
    status=0
    # A command line longer than a few options teaches the fuzzer nothing
    # new and costs time on every run.
    max_len=512
    [ "$target" != palvine_options ] || max_len=160
    build/fuzz/fuzz/${target}_fuzz -runs="$runs" -max_len=$max_len -entropic=0 -print_final_stats=1 \
        -artifact_prefix=build/fuzz/artifacts/$target- "$work" fuzz/corpus/$target >"$log" 2>&1 || status=$?
    grep -aE "^stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb)|^Done " "$log" || true
    if [ $status -ne 0 ]; then
        echo "$target FAILED (exit $status), see $log"
        tail -40 "$log"
        exit $status
    fi
done
