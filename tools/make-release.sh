#!/usr/bin/env bash
# Makes the release: builds the release presets (win64-release,
# win32-release), checks what ships, and writes into build/release/
#   TouchPanelSuite-<version>-win<bits>.zip            the release archive:
#       TouchPanelSuite-<version>-win<bits>-setup.exe    the installer
#       TouchPanelSuite-<version>-win<bits>-programs.zip  the shipped files, to copy by hand
#       TouchPanelSuite-<version>-win<bits>-sdk.zip       headers, import libraries of both
#                                                        toolchains, .def files, docs/sdk.md
#       SHA256SUMS                                       checksums of these
#   TouchPanelSuite-<version>-win<bits>-devtools.zip   the simulated driver, its console
#                                                      and README (developers only)
#   TouchPanelSuite-<version>-win<bits>-debug.zip      the debug files of the shipped
#                                                      binaries, for reading crash dumps
#   SHA256SUMS                                         checksums of all of these
#
#   tools/make-release.sh
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh

out=$PWD/build/release
rm -rf "$out"
mkdir -p "$out"
zip_of() {  # zip_of ARCHIVE FOLDER: the files of FOLDER, without a folder of their own
    (cd "$2" && cmake -E tar cf "$1" --format=zip -- $(ls -1))
}

for preset in win64-release win32-release; do
    build=build/$preset
    echo "=== $preset"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
    # What ships is checked first: sizes, imports, debug links.
    check=$(ctest --test-dir "$build" -R '^release_shipped_files$' -V 2>&1) || { echo "$check" >&2; exit 1; }
    grep -E ' bytes ' <<<"$check" | sed 's/^[0-9]*: //'
    bits=${preset#win}
    bits=${bits%-release}
    version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
    name=TouchPanelSuite-$version-win$bits
    work=$(mktemp -d)
    mkdir "$work/release" "$work/programs" "$work/sdk" "$work/devtools" "$work/debug"

    cp "$build/$name-setup.exe" "$work/release/"
    cmake --install "$build" --prefix "$work/programs" >/dev/null
    zip_of "$work/release/$name-programs.zip" "$work/programs"
    cmake --install "$build" --component sdk --prefix "$work/sdk" >/dev/null
    zip_of "$work/release/$name-sdk.zip" "$work/sdk"
    (cd "$work/release" && sha256sum -- * >SHA256SUMS)
    zip_of "$out/$name.zip" "$work/release"

    cmake --install "$build" --component devtools --prefix "$work/devtools" >/dev/null
    zip_of "$out/$name-devtools.zip" "$work/devtools"

    for file in $(ls "$work/programs"); do cp "$build/bin/$file.debug" "$work/debug/"; done
    zip_of "$out/$name-debug.zip" "$work/debug"
    rm -rf "$work"
done
(cd "$out" && sha256sum -- *.zip >SHA256SUMS)
echo "=== release in $out"
(cd "$out" && ls -l && cat SHA256SUMS)
