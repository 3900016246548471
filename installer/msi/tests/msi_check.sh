#!/usr/bin/env bash
# Checks a built Windows Installer package without installing it:
#   msi_check.sh OBJDUMP BUILD_DIR MSI BITS VERSION [--data FOLDER]... SHIPPED_FILE...
# - its payload, unpacked with msiextract, is exactly C:\Orlinde\Dravik with
#   the files `cmake --install` puts there (subfolders too), byte for byte
#   (not a package left from an earlier build), and passes
#   tools/check-release.sh (what ships, sizes, imports, debug information;
#   the guide's pages and the pictures as data); besides them, a copy of
#   each sample picture in the folder itself, never replacing a file there
#   nor removed;
# - its tables hold what wixl has been seen to drop or what build-msi.sh
#   adds afterwards: the upgrade rows, the refusals, the protected folder,
#   the LOGON rows, the platform; and nothing in it writes or removes the
#   panel records.
set -euo pipefail
objdump=$1 build=$2 msi=$3 bits=$4 version=$5
shift 5
check=$(dirname "$0")/../../../tools/check-release.sh

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
problem() { echo "FAIL: $*" >&2; status=1; }

msiextract -C "$work/payload" "$msi" >/dev/null
outside=$(cd "$work/payload" && find . -type f ! -path './Orlinde/Dravik/*' | sed 's|^\./||')
[ -z "$outside" ] || problem "the package installs outside C:\\Orlinde\\Dravik: $outside"
"${CMAKE:-cmake}" --install "$build" --prefix "$work/installed" >/dev/null
payload=$work/payload/Orlinde/Dravik
files() { (cd "$1" && find . -type f | sed 's|^\./||' | sort); }
# The sample pictures' copies in the folder itself, checked and set aside.
for sample in $(cd "$work/installed/samples" && ls); do
    if ! cmp -s "$work/installed/samples/$sample" "$payload/$sample"; then
        problem "the package has no copy of the sample $sample in the program folder"
    else
        rm "$payload/$sample"
    fi
done
while IFS= read -r file; do
    if [ ! -f "$payload/$file" ]; then
        problem "$file is installed by the build but not in the package"
    elif ! cmp -s "$work/installed/$file" "$payload/$file"; then
        problem "$file in the package differs from the build's"
    fi
done < <(files "$work/installed")
extra=$(comm -13 <(files "$work/installed") <(files "$payload") | paste -sd' ')
[ -z "$extra" ] || problem "the package has files the build does not install: $extra"
"$check" "$objdump" "$build" --installed "$payload" "$@" || status=1

# Rows: "table|line (tab-separated fields, as msiinfo exports them)|what it is".
case $bits in
64) copy_attributes=400 upgrade_code='{45093692-62CF-469D-A062-22B4F8D484CE}' other_code='{2F033D3B-81C2-414A-B41A-B19C9EC57290}' platform='x64;1033' ;;
32) copy_attributes=144 upgrade_code='{2F033D3B-81C2-414A-B41A-B19C9EC57290}' other_code='{45093692-62CF-469D-A062-22B4F8D484CE}' platform='Intel;1033' ;;
esac
T=$'\t'
rows=(
    "Upgrade|${upgrade_code}${T}${T}${version}${T}${T}1${T}${T}WIX_UPGRADE_DETECTED|every earlier version is upgraded"
    "Upgrade|${upgrade_code}${T}${version}${T}${T}${T}2${T}${T}WIX_DOWNGRADE_DETECTED|a newer version is detected"
    "Upgrade|${other_code}${T}0.0.0${T}${T}${T}256${T}${T}OTHER_BITNESS_FOUND|the other bitness is removed"
    "LaunchCondition|NOT WIX_DOWNGRADE_DETECTED${T}A newer version of the touch panel suite is already installed. Uninstall it first to install version ${version}.|the downgrade refusal"
    "LaunchCondition|Installed OR REMOVE OR (NOT SETUP_SUITE_FOUND AND NOT SETUP_SUITE_FOUND_32)${T}The touch panel suite is installed by its setup program. Uninstall it first (Installed apps, or \"C:\\Orlinde\\Dravik\\Uninstall.exe\" /S), then install this package.|the setup program's suite refused"
    "LaunchCondition|NOT LOGON OR LOGON = \"0\" OR LOGON = \"1\"${T}LOGON must be 1 (start Nystra at logon) or 0 (do not).|a bad LOGON value refused"
    "MsiLockPermissionsEx|ProgramFolder${T}ProgramFolder${T}CreateFolder${T}D:PAI(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;0x1200a9;;;BU)${T}|the protected program folder"
    "RemoveRegistry|NoLogonRunValue${T}2${T}Software\\Microsoft\\Windows\\CurrentVersion\\Run${T}Nystra${T}NoLogonComponent|LOGON=0 removes the Run value"
    "Property|ALLUSERS${T}1|per machine"
    "Property|ROOTDRIVE${T}C:\\|the program folder on C:"
    "Property|ProductVersion${T}${version}|the version"
    "Property|ARPHELPLINK${T}C:\\Orlinde\\Dravik\\guide\\index.html|the guide as the help link"
    "CustomAction|FixProgramDrive${T}2099${T}TARGETDIR${T}C:\\${T}|the program folder stays on C:"
    "CustomAction|FixProgramFolder${T}2099${T}ProgramFolder${T}C:\\Orlinde\\Dravik\\${T}|the program folder stays where it is"
)
for row in "${rows[@]}"; do
    IFS='|' read -r table line what <<<"$row"
    grep -qxF -- "$line" <<<"$(msiinfo export "$msi" "$table" 2>/dev/null | tr -d '\r')" || problem "no $what ($table: $line)"
done
copies=$(msiinfo export "$msi" Component | tr -d '\r' | grep '^ck_' || true)
[ "$(wc -l <<<"$copies")" -eq "$(ls "$work/installed/samples" | wc -l)" ] || problem "not one copy per sample: $copies"
while IFS=$'\t' read -r id _ directory attributes _; do
    [ "$directory" = ProgramFolder ] && [ "$attributes" = $copy_attributes ] ||
        problem "the copy $id is in $directory with attributes $attributes, not never-overwrite and permanent"
done <<<"$copies"
grep -qx "Template: $platform" <<<"$(msiinfo suminfo "$msi")" || problem "the package is not for $platform"
for table in Registry RemoveRegistry; do
    ! grep -qi 'ZR_EX_CONTROL' <<<"$(msiinfo export "$msi" $table 2>/dev/null)" || problem "the $table table touches the panel records"
done
[ $status -ne 0 ] || echo "$(basename "$msi"): payload and tables as built"
exit $status
