#!/usr/bin/env bash
# The suite's main job on the simulated driver, from one command: installs
# what is missing, builds the 64-bit release with its installer, installs
# the suite with that installer (silent) into a fresh Wine prefix, starts the
# simulated touch-panel driver with two panels and runs the programs on it
# as an operator would: Cordane names the panels and chooses their modes,
# Nystra's interlock answers touches on both, Velmic and Gorvat (started
# from Cordane) change the click settings and the calibration of the active
# panel, Palvine arms the one-shot. Each step prints its effect as read from
# the driver and the registry; the screenshots go to docs/images/ (the
# user's guide shows them) and onto one labelled contact sheet,
# build/wine-demo/contact-sheet.png.
# With a DISPLAY, windows appear on it; without one, Xvfb is used.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
tools/install-deps.sh

# The release build makes what ships, the installer, the simulated driver
# and its console; the agent the scenes drive the session through (it also
# keeps the session's desktop up) comes from the same build.
preset=win64-release
build=build/$preset
mkdir -p build
echo "building $preset (log: build/demo-build.log)"
if ! { cmake --preset "$preset" && cmake --build --preset "$preset" --target suite_release suite_agent; } \
        >build/demo-build.log 2>&1; then
    echo "the $preset build failed:" >&2
    grep -E -B2 -A6 'error|FAILED|Error' build/demo-build.log | head -60 >&2 || tail -40 build/demo-build.log >&2
    exit 1
fi
installers=("$build"/*-win64-setup.exe)
[ -f "${installers[0]}" ] || { echo "no installer in $build" >&2; exit 1; }
started=$SECONDS

# The demo has a Wine session and a prefix of its own, made afresh.
harness=$repo/harness/wine-harness.sh
export SUITE_WINE_ROOT=$repo/build/wine-demo SUITE_WIN64_BIN=$repo/$build/bin
"$harness" stop 2>/dev/null || true
rm -rf "$SUITE_WINE_ROOT"
mkdir -p "$SUITE_WINE_ROOT"
echo "starting the simulated driver in a fresh Wine prefix"
"$harness" start
trap '"$harness" stop' EXIT
eval "$("$harness" env)"
shots=$SUITE_WINE_ROOT/screenshots

# The scenes (tools/demo/demo.py), on the step library of the end-to-end
# scenarios: one agent in the session for all of them. The programs'
# identifiers and the install folder come from the file the build generated
# from the headers the code uses. The waits are longer than in the tests:
# a demo on a busy machine should show its steps, not stop at a deadline.
SUITE_E2E_IDS=$repo/$build/e2e_ids.sh SUITE_ARCH=x86_64 E2E_WAIT=${E2E_WAIT:-20} \
    PYTHONPATH=$repo/harness/pylib:$repo/tools/demo PYTHONDONTWRITEBYTECODE=1 \
    /usr/bin/python3 tools/demo/demo.py "$repo/${installers[0]}" "$shots"

# Interactive runs may go on by hand before the session ends.
if ! grep -q XVFB_PID "$SUITE_WINE_ROOT/session.env" 2>/dev/null && [ -t 0 ]; then
    echo
    echo "The session stays up on $DISPLAY until Enter; try, for example:"
    echo "  SUITE_WINE_ROOT=$SUITE_WINE_ROOT SUITE_WIN64_BIN=$SUITE_WIN64_BIN $harness sim touch 1 release 1"
    read -r -p "press Enter to end the session " _
fi

printf '\n== screenshots and the contact sheet\n'
mkdir -p docs/images
labelled=()
while IFS=$'\t' read -r name title; do
    cp "$shots/$name.png" "docs/images/$name.png"
    labelled+=(-label "$title" "$shots/$name.png")
done <"$shots/index.tsv"
sheet=$SUITE_WINE_ROOT/contact-sheet.png
montage "${labelled[@]}" -tile 4x -geometry '360x270>+10+10' -pointsize 13 -background '#e8e8e8' \
    -title "Touch panel suite on the simulated driver" -strip "$sheet"
echo "-> $(wc -l <"$shots/index.tsv") screenshots in docs/images/ and $shots"
echo "-> contact sheet: $sheet"
echo "-> the demo took $((SECONDS - started)) s after the build"
