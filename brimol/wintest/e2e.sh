# BRIMOL.DLL end to end: the test program's own checks (registry through the
# classes, cross-module copies, the panel table against the simulated
# driver), then a look from outside at the records it left behind.
. "$E2E_LIB"

wine_run "$WIN_BIN/brimol_e2e.exe"

expect_record ID3 NAME REG_SZ "Line 3 left"
expect_record ID3 TOUCH_OP REG_DWORD 2
expect_record ID3 IR_OP REG_DWORD 0
expect_record ALL TIMEOUT REG_DWORD 0
expect_record ALL TIMEENABLE REG_DWORD 1
# Both builds keep the records in the 32-bit view only.
if reg_get 64 'HKLM\Software\ZR_EX_CONTROL\ID3' NAME >/dev/null; then
    fail "the record also appears in the 64-bit view"
fi
echo "ok   no record in the 64-bit view"
