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
#   wine-harness.sh end [EXE]      end the launched programs (or those of EXE) and wait
#                                  until their processes and windows are gone
#   wine-harness.sh reg-set VIEW KEY [NAME TYPE DATA]...
#                                  write the values of one key with one `reg import` in
#                                  registry view VIEW (32 or 64) and read them back
#   wine-harness.sh reg-get VIEW KEY NAME
#                                  print "TYPE DATA" of a value (DWORD in decimal);
#                                  status 1 when it is missing, 2 when reg failed
#   wine-harness.sh reg-delete VIEW KEY
#                                  delete a key and its subkeys; check it is gone
#   wine-harness.sh screenshot FILE
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

probe() { suite_tool "$win64bin/winprobe.exe" "$@" </dev/null | tr -d '\r'; }

sim_quiet() { setsid "$wine64" "$win64bin/tavlosim.exe" "$@" </dev/null >/dev/null 2>&1; }

reg64() { "$wine64" reg "$@" </dev/null >/dev/null 2>&1; }

# --- Registry records: one `reg import` per key, read back before going on.

reg_view() { [ "$1" = 32 ] || [ "$1" = 64 ] || die "registry view must be 32 or 64, not '$1'"; }

# HKLM\... as a .reg file names it.
reg_long_key() {
    local key=$1
    case $key in
    HKLM\\*) key="HKEY_LOCAL_MACHINE${key#HKLM}" ;;
    HKCU\\*) key="HKEY_CURRENT_USER${key#HKCU}" ;;
    HKCR\\*) key="HKEY_CLASSES_ROOT${key#HKCR}" ;;
    HKU\\*) key="HKEY_USERS${key#HKU}" ;;
    esac
    printf '%s' "$key"
}

# Data as reg-get prints it: DWORDs in decimal, binaries as lower-case hex
# bytes separated by spaces, texts as they are.
reg_normal() {  # reg_normal TYPE DATA
    case $1 in
    REG_DWORD)
        if [[ $2 =~ ^0[xX][0-9a-fA-F]{1,8}$ ]]; then echo $(($2))
        elif [[ $2 =~ ^[0-9]{1,10}$ ]] && [ $((10#$2)) -le 4294967295 ]; then echo $((10#$2))
        else return 1; fi ;;
    REG_BINARY)
        local hex=${2//[ ,]/}
        [[ $hex =~ ^([0-9a-fA-F]{2})*$ ]] || return 1
        hex=${hex,,}
        sed 's/../& /g; s/ $//' <<<"$hex" ;;
    *) printf '%s\n' "$2" ;;
    esac
}

# Prints NAME<TAB>TYPE<TAB>DATA (normal form) for every value of KEY; status 1
# when the key does not exist, 2 when reg failed otherwise.
reg_values() {  # reg_values VIEW KEY
    local out errors status=0 line name type data
    errors=$(mktemp)
    out=$(suite_reg query "$2" /reg:"$1" </dev/null 2>"$errors" | tr -d '\r') || status=$?
    if [ $status -ne 0 ]; then
        # reg prints its error on either stream, depending on the Wine version.
        # Both are matched without a pipe (see sim_has in e2e-lib.sh).
        if grep -q 'Unable to find' - "$errors" <<<"$out"; then
            status=1
        else
            { printf '%s\n' "$out"; cat "$errors"; } >&2
            status=2
        fi
        rm -f "$errors"
        return $status
    fi
    rm -f "$errors"
    # reg query prints the key's own path before its values, also for a key
    # without values: output without it is no answer, not an empty key.
    if ! grep -q '^HKEY_' <<<"$out"; then
        echo "[harness] reg query $2 ended with status 0 but printed no key: '$out'" >&2
        return 2
    fi
    while IFS= read -r line; do
        [[ $line == "    "* ]] || continue
        line=${line#    }
        name=${line%%    *}
        line=${line#"$name"    }
        type=${line%%    *}
        data=${line#"$type"}
        data=${data#    }
        [[ $type == REG_* ]] || continue
        printf '%s\t%s\t%s\n' "$name" "$type" "$(reg_normal "$type" "$data" || printf '%s' "$data")"
    done <<<"$out"
}

cmd_reg_set() {
    [ $# -ge 2 ] && [ $(($# % 3)) -eq 2 ] || die "usage: reg-set VIEW KEY [NAME TYPE DATA]..."
    local view=$1 key=$2
    shift 2
    reg_view "$view"
    local file
    file=$(mktemp "$root/record.XXXXXX")
    mv "$file" "$file.reg"
    file=$file.reg
    local -a names=() types=() datas=()
    {
        printf 'Windows Registry Editor Version 5.00\r\n\r\n[%s]\r\n' "$(reg_long_key "$key")"
        while [ $# -gt 0 ]; do
            local name=$1 type=$2 data=$3 normal
            shift 3
            [[ $name != *$'\n'* && $data != *$'\n'* ]] || die "reg-set: line breaks cannot be written ($name)"
            normal=$(reg_normal "$type" "$data") || die "reg-set: '$data' is no $type"
            names+=("$name") types+=("$type") datas+=("$normal")
            local quoted=${name//\\/\\\\}
            quoted=${quoted//\"/\\\"}
            case $type in
            REG_SZ)
                local text=${data//\\/\\\\}
                text=${text//\"/\\\"}
                printf '"%s"="%s"\r\n' "$quoted" "$text" ;;
            REG_DWORD) printf '"%s"=dword:%08x\r\n' "$quoted" "$normal" ;;
            REG_BINARY) printf '"%s"=hex:%s\r\n' "$quoted" "$(tr ' ' , <<<"$normal")" ;;
            *) die "reg-set: type $type is not supported (REG_SZ, REG_DWORD, REG_BINARY)" ;;
            esac
        done
    } >"$file"
    local errors
    errors=$(suite_reg import "Z:${file//\//\\}" /reg:"$view" </dev/null 2>&1 >/dev/null) || {
        rm -f "$file"
        die "reg import of $key failed: ${errors//$'\r'/}"
    }
    rm -f "$file"
    # Read back: the scenario goes on only with the record in place.
    local values i line
    values=$(reg_values "$view" "$key") || die "$key is missing in the ${view}-bit view after the import"
    for i in "${!names[@]}"; do
        line=$(printf '%s\t%s\t%s' "${names[$i]}" "${types[$i]}" "${datas[$i]}")
        grep -qxF -- "$line" <<<"$values" ||
            die "$key\\${names[$i]} reads back as '$(grep -F -- "${names[$i]}"$'\t' <<<"$values" | head -1)', not ${types[$i]} '${datas[$i]}'"
    done
}

cmd_reg_get() {
    [ $# -eq 3 ] || die "usage: reg-get VIEW KEY NAME"
    reg_view "$1"
    local values line
    # A missing key or value is status 1; a query that failed is status 2
    # (its reason on the error output), never taken for a missing value.
    values=$(reg_values "$1" "$2") || return $?
    line=$(grep -F -- "$3"$'\t' <<<"$values" | awk -F'\t' -v n="$3" '$1 == n' | head -1)
    [ -n "$line" ] || return 1
    printf '%s %s\n' "$(cut -f2 <<<"$line")" "$(cut -f3- <<<"$line")"
}

# Deletes KEY and its subkeys and checks that it is gone; a key that is
# not there is fine.
reg_delete_checked() {  # reg_delete_checked VIEW KEY
    local status=0
    suite_reg delete "$2" /f /reg:"$1" </dev/null >/dev/null 2>&1 || true
    reg_values "$1" "$2" >/dev/null || status=$?
    [ $status -eq 1 ]
}

cmd_reg_delete() {
    [ $# -eq 2 ] || die "usage: reg-delete VIEW KEY"
    reg_view "$1"
    reg_delete_checked "$1" "$2" || die "cannot delete $2 in the ${1}-bit view"
}

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
    local view state
    sim reset >/dev/null || die "cannot reset the simulated driver (is the session started?)"
    state=$(sim -m state) || die "cannot read the simulated driver's state"
    grep -q '^driver .* panels=0 plugged=1 .* logsize=0\b' <<<"$state" ||
        die "the simulated driver did not reset: $(head -1 <<<"$state")"
    for view in 64 32; do
        reg_delete_checked "$view" 'HKLM\Software\ZR_EX_CONTROL' ||
            die "cannot delete HKLM\Software\ZR_EX_CONTROL in the ${view}-bit registry view"
    done
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

# Ends the launched programs (all, or those started from a file named like
# EXE) and waits until their processes have ended and the Wine session has
# dropped them and their windows: the next test must not meet them.
end_launched() {  # end_launched [EXE]
    local pids=$root/launched.pids only=${1:+$(basename "$1")}
    [ -f "$pids" ] || return 0
    local pid start exe keep images=() failed=0
    keep=$(mktemp)
    while read -r pid start exe; do
        if [ -n "$only" ] && [ "$(basename "$exe")" != "$only" ]; then
            echo "$pid $start $exe" >>"$keep"
            continue
        fi
        images+=("$(basename "$exe")")
        if proc_running "$pid" "$start"; then
            kill -9 "$pid" 2>/dev/null || true
            wait_for 10 eval '! proc_running "$pid" "$start"' || { log "process $pid ($exe) did not end"; failed=1; }
        fi
    done <"$pids"
    mv "$keep" "$pids"
    [ -s "$pids" ] || rm -f "$pids"
    [ -z "${SKIP_WINDOW_CHECK:-}" ] || return $failed
    local image
    for image in $(printf '%s\n' "${images[@]}" | sort -u); do
        probe ended "$image" 10000 >/dev/null || { log "$image is still known to the Wine session"; failed=1; }
    done
    return $failed
}

cmd_launch() {
    load_state
    local exe=$1; shift
    local loader
    loader=$(pe_loader "$exe")
    (cd "$(dirname "$exe")" && exec setsid "$loader" "$exe" "$@" </dev/null >>"$root/launched.log" 2>&1) &
    local pid=$! start
    # The loader execs the program in the same process, so its start time
    # is known once it has begun.
    start=$(proc_start "$pid") || start=0
    echo "$pid $start $exe" >>"$root/launched.pids"
}

cmd_end() {
    load_state
    end_launched "$@" || die "the launched programs did not end"
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
        export HARNESS="$here/wine-harness.sh" E2E_LIB="$here/e2e-lib.sh" WIN_BIN=${WIN_BIN:-} SUITE_WINE_ROOT="$root" SUITE_WIN64_BIN="$win64bin"
        # Traced into the test's logs: a scenario that stops at a failing
        # step without a message of its own shows that step.
        command=(bash -x "$exe" "$@")
    else
        local loader
        loader=$(pe_loader "$exe")
        if [ "$loader" = "$wine32" ] && ! can_run_32bit; then
            echo "SKIPPED: this machine cannot execute 32-bit Linux programs, so Wine's 32-bit loader cannot run $(basename "$exe")"
            exit 77
        fi
        command=("$loader" "$exe" "$@")
    fi
    # Programs of an earlier test that was cut short (its harness killed by
    # a timeout) must not run beside this one.
    end_launched || die "programs of an earlier test are still running"
    reset_state
    local out="$logs/$name"
    rm -rf "$out"
    mkdir -p "$out"
    export TEST_LOGS="$out"
    local status=0
    (cd "$(dirname "$exe")" && BASH_XTRACEFD=7 timeout -k 5 "$timeout_s" "${command[@]}" </dev/null 7>"$out/trace.txt") \
        >"$out/stdout.txt" 2>"$out/stderr.txt" || status=$?
    tr -d '\r' <"$out/stdout.txt"
    tr -d '\r' <"$out/stderr.txt" >&2
    if [ $status -ne 0 ] && [ $status -ne 77 ] && [ -s "$out/trace.txt" ]; then
        echo "[harness] the scenario's last steps:" >&2
        tail -n 25 "$out/trace.txt" | cut -c1-300 >&2
    fi
    if [ $status -ne 0 ] && [ $status -ne 77 ]; then
        [ $status -eq 124 ] && echo "[harness] $name timed out after ${timeout_s}s" >&2
        import -window root "$out/screen.png" 2>/dev/null || true
        sim state >"$out/driver-state.txt" 2>&1 || true
        sim log >"$out/driver-log.txt" 2>&1 || true
        echo "[harness] $name failed ($status); logs in $out" >&2
    else
        # Passing tests keep only what they chose to keep (screenshots).
        rm -f "$out/stdout.txt" "$out/stderr.txt" "$out/trace.txt"
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
probe) shift; load_state; probe "$@" ;;
launch) shift; [ $# -ge 1 ] || die "usage: launch EXE [ARGS...]"; cmd_launch "$@" ;;
end) shift; cmd_end "$@" ;;
reg-set) shift; load_state; cmd_reg_set "$@" ;;
reg-get) shift; load_state; cmd_reg_get "$@" ;;
reg-delete) shift; load_state; cmd_reg_delete "$@" ;;
screenshot) shift; load_state; import -window root "$1" ;;
wine) shift; cmd_wine "$@" ;;
env) cmd_env ;;
*) sed -n '2,/^set -euo/p' "$0" | sed '$d; s/^# \{0,1\}//'; exit 2 ;;
esac
