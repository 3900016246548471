# Soak of the real Nystra.exe against the simulated driver: a numbered
# random schedule of attaches, removals, touches on any panel, edits of the
# touch modes and the time-out in the registry, driver faults, Release
# presses and activate messages, with a second start of the program half
# way. After every change the driver holds at most one panel with point
# data. The process's GDI objects, windows and kernel handles at the end
# are those after the warm-up (give or take what one call in progress
# holds), and after the program has ended every panel is enabled and
# start-up mode is 1.
#
#   soak.sh POLLS SECONDS [SCHEDULE]
# runs until the controller has made POLLS polls (0: no such limit) or
# SECONDS have passed (0: no such limit).
#
# Polls are counted in the driver's request log: a poll starts with the
# touch read of panel 0 (a release's touch reads follow its disables and
# are not counted). Polls made while no panel is attached read nothing and
# are not counted either, so the count is a lower bound.
. "$(dirname "$0")/common.sh"

want_polls=${1:-0}
want_seconds=${2:-0}
schedule=${3:-1}
[ "$want_polls" -gt 0 ] || [ "$want_seconds" -gt 0 ] || fail "usage: soak.sh POLLS SECONDS [SCHEDULE]"
RANDOM=$schedule

MOST_PANELS=6
TOLERANCE=2  # a device handle or a paint DC may be open at the moment of a reading
CHECK_TOUCH=0x22E0E0
SET_POINTDATA=0x22A0C4

# --- The driver: one call of the simulator console per step --------------

last_seq=-1
polls=0
unseen=0  # requests that left the log before a step read it
most_enabled=0
panels=()  # identifiers in panel order, as the driver lists them

# sim_step ARGS...: runs the simulator commands, then reads the state and
# the log in the same call; checks the invariant and counts the polls.
sim_step() {
    local out status=0
    out=$(sim -m "$@" state log) || status=$?
    [ $status = 0 ] || fail "simulator: sim $* ended with status $status"
    local enabled
    enabled=$(grep -c '^panel .*pointdata=1' <<<"$out" || true)
    [ "$enabled" -le 1 ] || fail "after '$*': $enabled panels with point data: $(grep '^panel' <<<"$out" | tr '\n' ';')"
    [ "$enabled" -le "$most_enabled" ] || most_enabled=$enabled
    mapfile -t panels < <(sed -n 's/^panel .* id=\([0-9]*\) .*/\1/p' <<<"$out")
    local counted
    counted=$(awk -v last="$last_seq" -v touch="$CHECK_TOUCH" -v set="$SET_POINTDATA" '
        /^request / {
            seq = code = input = ""
            for (i = 2; i <= NF; ++i) {
                split($i, kv, "=")
                if (kv[1] == "seq") seq = kv[2] + 0
                else if (kv[1] == "code") code = kv[2]
                else if (kv[1] == "in") input = kv[2]
            }
            if (first == "") first = seq
            # A touch read of panel 0 that does not follow a disable of
            # panel 0 (status read in between) starts a poll.
            if (seq > last && code == touch && input == "00" && !(code2 == set && input2 == "0000")) ++polls
            code2 = code1; input2 = input1; code1 = code; input1 = input
            top = seq
        }
        END {
            if (top == "") top = last
            gap = (first != "" && last >= 0 && first > last + 1) ? first - last - 1 : 0
            print polls + 0, top, gap
        }' <<<"$out")
    local add top gap
    read -r add top gap <<<"$counted"
    polls=$((polls + add))
    last_seq=$top
    unseen=$((unseen + gap))
}

# --- What the process holds -----------------------------------------------

# The smallest of three readings of each count (a reading may meet a
# device handle or a paint DC that is open for a moment), as RES; the last
# reading as the probe printed it, as RAW.
resources() {
    local line gdi=999999 windows=999999 handles=999999 g w h
    for _ in 1 2 3; do
        line=$(probe resources Nystra.exe) || fail "no resources of Nystra.exe"
        [ "$(wc -l <<<"$line")" = 1 ] || fail "more than one Nystra.exe: $line"
        g=$(sed -n 's/.*gdi_table=\(-\?[0-9]*\).*/\1/p' <<<"$line")
        w=$(sed -n 's/.*windows=\([0-9]*\).*/\1/p' <<<"$line")
        h=$(sed -n 's/.*handle_list=\(-\?[0-9]*\).*/\1/p' <<<"$line")
        [ "$g" -lt "$gdi" ] && gdi=$g
        [ "$w" -lt "$windows" ] && windows=$w
        [ "$h" -lt "$handles" ] && handles=$h
    done
    RAW=$line
    RES="gdi=$gdi windows=$windows handles=$handles"
}
count_of() { sed -n "s/.*$1=\\(-\\?[0-9]*\\).*/\\1/p" <<<"$2"; }

# --- The schedule ---------------------------------------------------------

# Numbers of the schedule are drawn in this shell, never in a subshell
# (which would start a sequence of its own): each draw leaves it in R.
declare -A events
note() { events[$1]=$((${events[$1]:-0} + 1)); }
pick() { R=$((RANDOM % $1)); }
new_id() {  # an identifier no attached panel has
    while :; do
        pick 250
        R=$((R + 1))
        [[ " ${panels[*]} " == *" $R "* ]] || return 0
    done
}
some_id() {  # mostly an attached panel's identifier, else any
    pick 4
    if [ ${#panels[@]} -gt 0 ] && [ $R != 0 ]; then
        pick ${#panels[@]}
        R=${panels[$R]}
    else
        pick 256
    fi
}

unplugged_steps=0
touch_fault_steps=0
tapped=-1

step() {
    local count=${#panels[@]} roll
    pick 100
    roll=$R
    # A touch is a tap: the finger is lifted at the next step. A lasting
    # fault or an unplugged device lasts one to three steps.
    if [ $tapped -ge 0 ]; then
        sim_step release $tapped
        tapped=-1
        return
    fi
    if [ $unplugged_steps -gt 0 ]; then
        unplugged_steps=$((unplugged_steps - 1))
        if [ $unplugged_steps = 0 ]; then sim_step replug; note replug; return; fi
    fi
    if [ $touch_fault_steps -gt 0 ]; then
        touch_fault_steps=$((touch_fault_steps - 1))
        if [ $touch_fault_steps = 0 ]; then sim_step fail $CHECK_TOUCH 0; note touch-reads-back; return; fi
    fi
    if [ "$roll" -lt 8 ] && [ "$count" -lt $MOST_PANELS ]; then
        new_id
        sim_step attach "$R"; note attach
    elif [ "$roll" -lt 12 ] && [ "$count" -gt 1 ]; then
        # The last panel stays: no panel at all is what an unplugged
        # device gives.
        pick "$count"
        sim_step remove "$R"; note remove
    elif [ "$roll" -lt 27 ] && [ "$count" -gt 0 ]; then
        pick "$count"
        tapped=$R
        sim_step touch "$R"; note touch
    elif [ "$roll" -lt 57 ]; then
        sim_step; note idle
    elif [ "$roll" -lt 61 ]; then
        # Mode 3 is unknown and acts as Interlock.
        some_id
        local id=$R
        pick 4
        reg_record 32 "HKLM\\Software\\ZR_EX_CONTROL\\ID$id" NAME REG_SZ "Panel $roll" TOUCH_OP REG_DWORD "$R" >/dev/null
        sim_step; note mode
    elif [ "$roll" -lt 63 ]; then
        pick 3
        reg_record 32 'HKLM\Software\ZR_EX_CONTROL\ALL' TIMEOUT REG_DWORD $((1 + R)) >/dev/null
        sim_step; note timeout
    elif [ "$roll" -lt 65 ]; then
        pick 8
        reg_record 32 'HKLM\Software\ZR_EX_CONTROL\ALL' TIMEENABLE REG_DWORD $((R != 0)) >/dev/null
        sim_step; note timeenable
    elif [ "$roll" -lt 68 ]; then
        local errors=(31 1 2 87 1167)
        pick 5
        sim_step fail-next "${errors[$R]}"; note fail-next
    elif [ "$roll" -lt 70 ] && [ $touch_fault_steps = 0 ]; then
        pick 3
        touch_fault_steps=$((1 + R))
        sim_step fail $CHECK_TOUCH 31; note touch-reads-fail
    elif [ "$roll" -lt 72 ] && [ $unplugged_steps = 0 ]; then
        pick 3
        unplugged_steps=$((1 + R))
        sim_step unplug; note unplug
    elif [ "$roll" -lt 76 ]; then
        probe click "$MAIN" "$ID_RELEASE" >/dev/null || fail "no Release button"
        sim_step; note release-press
    elif [ "$roll" -lt 79 ]; then
        pick 6
        probe post "$MAIN" ZRM450_NYSTRA_ACTIVE "$R" 0 >/dev/null || fail "no activate message"
        sim_step; note activate-message
    else
        sim_step; note idle
    fi
}

# A second start: it must bring the running window forward and end, with
# the interlock still the first's.
second_start() {
    local loader status=0
    loader=$(suite_pe_loader "$WIN_BIN/Nystra.exe")
    timeout 30 "$loader" "$WIN_BIN/Nystra.exe" </dev/null >/dev/null 2>&1 || status=$?
    [ "$status" = 0 ] || fail "the second start ended with status $status"
    wait_eq 1 probe processes Nystra.exe
    [ "$(probe count "$CAPTION")" = 1 ] || fail "more than one interlock window"
    sim_step
    note second-start
}

# --- The run ----------------------------------------------------------------

seed_system 30 0
for i in 1 2 3 4 5; do
    sim attach $((16 * i)) >/dev/null  # attached before the start: enabled
    seed_panel $((16 * i)) "Line $i" $((i % 3))  # Interlock, Supervisor, Disable, ...
done
start_nystra
wait_pointdata "0 0 0 0 0"  # the fifth too, beyond the four of the table
resources
at_launch=$RES
launch_raw=$RAW

# Warm-up: every look of the window once (active, a request shown, a
# Supervisor take-over, released), since the first showing of each loads
# icons that stay loaded.
touch_and_wait() {  # touch_and_wait PANEL ROWS...
    local panel=$1
    shift
    sim touch "$panel" >/dev/null
    wait_rows "$@"
    sim release "$panel" >/dev/null
}
touch_and_wait 0 16 "Line 1" "" ""
touch_and_wait 3 16 "Line 1" 64 "Line 4"
touch_and_wait 1 32 "Line 2" "" ""
probe click "$MAIN" "$ID_RELEASE" >/dev/null
wait_rows "" "$RELEASED" "" ""
seed_system 1 1  # from here on an active panel is soon released again
resources
warm=$RES

began=$SECONDS
steps=0
second_done=0
while :; do
    elapsed=$((SECONDS - began))
    if [ "$want_polls" -gt 0 ] && [ $polls -ge "$want_polls" ]; then break; fi
    if [ "$want_seconds" -gt 0 ] && [ $elapsed -ge "$want_seconds" ]; then break; fi
    step
    steps=$((steps + 1))
    half=0
    if [ "$want_polls" -gt 0 ] && [ $((2 * polls)) -ge "$want_polls" ]; then half=1; fi
    if [ "$want_seconds" -gt 0 ] && [ $((2 * elapsed)) -ge "$want_seconds" ]; then half=1; fi
    if [ $second_done = 0 ] && [ $half = 1 ] && [ $steps -gt 10 ]; then
        second_start
        second_done=1
    fi
    if [ $((steps % 200)) = 0 ]; then
        resources
        echo "soak: $steps steps, $polls polls, $((SECONDS - began)) s, $RES"
    fi
done
[ $second_done = 1 ] || fail "the run ended before the second start"

# Back to a driver without faults, then the end: every panel enabled and
# start-up mode 1.
sim_step clear-faults replug
resources
at_end=$RES
end_raw=$RAW
end_with_ok
wait_eq 0 probe processes Nystra.exe
all_enabled=$(sim -m state | awk '/^panel / { s = s (n++ ? " " : "") "1" } END { print s }')
wait_pointdata "$all_enabled"
after_exit=$(pointdata)
wait_eq 1 startup_mode

summary=""
for name in "${!events[@]}"; do summary+=" $name=${events[$name]}"; done
echo "soak: schedule $schedule, $steps steps in $((SECONDS - began)) s, $polls polls (lower bound), at most $most_enabled panel with point data"
echo "soak: events$summary"
echo "soak: requests not seen in the log: $unseen"
echo "soak: after the launch  $at_launch   ($launch_raw)"
echo "soak: after the warm-up $warm"
echo "soak: at the end        $at_end   ($end_raw)"
echo "soak: after the end: point data $after_exit, start-up mode $(startup_mode)"
for what in gdi windows handles; do
    start_count=$(count_of "$what" "$warm")
    end_count=$(count_of "$what" "$at_end")
    [ "$start_count" -ge 0 ] || fail "$what could not be read"
    [ "$end_count" -le $((start_count + TOLERANCE)) ] || fail "$what grew: $start_count after the warm-up, $end_count at the end"
done
echo "soak: GDI objects, windows and handles flat"
