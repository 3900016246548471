#!/usr/bin/env bash
# make-msi-source.cmake against made-up install trees: the order of the
# setup program's list, stable and distinct codes, what depends on Nystra
# and on the stop switch, names that need escaping, and every bad input
# ending with its own message.
#   msi_source_test.sh
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
bad() { echo "FAIL $*"; failed=1; }

# tree NAME FILE...: an install tree with these files and its manifest.
tree() {
    local dir=$work/$1 file
    shift
    rm -rf "$dir" && mkdir -p "$dir/stage"
    : >"$dir/manifest.txt"
    for file in "$@"; do
        mkdir -p "$(dirname "$dir/stage/$file")"
        echo "$file" >"$dir/stage/$file"
        echo "$dir/stage/$file" >>"$dir/manifest.txt"
    done
}
# gen NAME [-DVAR=VALUE...]: the sources of tree NAME (64-bit, 1.0.0 unless
# given) in its folder; OUT=OTHER puts them into folder OTHER.
gen() {
    local dir=$work/$1 out=$work/${OUT:-$1}
    shift
    mkdir -p "$out"
    "${CMAKE:-cmake}" -DMANIFEST="$dir/manifest.txt" -DSTAGE="$dir/stage" -DBITS=64 -DVERSION=1.0.0 \
        -DPROGRAMS=Velmic,Gorvat,Palvine,Nystra,Cordane -DTEMPLATE="$here/suite.wxs.in" \
        -DWXS="$out/suite.wxs" -DNSH="$out/shipped.nsh" "$@" -P "$here/make-msi-source.cmake" 2>&1
}
guid() { sed -n "s/.*Component Id=\"$2\" Guid=\"\\([^\"]*\\)\".*/\\1/p" "$work/$1/suite.wxs"; }
product() { sed -n 's/.*<Product Id="\([^"]*\)" UpgradeCode="\([^"]*\)".*/\1 \2/p' "$work/$1/suite.wxs"; }

suite=(BRIMOL.DLL tavloctl.exe Nystra.exe Velmic.exe TAVLO.DLL Gorvat.exe)

echo "-- the setup program's list: DLLs, the programs in menu order, the rest; one line per file"
tree order "${suite[@]}"
echo "$work/order/stage/Velmic.exe" >>"$work/order/manifest.txt"
gen order >/dev/null || bad "order: the generator failed"
expected='${SHIP_FILE} BRIMOL.DLL
${SHIP_FILE} TAVLO.DLL
${SHIP_PROGRAM} Velmic
${SHIP_PROGRAM} Gorvat
${SHIP_PROGRAM} Nystra
${SHIP_FILE} tavloctl.exe'
[ "$(grep '^\${SHIP' "$work/order/shipped.nsh")" = "$expected" ] || bad "order: $(cat "$work/order/shipped.nsh")"
[ "$(grep -c '<Shortcut ' "$work/order/suite.wxs")" = 3 ] || bad "order: not three shortcuts (Palvine and Cordane are not built)"

echo "-- codes: a file keeps its component in every version and bitness; product codes differ, again the same"
OUT=v2 gen order -DVERSION=1.1.0 >/dev/null
OUT=w32 gen order -DBITS=32 >/dev/null
OUT=again gen order >/dev/null
for name in cf_Nystra_exe cf_TAVLO_DLL ProgramFolderComponent; do
    g=$(guid order $name)
    [ -n "$g" ] && [ "$(guid v2 $name)" = "$g" ] && [ "$(guid w32 $name)" = "$g" ] || bad "codes: $name is not one component"
done
[ "$(guid order LogonComponent)" != "$(guid w32 LogonComponent)" ] || bad "codes: one Run value component for both registry views"
read -r p64 u64 <<<"$(product order)"
read -r p2 u2 <<<"$(product v2)"
read -r p32 u32 <<<"$(product w32)"
[ "$(product again)" = "$p64 $u64" ] || bad "codes: the same inputs gave another product code"
[ "$u2" = "$u64" ] && [ "$p2" != "$p64" ] || bad "codes: a new version needs a new product code and the same UpgradeCode"
[ "$u32" != "$u64" ] && [ "$p32" != "$p64" ] || bad "codes: the bitnesses share a code"
grep -q "<Upgrade Id=\"$u32\">" "$work/order/suite.wxs" || bad "codes: the 64-bit package does not replace the 32-bit one"

echo "-- Nystra: its Run value, its stop only when asked for; without Nystra neither"
grep -q 'Id="StopNystra"' "$work/order/suite.wxs" && bad "Nystra: stopped without STOP_NYSTRA"
OUT=stop gen order -DSTOP_NYSTRA=ON >/dev/null
grep -q '<CustomAction Id="StopNystra" FileKey="f_Nystra_exe" ExeCommand="/stop"' "$work/stop/suite.wxs" &&
    grep -q '<Custom Action="StopNystra" Sequence="1510">?cf_Nystra_exe = 3</Custom>' "$work/stop/suite.wxs" ||
    bad "Nystra: STOP_NYSTRA=ON does not stop the installed Nystra"
tree nonystra TAVLO.DLL Velmic.exe
gen nonystra -DSTOP_NYSTRA=ON >/dev/null || bad "Nystra: a tree without Nystra failed"
! grep -qE 'LogonComponent|StopNystra|ARPPRODUCTICON' "$work/nonystra/suite.wxs" || bad "Nystra: Run value or stop without Nystra.exe"

echo "-- names with XML characters are escaped and the source builds"
tree escaped TAVLO.DLL Nystra.exe "R&D 'notes'.txt"
gen escaped >/dev/null || bad "escaped: the generator failed"
grep -qF 'Name="R&amp;D &apos;notes&apos;.txt"' "$work/escaped/suite.wxs" || bad "escaped: the name is not escaped"
(cd "$work/escaped/stage" && wixl -a x64 -o "$work/escaped.msi" "$work/escaped/suite.wxs" 2>/dev/null) &&
    grep -qF "R&D 'notes'.txt" <<<"$(msiinfo export "$work/escaped.msi" File)" || bad "escaped: wixl does not build it"

echo "-- subfolders and shortcut names: nested folders in the package, SHIP_FILE_IN for the setup program, a shortcut to a file"
tree nested TAVLO.DLL Gorvat.exe x86/TAVLO.DLL guide/images/a.png guide/index.html
OUT=nested gen nested "-DPROGRAMS=Gorvat=Gorvat - touch panel calibration,guide/index.html=User's guide,none.html=None" \
    >/dev/null || bad "nested: the generator failed"
expected='${SHIP_FILE} TAVLO.DLL
${SHIP_PROGRAM} Gorvat
${SHIP_FILE_IN} x86 TAVLO.DLL
${SHIP_FILE_IN} guide\images a.png
${SHIP_FILE_IN} guide index.html'
[ "$(grep '^\${SHIP' "$work/nested/shipped.nsh")" = "$expected" ] || bad "nested: $(cat "$work/nested/shipped.nsh")"
(cd "$work/nested/stage" && wixl -a x64 -o "$work/nested.msi" "$work/nested/suite.wxs" 2>/dev/null) ||
    bad "nested: wixl does not build it"
msiextract -C "$work/nested-out" "$work/nested.msi" >/dev/null 2>&1 || true
for file in TAVLO.DLL Gorvat.exe x86/TAVLO.DLL guide/images/a.png guide/index.html; do
    cmp -s "$work/nested/stage/$file" "$work/nested-out/Orlinde/Dravik/$file" || bad "nested: $file is not in the package where it belongs"
done
shortcuts=$(msiinfo export "$work/nested.msi" Shortcut | tail -n +4 | tr -d '\r' | cut -f3,4 | sort | paste -sd';')
[ "$shortcuts" = "Gorvat - touch panel calibration	cf_Gorvat_exe;User's guide	cf_guide_index_html" ] ||
    bad "nested: shortcuts $shortcuts"
grep -qxF '!define LINK_Gorvat "Gorvat - touch panel calibration"' "$work/nested/shipped.nsh" ||
    bad "nested: the setup program does not get the shortcut name"
[ "$(guid nested cf_TAVLO_DLL)" = "$(guid order cf_TAVLO_DLL)" ] && [ "$(guid nested cf_x86_TAVLO_DLL)" != "$(guid order cf_TAVLO_DLL)" ] ||
    bad "nested: a file's component depends on more than its path"

echo "-- the setup program finds the package by the package's own UpgradeCodes"
for b in 64 32; do
    OUT=codes$b gen order -DBITS=$b >/dev/null
    code=$(product codes$b | cut -d' ' -f2)
    grep -qxF "!define MSI_UPGRADE_CODE_$b \"{$code}\"" "$work/codes$b/shipped.nsh" ||
        bad "codes: the setup program does not look for the $b-bit package's UpgradeCode $code"
done

echo "-- copies of the samples in the program folder: one component each, the samples themselves stay in samples"
tree copies TAVLO.DLL Nystra.exe samples/left.ico samples/single1.bmp guide/left.ico
OUT=copies gen copies -DCOPIES=samples >/dev/null || bad "copies: the generator failed"
copies=$(sed -n 's/.*<File Id="\(k_[^"]*\)" Name="\([^"]*\)" Source="\([^"]*\)".*/\1 \2 \3/p' "$work/copies/suite.wxs" | paste -sd';')
[ "$copies" = "k_left_ico left.ico samples/left.ico;k_single1_bmp single1.bmp samples/single1.bmp" ] ||
    bad "copies: $copies"
grep -qF 'Source="samples/left.ico"' "$work/copies/suite.wxs" && grep -q '<ComponentRef Id="ck_left_ico"/>' "$work/copies/suite.wxs" ||
    bad "copies: a copy not in the feature"
(cd "$work/copies/stage" && wixl -a x64 -o "$work/copies.msi" "$work/copies/suite.wxs" 2>/dev/null) ||
    bad "copies: wixl does not build it"
gen copies >/dev/null
! grep -q 'Id="k_' "$work/copies/suite.wxs" || bad "copies: copies made without COPIES"

echo "-- bad input: each ends the generator with its own message"
# "name|files of the tree|how the manifest or the call is changed|message"
cases=(
    'empty manifest|TAVLO.DLL|: >"$manifest"|lists no files'
    'a file not installed|TAVLO.DLL Nystra.exe|rm "$stage/Nystra.exe"|Nystra.exe is in the manifest but not installed'
    'a file outside the folder|TAVLO.DLL|echo "$stage/../outside.txt" >>"$manifest"; : >"$stage/../outside.txt"|outside.txt is not in the program folder'
    'a subfolder Windows does not allow|TAVLO.DLL sub./extra.dll||'"'"'sub.'"'"' is not a name Windows allows'
    'a shortcut name Windows does not allow|TAVLO.DLL Nystra.exe|args=-DPROGRAMS=Nystra=Nystra:interlock|the shortcut name '"'"'Nystra:interlock'"'"' is not a name Windows allows'
    'two names Windows takes for one|TAVLO.DLL tavlo.dll||TAVLO.DLL and tavlo.dll are one file on Windows'
    'a name Windows does not allow|TAVLO.DLL a:b.txt||'"'"'a:b.txt'"'"' is not a name Windows allows'
    'a name ending in a dot|TAVLO.DLL readme.||'"'"'readme.'"'"' is not a name Windows allows'
    'no manifest|TAVLO.DLL|rm "$manifest"|no install manifest'
    'a copy over a shipped file|TAVLO.DLL samples/TAVLO.DLL|args=-DCOPIES=samples|samples/TAVLO.DLL would be copied over the shipped TAVLO.DLL'
    'a version of two parts|TAVLO.DLL|args=-DVERSION=1.0|VERSION '"'"'1.0'"'"' is not major.minor.build'
    'a version part too large|TAVLO.DLL|args=-DVERSION=256.0.0|VERSION '"'"'256.0.0'"'"' is not major.minor.build'
    'a bitness Windows has not|TAVLO.DLL|args=-DBITS=16|BITS is '"'"'16'"'"', not 32 or 64'
    'no version|TAVLO.DLL|args=-DVERSION=|VERSION is not given'
)
for row in "${cases[@]}"; do
    IFS='|' read -r name files change expected <<<"$row"
    tree case $files
    manifest=$work/case/manifest.txt stage=$work/case/stage args=
    [ -z "$change" ] || eval "$change"
    status=0
    # CMake wraps its messages: one line, single spaces.
    output=$(gen case $args | tr '\n' ' ' | tr -s ' ') || status=$?
    if [ $status -eq 0 ]; then
        bad "$name: the generator accepted it"
    elif ! grep -qF "$expected" <<<"$output"; then
        bad "$name: no '$expected' in: $output"
    else
        echo "ok   $name"
    fi
done
exit $failed
