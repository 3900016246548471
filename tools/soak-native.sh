#!/usr/bin/env bash
# The long soak of the interlock controller against the in-process driver:
# builds the native preset's interlock_soak program and runs it for POLLS
# polls with each SEED given (default: one million polls, one schedule).
#   tools/soak-native.sh [POLLS [SEED...]]
set -euo pipefail
cd "$(dirname "$0")/.."
polls=${1:-1000000}
shift || true
seeds=("$@")
[ ${#seeds[@]} -gt 0 ] || seeds=(20240607)

cmake --preset native >/dev/null
cmake --build --preset native --target interlock_soak
status=0
for seed in "${seeds[@]}"; do
    build/native/nystra/interlock_soak "$polls" "$seed" || status=1
done
exit $status
