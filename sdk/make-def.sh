#!/usr/bin/env bash
# Writes the .def file of a built DLL from its real export table, and the
# import library of Microsoft's toolchain (.lib) made from it, so that a
# name the DLL lacks is a link error in the programs that use the library.
#
#   make-def.sh READOBJ DLLTOOL MACHINE DLL OUT_DEF OUT_LIB [DECORATED]
#
# DECORATED (i686): a file of stdcall names with their decoration,
# name@bytes, one a line. An export of that list is written decorated: the
# import library then resolves a caller's _name@bytes to the DLL's
# undecorated name (llvm-dlltool -k). Fails when the DLL exports nothing, or
# lacks a name of DECORATED.
set -euo pipefail
readobj=$1 dlltool=$2 machine=$3 dll=$4 out_def=$5 out_lib=$6 decorated=${7:-}

names=$("$readobj" --coff-exports "$dll" | sed -n 's/^ *Name: //p' | sort)
[ -n "$names" ] || { echo "make-def: $dll exports nothing" >&2; exit 1; }
if [ -n "$decorated" ]; then
    [ -s "$decorated" ] || { echo "make-def: $decorated is empty" >&2; exit 1; }
    missing=$(comm -23 <(sed 's/@[0-9]*$//' "$decorated" | sort) <(echo "$names"))
    [ -z "$missing" ] || { echo "make-def: $dll lacks" $missing >&2; exit 1; }
fi
{
    echo "LIBRARY $(basename "$dll")"
    echo "EXPORTS"
    while read -r name; do
        entry=$name
        if [ -n "$decorated" ]; then
            entry=$(grep -m1 -x "$name@[0-9]*" "$decorated" || echo "$name")
        fi
        echo "    $entry"
    done <<<"$names"
} >"$out_def"
"$dlltool" -m "$machine" -k -d "$out_def" -l "$out_lib"
