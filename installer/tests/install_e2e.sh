# The installer under Wine, silent: what it puts into C:\Orlinde\Dravik and
# the Start menu, the program list entry, Nystra at logon as an option, the
# installed programs running from there, and the uninstaller taking it all
# away again but the panel records and the user's own files.
#   install_e2e.sh INSTALLER STAGE VERSION
# STAGE is the release build's install tree the installer was made from.
. "$E2E_LIB"
installer=$1 stage=$2 version=$3

if [ "$SUITE_ARCH" = x86_64 ]; then view=64; else view=32; fi
drive_c=$WINEPREFIX/drive_c
folder=$drive_c/Orlinde/Dravik
menu="$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Touch panel suite"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\TouchPanelSuite'
run_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
record='HKLM\Software\ZR_EX_CONTROL\ID17'
# Shortcuts stay inside the prefix: no menu entries on this machine's desktop.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-};winemenubuilder.exe=d"

# Neither the other tests of this session nor the next run may find the
# suite installed, whatever step failed.
cleanup() {
    rm -rf "$drive_c/Orlinde" "$menu"
    "$SUITE_WINE64" reg delete "$run_key" /v Nystra /f /reg:$view </dev/null >/dev/null 2>&1 || true
    "$SUITE_WINE64" reg delete "$uninstall_key" /f /reg:$view </dev/null >/dev/null 2>&1 || true
}
trap cleanup EXIT
cleanup

e2e_on_fail() {
    echo "program folder:"; ls -la "$folder" 2>&1 || true
    echo "Start menu:"; ls -la "$menu" 2>&1 || true
}

listing() { (cd "$1" 2>/dev/null && ls -1 | sort | paste -sd' ') || true; }
expected_files=$( (ls -1 "$stage"; echo Uninstall.exe) | sort | paste -sd' ')
expected_links=$(cd "$stage" && ls -1 | sed -n 's/^\(Velmic\|Gorvat\|Palvine\|Nystra\|Cordane\)\.exe$/\1.lnk/p' |
                 sort | paste -sd' ')
[ -n "$expected_links" ] || fail "no program with a shortcut in $stage"

reg_record 32 "$record" NAME REG_SZ "Line A" TOUCH_OP REG_DWORD 1

echo "install, silent"
wine_run "$installer" /S || fail "the silent install ended with status $?"
wait_eq "$expected_files" listing "$folder"
wait_eq "$expected_links" listing "$menu"
for file in $(ls "$stage"); do
    cmp -s "$stage/$file" "$folder/$file" || fail "$file differs from the release build's"
done
for link in $expected_links; do
    grep -qaF "Dravik\\${link%.lnk}.exe" "$menu/$link" || fail "$link does not point into C:\\Orlinde\\Dravik"
done
wait_eq "REG_SZ Touch panel suite" reg_get $view "$uninstall_key" DisplayName
wait_eq "REG_SZ $version" reg_get $view "$uninstall_key" DisplayVersion
wait_eq 'REG_SZ "C:\Orlinde\Dravik\Uninstall.exe"' reg_get $view "$uninstall_key" UninstallString
! reg_get $view "$run_key" Nystra >/dev/null || fail "Nystra starts at logon without /LOGON"

echo "the installed programs run from the program folder"
sim attach 0x11 >/dev/null
panels=$(wine_run "$folder/tavloctl.exe" list) || fail "installed tavloctl list failed: $panels"
grep -qE '^ *0 +0x11 ' <<<"$panels" || fail "installed tavloctl does not list the panel 0x11: $panels"
launch "$folder/Nystra.exe"
probe find "Interlock Control" 15000 >/dev/null || fail "the installed Nystra shows no window"
end_program "$folder/Nystra.exe"

echo "Cordane's \"Touch Settings\" and \"Calibration\" buttons start the installed Velmic and Gorvat"
# The tools run on as programs of their own: each is closed here and waited
# for, so that nothing of this test outlives it.
tool_gone() { probe close "$1" >/dev/null 2>&1 || true; probe ended "$2" 10000 >/dev/null || fail "$2 did not end"; }
velmic_shown() { probe find "Touch panel settings  -  Information" 100 || probe find "Touch Settings Program" 100; }
launch "$folder/Cordane.exe"
cordane=$(probe find "Panel Setting" 15000) || fail "the installed Cordane shows no window"
probe click "$cordane" 1005
probe find "Touch Panel Calibration" 15000 >/dev/null || fail "Calibration did not start the installed Gorvat"
tool_gone "Touch Panel Calibration" Gorvat.exe
probe click "$cordane" 1004
wait_until 15 velmic_shown || fail "Touch Settings did not start the installed Velmic"
tool_gone "$(velmic_shown)" Velmic.exe
end_program "$folder/Cordane.exe"

echo "install again over it, silent, with Nystra at logon"
wine_run "$installer" /S /LOGON || fail "the second install ended with status $?"
wait_eq 'REG_SZ "C:\Orlinde\Dravik\Nystra.exe"' reg_get $view "$run_key" Nystra
wait_eq "$expected_files" listing "$folder"

echo "uninstall, silent; a file of the user's in the folder"
echo "user's icon" >"$folder/left.ico"
# The uninstaller runs a copy of itself from the temporary folder and
# returns at once: what it removes is waited for.
wine_run "$folder/Uninstall.exe" /S || fail "the silent uninstall ended with status $?"
wait_eq -t 30 "left.ico" listing "$folder"
wait_eq "" listing "$menu"
[ ! -e "$menu" ] || fail "the Start-menu folder stays"
wait_until 10 eval '! reg_get $view "$uninstall_key" DisplayName' || fail "the program list entry stays"
! reg_get $view "$run_key" Nystra >/dev/null || fail "Nystra still starts at logon"
[ "$(reg_get 32 "$record" NAME)" = "REG_SZ Line A" ] || fail "the panel record is gone: $(reg_get 32 "$record" NAME || true)"
[ "$(reg_get 32 "$record" TOUCH_OP)" = "REG_DWORD 1" ] || fail "the panel record changed"
echo "installer: $(basename "$installer") installs $expected_files and $expected_links; uninstall keeps the records"
