#!/usr/bin/env bash
# End-to-end harness: runs the suite's Windows programs under Wine against
# the simulated kernel driver. Used by CTest and by hand.
#
#   wine-harness.sh start          prepare the prefix, install the driver, start
#                                  Xvfb (when there is no DISPLAY) and one Wine session
#                                  with its desktop held open
#   wine-harness.sh run NAME EXE [ARGS...]
#                                  reset the driver and the suite's registry keys,
#                                  run a Windows program (a test program or a
#                                  benchmark, i686 or x86_64) with a deadline; on
#                                  failure keep its output and a screenshot under
#                                  logs/NAME. Scenarios are pytest tests: see README.md
#   wine-harness.sh agent JSON     one command of the e2e agent, its reply printed
#   wine-harness.sh sim ARGS...    the simulator console (tavlosim) in the session
#   wine-harness.sh end            end programs a run that was cut short left behind
#   wine-harness.sh wine EXE [ARGS...]  run a program in the session, nothing reset
#   wine-harness.sh env            print the environment for using the session by hand
#   wine-harness.sh stop           end the session and Xvfb
#
# Settings (environment): SUITE_WINE_ROOT (default build/wine: prefix, state,
# logs; each build tree uses its own, so sessions never meet), SUITE_WIN64_BIN (default build/win64/bin: tavlosim.sys and the
# x86_64 tavlosim.exe the harness drives the driver with), SUITE_TEST_TIMEOUT
# (seconds, default 60); where Wine is: see wine-env.sh.
# Exit code 77 means "skipped": the machine cannot run that program.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/.." && pwd)
root=${SUITE_WINE_ROOT:-$repo/build/wine}
win64bin=${SUITE_WIN64_BIN:-$repo/build/win64/bin}
timeout_s=${SUITE_TEST_TIMEOUT:-60}
prefix=$root/prefix
state=$root/session.env
logs=$root/logs

export WINEPREFIX=$prefix WINEARCH=win64 WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml="
. "$here/wine-env.sh"
wine64=$SUITE_WINE64
wine32=$SUITE_WINE32
wineserver=$SUITE_WINESERVER

log() { echo "[harness] $*" >&2; }
die() { echo "[harness] error: $*" >&2; exit 1; }

# Waits until "$@" succeeds, at most $deadline seconds.
wait_for() {
    local deadline=$1; shift
    local end=$((SECONDS + deadline))
    until "$@" >/dev/null 2>&1; do
        [ $SECONDS -lt $end ] || return 1
        sleep 0.05
    done
}

load_state() { [ -f "$state" ] && . "$state"; return 0; }

pe_loader() { suite_pe_loader "$1"; }

can_run_32bit() { "$wine32" --version >/dev/null 2>&1; }

# With pipefail the pipeline's status is the program's own (tr succeeds).
sim() { suite_tool "$win64bin/tavlosim.exe" "$@" </dev/null | tr -d '\r'; }

# One command of the agent; status 0 when it succeeded.
agent() { suite_tool "$win64bin/suite_agent.exe" --once "$1" </dev/null | tr -d '\r'; }

sim_quiet() { setsid "$wine64" "$win64bin/tavlosim.exe" "$@" </dev/null >/dev/null 2>&1; }

reg64() { "$wine64" reg "$@" </dev/null >/dev/null 2>&1; }

# A fresh prefix is made once per machine user (template) and cloned with
# hard links for each harness root; the registry files are real copies,
# since wineserver rewrites them in place.
template=${SUITE_WINE_TEMPLATE:-$repo/build/wine-template}

make_template() {
    log "creating the Wine prefix template in $template"
    rm -rf "$template"
    mkdir -p "$(dirname "$template")"
    WINEPREFIX=$template "$wine64" wineboot -i </dev/null >"$root/wineboot.log" 2>&1
    # Without a window manager Wine stalls on every hide/destroy unless its
    # windows are unmanaged.
    WINEPREFIX=$template "$wine64" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
    WINEPREFIX=$template "$wineserver" -w
    touch "$template/.complete"
}

make_prefix() {
    (
        exec 8>"$(dirname "$template")/.wine-template.lock"
        flock 8
        [ -f "$template/.complete" ] || make_template 8>&-
    )
    log "cloning the prefix template into $prefix"
    rm -rf "$prefix"
    cp -al "$template" "$prefix"
    rm -f "$prefix"/*.reg
    cp "$template"/*.reg "$prefix/"
    install_driver
    "$wineserver" -w
}

install_driver() {
    local svc='HKLM\System\CurrentControlSet\Services\TavloSim'
    mkdir -p "$prefix/drive_c/tavlosim"
    rm -f "$prefix/drive_c/tavlosim/tavlosim.sys"  # never write through a hard link
    cp "$win64bin/tavlosim.sys" "$prefix/drive_c/tavlosim/tavlosim.sys"
    reg64 add "$svc" /v Type /t REG_DWORD /d 1 /f
    reg64 add "$svc" /v Start /t REG_DWORD /d 2 /f
    reg64 add "$svc" /v ErrorControl /t REG_DWORD /d 1 /f
    reg64 add "$svc" /v ImagePath /t REG_SZ /d 'C:\tavlosim\tavlosim.sys' /f
}

cmd_start() {
    [ -f "$win64bin/tavlosim.sys" ] || die "no simulated driver at $win64bin/tavlosim.sys (build the win64 preset)"
    mkdir -p "$root" "$logs"
    # A run that was cut short may have left its session behind. Its
    # DISPLAY (read from its state) is not ours: its Xvfb ends with it.
    local own_display=${DISPLAY:-}
    cmd_stop
    DISPLAY=$own_display
    [ -n "$DISPLAY" ] || unset DISPLAY
    # Preparing the prefix is locked against a second harness; no process
    # started while the lock is held may keep its descriptor.
    exec 9>"$root/.lock"
    flock 9
    if [ ! -f "$prefix/system.reg" ]; then
        make_prefix 9>&-
    elif ! cmp -s "$win64bin/tavlosim.sys" "$prefix/drive_c/tavlosim/tavlosim.sys"; then
        install_driver 9>&-
        "$wineserver" -w 9>&-
    fi
    exec 9>&-
    : >"$state"
    if [ -z "${DISPLAY:-}" ]; then
        # Xvfb picks a free display itself and writes its number.
        rm -f "$root/display"
        setsid Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp </dev/null >"$root/xvfb.log" 2>&1 5>"$root/display" &
        echo "XVFB_PID=$!" >>"$state"
        wait_for 10 test -s "$root/display" || die "Xvfb did not start (see $root/xvfb.log)"
        local n
        n=$(tr -dc '0-9' <"$root/display")
        echo "export DISPLAY=:$n" >>"$state"
        export DISPLAY=":$n"
    else
        echo "export DISPLAY=$DISPLAY" >>"$state"
    fi
    # One persistent session for the whole run; its services must not hold
    # our output pipes open.
    setsid "$wineserver" -p </dev/null >/dev/null 2>&1
    # The auto-start driver is loaded before the first program runs; wait
    # until its control name answers. This first program starts Wine's
    # background services, which inherit its standard handles: they must
    # not be pipes anyone waits on.
    wait_for 60 sim_quiet state || die "the simulated driver did not come up in the Wine session"
    # Keep the desktop up for the whole session: otherwise Wine closes it
    # about a second after each test's last window is gone, and a program
    # of the next test that starts just then fails at once.
    rm -f "$root/holder.txt"
    setsid "$wine64" "$win64bin/suite_agent.exe" hold-desktop </dev/null >"$root/holder.txt" 2>&1 &
    echo "HOLDER_PID=$!" >>"$state"
    wait_for 30 grep -q holding "$root/holder.txt" || die "the desktop holder did not start (see $root/holder.txt)"
    log "session up (prefix $prefix, DISPLAY=${DISPLAY})"
}

cmd_stop() {
    load_state
    # The session ends right after: the processes only need to be gone.
    SKIP_WINDOW_CHECK=1 end_launched || true
    "$wineserver" -k 2>/dev/null || true
    # A new session in this prefix must not meet the old server exiting.
    "$wineserver" -w 2>/dev/null || true
    if [ -n "${XVFB_PID:-}" ]; then kill "$XVFB_PID" 2>/dev/null || true; fi
    rm -f "$state"
}

# Puts the shared state back to a known start: driver reset (no panels,
# plugged in, no faults, empty log) and no registry records of the suite,
# checked in both registry views. A state that cannot be reset ends the
# test here, before it could fail somewhere else for a reason of its own.
reset_state() {
    local key='HKLM\\Software\\ZR_EX_CONTROL'
    agent '{"cmd": "batch", "args": {"commands": [
        {"cmd": "driver.reset"},
        {"cmd": "wait", "args": {"do": {"cmd": "driver.state"},
                                 "match": {"driver": {"panels": 0, "plugged": 1, "logsize": 0}}, "timeout_ms": 5000}},
        {"cmd": "registry.delete", "args": {"view": 64, "key": "'"$key"'"}},
        {"cmd": "registry.delete", "args": {"view": 32, "key": "'"$key"'"}}]}}' >"$root/reset.txt" ||
        die "cannot reset the simulated driver and the registry (is the session started?): $(cat "$root/reset.txt")"
}

# A launched program is listed in launched.pids as "PID START EXE": START
# (the process's start time from /proc) tells it from a later process that
# got the same number.
proc_start() { local stat; stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 1; set -- ${stat##*) }; echo "${20}"; }

# Whether process PID (started at START) still runs. Nobody reaps the
# orphaned programs here, so an ended one stays a zombie: `kill -0` would
# still find it; its state in /proc tells.
proc_running() {  # proc_running PID START
    local stat
    stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 1
    set -- "$2" ${stat##*) }
    [ "${21}" = "$1" ] && [ "$2" != Z ] && [ "$2" != X ]
}

# Ends the programs a pytest run cut short left in launched.pids and waits
# until their processes have ended and the Wine session has dropped them
# and their windows: the next test must not meet them.
end_launched() {
    local pids=$root/launched.pids
    [ -f "$pids" ] || return 0
    local pid start exe images=() failed=0
    while read -r pid start exe; do
        images+=("$(basename "$exe")")
        if proc_running "$pid" "$start"; then
            kill -9 "$pid" 2>/dev/null || true
            wait_for 10 eval '! proc_running "$pid" "$start"' || { log "process $pid ($exe) did not end"; failed=1; }
        fi
    done <"$pids"
    rm -f "$pids"
    [ -z "${SKIP_WINDOW_CHECK:-}" ] || return $failed
    local image
    for image in $(printf '%s\n' "${images[@]}" | sort -u); do
        agent '{"cmd": "process.ended", "args": {"image": "'"$image"'", "timeout_ms": 10000}}' >/dev/null ||
            { log "$image is still known to the Wine session"; failed=1; }
    done
    return $failed
}

cmd_end() {
    load_state
    end_launched || die "the launched programs did not end"
}

cmd_run() {
    local name=$1 exe=$2; shift 2
    load_state
    local loader
    loader=$(pe_loader "$exe")
    if [ "$loader" = "$wine32" ] && ! can_run_32bit; then
        echo "SKIPPED: this machine cannot execute 32-bit Linux programs, so Wine's 32-bit loader cannot run $(basename "$exe")"
        exit 77
    fi
    # Programs of an earlier test that was cut short (its harness killed by
    # a timeout) must not run beside this one.
    end_launched || die "programs of an earlier test are still running"
    reset_state
    local out="$logs/$name"
    rm -rf "$out"
    mkdir -p "$out"
    local status=0
    (cd "$(dirname "$exe")" && timeout -k 5 "$timeout_s" "$loader" "$exe" "$@" </dev/null) \
        >"$out/stdout.txt" 2>"$out/stderr.txt" || status=$?
    tr -d '\r' <"$out/stdout.txt"
    tr -d '\r' <"$out/stderr.txt" >&2
    if [ $status -ne 0 ] && [ $status -ne 77 ]; then
        [ $status -eq 124 ] && echo "[harness] $name timed out after ${timeout_s}s" >&2
        import -window root "$out/screen.png" 2>/dev/null || true
        sim state >"$out/driver-state.txt" 2>&1 || true
        sim log >"$out/driver-log.txt" 2>&1 || true
        echo "[harness] $name failed ($status); logs in $out" >&2
    else
        # Passing tests keep only what they chose to keep (screenshots).
        rm -f "$out/stdout.txt" "$out/stderr.txt"
        rmdir "$out" 2>/dev/null || true
    fi
    end_launched || { log "$name: its programs did not end"; [ $status -ne 0 ] || status=1; }
    exit $status
}

cmd_wine() {
    load_state
    local exe=$1; shift
    "$(pe_loader "$exe")" "$exe" "$@"
}

cmd_env() {
    load_state
    echo "export WINEPREFIX=$WINEPREFIX WINEARCH=$WINEARCH WINEDEBUG=$WINEDEBUG WINEDLLOVERRIDES='$WINEDLLOVERRIDES'"
    echo "export DISPLAY=${DISPLAY:-}"
}

case ${1:-} in
start) cmd_start ;;
stop) cmd_stop ;;
run) shift; [ $# -ge 2 ] || die "usage: run NAME EXE [ARGS...]"; cmd_run "$@" ;;
sim) shift; load_state; sim "$@" ;;
agent) shift; [ $# -eq 1 ] || die "usage: agent JSON"; load_state; agent "$1" ;;
end) shift; cmd_end ;;
wine) shift; cmd_wine "$@" ;;
env) cmd_env ;;
*) sed -n '2,/^set -euo/p' "$0" | sed '$d; s/^# \{0,1\}//'; exit 2 ;;
esac
