# Every program's windows against foreign messages: the window probe sends
# each window of the program, and each of its controls, a table of messages
# the suite does not use, with extreme parameters. Afterwards the program
# still runs and answers, and the driver holds what it held before.
. "$E2E_LIB"

sim attach 0x31 >/dev/null
reg_record 32 'HKLM\Software\ZR_EX_CONTROL\ID0' NAME REG_SZ "Line A" TOUCH_OP REG_DWORD 1 IR_OP REG_DWORD 0

# The driver's state without its request counters, which polls move on.
state() { sim -m state | sed 's/ requests=[0-9]* logsize=[0-9]*//'; }
# The driver has answered request $1 since the log was cleared: a program
# whose timer sends it has finished its start.
requested() { sim -m log | grep -qi "code=$1 "; }

# sweep NAME EXE WINDOW READY...: starts EXE, finds WINDOW (a caption, or
# class:NAME), waits until the command READY holds, sweeps, checks, ends it.
sweep() {
    local name=$1 exe=$2 window=$3 main before after counts
    shift 3
    sim clear-log >/dev/null
    launch "$WIN_BIN/$exe"
    if [[ "$window" == class:* ]]; then
        main=$(probe find-class "${window#class:}" 15000) || fail "$name: no window"
    else
        main=$(probe find "$window" 15000) || fail "$name: no window"
    fi
    wait_until 15 "$@" || fail "$name: not ready: $*"
    before=$(state)
    counts=$(probe sweep "$main" 2000) || fail "$name: $counts"
    [ "$(probe send "$main" 0 0 0)" = 0 ] || fail "$name: no answer after the sweep"
    after=$(state)
    [ "$after" = "$before" ] || fail "$name: the driver changed from [$before] to [$after]"
    end_program "$WIN_BIN/$exe"
    echo "$name: $counts (at ${SECONDS} s)"
}

visible_without() { [ "$(probe visible "$1")" = 1 ] && [ "$(probe visible "$2" 2>/dev/null || echo 0)" = 0 ]; }
text_is() { [ "$(probe text "$1" "$2")" = "$3" ]; }
shown() { [ "$(probe visible "$1")" = 1 ]; }

sweep Velmic Velmic.exe "Touch Settings Program" \
    visible_without "Touch Settings Program" "Touch panel settings  -  Information"
sweep Gorvat Gorvat.exe "Touch Panel Calibration" \
    text_is "Touch Panel Calibration" 101 "1. Touch anywhere on the screen to start the Calibration Setting Program."
# Palvine's last driver request of its start sets the once mode.
sweep Palvine Palvine.exe class:PalvineMainDlg requested 0x22A1EC
sweep Nystra Nystra.exe "Interlock Control" requested 0x22E0E0
sweep Cordane Cordane.exe "Panel Setting" shown "Panel Setting"
