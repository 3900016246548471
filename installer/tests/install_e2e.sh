# The installer under Wine, silent, as an integrator rolls it out:
#   - installers of an earlier version (N-1) and of this one (N) are made
#     here from the release build's files and signed with a certificate
#     made here; every signature is verified;
#   - N-1 installed with Nystra at logon, Nystra started and a panel made
#     active; the silent upgrade to N ends Nystra cleanly and starts it
#     again (through the desktop's shell); the files are N's, also one
#     that was missing, the logon entry that pointed elsewhere is the
#     suite's again, the records are intact, one entry is in the list of
#     installed programs (the other edition's taken over);
#   - a reinstall with /NOLOGON removes the logon entry; a library of the
#     suite in use by another program stops an install with exit code 3,
#     a Nystra that does not end one with exit code 5, nothing changed;
#   - the uninstall, waited for, leaves the records, the user's files and a
#     file that was in the folder before the first install;
#   - the suite installed by the Windows Installer package (a package with
#     its UpgradeCode, of either bitness) stops the setup with exit code 9
#     and nothing installed.
#   - the build's own installer (unsigned) over it gives the build's files;
#   install_e2e.sh STAGE VERSION "MAKE-INSTALLER ARGUMENTS, |-separated" SETUP.EXE
. "$E2E_LIB"
stage=$1 version=$2 built_setup=$4
IFS='|' read -ra make_args <<<"$3"
maker=$(cd "$(dirname "$0")/.." && pwd)/make-installer.sh
helper= shipped_nsh=
for ((i = 0; i < ${#make_args[@]}; i++)); do
    [ "${make_args[$i]}" != --helper ] || helper=${make_args[$((i + 1))]}
    [ "${make_args[$i]}" != --shipped ] || shipped_nsh=${make_args[$((i + 1))]}
done
[ -n "$helper" ] || fail "no --helper among the installer's arguments"
[ -n "$shipped_nsh" ] || fail "no --shipped among the installer's arguments"
# The packages' UpgradeCodes, as the setup program has them: "BITS CODE" lines.
upgrade_codes=$(sed -n 's/^!define MSI_UPGRADE_CODE_\([0-9]*\) "\(.*\)"$/\1 \2/p' "$shipped_nsh")
[ "$(wc -l <<<"$upgrade_codes")" = 2 ] || fail "no UpgradeCodes in $shipped_nsh: $upgrade_codes"

if [ "$SUITE_ARCH" = x86_64 ]; then view=64 other=32; else view=32 other=64; fi
drive_c=$WINEPREFIX/drive_c
# The install folder, from installer/include/suite_install_folder.h.
. "${SUITE_E2E_IDS:?no e2e_ids.sh: SUITE_E2E_IDS is set by the e2e tests and the demo}"
folder=$drive_c/$SUITE_VENDOR_FOLDER_NAME/$SUITE_PROGRAM_FOLDER_NAME
win_folder=$SUITE_INSTALL_FOLDER
menu="$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Touch panel suite"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\TouchPanelSuite'
run_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
record='HKLM\Software\ZR_EX_CONTROL\ID17'
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-};winemenubuilder.exe=d"
work=$(mktemp -d)

# Neither the other tests of this session nor the next run may find the
# suite installed or running, whatever step failed.
cleanup() {
    "$SUITE_WINE64" "$helper" close "$win_folder" 10 --end-session Nystra.exe </dev/null >/dev/null 2>&1 || true
    "$SUITE_WINE64" "$helper" close "$win_folder" 10 Velmic.exe Gorvat.exe Palvine.exe Cordane.exe tavloctl.exe \
        </dev/null >/dev/null 2>&1 || true
    [ -z "${BUSY_PID:-}" ] || wine_bg_end "$BUSY_PID"
    local code
    for code in 11111111-0000-4000-8000-000000000032 11111111-0000-4000-8000-000000000064; do
        "$SUITE_WINE64" msiexec /x "{$code}" /qn </dev/null >/dev/null 2>&1 || true
    done
    rm -rf "$drive_c/$SUITE_VENDOR_FOLDER_NAME" "$drive_c/msi-probe" "$menu" "$work"
    local v
    for v in 32 64; do
        "$SUITE_WINE64" reg delete "$run_key" /v Nystra /f /reg:$v </dev/null >/dev/null 2>&1 || true
        "$SUITE_WINE64" reg delete "$uninstall_key" /f /reg:$v </dev/null >/dev/null 2>&1 || true
    done
}
trap cleanup EXIT
cleanup
work=$(mktemp -d)

e2e_on_fail() {
    echo "program folder:"; ls -laR "$folder" 2>&1 | head -60 || true
    echo "Start menu:"; ls -la "$menu" 2>&1 || true
}

files() { (cd "$1" && find . -type f | sed 's|^\./||' | sort); }
listing() { (cd "$1" 2>/dev/null && find . -type f | sed 's|^\./||' | sort | paste -sd' ') || true; }
helper_says() { "$SUITE_WINE64" "$helper" "$@" </dev/null 2>&1 | tr -d '\r'; }
nystra_running() { "$SUITE_WINE64" "$helper" running "$win_folder\\Nystra.exe" </dev/null >/dev/null 2>&1; }

# --- the installers, signed with a certificate of this test -------------
openssl req -x509 -newkey rsa:2048 -nodes -keyout "$work/key.pem" -out "$work/cert.pem" -days 2 \
    -subj "/CN=Touch panel suite test signing" >/dev/null 2>&1 || fail "openssl could not make a certificate"
openssl pkcs12 -export -out "$work/cert.pfx" -inkey "$work/key.pem" -in "$work/cert.pem" \
    -passout pass:throwaway >/dev/null 2>&1 || fail "openssl could not make the PFX"
export SUITE_SIGN_PFX=$work/cert.pfx SUITE_SIGN_PASSWORD=throwaway
mkdir "$work/old" "$work/new"
cp -a "$stage/." "$work/old/"
cp -a "$stage/." "$work/new/"
# N-1: the same programs, each file marked (bytes after its end, which
# Windows does not read), under a lower version.
for file in $(files "$work/old"); do
    case $file in *.exe | *.DLL) printf 'N-1' >>"$work/old/$file" ;; esac
done
"$maker" "${make_args[@]}" --stage "$work/old" --out "$work/old-setup.exe" --version 0.9.0 >"$work/make.log" 2>&1 ||
    { cat "$work/make.log"; fail "make-installer.sh could not make the N-1 installer"; }
"$maker" "${make_args[@]}" --stage "$work/new" --out "$work/new-setup.exe" --version "$version" >"$work/make.log" 2>&1 ||
    { cat "$work/make.log"; fail "make-installer.sh could not make the N installer"; }
unset SUITE_SIGN_PFX SUITE_SIGN_PASSWORD
verify() {
    local file out
    for file in "$@"; do
        out=$(osslsigncode verify -CAfile "$work/cert.pem" -in "$file" 2>&1) ||
            fail "the signature of $(basename "$file") does not verify: $out"
        grep -q 'Signature verification: ok' <<<"$out" || fail "$(basename "$file"): $out"
    done
}
binaries=$(files "$work/new" | grep -E '\.(exe|DLL)$')
verify "$work/old-setup.exe" "$work/new-setup.exe" $(sed "s|^|$work/new/|" <<<"$binaries")
echo "ok   both installers and the $(wc -l <<<"$binaries") programs and libraries of N are signed and verify"

# --- the suite installed by the Windows Installer package: refused -------
# A package under the suite's UpgradeCode (of either bitness) stands for it.
while read -r bits code <&3; do
    probe_code=11111111-0000-4000-8000-0000000000$bits
    mkdir -p "$work/probe$bits"
    echo probe >"$work/probe$bits/probe.txt"
    cat >"$work/probe$bits/probe.wxs" <<EOF
<?xml version="1.0" encoding="utf-8"?>
<Wix xmlns="http://schemas.microsoft.com/wix/2006/wi">
  <Product Id="$probe_code" UpgradeCode="$code" Name="Touch panel suite" Version="$version" Language="1033" Manufacturer="Orlinde">
    <Package InstallerVersion="500" Compressed="yes" InstallScope="perMachine"/>
    <MediaTemplate EmbedCab="yes"/>
    <Directory Id="TARGETDIR" Name="SourceDir">
      <Directory Id="ProbeFolder" Name="msi-probe">
        <Component Id="Probe" Guid="$probe_code"><File Id="probe" Name="probe.txt" Source="probe.txt" KeyPath="yes"/></Component>
      </Directory>
    </Directory>
    <Feature Id="Probe" Level="1"><ComponentRef Id="Probe"/></Feature>
  </Product>
</Wix>
EOF
    (cd "$work/probe$bits" && wixl -o probe.msi probe.wxs 2>/dev/null) || fail "no stand-in package ($bits-bit)"
    probe_msi="Z:${work//\//\\}\\probe$bits\\probe.msi"
    "$SUITE_WINE64" msiexec /i "$probe_msi" /qn 'ROOTDRIVE=C:\' </dev/null >/dev/null 2>&1 ||
        fail "the stand-in package ($bits-bit) did not install"
    status=0
    wine_run "$work/new-setup.exe" /S || status=$?
    [ $status -eq 9 ] || fail "the setup over the $bits-bit package's suite ended with status $status, not 9"
    [ ! -e "$folder" ] && ! reg_get $view "$uninstall_key" DisplayName >/dev/null ||
        fail "the setup installed beside the $bits-bit package's suite"
    "$SUITE_WINE64" msiexec /x "{$probe_code}" /qn </dev/null >/dev/null 2>&1 ||
        fail "the stand-in package ($bits-bit) was not removed"
done 3<<<"$upgrade_codes"
echo "ok   the suite installed by the package (either bitness): exit code 9, nothing installed"

# --- N-1 installed, Nystra running with an active panel -----------------
reg_record 32 "$record" NAME REG_SZ "Line A" TOUCH_OP REG_DWORD 1
sim attach 0x11 attach 0x22 >/dev/null
# The folder is there already, with a file that is not the suite's.
mkdir -p "$folder"
echo "another program's data" >"$folder/foreign.dat"
wine_run "$work/old-setup.exe" /S /LOGON || fail "the N-1 install ended with status $?"
wait_eq "REG_SZ 0.9.0" reg_get $view "$uninstall_key" DisplayVersion
for file in $(files "$work/old"); do cmp -s "$work/old/$file" "$folder/$file" || fail "$file is not N-1's"; done
wait_eq "REG_SZ \"$win_folder\\Nystra.exe\"" reg_get $view "$run_key" Nystra
# The rules as the system reads them: by well-known SID, nothing from above.
rules=$(helper_says rules) || fail "the access rules do not parse: $rules"
[ "$rules" = "owner Administrators
nothing inherited from above
allow Administrators: full control, can change, files and folders in it too
allow SYSTEM: full control, can change, files and folders in it too
allow Users: read and execute, files and folders in it too" ] || fail "the access rules read as: $rules"
sddl=$(helper_says sddl "$win_folder")
if [ "$sddl" = 'O:BAD:PAI(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;0x1200a9;;;BU)' ]; then
    echo "ok   the program folder's access rules read back: $sddl"
else
    # Wine keeps no access rules on files: it makes a descriptor up from
    # the Unix permissions. What can be checked is that the rules are
    # accepted by the system as they are applied.
    echo "note the program folder's access rules read back as [$sddl] (not kept by this system)"
    out=$(helper_says protect "$win_folder" --tree) || fail "the access rules are refused: $out"
fi

launch "$folder/Nystra.exe"
probe find "Interlock Control" 15000 >/dev/null || fail "the installed Nystra shows no window"
wait_eq 0 driver_field startup
sim touch 0 >/dev/null
wait_eq "1 0" panel_field pointdata
sim release 0 >/dev/null
# Another program of the suite open: the upgrade closes it as its close box would.
launch "$folder/Velmic.exe"
velmic_shown() { probe find "Touch panel settings  -  Information" 100 || probe find "Touch Settings Program" 100; }
wait_until 15 velmic_shown || fail "the installed Velmic shows no window"
echo "ok   N-1 installed; Nystra runs with panel 0 active, Velmic is open"

# The other edition's entries (32-bit over 64-bit, or back) as an earlier
# install of it would have left them: the upgrade takes them over.
reg_record $other "$uninstall_key" DisplayName REG_SZ "Touch panel suite" DisplayVersion REG_SZ 0.8.0
reg_record $other "$run_key" Nystra REG_SZ "$win_folder\\Nystra.exe"
# A damaged install: a program missing, the logon entry pointing elsewhere.
rm "$folder/Gorvat.exe"
reg_record $view "$run_key" Nystra REG_SZ 'D:\Old\Nystra.exe'

# --- silent upgrade to N while Nystra runs ------------------------------
wine_run "$work/new-setup.exe" /S || fail "the upgrade ended with status $?"
wait_eq "REG_SZ $version" reg_get $view "$uninstall_key" DisplayVersion
for file in $(files "$work/new"); do cmp -s "$work/new/$file" "$folder/$file" || fail "$file is not N's after the upgrade"; done
verify "$folder"/*.exe "$folder"/*.DLL
! reg_get $other "$uninstall_key" DisplayName >/dev/null || fail "a second entry in the other registry view"
! reg_get $other "$run_key" Nystra >/dev/null || fail "the other edition's logon entry stays"
[ "$(reg_get $view "$uninstall_key" DisplayIcon)" = "REG_SZ $win_folder\Cordane.exe,0" ] || fail "no DisplayIcon"
[ "$(reg_get $view "$uninstall_key" Publisher)" = "REG_SZ Orlinde" ] || fail "no Publisher"
[ "$(reg_get $view "$uninstall_key" HelpLink)" = "REG_SZ $win_folder\guide\index.html" ] || fail "no HelpLink"
[ "$(reg_get $view "$uninstall_key" VersionMajor)" = "REG_DWORD ${version%%.*}" ] || fail "no VersionMajor"
# The pictures the programs load from their folder, the guide, the shortcuts
# (started in the program folder, named for what each program does).
for picture in left.ico right.ico single1.bmp single2.bmp double1.bmp double2.bmp; do
    cmp -s "$folder/samples/$picture" "$folder/$picture" || fail "the sample $picture is not in the folder"
done
[ -s "$folder/guide/index.html" ] || fail "the user's guide is not installed"
for link in "Cordane - touch panel settings" "Gorvat - touch panel calibration" "Nystra - touch panel interlock" \
            "Palvine - one-shot mouse button" "Velmic - touch panel click settings" "User's guide"; do
    [ -f "$menu/$link.lnk" ] || fail "no Start-menu entry '$link': $(ls "$menu")"
done
texts=$(strings -el "$menu/Velmic - touch panel click settings.lnk")
grep -qxF "$win_folder" <<<"$texts" ||
    fail "Velmic's Start-menu entry does not start in the program folder: $texts"
if [ "$SUITE_ARCH" = x86_64 ]; then
    for dll in TAVLO.DLL BRIMOL.DLL; do
        [[ "$(objdump -f "$folder/x86/$dll")" == *pei-i386* ]] || fail "x86\\$dll is not a 32-bit DLL"
    done
    verify "$folder"/x86/*.DLL
else
    [ ! -e "$folder/x86" ] || fail "the 32-bit install has an x86 subfolder"
fi
wait_eq "REG_SZ \"$win_folder\\Nystra.exe\"" reg_get $view "$run_key" Nystra
"$SUITE_WINE64" "$helper" running "$win_folder\\Velmic.exe" </dev/null >/dev/null 2>&1 &&
    fail "Velmic still runs after the upgrade"
wait_until 30 nystra_running || fail "Nystra does not run again after the upgrade"
probe find "Interlock Control" 15000 >/dev/null || fail "the restarted Nystra shows no window"
# Started through the desktop's shell, so with the user's rights and not
# the setup's: its parent is Explorer.
parent=$(helper_says parent "$win_folder\Nystra.exe") || fail "cannot tell what started Nystra: $parent"
[ "${parent,,}" = explorer.exe ] || fail "Nystra was started again by $parent, not by the desktop's shell"
[ "$(reg_get 32 "$record" NAME)" = "REG_SZ Line A" ] || fail "the panel record changed in the upgrade"
wait_eq 0 driver_field startup
wait_eq "0 0" panel_field pointdata
sim touch 0 >/dev/null
wait_eq "1 0" panel_field pointdata
sim release 0 >/dev/null
echo "ok   upgraded to $version: files of N, Velmic closed, Nystra ended and started again, the interlock answers, one entry"

# --- the logon choice sticks, and can be taken back ---------------------
echo "the user's own picture" >"$folder/right.ico"
wine_run "$work/new-setup.exe" /S /NOLOGON || fail "the reinstall with /NOLOGON ended with status $?"
wait_until 10 eval '! reg_get $view "$run_key" Nystra' || fail "/NOLOGON leaves the logon entry"
wine_run "$work/new-setup.exe" /S || fail "the plain reinstall ended with status $?"
! reg_get $view "$run_key" Nystra >/dev/null || fail "a plain reinstall brings the logon entry back"
[ "$(cat "$folder/right.ico")" = "the user's own picture" ] || fail "a reinstall replaced the user's own picture"
echo "ok   /NOLOGON removes the logon entry, a plain reinstall keeps that choice and the user's picture"

# --- a library in use by another program: exit 3, nothing changed -------
mkdir "$work/operator"
cp "$folder/tavloctl.exe" "$work/operator/"
# An operator program that loads TAVLO.DLL from the program folder.
WINEPATH="$win_folder" wine_bg "$work/operator.log" "$work/operator/tavloctl.exe" watch --seconds 60
BUSY_PID=$BG_PID
operator_win="Z:${work//\//\\}\\operator\\tavloctl.exe"
wait_until 15 "$SUITE_WINE64" "$helper" running "$operator_win" || fail "the operator program did not start"
status=0
wine_run "$work/old-setup.exe" /S || status=$?
if [ $status -eq 3 ]; then
    for file in $(files "$work/new"); do cmp -s "$work/new/$file" "$folder/$file" || fail "$file changed by a refused install"; done
    wait_until 30 nystra_running || fail "Nystra was not started again after the refused install"
    echo "ok   TAVLO.DLL in use: exit code 3, every file still N's, Nystra runs again"
else
    # Windows refuses to write a loaded DLL; Wine may let it be replaced.
    [ $status -eq 0 ] || fail "the install over a library in use ended with status $status"
    echo "note this system lets a loaded DLL be replaced: the in-use refusal cannot be shown here"
    wine_run "$work/new-setup.exe" /S || fail "reinstalling N ended with status $?"
fi
wine_bg_end "$BUSY_PID"
BUSY_PID=

# --- a Nystra that does not end: exit 5 after 10 s, nothing changed ------
"$SUITE_WINE64" "$helper" close "$win_folder" 10 --end-session Nystra.exe </dev/null >/dev/null 2>&1 ||
    fail "Nystra did not end for the test"
# A program under Nystra's name that answers no request (a console program).
cp "$folder/tavloctl.exe" "$folder/Nystra.exe"
wine_bg "$work/hung.log" "$folder/Nystra.exe" watch --seconds 60
BUSY_PID=$BG_PID
wait_until 15 nystra_running || fail "the Nystra that does not answer did not start"
before=$(cd "$folder" && find . -type f | sort | xargs sha256sum)
status=0
wine_run "$work/old-setup.exe" /S || status=$?
[ $status -eq 5 ] || fail "an install over a Nystra that does not end ended with status $status, not 5"
[ "$(cd "$folder" && find . -type f | sort | xargs sha256sum)" = "$before" ] || fail "the folder changed"
wine_bg_end "$BUSY_PID"
BUSY_PID=
wine_run "$work/new-setup.exe" /S || fail "reinstalling N ended with status $?"
cmp -s "$work/new/Nystra.exe" "$folder/Nystra.exe" || fail "Nystra.exe is not N's again"
echo "ok   a Nystra that does not end: exit code 5, nothing changed"
launch "$folder/Nystra.exe"
probe find "Interlock Control" 15000 >/dev/null || fail "Nystra shows no window"

# --- the build's own installer ------------------------------------------
wine_run "$built_setup" /S || fail "the build's installer ended with status $?"
for file in $(files "$stage"); do cmp -s "$stage/$file" "$folder/$file" || fail "$file is not the build's"; done
wait_until 30 nystra_running || fail "Nystra does not run again after the build's installer"
echo "ok   the build's own installer: the build's files, Nystra runs again"

# --- uninstall, waited for ----------------------------------------------
echo "the user's note" >"$folder/notes.txt"
wait_until 30 nystra_running || fail "Nystra does not run before the uninstall"
wine_run "$folder/Uninstall.exe" /S "_?=$win_folder" || fail "the uninstall ended with status $?"
# No waiting from here on: the uninstall has ended.
left=$(listing "$folder")
if [ "$left" = "Uninstall.exe foreign.dat notes.txt right.ico" ]; then
    # A running program cannot move itself out of the folder on every
    # system: then it must be set to go at the next start of Windows.
    pending=$("$SUITE_WINE64" reg query 'HKLM\System\CurrentControlSet\Control\Session Manager' \
              /v PendingFileRenameOperations </dev/null 2>&1 | tr -d '\r')
    grep -qiF "$SUITE_VENDOR_FOLDER_NAME\\$SUITE_PROGRAM_FOLDER_NAME\\Uninstall.exe" <<<"$pending" ||
        fail "Uninstall.exe stays and is not set to go at the next start: $pending"
    echo "note the uninstaller could not move itself away here; it goes at the next start"
    "$SUITE_WINE64" reg delete 'HKLM\System\CurrentControlSet\Control\Session Manager' \
        /v PendingFileRenameOperations /f </dev/null >/dev/null 2>&1 || true
elif [ "$left" != "foreign.dat notes.txt right.ico" ]; then
    fail "left in the folder: $left"
fi
[ ! -e "$menu" ] || fail "the Start-menu folder stays: $(ls "$menu")"
! reg_get $view "$uninstall_key" DisplayName >/dev/null || fail "the program list entry stays"
! reg_get $view "$run_key" Nystra >/dev/null || fail "Nystra still starts at logon"
! nystra_running || fail "Nystra still runs after the uninstall"
[ "$(panel_field pointdata)/$(driver_field startup)" = "1 1/1" ] ||
    fail "Nystra did not end as at its normal end: pointdata $(panel_field pointdata), start-up mode $(driver_field startup)"
[ "$(reg_get 32 "$record" NAME)" = "REG_SZ Line A" ] || fail "the panel record is gone"
[ "$(reg_get 32 "$record" TOUCH_OP)" = "REG_DWORD 1" ] || fail "the panel record changed"
echo "ok   uninstalled and waited for: the records and the user's files stay, Nystra ended cleanly"
