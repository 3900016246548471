# The trace of the interlock's decisions, received as the usual debug-output
# viewers receive it: start, activation by a touch and by
# ZRM450_NYSTRA_ACTIVE, request, Supervisor take-over, release by the user,
# by the time-out and by an unplug, driver lost and regained, end. Each step
# waits for its line; at the end the whole trace must be exactly these
# lines in this order (kept as debug-output.txt in the test's logs).
. "$(dirname "$0")/common.sh"
sim attach 0x11 attach 0x22 attach 0x33 >/dev/null
seed_panel 17 "Line A" 1
seed_panel 34 "Line B" 2
seed_panel 51 "A panel name much longer than any name Cordane writes" 1
seed_system 2 0
LONG='"A panel name much longer than an"...'
A='panel 0 (id 17, "Line A")'
B='panel 1 (id 34, "Line B")'
C="panel 2 (id 51, $LONG)"
expected=()
step() {  # step LINE...: the next lines of the trace
    local line
    for line in "$@"; do expected+=("Nystra: $line"); done
    wait_trace "Nystra: ${!#}"
}
touch_panel() {
    sim touch "$1" >/dev/null
    step "$2"
    sim release "$1" >/dev/null
}

trace_start 100
start_nystra
step "started: 3 panels, every panel disabled, start-up mode 0"
touch_panel 0 "activated $A"
touch_panel 2 "request from $C while $A is active"
touch_panel 1 "$B took over from $A"
probe click "$MAIN" "$ID_RELEASE" >/dev/null
step "released $B by the user"
probe post "$MAIN" ZRM450_NYSTRA_ACTIVE 0 0 >/dev/null
step "activated $A on ZRM450_NYSTRA_ACTIVE"
seed_system 2 1
step "released $A by the time-out (2 s without a touch)"
seed_system 2 0
touch_panel 1 "activated $B"
sim remove 1 >/dev/null
step "released $B: it was unplugged"
touch_panel 0 "activated $A"
sim unplug >/dev/null
step "driver lost (status 1: the driver cannot be opened)" "released $A: driver lost"
sim replug >/dev/null
step "driver regained: 2 panels"
end_with_ok
step "ended (closed by the user): every panel enabled, start-up mode 1"

trace_stop
got=$(trace_lines)
want=$(printf '%s\n' "${expected[@]}")
[ "$got" = "$want" ] || fail "the trace differs:"$'\n'"$(diff <(echo "$want") <(echo "$got") || true)"
echo "trace: ${#expected[@]} lines in order"
