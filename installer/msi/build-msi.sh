#!/usr/bin/env bash
# Builds the suite's Windows Installer package from the source that
# make-msi-source.cmake wrote, and adds to it what wixl cannot express:
#   build-msi.sh WXS STAGE BITS OUTPUT
# STAGE is the install tree the source lists (the files are taken from
# there). After wixl, the package gets
#   - the protected program folder: a MsiLockPermissionsEx row for the
#     folder (Administrators and SYSTEM full control, Users read and
#     execute, nothing inherited), by well-known SID, so it holds on any
#     Windows language (Windows Installer 5.0 applies it when it creates the
#     folder);
#   - the condition of the Run value's component (LOGON = "1"), marked
#     transitive so that a reinstall with LOGON=0 removes the value, and the
#     removal of the value when LOGON=0 (a RemoveRegistry row);
#   - LOGON among the secure properties, so that it reaches the elevated
#     part of a managed install.
#   - the copies of the sample pictures in the program folder (components
#     "ck_..."): never installed over a file that is there (NeverOverwrite,
#     so the integrator's own picture of that name stays) and never removed
#     (Permanent: by then the file may be the integrator's own, and Windows
#     Installer removes by component, not by content).
# Each change is read back; a package without it is not written.
set -euo pipefail
wxs=$(realpath "$1") stage=$2 bits=$3 output=$(realpath -m "$4")
here=$(cd "$(dirname "$0")" && pwd)
case $bits in
64) arch=x64 component64=256 ;;
32) arch=x86 component64=0 ;;
*) echo "build-msi.sh: BITS is '$bits', not 32 or 64" >&2; exit 2 ;;
esac

tmp=$output.tmp
rm -f "$tmp" "$output"
trap 'rm -f "$tmp"' EXIT
# wixl finds the files named in the source in its working folder; its
# notes about attributes it ignores are dropped, its errors are not.
(cd "$stage" && wixl -a "$arch" -o "$tmp" "$wxs") 2> >(grep -v -e 'GLib-GObject-WARNING' -e '^$' >&2)

table() { msiinfo export "$tmp" "$1" | tail -n +4 | tr -d '\r'; }
# Registry key path (4) and transitive (64), on the bitness's view.
logon_attributes=$((component64 + 4 + 64))
if grep -q '^LogonComponent	' <<<"$(table Component)"; then
    msibuild "$tmp" -q "UPDATE \`Component\` SET \`Condition\` = 'LOGON = \"1\"', \`Attributes\` = $logon_attributes WHERE \`Component\` = 'LogonComponent'"
    grep -q "^LogonComponent	.*	$logon_attributes	LOGON = \"1\"	" <<<"$(table Component)" ||
        { echo "build-msi.sh: the Run value's condition did not take" >&2; exit 1; }
    msibuild "$tmp" -q "UPDATE \`Component\` SET \`Condition\` = 'LOGON = \"0\"', \`Attributes\` = $((component64 + 64)) WHERE \`Component\` = 'NoLogonComponent'"
    table RemoveRegistry >/dev/null 2>&1 ||
        msibuild "$tmp" -q "CREATE TABLE \`RemoveRegistry\` (\`RemoveRegistry\` CHAR(72) NOT NULL, \`Root\` SHORT NOT NULL, \`Key\` CHAR(255) NOT NULL LOCALIZABLE, \`Name\` CHAR(255) LOCALIZABLE, \`Component_\` CHAR(72) NOT NULL PRIMARY KEY \`RemoveRegistry\`)"
    msibuild "$tmp" -q "INSERT INTO \`RemoveRegistry\` (\`RemoveRegistry\`, \`Root\`, \`Key\`, \`Name\`, \`Component_\`) VALUES ('NoLogonRunValue', 2, 'Software\\Microsoft\\Windows\\CurrentVersion\\Run', 'Nystra', 'NoLogonComponent')"
    grep -q "^NoLogonComponent	.*	LOGON = \"0\"	" <<<"$(table Component)" &&
        grep -qF "NoLogonRunValue	2	Software\Microsoft\Windows\CurrentVersion\Run	Nystra	NoLogonComponent" <<<"$(table RemoveRegistry)" ||
        { echo "build-msi.sh: LOGON=0 does not remove the Run value" >&2; exit 1; }
fi
# Never overwrite (128) and permanent (16), on the bitness's view.
copy_attributes=$((component64 + 128 + 16))
for copy in $(table Component | cut -f1 | grep '^ck_' || true); do
    msibuild "$tmp" -q "UPDATE \`Component\` SET \`Attributes\` = $copy_attributes WHERE \`Component\` = '$copy'"
    grep -q "^$copy	[^	]*	[^	]*	$copy_attributes	" <<<"$(table Component)" ||
        { echo "build-msi.sh: the copy $copy may replace or remove a picture" >&2; exit 1; }
done
secure=$(table Property | sed -n 's/^SecureCustomProperties\t//p')
msibuild "$tmp" -q "UPDATE \`Property\` SET \`Value\` = '${secure:+$secure;}LOGON' WHERE \`Property\` = 'SecureCustomProperties'"
grep -qE '^SecureCustomProperties	(.*;)?LOGON$' <<<"$(table Property)" ||
    { echo "build-msi.sh: LOGON is not a secure property" >&2; exit 1; }
msibuild "$tmp" -i "$here/MsiLockPermissionsEx.idt"
grep -q '^ProgramFolder	ProgramFolder	CreateFolder	' <<<"$(table MsiLockPermissionsEx)" ||
    { echo "build-msi.sh: the program folder's permissions did not take" >&2; exit 1; }
mv "$tmp" "$output"
