#!/usr/bin/env bash
# End-to-end harness: runs the suite's Windows programs under Wine against
# the simulated kernel driver. Used by CTest and by hand.
#
#   wine-harness.sh start          prepare the prefix, install the driver, start
#                                  Xvfb (when there is no DISPLAY) and one Wine session
#   wine-harness.sh run NAME EXE [ARGS...]
#                                  reset the driver and the suite's registry keys,
#                                  run EXE (i686 or x86_64) with a deadline; on failure
#                                  keep its output and a screenshot under logs/NAME
#   wine-harness.sh run NAME SCRIPT.sh [ARGS...]
#                                  the same for a scenario script (see harness/README.md)
#   wine-harness.sh sim ARGS...    the simulator console (tavlosim) in the session
#   wine-harness.sh probe ARGS...  winprobe: find windows, read controls, click, post
#   wine-harness.sh launch EXE [ARGS...]
#                                  start a program in the background (scenario scripts);
#                                  `run` ends whatever is still running afterwards
#   wine-harness.sh screenshot FILE
#   wine-harness.sh wine EXE [ARGS...]  run a program in the session, nothing reset
#   wine-harness.sh env            print the environment for using the session by hand
#   wine-harness.sh stop           end the session and Xvfb
#
# Settings (environment): SUITE_WINE_ROOT (default build/wine: prefix, state,
# logs; each build tree uses its own, so sessions never meet), SUITE_WIN64_BIN (default build/win64/bin: tavlosim.sys and the
# x86_64 tavlosim.exe the harness drives the driver with), SUITE_TEST_TIMEOUT
# (seconds, default 60).
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
wine64=/usr/lib/wine/wine64
wine32=/usr/lib/wine/wine
wineserver=/usr/lib/wine/wineserver

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

# The loader for a PE file: 64-bit programs run with wine64, 32-bit ones
# with the 32-bit loader (WoW64 prefix).
pe_loader() {
    if objdump -f "$1" 2>/dev/null | grep -q 'pei-x86-64'; then echo "$wine64"; else echo "$wine32"; fi
}

can_run_32bit() { "$wine32" --version >/dev/null 2>&1; }

# With pipefail the pipeline's status is the program's own (tr succeeds).
sim() { "$wine64" "$win64bin/tavlosim.exe" "$@" </dev/null | tr -d '\r'; }

probe() { "$wine64" "$win64bin/winprobe.exe" "$@" </dev/null | tr -d '\r'; }

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
    # A run that was cut short may have left its session behind.
    cmd_stop
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
    log "session up (prefix $prefix, DISPLAY=${DISPLAY})"
}

cmd_stop() {
    load_state
    "$wineserver" -k 2>/dev/null || true
    # A new session in this prefix must not meet the old server exiting.
    "$wineserver" -w 2>/dev/null || true
    if [ -n "${XVFB_PID:-}" ]; then kill "$XVFB_PID" 2>/dev/null || true; fi
    rm -f "$state"
}

# Puts the shared state back to a known start: driver reset (no panels,
# plugged in, no faults, empty log) and no registry records of the suite.
reset_state() {
    sim reset >/dev/null || die "cannot reset the simulated driver (is the session started?)"
    reg64 delete 'HKLM\Software\ZR_EX_CONTROL' /f /reg:64 || true
    reg64 delete 'HKLM\Software\ZR_EX_CONTROL' /f /reg:32 || true
}

# Ends the programs a scenario launched and did not end itself.
end_launched() {
    local pids=$root/launched.pids
    [ -f "$pids" ] || return 0
    while read -r pid; do kill -9 "$pid" 2>/dev/null || true; done <"$pids"
    rm -f "$pids"
}

cmd_launch() {
    load_state
    local exe=$1; shift
    local loader
    loader=$(pe_loader "$exe")
    (cd "$(dirname "$exe")" && exec setsid "$loader" "$exe" "$@" </dev/null >>"$root/launched.log" 2>&1) &
    echo $! >>"$root/launched.pids"
}

cmd_run() {
    local name=$1 exe=$2; shift 2
    load_state
    local -a command
    if [[ "$exe" == *.sh ]]; then
        # A scenario script: it gets the session's environment and this
        # harness as $HARNESS; WIN_BIN names the build under test.
        local bits
        bits=${SUITE_ARCH:-x86_64}
        if [ "$bits" = i686 ] && ! can_run_32bit; then
            echo "SKIPPED: this machine cannot execute 32-bit Linux programs, so Wine's 32-bit loader cannot run i686 programs"
            exit 77
        fi
        export HARNESS="$here/wine-harness.sh" WIN_BIN=${WIN_BIN:-} SUITE_WINE_ROOT="$root" SUITE_WIN64_BIN="$win64bin"
        command=(bash "$exe" "$@")
    else
        local loader
        loader=$(pe_loader "$exe")
        if [ "$loader" = "$wine32" ] && ! can_run_32bit; then
            echo "SKIPPED: this machine cannot execute 32-bit Linux programs, so Wine's 32-bit loader cannot run $(basename "$exe")"
            exit 77
        fi
        command=("$loader" "$exe" "$@")
    fi
    reset_state
    local out="$logs/$name"
    rm -rf "$out"
    mkdir -p "$out"
    export TEST_LOGS="$out"
    local status=0
    (cd "$(dirname "$exe")" && timeout -k 5 "$timeout_s" "${command[@]}" </dev/null) >"$out/stdout.txt" 2>"$out/stderr.txt" || status=$?
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
    end_launched
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
probe) shift; load_state; probe "$@" ;;
launch) shift; [ $# -ge 1 ] || die "usage: launch EXE [ARGS...]"; cmd_launch "$@" ;;
screenshot) shift; load_state; import -window root "$1" ;;
wine) shift; cmd_wine "$@" ;;
env) cmd_env ;;
*) sed -n '2,31p' "$0" | sed 's/^# \{0,1\}//'; exit 2 ;;
esac
