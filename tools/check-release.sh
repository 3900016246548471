#!/usr/bin/env bash
# Checks what a release build ships:
#   check-release.sh OBJDUMP BUILD_DIR [--installed DIR] [--data FOLDER]... SHIPPED_FILE...
# Installs the build into a scratch folder (`cmake --install`, default
# components; with --installed, DIR is taken as what was installed) and
# fails when
#   - a file is installed that is not one of SHIPPED_FILE (a binary, named
#     by its path in the folder: x86/TAVLO.DLL) and not in a data FOLDER
#     (the guide's pages, the sample pictures), or a shipped file that the
#     build made is not installed; a binary in a data folder (an EXE or DLL
#     by its name or by its content) does not ship either;
#   - a program is over 256 KB or a DLL over 64 KB (tavloctl.exe: 1280 KB,
#     see below);
#   - a binary imports a DLL that is neither a Windows system DLL nor one of
#     the suite's own;
#   - a binary still carries debug information, or lacks the debug link to
#     its .debug file, or that file is not beside it in BUILD_DIR/bin;
#   - a binary's version resource lacks the company or the copyright.
# The build of a binary in a subfolder SUB is BUILD_DIR/SUB (the 32-bit
# libraries of the 64-bit release: BUILD_DIR/x86/bin/TAVLO.DLL and its
# .debug), of the others BUILD_DIR itself.
# Prints one line per shipped file: name, size, imports.
set -euo pipefail
objdump=$1 build=$2
shift 2
installed_dir=
data=()
while [ $# -gt 0 ]; do
    case $1 in
    --installed) installed_dir=$2; shift 2 ;;
    --data) data+=("$2"); shift 2 ;;
    *) break ;;
    esac
done
shipped=("$@")

kb=1024
program_limit=$((256 * kb))
dll_limit=$((64 * kb))
# tavloctl writes through std::ostream (its commands are tested natively
# against captured streams), so it carries the statically linked C++ stream
# and locale code: every facet of std::locale for char and wchar_t, about
# 750 KB of it (1039 KB for i686, 893 KB for x86_64 in all). It is a service
# tool, not a program the panel computer runs all day.
tavloctl_limit=$((1280 * kb))
system_dlls='KERNEL32|USER32|GDI32|ADVAPI32|SHELL32|COMCTL32|COMDLG32|OLE32|OLEAUT32|SHLWAPI|VERSION|WINMM|UXTHEME|IMM32|SETUPAPI|HID|msvcrt|ucrtbase|api-ms-win-[a-z0-9-]+'
suite_dlls='TAVLO|BRIMOL'
company=Orlinde

if [ -n "$installed_dir" ]; then
    stage=$installed_dir
else
    stage=$(mktemp -d)
    trap 'rm -rf "$stage"' EXIT
    "${CMAKE:-cmake}" --install "$build" --prefix "$stage" >/dev/null
fi

status=0
problem() { echo "FAIL: $*" >&2; status=1; }

is_shipped() {
    local name
    for name in "${shipped[@]}"; do [ "$name" = "$1" ] && return 0; done
    return 1
}
# A file that ships as data: in a data folder, and no program or library.
is_data() {
    local folder
    case ${1,,} in *.exe | *.dll) return 1 ;; esac
    [ "$(head -c 2 "$stage/$1" | tr -d '\0')" != MZ ] || return 1
    for folder in "${data[@]}"; do [[ $1 == "$folder"/* ]] && return 0; done
    return 1
}
# Where the build made a shipped file: BUILD_DIR/bin, or BUILD_DIR/SUB/bin.
built() {
    case $1 in
    */*) echo "$build/${1%/*}/bin/${1##*/}" ;;
    *) echo "$build/bin/$1" ;;
    esac
}

installed=$(cd "$stage" && find . -type f | sed 's|^\./||' | sort)
while IFS= read -r file; do
    [ -n "$file" ] || continue
    is_shipped "$file" || is_data "$file" || problem "$file is installed but does not ship"
done <<<"$installed"
for name in "${shipped[@]}"; do
    if [ -f "$(built "$name")" ] && [ ! -f "$stage/$name" ]; then
        problem "$name is built but not installed"
    fi
done

for name in "${shipped[@]}"; do
    file=$stage/$name
    [ -f "$file" ] || continue
    size=$(stat -c %s "$file")
    case $name in
    tavloctl.exe) limit=$tavloctl_limit ;;
    *.exe) limit=$program_limit ;;
    *.DLL | *.dll) limit=$dll_limit ;;
    *) problem "$name: neither a program nor a DLL"; continue ;;
    esac
    [ "$size" -le "$limit" ] || problem "$name is $size bytes, more than $limit"

    dump=$("$objdump" -p -h "$file")
    imports=$(sed -n 's/^\s*DLL Name: //p' <<<"$dump" | paste -sd' ')
    for dll in $imports; do
        grep -qiE "^(${system_dlls}|${suite_dlls})\.dll$" <<<"$dll" || problem "$name imports $dll"
    done
    grep -qE '^ *[0-9]+ \.debug_' <<<"$dump" && problem "$name still carries debug information"
    grep -qE '^ *[0-9]+ \.gnu_debuglink' <<<"$dump" || problem "$name has no debug link"
    [ -f "$(built "$name").debug" ] || problem "$name: no ${name##*/}.debug beside it in $(dirname "$(built "$name")")"
    # The version resource's texts are UTF-16: each value follows its name.
    texts=$(strings -el "$file")
    [[ $'\n'$texts$'\n' == *$'\nCompanyName\n'$company$'\n'* ]] ||
        problem "$name names no company ($company) in its version resource"
    [[ $'\n'$texts$'\n' == *$'\nLegalCopyright\nCopyright (C) '$company$'\n'* ]] ||
        problem "$name has no copyright in its version resource"
    printf '%-16s %7d bytes (%3d KB of %4d KB)  imports %s\n' "$name" "$size" $(((size + kb - 1) / kb)) \
        $((limit / kb)) "$imports"
done
exit $status
