#!/usr/bin/env bash
# Backup and restore under Wine: two panels with every setting and record
# changed from the defaults are exported; everything is changed again
# (driver, panels, registry); the import puts it back, and a second export
# is byte for byte the first. A bad file is refused with nothing written.
. "$E2E_LIB"

ctl() { wine_run "$WIN_BIN/tavloctl.exe" "$@"; }
# Windows' name of a file of the test's log folder.
winpath() { echo "Z:${1//\//\\}"; }

first=$TEST_LOGS/first.json
second=$TEST_LOGS/second.json
sim attach 0x11 attach 0x22 >/dev/null

# Two sets of values, 1 and 2, for every setting of both panels, their
# records, the system record and the driver's modes.
set_all() {  # set_all SET
    local s=$1 p alt
    for p in 0 1; do
        for alt in "" --saved; do
            ctl calibration "$p" $alt $((9000 + s + p)) $((-s)) $((11000 + s)) $((p + 3)) >/dev/null
            ctl click "$p" $alt $((10 * s)) 40 $((300 + 10 * s + 10 * p)) 36 >/dev/null
            ctl sound "$p" $alt $([ $(((s + p) % 2)) -eq 0 ] && echo on || echo off) >/dev/null
        done
        ctl led "$p" $((100 + s + p)) >/dev/null
    done
    ctl record 17 --name "Line $s" --mode $([ $((s % 2)) -eq 0 ] && echo supervisor || echo disable) >/dev/null
    ctl record 34 --name "Press $s" --mode interlock >/dev/null
    ctl system --timeout $((40 + s)) --time-release $([ $((s % 2)) -eq 0 ] && echo on || echo off) >/dev/null
    ctl click-mode $([ $((s % 2)) -eq 0 ] && echo right || echo middle) >/dev/null
    ctl once-mode 0 $([ $((s % 2)) -eq 0 ] && echo left || echo right) >/dev/null
}
set_all 1
ctl export all -o "$(winpath "$first")" || fail "export"
state_first=$(sim -m state | grep '^panel' | sed 's/ touched=[0-9]//')
set_all 2
[ "$(sim -m state | grep '^panel' | sed 's/ touched=[0-9]//')" != "$state_first" ] || fail "nothing changed"

# A dry run writes nothing; the import writes it all back.
# (Write requests have codes 0x22A...; reads 0x22E... and 0x226....)
sim clear-log >/dev/null
dry=$(ctl import "$(winpath "$first")" --dry-run) || fail "dry run"
echo "$dry"
grep -q '^dry run: .* change(s) would be made$' <<<"$dry" || fail "dry run summary"
! sim_has log 'code=0x22A' || fail "the dry run wrote to the driver"
expect_record ID17 NAME REG_SZ "Line 2"
out=$(ctl import "$(winpath "$first")") || fail "import: $out"
echo "$out"
grep -q '^panel 0 (id 17) record ID17: "Line 2" supervisor IR_OP 0 -> "Line 1" disable IR_OP 0$' <<<"$out" ||
    fail "record change not shown"
ctl export all -o "$(winpath "$second")" || fail "second export"
cmp "$first" "$second" || { diff "$first" "$second"; fail "the second export differs from the first"; }
[ "$(sim -m state | grep '^panel' | sed 's/ touched=[0-9]//')" = "$state_first" ] || fail "driver state differs"
expect_record ID17 NAME REG_SZ "Line 1"
expect_record ID17 TOUCH_OP REG_DWORD 0
expect_record ALL TIMEOUT REG_DWORD 41

# A truncated file: refused, with the place, and nothing written.
head -c 300 "$first" >"$TEST_LOGS/bad.json"
set_all 2
sim clear-log >/dev/null
status=0
ctl import "$(winpath "$TEST_LOGS/bad.json")" 2>"$TEST_LOGS/err.txt" || status=$?
[ $status -eq 1 ] || fail "exit code $status for a truncated file"
grep -q 'not a valid JSON document: parse error at line .*; nothing written' "$TEST_LOGS/err.txt" ||
    fail "message: $(cat "$TEST_LOGS/err.txt")"
! sim_has log 'code=0x22A' || fail "a refused file wrote to the driver"
expect_record ID17 NAME REG_SZ "Line 2"
rm -f "$first" "$second" "$TEST_LOGS/bad.json" "$TEST_LOGS/err.txt"
echo "backup and restore: byte-equal after import; a truncated file refused with nothing written"
