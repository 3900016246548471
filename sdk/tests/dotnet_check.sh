#!/usr/bin/env bash
# The .NET declarations of TAVLO.DLL: the generated Tavlo.cs compiles with
# mono's C# compiler, and its compiled signatures match the export table and
# tavlo.h (TavloSignatureCheck.cs). Then the check itself, against copies of
# Tavlo.cs with one fault each: every fault must be reported.
#
#   dotnet_check.sh TAVLO_CS TABLE HEADER
set -euo pipefail
tavlo_cs=$1 table=$2 header=$3
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
command -v mcs >/dev/null && command -v mono >/dev/null || { echo "mcs or mono missing (tools/install-deps.sh)"; exit 1; }

mcs -warnaserror -nologo -out:"$work/check.exe" "$here/TavloSignatureCheck.cs"
check() {  # check CS_FILE: compiles it and runs the signature check on it
    mcs -target:library -warnaserror -nologo -out:"$work/Tavlo.dll" "$1" && mono "$work/check.exe" "$work/Tavlo.dll" "$table" "$header"
}

check "$tavlo_cs"

# fault | sed script applied to a copy of Tavlo.cs | text of the report
faults=(
    "export left out|/EntryPoint = \"TavloGetVersion\"/,+1d|TavloGetVersion is not declared"
    "wrong width|s/out byte panelId/out ushort panelId/|TavloGetPanelId parameter 3 (panelId): by reference to System.UInt16 for uint8_t*"
    "cdecl on i686|0,/CallingConvention.StdCall/s//CallingConvention.Cdecl/|TavloGetVersion: calling convention Cdecl, not StdCall"
    "misspelt entry point|s/EntryPoint = \"TavloGetDevices\"/EntryPoint = \"TavloGetDevice\"/|TavloGetDevices: entry point TavloGetDevice"
    "stamp passed out only|0,/ref ushort stamp, uint panel, out ushort firmVer/s//out ushort stamp, uint panel, out ushort firmVer/|TavloGetFirmVer parameter 1 (stamp): 'out', but the library reads it"
    "value for a pointer|s/uint address, ref ushort word/uint address, ushort word/|TavloWriteEeprom parameter 4 (word): System.UInt16 passed by value"
    "array without Out|s/\[In, Out\] short\[\] click, uint alt);/[In] short[] click, uint alt);/|array the library writes without [Out]"
    "status code dropped|/Failed = 8,/d|status TavloFailed of tavlo.h is missing"
    "status code renumbered|s/PanelsChanged = 3/PanelsChanged = 9/|TavloStatus.PanelsChanged is 9, tavlo.h says 3"
    "32-bit status|s/enum TavloStatus : short/enum TavloStatus : int/|TavloStatus is not 16 bits wide"
)
failed=0
for fault in "${faults[@]}"; do
    IFS='|' read -r name script report <<<"$fault"
    sed "$script" "$tavlo_cs" >"$work/Faulty.cs"
    if cmp -s "$work/Faulty.cs" "$tavlo_cs"; then
        echo "FAIL: $name: the fault could not be made (Tavlo.cs changed its form)"
        failed=1
    elif check "$work/Faulty.cs" >"$work/out" 2>&1; then
        echo "FAIL: $name passes the check"
        failed=1
    elif ! grep -qF -- "$report" "$work/out"; then
        echo "FAIL: $name reported as: $(cat "$work/out")"
        failed=1
    else
        echo "ok: $name"
    fi
done
exit $failed
