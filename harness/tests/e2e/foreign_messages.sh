# Every program's windows against foreign messages: the window probe sends
# each window of the program (and the about boxes of the two that have
# one), and each of its controls, a table of messages the suite does not
# use, with extreme parameters. Afterwards the program still runs and
# answers, and the driver holds what it held before.
. "$E2E_LIB"
# The programs' identifiers, generated from their *_ids.h.
. "${SUITE_E2E_IDS:?no e2e_ids.sh: SUITE_E2E_IDS is set by the e2e tests and the demo}"

sim attach 0x31 >/dev/null
reg_record 32 'HKLM\Software\ZR_EX_CONTROL\ID0' NAME REG_SZ "Line A" TOUCH_OP REG_DWORD 1 IR_OP REG_DWORD 0

# The driver's state without its request counters, which polls move on.
state() { sim -m state | sed 's/ requests=[0-9]* logsize=[0-9]*//'; }
# The driver has answered request $1 since the log was cleared: a program
# whose timer sends it has finished its start.
requested() { sim_has log -i "code=$1 "; }

# start_ready NAME EXE WINDOW READY...: starts EXE, finds WINDOW (a
# caption, or class:NAME) as $main and waits until the command READY holds.
start_ready() {
    local name=$1 exe=$2 window=$3
    shift 3
    sim clear-log >/dev/null
    launch "$WIN_BIN/$exe"
    if [[ "$window" == class:* ]]; then
        main=$(probe find-class "${window#class:}" 15000) || fail "$name: no window"
    else
        main=$(probe find "$window" 15000) || fail "$name: no window"
    fi
    wait_until 15 "$@" || fail "$name: not ready: $*"
}

# sweep_window NAME HANDLE: sweeps the window and its controls; afterwards
# it still answers and the driver holds what it held before.
sweep_window() {
    local before after counts
    before=$(state)
    counts=$(probe sweep "$2" 2000) || fail "$1: $counts"
    [ "$(probe send "$2" 0 0 0)" = 0 ] || fail "$1: no answer after the sweep"
    after=$(state)
    [ "$after" = "$before" ] || fail "$1: the driver changed from [$before] to [$after]"
    echo "$1: $counts (at ${SECONDS} s)"
}

# sweep NAME EXE WINDOW READY...: the program's window, then the end.
sweep() {
    start_ready "$@"
    sweep_window "$1" "$main"
    end_program "$WIN_BIN/$2"
}

# sweep_about NAME EXE WINDOW READY...: the same with the modal about box
# the system menu opens over the window (the command NAME_IDM_ABOUTBOX of
# the program's identifiers); afterwards its OK still closes it.
sweep_about() {
    local about command=${1^^}_IDM_ABOUTBOX
    start_ready "$@"
    probe syscommand "$main" "${!command}"
    about=$(probe popup "$main" 5000) || fail "$1: no about box"
    sweep_window "$1 about box" "$about"
    probe click "$about" "$IDOK"
    probe gone "$about" 5000 >/dev/null || fail "$1: OK did not close the about box"
    end_program "$WIN_BIN/$2"
}

visible_without() { [ "$(probe visible "$1")" = 1 ] && [ "$(probe visible "$2" 2>/dev/null || echo 0)" = 0 ]; }
text_is() { [ "$(probe text "$1" "$2")" = "$3" ]; }
shown() { [ "$(probe visible "$1")" = 1 ]; }

sweep Velmic Velmic.exe "Touch Settings Program" \
    visible_without "Touch Settings Program" "Touch panel settings  -  Information"
sweep Gorvat Gorvat.exe "Touch Panel Calibration" \
    text_is "Touch Panel Calibration" "$GORVAT_IDC_TEXT_MESSAGE" "1. Touch anywhere on the screen to start the Calibration Setting Program."
# Palvine's last driver request of its start sets the once mode.
sweep Palvine Palvine.exe class:PalvineMainDlg requested 0x22A1EC
sweep Nystra Nystra.exe "Interlock Control" requested 0x22E0E0
sweep Cordane Cordane.exe "Panel Setting" shown "Panel Setting"
sweep_about Nystra Nystra.exe "Interlock Control" requested 0x22E0E0
sweep_about Cordane Cordane.exe "Panel Setting" shown "Panel Setting"
