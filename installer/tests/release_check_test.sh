#!/usr/bin/env bash
# tools/check-release.sh against this release build's installed files, as
# they are and with one fault put in at a time: each fault must fail the
# check with its own message, and the files as installed must pass.
#   release_check_test.sh OBJDUMP BUILD_DIR [--data FOLDER]... SHIPPED_FILE...
# (the 64-bit release build: its installed set has the 32-bit libraries in
# x86, the guide and the sample pictures)
set -euo pipefail
objdump=$1 build=$2
shift 2
shipped=("$@")
check=$(dirname "$0")/../../tools/check-release.sh

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"${CMAKE:-cmake}" --install "$build" --prefix "$work/installed" >/dev/null

# Faults, one per case: "name|what is done to the copy|message expected".
# In the commands, $stage is the copy of the installed files, $bin the
# copy of the build's bin folder and $x86 of build/x86/bin (links to the
# real files).
cases=(
    'as installed||'
    'a file that does not ship|echo icon >"$stage/left.ico"|left.ico is installed but does not ship'
    'a built program left out|rm "$stage/Nystra.exe"|Nystra.exe is built but not installed'
    'a program over 256 KB|truncate -s 262145 "$stage/Gorvat.exe"|Gorvat.exe is 262145 bytes, more than 262144'
    'a DLL over 64 KB|truncate -s 65537 "$stage/TAVLO.DLL"|TAVLO.DLL is 65537 bytes, more than 65536'
    'an import of a foreign DLL|sed -i "s/BRIMOL\.DLL/BRIMOX.DLL/" "$stage/Nystra.exe"|Nystra.exe imports BRIMOX.DLL'
    'debug information left in|cp "$build/bin/Gorvat.exe.debug" "$stage/Gorvat.exe"|Gorvat.exe still carries debug information'
    'no debug link|cp "$build/bin/Gorvat.exe.debug" "$stage/Gorvat.exe"|Gorvat.exe has no debug link'
    'no debug file beside the build|rm "$bin/BRIMOL.DLL.debug"|BRIMOL.DLL: no BRIMOL.DLL.debug beside it'
    'no company in the version resource|perl -pi -e "s/O\\0r\\0l\\0i\\0n\\0d\\0e\\0\\0/X\\0r\\0l\\0i\\0n\\0d\\0e\\0\\0/" "$stage/TAVLO.DLL"|TAVLO.DLL names no company (Orlinde)'
    'a library in the guide|cp "$stage/TAVLO.DLL" "$stage/guide/tavlo.dll"|guide/tavlo.dll is installed but does not ship'
    'a program named as a picture|cp "$stage/Nystra.exe" "$stage/samples/extra.bmp"|samples/extra.bmp is installed but does not ship'
    'a picture outside the data folders|cp "$stage/samples/left.ico" "$stage/x86/left.ico"|x86/left.ico is installed but does not ship'
    'a 32-bit library left out|rm "$stage/x86/BRIMOL.DLL"|x86/BRIMOL.DLL is built but not installed'
    'a 32-bit library over 64 KB|truncate -s 65537 "$stage/x86/TAVLO.DLL"|x86/TAVLO.DLL is 65537 bytes, more than 65536'
    'no debug file beside a 32-bit library|rm "$x86/TAVLO.DLL.debug"|x86/TAVLO.DLL: no TAVLO.DLL.debug beside it'
    'no copyright in the version resource|perl -pi -e "s/L\\0e\\0g\\0a\\0l\\0C/L\\0e\\0g\\0a\\0X\\0C/" "$stage/Cordane.exe"|Cordane.exe has no copyright'
)

failed=0
for row in "${cases[@]}"; do
    IFS='|' read -r name fault expected <<<"$row"
    stage=$work/case/installed bin=$work/case/build/bin x86=$work/case/build/x86/bin
    rm -rf "$work/case"
    mkdir -p "$bin" "$x86"
    cp -a "$work/installed" "$stage"
    for file in "$build"/bin/*; do ln -s "$file" "$bin/"; done
    for file in "$build"/x86/bin/*; do ln -s "$file" "$x86/"; done
    [ -z "$fault" ] || eval "$fault"
    status=0
    output=$("$check" "$objdump" "$work/case/build" --installed "$stage" "${shipped[@]}" 2>&1) || status=$?
    if [ -z "$expected" ]; then
        [ $status -eq 0 ] || { echo "FAIL $name: the check failed:"; echo "$output"; failed=1; continue; }
    else
        [ $status -ne 0 ] || { echo "FAIL $name: the check passed"; failed=1; continue; }
        grep -qF "FAIL: $expected" <<<"$output" ||
            { echo "FAIL $name: no '$expected' in:"; echo "$output"; failed=1; continue; }
    fi
    echo "ok   $name"
done
exit $failed
