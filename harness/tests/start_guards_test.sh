#!/usr/bin/env bash
# The harness's guard against a Wine start that never reached the program:
# suite_tool (which runs the agent's one-shot commands and the simulator
# console) makes such a start once more, and only such a start. A fake loader plays each case: it answers the Nth start as the
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
ok) [ -z "$mark" ] || : >"${mark//\\//}"; echo answered; exit 0 ;;
silent) exit 1 ;;
ran-failed) [ -z "$mark" ] || : >"${mark//\\//}"; echo "suite_agent: no window x" >&2; exit 1 ;;
esac
FAKE
chmod +x "$work/loader"
export SUITE_WINE64="$work/loader" SUITE_WINE32="$work/loader" SUITE_WINESERVER=/bin/true TMPDIR=$work
. "$here/../wine-env.sh"

tool() { suite_tool X.exe query; }

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
tool that never started is made once more|tool|silent ok|0|2|answered|before the program started (start 1)
tool that ran and failed keeps its result|tool|ran-failed ok|1|1||no window x
tool never started twice gives up|tool|silent silent|1|2||(start 2)
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
