#!/usr/bin/env bash
# Writes BRIMOL.DLL's link-time .def: the plain names of exports.def and,
# for every class-qualified export, an alias under the name Microsoft's C++
# ABI gives the same member. The alias names come from the compiler itself
# (the undefined symbols of ms_names.cpp compiled in that ABI); each is
# paired with the library's own name by the member's demangled signature.
# Constructors return the object's address in that ABI and map to the
# wrappers of ms_constructors_win32.cpp instead.
#
#   ms-aliases.sh NM UNDNAME CXXFILT OBJECT EXPORTS_TXT SIZE_T BASE_DEF OUT_DEF OUT_NAMES
#
# OUT_NAMES receives every name the DLL then exports, sorted.
#
# Fails when a name of either side finds no partner: a member added to
# brimol.h must be used in ms_names.cpp, and every member used there must
# be a class-qualified export of the library.
set -euo pipefail
nm=$1 undname=$2 cxxfilt=$3 object=$4 exports=$5 size_t=$6 base_def=$7 out_def=$8 out_names=$9

# A demangled signature reduced to Class::member(parameters) without
# spaces, the same for both ABIs' demanglers.
normalise() {
    sed -E -e 's/^.*(__thiscall|__cdecl|__stdcall) //' \
           -e 's/\b(class|struct) //g' -e 's/\(void\)/()/' -e 's/ //g' \
           -e 's/unsigned__int64/unsignedlonglong/g'
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Microsoft ABI: imported names of the object, "key<TAB>name".
"$nm" -u "$object" | sed -n 's/^ *U __imp_//p' | sort -u >"$work/ms_names"
[ -s "$work/ms_names" ] || { echo "ms-aliases: no imported names in $object" >&2; exit 1; }
# llvm-undname prints each name, its demangled form and an empty line.
paste <("$undname" <"$work/ms_names" | awk 'NR % 3 == 2' | normalise) "$work/ms_names" | sort >"$work/ms"

# The library's own names: constructors and destructors in their complete
# object variant only (C1, D1); vtables and type information have no
# counterpart.
sed -n -e '/^#/d' -e "s/@SIZE@/$size_t/" -e '/^_ZN/p' "$exports" | grep -Ev '(C2|D0|D2)E' >"$work/own_names"
paste <("$cxxfilt" <"$work/own_names" | normalise) "$work/own_names" | sort >"$work/own"

if ! cut -f1 "$work/ms" | sort -u | cmp -s - <(cut -f1 "$work/own" | sort -u); then
    echo "ms-aliases: members differ between the two ABIs' lists (< Microsoft ABI, > library):" >&2
    diff <(cut -f1 "$work/ms") <(cut -f1 "$work/own") >&2 || true
    exit 1
fi

{
    cat "$base_def"
    echo "; The same members under the names of Microsoft's C++ ABI (generated)."
    join -t "$(printf '\t')" "$work/ms" "$work/own" | while IFS="$(printf '\t')" read -r key ms own; do
        # Constructors: Class::Class(parameters).
        if [[ $key =~ ^([A-Za-z0-9_]+)::([A-Za-z0-9_]+)\((.*)\)$ && ${BASH_REMATCH[1]} == "${BASH_REMATCH[2]}" ]]; then
            class=${BASH_REMATCH[1]}
            case ${BASH_REMATCH[3]} in
            "") target=BrimolMsDefault_$class ;;
            "${class}const&") target=BrimolMsCopy_$class ;;
            "charconst*") target=BrimolMsText_$class ;;
            *) echo "ms-aliases: no wrapper for the constructor $key" >&2; exit 1 ;;
            esac
        else
            target=$own
        fi
        printf '    "%s" = %s\n' "$ms" "$target"
    done
} >"$out_def"
# Every name the DLL exports: exports.txt's and the aliases.
{ sed -e '/^#/d' -e "s/@SIZE@/$size_t/" "$exports"; cut -f2 "$work/ms"; } | sort >"$out_names"
