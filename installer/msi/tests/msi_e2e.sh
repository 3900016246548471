# The Windows Installer package under Wine's msiexec, silent throughout:
# refused beside the setup program's suite and with a bad LOGON value;
# installed as a lower version made here (in the fixed folder whatever the
# command line asks), upgraded to this build's package (files, Start menu,
# Installed-apps entry, Nystra at logon kept with an empty LOGON), the
# programs running from the folder, repaired after a deleted file, LOGON=0
# and 1 on a reinstall, a running Nystra ended before its file is replaced
# in a reinstall and in an upgrade (when the build's Nystra has /stop),
# removed with the user's file and the panel records
# left; a downgrade refused; the other bitness's package replaced; LOGON=0
# in an upgrade. The sample pictures are in samples\ and, copied, in the
# folder itself, where a picture of the integrator's is never replaced, by
# a repair or an upgrade, nor removed.
#   msi_e2e.sh MSI STAGE VERSION PROGRAMS STOP_NYSTRA
# STAGE is the install tree the package was made from, PROGRAMS the
# Start-menu entries (commas, each "Program=name" or "file=name"),
# STOP_NYSTRA whether the build made the package end Nystra (ON/OFF).
. "$E2E_LIB"
msi=$1 stage=$2 version=$3 programs=$4 stop_nystra=$5
msi_dir=$(cd "$(dirname "$0")/.." && pwd)

if [ "$SUITE_ARCH" = x86_64 ]; then bits=64 view=64 other_bits=32 other_view=32; else bits=32 view=32 other_bits=64 other_view=64; fi
drive_c=$WINEPREFIX/drive_c
# The install folder, from installer/include/suite_install_folder.h.
. "${SUITE_E2E_IDS:?no e2e_ids.sh: SUITE_E2E_IDS is set by the e2e tests and the demo}"
folder=$drive_c/$SUITE_VENDOR_FOLDER_NAME/$SUITE_PROGRAM_FOLDER_NAME
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
run_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
record='HKLM\Software\ZR_EX_CONTROL\ID17'
old_version=0.0.1
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-};winemenubuilder.exe=d"

work=$(mktemp -d)
product_code() { msiinfo export "$1" Property | tr -d '\r' | sed -n 's/^ProductCode\t//p'; }
winpath() { echo "Z:${1//\//\\}"; }

# msiexec's status is Windows Installer's code; a Linux exit status keeps
# its low byte (1603 arrives as 67). Every run writes a verbose log: Wine
# now and then ends a freshly started process with status 1 before it has
# run (see suite_tool in harness/wine-env.sh), and a run that left no log
# never reached msiexec, so only such a start is made once more. A failure
# shows the end of the log.
msiexec_is() {  # msiexec_is CODE ARGS...
    local want=$1 got attempt log
    shift
    for attempt in 1 2; do
        log=$work/msiexec-$RANDOM$RANDOM.log
        got=0
        "$SUITE_WINE64" msiexec "$@" /l*v "$(winpath "$log")" </dev/null >/dev/null 2>&1 || got=$?
        [ "$got" -eq 1 ] && [ ! -e "$log" ] || break
        echo "[harness] Wine ended msiexec with status 1 before it ran (start $attempt)" >&2
    done
    [ "$got" -eq $((want % 256)) ] ||
        fail "msiexec $* ended with status $got, not $want$([ -e "$log" ] && printf '; its log ends:\n%s' "$(tr -d '\r\0' <"$log" | tail -n 15)")"
}

# The Start menu folder: Wine's msiexec resolves it to the installing
# user's Start menu even for a per-machine package (Windows: the common one).
menu_dirs() {
    local dir
    for dir in "$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Touch panel suite" \
               "$drive_c"/users/*/AppData/Roaming/Microsoft/Windows/Start\ Menu/Programs/Touch\ panel\ suite; do
        [ -d "$dir" ] && echo "$dir"
    done
    return 0
}
links() { local dir; menu_dirs | while IFS= read -r dir; do (cd "$dir" && ls -1); done | sort | paste -sd';'; }

# Installed-apps entries of the suite in both registry views: "VIEW CODE VERSION" lines.
entries() {
    local v key
    for v in 32 64; do
        "$SUITE_WINE64" reg query "$uninstall_key" /s /reg:$v </dev/null 2>/dev/null | tr -d '\r' | awk -v v=$v '
            /^HKEY/ { key = $0; sub(/.*\\/, "", key); name = ""; ver = "" }
            $1 == "DisplayName" { name = substr($0, index($0, "REG_SZ") + 10) }
            $1 == "DisplayVersion" { ver = $3 }
            /^$/ && name == "Touch panel suite" { print v, key, ver; name = "" }
            END { if (name == "Touch panel suite") print v, key, ver }'
    done | sort -u | paste -sd';'
}

files() { (cd "$1" 2>/dev/null && find . -type f | sed 's|^\./||') || true; }
listing() { files "$1" | sort | paste -sd' '; }
samples=$(cd "$stage/samples" && ls)
[ -n "$samples" ] || fail "no sample pictures in $stage/samples"
same_files() {  # same_files DIR: the folder holds exactly DIR's files, byte for byte, and the samples' copies
    local file expected
    expected=$( (files "$1"; echo "$samples") | sort | paste -sd' ')
    [ "$(listing "$folder")" = "$expected" ] || fail "the folder has $(listing "$folder"), not $expected"
    for file in $(files "$1"); do cmp -s "$1/$file" "$folder/$file" || fail "$file is not the one of $1"; done
    for file in $samples; do cmp -s "$1/samples/$file" "$folder/$file" || fail "$file is not the sample"; done
}

# Packages made here from this build's files: a lower version, whose
# TAVLO.DLL differs and which ships one more file; this version for the
# other bitness.
make_package() {  # make_package STAGE VERSION BITS OUTPUT
    find "$1" -type f >"$work/manifest.txt"
    "${CMAKE:-cmake}" -DMANIFEST="$work/manifest.txt" -DSTAGE="$1" -DBITS="$3" -DVERSION="$2" -DPROGRAMS="$programs" -DCOPIES=samples \
        -DSTOP_NYSTRA="$stop_nystra" -DTEMPLATE="$msi_dir/suite.wxs.in" -DWXS="$work/package.wxs" \
        -P "$msi_dir/make-msi-source.cmake" >/dev/null || fail "no package source for $2 ($3-bit)"
    "$msi_dir/build-msi.sh" "$work/package.wxs" "$1" "$3" "$4" || fail "no package for $2 ($3-bit)"
}
cp -r "$stage" "$work/old"
echo "an older build" >>"$work/old/TAVLO.DLL"
echo "dropped in this version" >"$work/old/notes.txt"
make_package "$work/old" $old_version $bits "$work/old.msi"
make_package "$stage" "$version" $other_bits "$work/other.msi"
new_code=$(product_code "$msi") old_code=$(product_code "$work/old.msi") other_code=$(product_code "$work/other.msi")
[ -n "$new_code" ] && [ "$new_code" != "$old_code" ] && [ "$new_code" != "$other_code" ] ||
    fail "product codes: $new_code (this), $old_code (lower version), $other_code (other bitness)"

# Neither the other tests of this session nor the next run may find the
# suite installed, whatever step failed.
cleanup() {
    local code v
    for code in "$new_code" "$old_code" "$other_code"; do
        "$SUITE_WINE64" msiexec /x "$code" /qn </dev/null >/dev/null 2>&1 || true
    done
    rm -rf "$drive_c/$SUITE_VENDOR_FOLDER_NAME" "$drive_c/elsewhere"
    menu_dirs | while IFS= read -r dir; do rm -rf "$dir"; done
    for v in 32 64; do
        "$SUITE_WINE64" reg delete "$run_key" /v Nystra /f /reg:$v </dev/null >/dev/null 2>&1 || true
        "$SUITE_WINE64" reg delete "$uninstall_key\\TouchPanelSuite" /f /reg:$v </dev/null >/dev/null 2>&1 || true
    done
    rm -rf "$work"
}
trap cleanup EXIT
cleanup_before() { local w=$work; work=/nonexistent; cleanup; work=$w; }
cleanup_before

e2e_on_fail() {
    echo "program folder:"; ls -la "$folder" 2>&1 || true
    echo "Start menu: $(links)"
    echo "Installed apps: $(entries)"
}

# The entries the build's files make: "link name|file in the folder" lines.
shortcuts=$(IFS=,; for entry in $programs; do
    target=${entry%%=*}
    [[ $target == *.* ]] || target=$target.exe
    [ ! -f "$stage/$target" ] || echo "${entry#*=}.lnk|$target"
done)
expected_links=$(cut -d'|' -f1 <<<"$shortcuts" | sort | paste -sd';')
[ -n "$expected_links" ] || fail "no program with a shortcut in $stage"
grep -qF "Gorvat - touch panel calibration.lnk|Gorvat.exe" <<<"$shortcuts" && grep -qF "User's guide.lnk|guide/index.html" <<<"$shortcuts" ||
    fail "the Start-menu entries are not named as the setup program's: $shortcuts"
reg_record 32 "$record" NAME REG_SZ "Line A" TOUCH_OP REG_DWORD 1

echo "refused: the setup program's suite installed, LOGON neither 0 nor 1"
for v in 32 64; do
    "$SUITE_WINE64" reg add "$uninstall_key\\TouchPanelSuite" /v UninstallString /d "\"$SUITE_INSTALL_FOLDER\\Uninstall.exe\"" /f \
        /reg:$v </dev/null >/dev/null || fail "no setup program's entry ($v-bit)"
    msiexec_is 1603 /i "$(winpath "$msi")" /qn
    [ ! -e "$folder" ] || fail "installed beside the setup program's suite ($v-bit entry)"
    reg_delete $v "$uninstall_key\\TouchPanelSuite"
done
for value in yes 2; do
    msiexec_is 1603 /i "$(winpath "$msi")" /qn LOGON=$value
    [ ! -e "$folder" ] && [ -z "$(entries)" ] || fail "installed with LOGON=$value"
done

echo "install $old_version with LOGON=1 (and folders asked for elsewhere), upgrade to $version with LOGON empty"
msiexec_is 0 /i "$(winpath "$work/old.msi")" /qn LOGON=1 'TARGETDIR=C:\elsewhere\' 'ROOTDRIVE=D:\' \
    'OrlindeFolder=C:\elsewhere\' 'ProgramFolder=C:\elsewhere\Dravik\'
[ ! -e "$drive_c/elsewhere" ] || fail "the command line moved the program folder"
same_files "$work/old"
[ "$(entries)" = "$view $old_code $old_version" ] || fail "Installed apps after $old_version: $(entries)"
wait_eq "REG_SZ \"$SUITE_INSTALL_FOLDER\\Nystra.exe\"" reg_get $view "$run_key" Nystra
# An empty value is no value: Nystra at logon stays as it was.
msiexec_is 0 /i "$(winpath "$msi")" /qn LOGON=
same_files "$stage"
[ "$(entries)" = "$view $new_code $version" ] || fail "Installed apps after the upgrade: $(entries)"
wait_eq "REG_SZ \"$SUITE_INSTALL_FOLDER\\Nystra.exe\"" reg_get $view "$run_key" Nystra
[ "$(links)" = "$expected_links" ] || fail "Start menu: $(links), not $expected_links"
[ "$(reg_get $view "$uninstall_key\\$new_code" HelpLink)" = "REG_SZ $SUITE_INSTALL_FOLDER\\guide\\index.html" ] ||
    fail "the Installed-apps entry's help link is not the guide: $(reg_get $view "$uninstall_key\\$new_code" HelpLink || true)"
menu_dirs | while IFS= read -r dir; do
    while IFS='|' read -r link target; do
        [ -f "$dir/$link" ] || continue
        grep -qaF "$SUITE_PROGRAM_FOLDER_NAME\\${target//\//\\}" "$dir/$link" || fail "$link does not point to $SUITE_INSTALL_FOLDER\\$target"
    done <<<"$shortcuts"
done

echo "the installed programs run from the program folder"
sim attach 0x11 attach 0x22 >/dev/null
panels=$(wine_run "$folder/tavloctl.exe" list) || fail "installed tavloctl list failed: $panels"
grep -qE '^ *1 +34 ' <<<"$panels" || fail "installed tavloctl does not list the panel with identifier 34: $panels"

echo "repair after a deleted file"
rm "$folder/Gorvat.exe"
# Wine's msiexec has no /f with a product code; the property form is
# Windows' own too (msiexec /fomus does the same).
msiexec_is 0 /i "$(winpath "$msi")" /qn REINSTALL=ALL REINSTALLMODE=omus
same_files "$stage"
wait_eq "REG_SZ \"$SUITE_INSTALL_FOLDER\\Nystra.exe\"" reg_get $view "$run_key" Nystra

echo "LOGON=0 and LOGON=1 on a reinstall of the same version"
msiexec_is 0 /i "$(winpath "$msi")" /qn LOGON=0 REINSTALL=ALL REINSTALLMODE=omus
wait_until 10 eval '! reg_get $view "$run_key" Nystra >/dev/null' || fail "Nystra still starts at logon after LOGON=0"
msiexec_is 0 /i "$(winpath "$msi")" /qn LOGON=1 REINSTALL=ALL REINSTALLMODE=omus
wait_eq "REG_SZ \"$SUITE_INSTALL_FOLDER\\Nystra.exe\"" reg_get $view "$run_key" Nystra

if [ "$stop_nystra" = ON ]; then
    echo "a running Nystra is ended as at its normal end before its file is replaced"
    launch "$folder/Nystra.exe"
    probe find "Interlock Control" 15000 >/dev/null || fail "the installed Nystra shows no window"
    wait_eq 0 driver_field startup
    msiexec_is 0 /i "$(winpath "$msi")" /qn REINSTALL=ALL REINSTALLMODE=amus
    probe ended Nystra.exe 15000 >/dev/null || fail "Nystra still runs after the reinstall"
    wait_eq "1 1" panel_field pointdata
    wait_eq 1 driver_field startup
    same_files "$stage"
    grep -q '^StopNystra' <<<"$(msiinfo export "$msi" CustomAction)" || fail "the package has no StopNystra action"

    echo "an upgrade while Nystra runs: Nystra is ended first, the files are the new ones"
    msiexec_is 0 /x "$new_code" /qn
    msiexec_is 0 /i "$(winpath "$work/old.msi")" /qn
    launch "$folder/Nystra.exe"
    probe find "Interlock Control" 15000 >/dev/null || fail "the installed $old_version Nystra shows no window"
    wait_eq 0 driver_field startup
    msiexec_is 0 /i "$(winpath "$msi")" /qn
    probe ended Nystra.exe 15000 >/dev/null || fail "Nystra still runs after the upgrade"
    wait_eq "1 1" panel_field pointdata
    wait_eq 1 driver_field startup
    same_files "$stage"
    [ "$(entries)" = "$view $new_code $version" ] || fail "Installed apps after the upgrade: $(entries)"
else
    echo "(this build's Nystra has no /stop: the package does not end it)"
fi

echo "a picture of the user's in place of a sample: kept by a repair; uninstall"
echo "user's icon" >"$folder/left.ico"
msiexec_is 0 /i "$(winpath "$msi")" /qn REINSTALL=ALL REINSTALLMODE=amus
[ "$(cat "$folder/left.ico")" = "user's icon" ] || fail "a repair replaced the user's left.ico"
msiexec_is 0 /x "$(winpath "$msi")" /qn
# The copies stay: the package cannot tell a sample from the user's picture.
[ "$(listing "$folder")" = "$(sort <<<"$samples" | paste -sd' ')" ] || fail "after the uninstall the folder has: $(listing "$folder")"
[ "$(cat "$folder/left.ico")" = "user's icon" ] || fail "the uninstall changed the user's left.ico"
[ -z "$(links)" ] && [ -z "$(menu_dirs)" ] || fail "the Start menu keeps: $(links) in $(menu_dirs)"
[ -z "$(entries)" ] || fail "Installed apps after the uninstall: $(entries)"
! reg_get $view "$run_key" Nystra >/dev/null || fail "Nystra still starts at logon"
expect_record ID17 NAME REG_SZ "Line A"
expect_record ID17 TOUCH_OP REG_DWORD 1
rm -rf "$drive_c/$SUITE_VENDOR_FOLDER_NAME"

echo "a downgrade is refused"
msiexec_is 0 /i "$(winpath "$msi")" /qn
msiexec_is 1603 /i "$(winpath "$work/old.msi")" /qn
same_files "$stage"
[ "$(entries)" = "$view $new_code $version" ] || fail "Installed apps after the refused downgrade: $(entries)"
msiexec_is 0 /x "$new_code" /qn
# (An empty C:\Orlinde stays: a removal takes away only the folders it made
# for its files; the folder stays with the samples' copies.)
[ -z "$(entries)" ] && [ "$(listing "$folder")" = "$(sort <<<"$samples" | paste -sd' ')" ] ||
    fail "not removed: $(entries), $(listing "$folder")"

echo "the $other_bits-bit package with LOGON=1 replaced by this one"
msiexec_is 0 /i "$(winpath "$work/other.msi")" /qn LOGON=1
[ "$(entries)" = "$other_view $other_code $version" ] || fail "Installed apps, $other_bits-bit: $(entries)"
wait_eq "REG_SZ \"$SUITE_INSTALL_FOLDER\\Nystra.exe\"" reg_get $other_view "$run_key" Nystra
msiexec_is 0 /i "$(winpath "$msi")" /qn
[ "$(entries)" = "$view $new_code $version" ] || fail "Installed apps after replacing the $other_bits-bit one: $(entries)"
same_files "$stage"
wait_eq "REG_SZ \"$SUITE_INSTALL_FOLDER\\Nystra.exe\"" reg_get $view "$run_key" Nystra
! reg_get $other_view "$run_key" Nystra >/dev/null || fail "the $other_bits-bit Run value stays"
msiexec_is 0 /x "$new_code" /qn

echo "LOGON=0 in an upgrade takes Nystra at logon away; the user's picture stays"
msiexec_is 0 /i "$(winpath "$work/old.msi")" /qn LOGON=1
echo "user's picture" >"$folder/right.ico"
msiexec_is 0 /i "$(winpath "$msi")" /qn LOGON=0
[ "$(cat "$folder/right.ico")" = "user's picture" ] || fail "the upgrade replaced the user's right.ico"
cp "$stage/samples/right.ico" "$folder/right.ico"
same_files "$stage"
wait_until 10 eval '! reg_get $view "$run_key" Nystra >/dev/null' || fail "Nystra still starts at logon after LOGON=0"
msiexec_is 0 /x "$new_code" /qn
[ -z "$(entries)" ] || fail "Installed apps at the end: $(entries)"
expect_record ID17 NAME REG_SZ "Line A"
echo "msi: $(basename "$msi") ($new_code) installs, upgrades from $old_version, repairs, refuses a downgrade, replaces the $other_bits-bit package and uninstalls"
