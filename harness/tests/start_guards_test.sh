#!/usr/bin/env bash
# The harness's guards against a Wine start that never reached the program:
# suite_tool and suite_reg make such a start once more, and only such a
# start. A fake loader plays each case: it answers the Nth start as the
# plan in FAKE_PLAN says (one word per start).
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cat >"$work/loader" <<'FAKE'
#!/usr/bin/env bash
n=$(( $(cat "$FAKE_COUNT" 2>/dev/null || echo 0) + 1 ))
echo "$n" >"$FAKE_COUNT"
read -r -a plan <<<"$FAKE_PLAN"
mark=${SUITE_TOOL_STARTED:-}
mark=${mark#Z:}
case "${plan[$((n - 1))]}" in
ok) [ -z "$mark" ] || : >"${mark//\\//}"; echo "REG_DWORD 1"; exit 0 ;;
silent) exit 1 ;;
launcher)
    printf 'Application could not be started, or no application associated with the specified file.\r\n' >&2
    printf 'ShellExecuteEx failed: Internal error.\r\n' >&2
    exit 1
    ;;
launcher-stdout)
    printf 'Application could not be started, or no application associated with the specified file.\r\n'
    printf 'ShellExecuteEx failed: Internal error.\r\n'
    exit 1
    ;;
refused) echo "reg: Unable to find the specified registry key or value" >&2; exit 1 ;;
refused-stdout)  # the refusal on stdout, and more on stderr than a pipe holds
    echo "reg: Unable to find the specified registry key"
    head -c 200000 /dev/zero | tr '\0' 'x' >&2
    exit 1
    ;;
ran-failed) [ -z "$mark" ] || : >"${mark//\\//}"; echo "winprobe: no window x" >&2; exit 1 ;;
key) printf '\r\nHKEY_LOCAL_MACHINE\\Software\\X\r\n    TOUCH_OP    REG_DWORD    0x1\r\n\r\n'; exit 0 ;;
empty) exit 0 ;;
esac
FAKE
chmod +x "$work/loader"
export SUITE_WINE64="$work/loader" SUITE_WINE32="$work/loader" SUITE_WINESERVER=/bin/true TMPDIR=$work
. "$here/../wine-env.sh"

# What each row runs: the two guards, and reg-get, which must tell a value
# that is missing (status 1) from a query that failed (status 2), so that a
# failed query is never read as a value that is not there.
reg() { suite_reg X.exe query; }
tool() { suite_tool X.exe query; }
reg_get_touch() { SUITE_WINE_ROOT=$work "$here/../wine-harness.sh" reg-get 32 'HKLM\Software\X' TOUCH_OP; }
reg_get_ir() { SUITE_WINE_ROOT=$work "$here/../wine-harness.sh" reg-get 32 'HKLM\Software\X' IR_OP; }

failures=0
# name | function | plan | status | starts | stdout | stderr holds (empty: stderr is empty)
while IFS='|' read -r name fn plan status starts stdout stderr; do
    export FAKE_PLAN=$plan FAKE_COUNT="$work/count"
    rm -f "$FAKE_COUNT"
    got_status=0
    got_out=$("$fn" 2>"$work/err") || got_status=$?
    got_starts=$(cat "$FAKE_COUNT")
    if [ "$got_status" != "$status" ] || [ "$got_starts" != "$starts" ] || [ "$got_out" != "$stdout" ] ||
        ! { if [ -z "$stderr" ]; then [ ! -s "$work/err" ]; else grep -q -- "$stderr" "$work/err"; fi; }; then
        echo "FAIL $name: status $got_status starts $got_starts out [$got_out] err [$(paste -sd' ' "$work/err" | cut -c1-300)]"
        failures=$((failures + 1))
    else
        echo "ok   $name"
    fi
done <<'CASES'
reg answered at once|reg|ok|0|1|REG_DWORD 1|
reg whose launcher failed is made once more|reg|launcher ok|0|2|REG_DWORD 1|before reg ran (start 1) .*ShellExecuteEx failed
reg whose launcher failed on stdout is made once more|reg|launcher-stdout ok|0|2|REG_DWORD 1|before reg ran (start 1) .*ShellExecuteEx failed
reg ended without a word is made once more|reg|silent ok|0|2|REG_DWORD 1|and\|before reg ran
reg refusing is not made again|reg|refused ok|1|1||Unable to find
reg never reached twice gives up|reg|silent launcher|1|2||(start 2)
tool that never started is made once more|tool|silent ok|0|2|REG_DWORD 1|before the program started (start 1)
tool that ran and failed keeps its result|tool|ran-failed ok|1|1||no window x
tool never started twice gives up|tool|silent silent|1|2||(start 2)
reg-get: value there|reg_get_touch|key|0|1|REG_DWORD 1|
reg-get: value missing from its key|reg_get_ir|key|1|1||
reg-get: key missing|reg_get_touch|refused|1|1||
reg-get: key missing, said on stdout after a start made again|reg_get_touch|silent refused-stdout|1|2||
reg-get: reg answered with nothing|reg_get_touch|empty|2|1||printed no key
reg-get: reg never reached twice|reg_get_touch|silent silent|2|2||(start 2)
CASES
# Under pipefail, `... | grep -q` fails now and then although it matched
# (grep leaves at its first match and the writer ends on SIGPIPE): no
# script of the suite matches that way.
if piped=$(grep -rnE --include='*.sh' '[^|]\| *grep [^|]*-[a-zA-Z]*q' "$here/../.." --exclude-dir=build --exclude-dir=.git |
    grep -v '^[^:]*:[0-9]*: *#'); then
    echo "FAIL pipes into grep -q:"$'\n'"$piped"
    failures=$((failures + 1))
fi
[ "$failures" = 0 ] && echo "PASSED" || { echo "$failures failed"; exit 1; }
