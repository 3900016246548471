#!/usr/bin/env bash
# Makes the installer from the stage of a release build: signs the shipped
# files (when a certificate is given) and runs makensis over them.
# The release presets' build, tools/make-release.sh and the installer's
# tests all make it through this script.
#
#   make-installer.sh --stage DIR --out SETUP.EXE --bits 32|64 --version X.Y.Z
#                     --shipped shipped.nsh --helper SetupHelper.exe
#
# The files already in the stage are used as they are. The
# stage holds everything that is installed (the guide, the sample pictures
# and, 64-bit, the 32-bit libraries in x86 too); shipped.nsh lists it.
# Signing: when SUITE_SIGN_PFX names a PKCS#12 file (its password in
# SUITE_SIGN_PASSWORD, a time stamp server in SUITE_SIGN_TIMESTAMP), every
# EXE and DLL of the stage (with its subfolders), the helper, the uninstaller and
# the installer are signed (tools/sign-file.sh); otherwise none is, and
# the script says so.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
sign=$here/../tools/sign-file.sh
stage= out= bits= version= shipped= helper=
while [ $# -gt 0 ]; do
    case $1 in
    --stage) stage=$2 ;; --out) out=$2 ;; --bits) bits=$2 ;; --version) version=$2 ;;
    --shipped) shipped=$2 ;; --helper) helper=$2 ;;
    *) echo "make-installer.sh: unknown argument $1" >&2; exit 2 ;;
    esac
    shift 2
done
for need in stage out bits version shipped helper; do
    [ -n "${!need}" ] || { echo "make-installer.sh: --$need is missing" >&2; exit 2; }
done
IFS=. read -r major minor patch tweak <<<"$version.0.0.0"
# The install folder's two names, from the header Cordane and tavloctl use.
folder_name() { sed -n "s/^#define $1 \"\([^\"\\]*\)\"\$/\1/p" "$here/include/suite_install_folder.h"; }
vendor_name=$(folder_name SUITE_VENDOR_FOLDER_NAME)
program_name=$(folder_name SUITE_PROGRAM_FOLDER_NAME)
[ -n "$vendor_name" ] && [ -n "$program_name" ] ||
    { echo "make-installer.sh: no folder names in include/suite_install_folder.h" >&2; exit 2; }
dots=$major.$minor.${patch:-0}.${tweak:-0}

# The helper goes into the installer besides the stage, copied so that
# signing never touches the build's own file.
extra=$(mktemp -d)
trap 'rm -rf "$extra"' EXIT
cp "$helper" "$extra/SetupHelper.exe"
defines=()

if [ -n "${SUITE_SIGN_PFX:-}" ]; then
    signed=()
    while IFS= read -r -d '' file; do signed+=("$file"); done < <(find "$stage" "$extra" -type f \
        \( -iname '*.exe' -o -iname '*.dll' \) -print0)
    for file in "${signed[@]}"; do "$sign" "$file"; done
    defines+=("-DSIGN=$sign")
else
    echo "make-installer.sh: no certificate (SUITE_SIGN_PFX): $(basename "$out") and its files are not signed"
fi

"${MAKENSIS:-makensis}" -V2 -WX -DBITS="$bits" -DVERSION="$version" -DVERSION_DOTS="$dots" \
    -DVERSION_MAJOR="$major" -DVERSION_MINOR="$minor" -DVENDOR_NAME="$vendor_name" \
    -DPROGRAM_NAME="$program_name" -DSTAGE="$stage" -DSHIPPED="$shipped" \
    -DHELPER="$extra/SetupHelper.exe" -DOUTFILE="$out" "${defines[@]}" "$here/suite.nsi"
if [ -n "${SUITE_SIGN_PFX:-}" ]; then "$sign" "$out"; fi
