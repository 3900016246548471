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
# and its console; the window probe comes from the same build.
preset=win64-release
build=build/$preset
mkdir -p build
echo "building $preset (log: build/demo-build.log)"
if ! { cmake --preset "$preset" && cmake --build --preset "$preset" --target suite_release winprobe; } \
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
# Shortcuts stay inside the prefix: no menu entries on this machine's desktop.
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d"
export SHOTS=$SUITE_WINE_ROOT/screenshots REPO=$repo HARNESS=$harness E2E_LIB=$repo/harness/e2e-lib.sh
# The programs' identifiers and the install folder, generated at configure
# time from the headers the code uses.
export SUITE_E2E_IDS=$repo/$build/e2e_ids.sh
. "$SUITE_E2E_IDS"
export WIN_BIN=$WINEPREFIX/drive_c/$SUITE_VENDOR_FOLDER_NAME/$SUITE_PROGRAM_FOLDER_NAME SUITE_ARCH=x86_64
# The waits of the e2e steps, longer than in the tests: a demo on a busy
# machine should show its steps, not stop at a deadline.
export E2E_WAIT=${E2E_WAIT:-20}
mkdir -p "$SHOTS"

scene() {  # scene FILE TITLE [ARGS...]
    printf '\n== %s\n' "$2"
    bash "tools/demo/$1" "${@:3}"
}
scene install.sh "installing the suite with its own installer" "$repo/${installers[0]}"
scene driver.sh "the simulated driver with two panels"
scene cordane.sh "Cordane: naming the panels and choosing their modes"
scene nystra.sh "Nystra: the interlock, with touches on both panels"
scene velmic.sh "Velmic: click settings of the active panel"
scene gorvat.sh "Gorvat: calibrating the active panel"
scene palvine.sh "Palvine: the one-shot button"
scene nystra_end.sh "Nystra ends"

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
    cp "$SHOTS/$name.png" "docs/images/$name.png"
    labelled+=(-label "$title" "$SHOTS/$name.png")
done <"$SHOTS/index.tsv"
sheet=$SUITE_WINE_ROOT/contact-sheet.png
montage "${labelled[@]}" -tile 4x -geometry '360x270>+10+10' -pointsize 13 -background '#e8e8e8' \
    -title "Touch panel suite on the simulated driver" -strip "$sheet"
echo "-> $(wc -l <"$SHOTS/index.tsv") screenshots in docs/images/ and $SHOTS"
echo "-> contact sheet: $sheet"
echo "-> the demo took $((SECONDS - started)) s after the build"
