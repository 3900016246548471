# Steps shared by every end-to-end scenario script. A scenario sources it
# first:
#
#   . "$E2E_LIB"            # set by `wine-harness.sh run`
#
# It turns on `set -euo pipefail`. Every check of something that changes on
# its own (a window, a control's text, the driver's state) is a wait with a
# deadline: wait_until, wait_eq, or a probe command with a deadline. The
# functions are listed in harness/README.md; keep their names and
# arguments stable, scenario scripts of every program use them.
set -euo pipefail

: "${HARNESS:?run scenario scripts through wine-harness.sh run}"
. "$(dirname "$HARNESS")/wine-env.sh"

# Deadline of the waits, in seconds, when a call gives none.
E2E_WAIT=${E2E_WAIT:-5}

# Called by fail before it prints the driver's state: a scenario may define
# it to print what else helps (say, the controls of its window).
e2e_on_fail() { :; }

# fail MESSAGE: ends the scenario with MESSAGE and the driver's state.
fail() {
    echo "FAIL: $*" >&2
    e2e_on_fail >&2 || true
    "$HARNESS" sim state >&2 || true
    exit 1
}

# wait_until SECONDS COMMAND [ARGS...]: runs COMMAND until it succeeds;
# returns 1 when SECONDS pass first. Output of COMMAND is discarded.
wait_until() {
    local seconds=$1
    shift
    local end=$((SECONDS + seconds))
    until "$@" >/dev/null 2>&1; do
        [ $SECONDS -lt $end ] || return 1
        sleep 0.05
    done
}

# wait_eq [-t SECONDS] EXPECTED COMMAND [ARGS...]: waits until COMMAND
# prints EXPECTED; fails the scenario with the last output otherwise.
wait_eq() {
    local seconds=$E2E_WAIT
    if [ "$1" = -t ]; then seconds=$2; shift 2; fi
    local want=$1
    shift
    local got end=$((SECONDS + seconds))
    while :; do
        got=$("$@" 2>/dev/null) || got="(failed: $*)"
        [ "$got" = "$want" ] && return 0
        [ $SECONDS -lt $end ] || fail "$* gives '$got', expected '$want' within ${seconds}s"
        sleep 0.05
    done
}

# stays_eq SECONDS EXPECTED COMMAND [ARGS...]: checks over SECONDS that
# COMMAND keeps printing EXPECTED (something that must not happen has that
# long to show itself).
stays_eq() {
    local seconds=$1 want=$2
    shift 2
    local got end=$((SECONDS + seconds))
    while [ $SECONDS -lt $end ]; do
        got=$("$@" 2>/dev/null) || got="(failed: $*)"
        [ "$got" = "$want" ] || fail "$* changed to '$got', expected '$want' to stay"
        sleep 0.1
    done
}

# sim ARGS...: the simulator console; its exit status is passed on.
sim() { "$HARNESS" sim "$@"; }

# sim_has state|log GREP-ARGS...: whether the simulator's state or request
# log matches. It is read whole first: with pipefail, `sim ... | grep -q`
# fails now and then although it matched, because grep leaves at its first
# match and the writer, still writing, ends on SIGPIPE. A failed read fails
# the test instead of answering "no".
sim_has() {
    local out
    out=$(sim -m "$1") || fail "cannot read the simulator's $1"
    grep -q "${@:2}" <<<"$out"
}

# probe ARGS...: the window probe (see `wine-harness.sh probe`). Its exit
# status is passed on, and a "winprobe: ..." line on its error output
# counts as a failure too, so that no check passes by default.
probe() {
    local errors status=0 out
    errors=$(mktemp)
    out=$(suite_tool "$SUITE_WIN64_BIN/winprobe.exe" "$@" </dev/null 2>"$errors") || status=$?
    out=${out//$'\r'/}
    [ -z "$out" ] || printf '%s\n' "$out"
    tr -d '\r' <"$errors" >&2
    if [ "$status" -eq 0 ] && grep -q '^winprobe: ' "$errors"; then status=1; fi
    # A probe that died without saying why (Wine itself failing) is named,
    # so that a check it spoils is not mistaken for the program's fault.
    if [ "$status" -ne 0 ] && ! grep -q '^winprobe: ' "$errors"; then
        echo "[probe] winprobe.exe $* ended with status $status and printed [$out]" >&2
    fi
    rm -f "$errors"
    return "$status"
}

# wine_run EXE [ARGS...]: runs a Windows program of this build to its end,
# with the right loader; output with Unix line ends, exit status passed on.
wine_run() {
    local loader
    loader=$(suite_pe_loader "$1")
    "$loader" "$@" </dev/null | tr -d '\r'
}

# wine_bg OUTFILE EXE [ARGS...]: starts a Windows program in the background
# with its output in OUTFILE; BG_PID is its process. End it with
# wine_bg_end, which waits for it (it is the scenario's own child).
wine_bg() {
    local out=$1 loader
    shift
    loader=$(suite_pe_loader "$1")
    "$loader" "$@" </dev/null >"$out" 2>&1 &
    BG_PID=$!
}
wine_bg_end() {  # wine_bg_end PID: ends it and waits until it has ended
    kill "$1" 2>/dev/null || true
    wait "$1" 2>/dev/null || true
}

# launch EXE [ARGS...]: starts a program in the background; the harness
# ends it (and waits until it and its windows are gone) after the scenario.
launch() { "$HARNESS" launch "$@"; }

# end_program EXE: ends the programs launched from EXE now and waits until
# their processes and windows are gone.
end_program() { "$HARNESS" end "$@" || fail "$(basename "$1") did not end"; }

# reg_record VIEW KEY [NAME TYPE DATA]...: writes the values of one key in
# one step and reads them back before the scenario goes on. VIEW is 32 or
# 64; TYPE is REG_SZ, REG_DWORD (decimal or 0x hex) or REG_BINARY (hex
# bytes, e.g. "01 ff"). Example:
#   reg_record 32 'HKLM\Software\ZR_EX_CONTROL\ID17' NAME REG_SZ "Line A" TOUCH_OP REG_DWORD 1
reg_record() { "$HARNESS" reg-set "$@" || fail "could not write the record $2"; }

# reg_delete VIEW KEY: deletes a key with its subkeys and checks it is gone.
reg_delete() { "$HARNESS" reg-delete "$@" || fail "could not delete $2"; }

# reg_get VIEW KEY NAME: prints "TYPE DATA" of a value (DWORDs in decimal,
# binaries as hex bytes); fails (status 1) when there is none.
reg_get() { "$HARNESS" reg-get "$@"; }

# expect_record KEY NAME TYPE DATA: a value of the panel records (the
# 32-bit view's HKLM\Software\ZR_EX_CONTROL\KEY) must be TYPE DATA.
expect_record() {
    local got
    got=$(reg_get 32 "HKLM\\Software\\ZR_EX_CONTROL\\$1" "$2") || got="(none)"
    [ "$got" = "$3 $4" ] || fail "$1\\$2 is $got in the 32-bit view, not $3 $4"
    echo "ok   $1\\$2 = $3 $4"
}

# screenshot NAME: saves the screen as $TEST_LOGS/NAME (kept after the test).
screenshot() { "$HARNESS" screenshot "$TEST_LOGS/$1"; }

# Real input: X root coordinates are Win32 screen coordinates.
press() { xdotool mousemove "$1" "$2" click "${3:-1}"; }

# centre_of WINDOW ID: the centre of a control in screen pixels ("X Y").
centre_of() {
    local left top right bottom
    read -r left top right bottom < <(probe rect "$1" "$2") || fail "no control $2 in '$1'"
    echo "$(((left + right) / 2)) $(((top + bottom) / 2))"
}

# press_control WINDOW ID: a real click on the centre of a control.
press_control() {
    local x y
    read -r x y < <(centre_of "$1" "$2")
    press "$x" "$y"
}

# driver_field FIELD: a field of the driver line of `sim -m state`.
driver_field() { sim -m state | sed -n "s/^driver .*\\b$1=\\([^ ]*\\).*/\\1/p"; }

# panel_field FIELD: that field of every panel, space separated ("0 1").
panel_field() { sim -m state | sed -n "s/^panel .*\\b$1=\\([^ ]*\\).*/\\1/p" | paste -sd' '; }
