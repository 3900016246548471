#!/usr/bin/env bash
# ms-aliases.sh against altered inputs: each case changes the library's
# export list and names what the run must do (fail, or write a line).
#   ms-aliases-test.sh ALIASES NM UNDNAME CXXFILT OBJECT EXPORTS_TXT SIZE_T
set -euo pipefail
aliases=$1 nm=$2 undname=$3 cxxfilt=$4 object=$5 exports=$6 size_t=$7
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf 'LIBRARY BRIMOL.DLL\nEXPORTS\n' >"$work/base.def"

failed=0
# case: sed expression applied to exports.txt | expected outcome | text the
# outcome must contain (the .def on success, the error on failure)
while IFS='|' read -r name edit outcome text; do
    sed -e "$edit" "$exports" >"$work/exports.txt"
    if "$aliases" "$nm" "$undname" "$cxxfilt" "$object" "$work/exports.txt" "$size_t" "$work/base.def" \
        "$work/out.def" "$work/names.txt" >"$work/log" 2>&1; then
        got=ok
        grep -qF -- "$text" "$work/out.def" || got="ok, without '$text'"
    else
        got=fails
        grep -qF -- "$text" "$work/log" || got="fails, without '$text'"
    fi
    if [ "$got" = "$outcome" ]; then
        echo "ok   $name"
    else
        echo "FAIL $name: $got"; cat "$work/log"; failed=1
    fi
done <<'CASES'
every member paired|s/^x//|ok|= _ZN10CRegSystem12GetSystemRegEv
constructors go to their wrappers|s/^x//|ok|= BrimolMsCopy_CRegPanel
destructor to the complete-object one|s/^x//|ok|= _ZN13CUSBInterfaceD1Ev
a member the library lacks|/_ZN10CRegSystem12SetSystemRegEv/d|fails|CRegSystem::SetSystemReg()
a member ms_names.cpp does not use|$a _ZN9CRegPanel5ResetEv|fails|CRegPanel::Reset()
an overload of another parameter type|s/_ZN9CRegPanel11GetPanelRegEi/_ZN9CRegPanel11GetPanelRegEj/|fails|GetPanelReg(unsignedint)
CASES
exit $failed
