# The SDK's samples, each in its MinGW-w64 build and in its build in
# Microsoft's ABI, against the simulated driver, the registry and a running
# Nystra: what each prints, its exit code, and what it left in the driver.
. "$E2E_LIB"

# run_sample EXPECTED_CODE OUTFILE EXE [ARGS...]: runs a sample to its end,
# its output in OUTFILE; fails unless it ends with EXPECTED_CODE.
run_sample() {
    local expected=$1 out=$2 code=0
    shift 2
    wine_run "$@" >"$out" || code=$?
    [ "$code" -eq "$expected" ] || fail "$(basename "$1") ${*:2}: exit code $code, not $expected; printed: $(cat "$out")"
}
# has OUTFILE LINE: the sample printed exactly this line.
has() { grep -qxF -- "$2" "$1" || fail "expected the line '$2', got: $(cat "$1")"; }

# Requests of the driver's log that change something: write requests have
# the access bits of FILE_WRITE_ACCESS alone (0x22A...). Prints them.
writes_in_log() { sim -m log | sed -n 's/^request .*code=\(0x22A[0-9A-F]*\) .*/\1/p'; }

# A field of panel N (0-based) from the driver's state line.
panel_value() { sim -m state | sed -n "s/^panel index=$1 .*$2=\([^ ]*\).*/\1/p"; }

out=$TEST_LOGS/out.txt
reg_record 32 'HKLM\Software\ZR_EX_CONTROL\ID17' NAME REG_SZ "Line A" TOUCH_OP REG_DWORD 1 IR_OP REG_DWORD 0
reg_record 32 'HKLM\Software\ZR_EX_CONTROL\ID34' NAME REG_SZ "Line B" TOUCH_OP REG_DWORD 2 IR_OP REG_DWORD 0

for build in "" _msabi; do
    echo "--- build ${build:-_mingw}"
    sim reset attach 0x11 attach 0x22 attach 0x33 >/dev/null

    # active_panel: reads only. Panel 0 disabled, 1 and 2 enabled: panel 1
    # is the active one; identifier 51 has no record and reads as the
    # defaults. Not one write request reaches the driver.
    sim pointdata 0 0 clear-log >/dev/null
    run_sample 0 "$out" "$WIN_BIN/active_panel$build.exe"
    has "$out" "3 panel(s)"
    has "$out" 'panel 0: identifier 17, name "Line A", mode Interlock'
    has "$out" 'panel 1: identifier 34, name "Line B", mode Supervisor, active'
    has "$out" 'panel 2: identifier 51, name "", mode Interlock'
    has "$out" "active panel: 1"
    [ -z "$(writes_in_log)" ] || fail "active_panel wrote to the driver: $(writes_in_log | tr '\n' ' ')"
    [ "$(driver_field startup)" = 1 ] || fail "active_panel changed the start-up mode"
    sim pointdata 1 0 pointdata 2 0 >/dev/null
    run_sample 1 "$out" "$WIN_BIN/active_panel$build.exe"
    has "$out" "no panel is active"
    sim unplug >/dev/null
    run_sample 2 "$out" "$WIN_BIN/active_panel$build.exe"
    has "$out" 'the driver cannot be read: status 1 (no driver: \\.\Tavlo cannot be opened)'
    sim replug >/dev/null
    echo "ok   active_panel$build"

    # click_settings: both sets of panel 1 written, read back in the
    # panel's steps; the program starts with a stamp of 0, so its first
    # call meets the stamp protocol. Panel 0 and 2 keep their settings.
    before0=$(panel_value 0 clicksaved) before2=$(panel_value 2 click)
    run_sample 0 "$out" "$WIN_BIN/click_settings$build.exe" 1 55 30 430 21
    has "$out" "panel 1, identifier 34"
    has "$out" "working set: down 50, up 30, double-click time 430 ms, area 20"
    has "$out" "saved set: down 50, up 30, double-click time 430 ms, area 20"
    # Block bytes: area 8, second area value 8*13/10, kept, time 43, kept,
    # down 5, up 3.
    for field in click clicksaved; do
        IFS=, read -r area area2 _ time _ down up <<<"$(panel_value 1 $field)"
        [ "$area $area2 $time $down $up" = "8 10 43 5 3" ] ||
            fail "panel 1 $field is $(panel_value 1 $field)"
    done
    [ "$(panel_value 0 clicksaved) $(panel_value 2 click)" = "$before0 $before2" ] ||
        fail "click_settings changed another panel"
    run_sample 0 "$out" "$WIN_BIN/click_settings$build.exe" 1
    has "$out" "saved set: down 50, up 30, double-click time 430 ms, area 20"
    # The stamp protocol in the middle of a write. The driver's first
    # status answer carries stamp 0, so the program's start stamp passes and
    # its next call meets the real stamp (3): the same panel is written
    # after the repeat; a panel whose identifier changed meanwhile (the
    # identifier's first answer overridden) is not written at all.
    sim reply 0x226004 once 0x00 0x00 0x03 >/dev/null
    run_sample 0 "$out" "$WIN_BIN/click_settings$build.exe" 1 40 20 600 30
    has "$out" "working set: down 40, up 20, double-click time 600 ms, area 30"
    before1=$(panel_value 1 click),$(panel_value 1 clicksaved)
    sim reply 0x226004 once 0x00 0x00 0x03 reply 0x22E044 once 0x99 >/dev/null
    run_sample 2 "$out" "$WIN_BIN/click_settings$build.exe" 1 10 10 300 24
    has "$out" "panel 1, identifier 153"
    has "$out" "TavloSetClickData (working set): the panels changed and panel 1 is another panel now; not repeated"
    [ "$(panel_value 1 click),$(panel_value 1 clicksaved)" = "$before1" ] ||
        fail "click_settings wrote to a panel it did not mean"
    run_sample 2 "$out" "$WIN_BIN/click_settings$build.exe" 5
    has "$out" "TavloGetPanelId failed: status 5"
    run_sample 1 "$out" "$WIN_BIN/click_settings$build.exe" 1 2 3
    has "$out" "usage: click_settings PANEL [DOWN UP TIME AREA]"
    echo "ok   click_settings$build"

    # nystra_client: without Nystra it says so; with Nystra it asks for a
    # panel by number and reports the panel active after Nystra's update.
    run_sample 1 "$out" "$WIN_BIN/nystra_client$build.exe" 1
    has "$out" "Nystra is not running"
    launch "$WIN_BIN/Nystra.exe"
    probe find "Interlock Control" 15000 >/dev/null || fail "Nystra's window did not appear"
    wait_eq "0 0 0" panel_field pointdata
    run_sample 0 "$out" "$WIN_BIN/nystra_client$build.exe" 2
    has "$out" "asked Nystra for panel 2"
    has "$out" "update from Nystra: panel 2 is active"
    wait_eq "0 0 1" panel_field pointdata
    run_sample 0 "$out" "$WIN_BIN/nystra_client$build.exe" 0
    has "$out" "update from Nystra: panel 0 is active"
    wait_eq "1 0 0" panel_field pointdata
    if [ -z "$build" ]; then
        # A number with no panel: Nystra ignores it and sends no update.
        run_sample 2 "$out" "$WIN_BIN/nystra_client$build.exe" 7
        has "$out" "no update from Nystra within ten seconds"
        wait_eq "1 0 0" panel_field pointdata
    fi
    end_program "$WIN_BIN/Nystra.exe"
    echo "ok   nystra_client$build"
done
