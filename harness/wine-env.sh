# Where Wine's programs are: the one place the harness, the scenario
# library and the tools look them up. Sourced, not run.
#
# The loaders are called directly: Debian's `wine` wrapper always starts the
# 32-bit loader, which costs time for 64-bit programs and, for `reg` and
# `sc`, shows the 32-bit registry view. Override with SUITE_WINE64,
# SUITE_WINE32 and SUITE_WINESERVER when Wine lives elsewhere.

suite_find_wine() {  # suite_find_wine CANDIDATE... -> first executable one
    local candidate
    for candidate in "$@"; do
        if [ -n "$candidate" ] && [ -x "$candidate" ]; then
            echo "$candidate"
            return 0
        fi
    done
    return 1
}

SUITE_WINE64=${SUITE_WINE64:-$(suite_find_wine /usr/lib/wine/wine64 /usr/lib64/wine/wine64 /opt/wine-stable/bin/wine64 "$(command -v wine64 2>/dev/null)" || echo /usr/lib/wine/wine64)}
SUITE_WINE32=${SUITE_WINE32:-$(suite_find_wine /usr/lib/wine/wine /usr/lib32/wine/wine /opt/wine-stable/bin/wine "$(command -v wine 2>/dev/null)" || echo /usr/lib/wine/wine)}
SUITE_WINESERVER=${SUITE_WINESERVER:-$(suite_find_wine /usr/lib/wine/wineserver /usr/lib64/wine/wineserver /opt/wine-stable/bin/wineserver "$(command -v wineserver 2>/dev/null)" || echo /usr/lib/wine/wineserver)}
export SUITE_WINE64 SUITE_WINE32 SUITE_WINESERVER

# The loader for a PE file: 64-bit programs run with the 64-bit loader,
# 32-bit ones with the 32-bit loader (the prefix is WoW64).
suite_pe_loader() {
    # Read whole before matching: with pipefail, `grep -q` leaving early
    # could fail the pipeline and pick the 32-bit loader for a 64-bit file.
    case "$(objdump -f "$1" 2>/dev/null)" in
    *pei-x86-64*) echo "$SUITE_WINE64" ;;
    *) echo "$SUITE_WINE32" ;;
    esac
}

# suite_tool EXE [ARGS...]: runs one of the harness's own console tools
# (suite_agent.exe --once, tavlosim.exe) with the 64-bit loader, its status passed on.
# Wine now and then ends a freshly started process with status 1 and not a
# word before the program has run (a few times in tens of thousands of
# starts, on a loaded machine). The tools mark their start in the file that
# SUITE_TOOL_STARTED names, so a start that never reached the program is
# told from a program that failed: only the first is made once more, and
# said on the error output. A tool that ran keeps its own result.
suite_tool() {
    local mark status attempt
    for attempt in 1 2; do
        mark=$(mktemp -u "${TMPDIR:-/tmp}/suite-tool.XXXXXX")
        status=0
        SUITE_TOOL_STARTED="Z:${mark//\//\\}" "$SUITE_WINE64" "$@" || status=$?
        if [ $status -eq 0 ] || [ -e "$mark" ]; then
            rm -f "$mark"
            return $status
        fi
        echo "[harness] Wine ended $(basename "$1") $2 with status $status before the program started (start $attempt)" >&2
    done
    return $status
}

