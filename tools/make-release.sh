#!/usr/bin/env bash
# Makes the release: builds the release presets (win64-release,
# win32-release), checks what ships, and writes into build/release/
#   TouchPanelSuite-<version>-win<bits>.zip            the release archive:
#       TouchPanelSuite-<version>-win<bits>-setup.exe    the installer
#       TouchPanelSuite-<version>-win<bits>.msi          the Windows Installer package
#       TouchPanelSuite-<version>-win<bits>-programs.zip  the shipped files, to copy by hand, with
#                                                        the sample pictures, the user's guide
#                                                        (guide/index.html) and, 64-bit, x86/
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
#
# Signing: with SUITE_SIGN_PFX naming a PKCS#12 certificate file (its
# password in SUITE_SIGN_PASSWORD, an RFC 3161 time stamp server in
# SUITE_SIGN_TIMESTAMP), every shipped EXE and DLL, the uninstaller and
# the installers are signed with Authenticode (tools/sign-file.sh, the
# package by installer/msi/sign-msi.sh);
# without it nothing is signed, and the script says so.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh

out=$PWD/build/release
if [ -n "${SUITE_SIGN_PFX:-}" ]; then
    [ -f "$SUITE_SIGN_PFX" ] || { echo "make-release.sh: no certificate file $SUITE_SIGN_PFX" >&2; exit 1; }
    export SUITE_SIGN_PFX=$(realpath "$SUITE_SIGN_PFX")
    echo "signing with $SUITE_SIGN_PFX${SUITE_SIGN_TIMESTAMP:+, time stamps from $SUITE_SIGN_TIMESTAMP}"
else
    echo "no certificate (SUITE_SIGN_PFX is not set): the release is not signed"
fi
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

    # Made again, signed or not as this run says: the stage afresh, its
    # shipped files signed (with a certificate) by the setup's build, then
    # the Windows Installer package from the same stage, signed itself.
    rm -f "$build/installer/stage_manifest.txt" "$build/$name-setup.exe" "$build/$name.msi"
    cmake --build --preset "$preset" --target suite_installer
    cmake --build --preset "$preset" --target suite_msi
    installer/msi/sign-msi.sh "$build/$name.msi"
    cp "$build/$name-setup.exe" "$build/$name.msi" "$work/release/"
    # What the installers put in: the staged (and signed) files with the
    # guide, the samples and, 64-bit, the 32-bit libraries; the sample
    # pictures also beside the programs, where they load them.
    cp -a "$build/installer/stage/." "$work/programs/"
    cp -a "$build/installer/stage/samples/." "$work/programs/"
    zip_of "$work/release/$name-programs.zip" "$work/programs"
    cmake --install "$build" --component sdk --prefix "$work/sdk" >/dev/null
    zip_of "$work/release/$name-sdk.zip" "$work/sdk"
    (cd "$work/release" && sha256sum -- * >SHA256SUMS)
    zip_of "$out/$name.zip" "$work/release"

    cmake --install "$build" --component devtools --prefix "$work/devtools" >/dev/null
    zip_of "$out/$name-devtools.zip" "$work/devtools"

    for file in $(cd "$build/installer/stage" && ls *.exe *.DLL); do cp "$build/bin/$file.debug" "$work/debug/"; done
    if [ -d "$build/installer/stage/x86" ]; then
        mkdir "$work/debug/x86"
        cp "$build/x86/bin/TAVLO.DLL.debug" "$build/x86/bin/BRIMOL.DLL.debug" "$work/debug/x86/"
    fi
    zip_of "$out/$name-debug.zip" "$work/debug"
    rm -rf "$work"
done
(cd "$out" && sha256sum -- *.zip >SHA256SUMS)
echo "=== release in $out"
(cd "$out" && ls -l && cat SHA256SUMS)
