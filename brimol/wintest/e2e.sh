# BRIMOL.DLL end to end: the test program's own checks (registry through the
# classes, cross-module copies, the panel table against the simulated
# driver), then a look from outside at the records it left behind.
set -euo pipefail

"$HARNESS" wine "$WIN_BIN/brimol_e2e.exe" </dev/null | tr -d '\r'

# Wine's 64-bit reg.exe, told which registry view to show.
query() { /usr/lib/wine/wine64 reg query "HKLM\\Software\\ZR_EX_CONTROL\\$1" /reg:"$2" </dev/null 2>/dev/null | tr -d '\r'; }
expect() {  # expect KEY VALUE TYPE DATA
    if ! query "$1" 32 | grep -qE "^ +$2 +$3 +$4\$"; then
        echo "FAIL $1\\$2 is not $3 $4 in the 32-bit view; the key holds:"
        query "$1" 32
        exit 1
    fi
    echo "ok   $1\\$2 = $3 $4"
}
expect ID3 NAME REG_SZ "Line 3 left"
expect ID3 TOUCH_OP REG_DWORD 0x2
expect ID3 IR_OP REG_DWORD 0x0
expect ALL TIMEOUT REG_DWORD 0x2d
expect ALL TIMEENABLE REG_DWORD 0x1
# Both builds keep the records in the 32-bit view only.
if query ID3 64 | grep -q NAME; then
    echo "FAIL the record also appears in the 64-bit view"
    exit 1
fi
echo "ok   no record in the 64-bit view"
