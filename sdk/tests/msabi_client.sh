# The SDK in Microsoft's C++ ABI: the client check (msabi_client.cpp) run
# against the simulated driver and the registry, then a look from outside
# at what it left in both.
. "$E2E_LIB"

sim attach 0x11 attach 0x22 0x0207 touch 1 >/dev/null
reg_record 32 'HKLM\Software\ZR_EX_CONTROL\ID5' NAME REG_SZ "Stored first" TOUCH_OP REG_DWORD 2 IR_OP REG_DWORD 7
reg_record 32 'HKLM\Software\ZR_EX_CONTROL\ALL' TIMEOUT REG_DWORD 60 TIMEENABLE REG_DWORD 0

wine_run "$WIN_BIN/sdk_msabi_client.exe"

expect_record ID3 NAME REG_SZ "Line 3 left"
expect_record ID3 TOUCH_OP REG_DWORD 1
expect_record ID3 IR_OP REG_DWORD 0
expect_record ID5 NAME REG_SZ "Stored first"
expect_record ALL TIMEOUT REG_DWORD 45
expect_record ALL TIMEENABLE REG_DWORD 1

expect_field() {  # expect_field driver|panel FIELD VALUE
    local got
    got=$("$1_field" "$2")
    [ "$got" = "$3" ] || fail "$1 $2 is '$got', not '$3'"
    echo "ok   $1 $2 = $3"
}
expect_field driver startup 1
expect_field driver clickbutton 2
expect_field driver onceflag 1
expect_field driver oncebutton 4
expect_field panel pointdata "1 1"
expect_field panel led "0 1"
expect_field panel sound "0 1"
