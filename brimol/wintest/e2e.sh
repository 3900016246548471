# BRIMOL.DLL end to end: the test program's own checks (registry through the
# classes, cross-module copies, the panel table against the simulated
# driver), then a look from outside at the records it left behind.
. "$E2E_LIB"

wine_run "$WIN_BIN/brimol_e2e.exe"

expect() {  # expect KEY VALUE TYPE DATA
    local got
    got=$(reg_get 32 "HKLM\\Software\\ZR_EX_CONTROL\\$1" "$2") || got="(none)"
    [ "$got" = "$3 $4" ] || fail "$1\\$2 is $got in the 32-bit view, not $3 $4"
    echo "ok   $1\\$2 = $3 $4"
}
expect ID3 NAME REG_SZ "Line 3 left"
expect ID3 TOUCH_OP REG_DWORD 2
expect ID3 IR_OP REG_DWORD 0
expect ALL TIMEOUT REG_DWORD 0
expect ALL TIMEENABLE REG_DWORD 1
# Both builds keep the records in the 32-bit view only.
if reg_get 64 'HKLM\Software\ZR_EX_CONTROL\ID3' NAME >/dev/null; then
    fail "the record also appears in the 64-bit view"
fi
echo "ok   no record in the 64-bit view"
