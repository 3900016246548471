#!/usr/bin/env bash
# The long soak of the real Nystra.exe under Wine against the simulated
# driver (nystra/tests/e2e/test_soak.py, one agent for the whole run):
# builds what it needs in the win64 preset, runs the soak in a Wine session
# of its own (so that the e2e tests of build/win64 may run beside it) until
# the controller has made POLLS polls, and prints the figures and the Wine
# process starts of the run. At five polls a second, 9,000 polls take about
# half an hour, longer while panels are active (a poll a second).
#   tools/soak-wine.sh [POLLS [SCHEDULE]]      default: 9000 polls, schedule 1
set -euo pipefail
cd "$(dirname "$0")/.."
polls=${1:-9000}
schedule=${2:-1}

cmake --preset win64 >/dev/null
cmake --build --preset win64 --target Nystra suite_agent tavlosim tavlosim_driver >/dev/null

export SUITE_WIN64_BIN=$PWD/build/win64/bin SUITE_WINE_ROOT=$PWD/build/win64/soak-wine
harness/wine-harness.sh start
trap 'harness/wine-harness.sh stop' EXIT
WIN_BIN=$SUITE_WIN64_BIN SUITE_ARCH=x86_64 SUITE_TEST_NAME=soak_wine PYTHONPATH=$PWD/harness/pylib \
    PYTHONDONTWRITEBYTECODE=1 /usr/bin/python3 -m pytest -p suite_e2e.plugin -c harness/pylib/pytest.ini \
    --rootdir "$PWD" -q -s nystra/tests/e2e/test_soak.py --soak-polls "$polls" --soak-seconds 0 \
    --soak-schedule "$schedule"
