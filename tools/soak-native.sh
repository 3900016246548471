#!/usr/bin/env bash
# The long soak of the interlock controller against the in-process driver:
# builds the native preset's interlock_soak program and runs it for POLLS
# polls with each SCHEDULE number given (default: one million polls, one schedule).
#   tools/soak-native.sh [POLLS [SCHEDULE...]]
set -euo pipefail
cd "$(dirname "$0")/.."
polls=${1:-1000000}
shift || true
schedules=("$@")
[ ${#schedules[@]} -gt 0 ] || schedules=(20240607)

cmake --preset native >/dev/null
cmake --build --preset native --target interlock_soak
status=0
for schedule in "${schedules[@]}"; do
    build/native/nystra/interlock_soak "$polls" "$schedule" || status=1
done
exit $status
