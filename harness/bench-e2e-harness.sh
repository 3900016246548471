#!/usr/bin/env bash
# Benchmark of the e2e harness (not a test): the whole e2e suite of one
# Windows preset, run by the shell harness of an earlier commit and by this
# tree's harness, each in one Wine session of its own build tree, one after
# the other on this machine. Prints the wall time and the Wine process
# starts of each, and the factors.
#
#   harness/bench-e2e-harness.sh [OLD_COMMIT [PRESET]]
#
# OLD_COMMIT (default 441ea6f, the last commit of the shell harness) is
# checked out and built in build/bench-old/ (a git worktree; the compiler
# cache makes that quick); a folder instead names a checkout of it whose
# build/PRESET (and build/win64) is built already. PRESET (win64 or win32, default win64) must be
# built here. Wine starts from the host are counted by wrapping the loaders
# (SUITE_WINE64/SUITE_WINE32, which both harnesses take from wine-env.sh);
# programs the agent starts inside the session (process.run) are counted
# by the agent and added.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/.." && pwd)
old_commit=${1:-441ea6f}
preset=${2:-win64}
case $preset in win64) arch=x86_64 ;; win32) arch=i686 ;; *) echo "preset: win64 or win32" >&2; exit 2 ;; esac
[ -f "$repo/build/$preset/CTestTestfile.cmake" ] || { echo "build the $preset preset first" >&2; exit 2; }

if [ -d "$old_commit" ]; then
    old=$(cd "$old_commit" && pwd)
    old_commit=$(git -C "$old" rev-parse --short HEAD)
else
    old=$repo/build/bench-old
    if [ ! -e "$old/.git" ]; then
        git -C "$repo" worktree add --detach "$old" "$old_commit" >&2
    fi
    git -C "$old" checkout -q --detach "$old_commit"
    echo "building $old_commit in $old (log: $old/bench-build.log)" >&2
    (cd "$old" && for p in win64 $([ "$preset" = win32 ] && echo win32); do
        cmake --preset "$p" && cmake --build --preset "$p" || exit 1
    done) >"$old/bench-build.log" 2>&1 || { tail -30 "$old/bench-build.log" >&2; exit 1; }
fi

. "$here/wine-env.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for loader in wine64:"$SUITE_WINE64" wine:"$SUITE_WINE32"; do
    name=${loader%%:*} real=${loader#*:}
    printf '#!/bin/sh\necho "$$" >>"$SUITE_BENCH_STARTS"\nexec "%s" "$@"\n' "$real" >"$work/$name"
    chmod +x "$work/$name"
done

# run_suite LABEL TREE: the tree's e2e tests with their session fixture.
run_suite() {
    local label=$1 tree=$2 start end
    : >"$work/starts"
    : >"$work/stats"
    start=$(date +%s%N)
    SUITE_WINE64=$work/wine64 SUITE_WINE32=$work/wine SUITE_BENCH_STARTS=$work/starts SUITE_E2E_STATS=$work/stats \
        ctest --test-dir "$tree" -R "^e2e_(session|${arch}_)" >"$work/$label.log" 2>&1 ||
        { grep -E 'tests passed|Failed|Timeout' "$work/$label.log" >&2; echo "$label: a test failed" >&2; exit 1; }
    end=$(date +%s%N)
    local ms=$(((end - start) / 1000000)) host in_session
    host=$(wc -l <"$work/starts")
    in_session=$(awk -F'in_session_starts=' 'NF > 1 {split($2, a, " "); s += a[1]} END {print s + 0}' "$work/stats")
    printf '%-7s %7.1f s  %5d host Wine starts + %4d in-session = %5d  (%s)\n' "$label" \
        "$(awk -v t="$ms" 'BEGIN {print t / 1000}')" "$host" "$in_session" $((host + in_session)) \
        "$(grep -o '[0-9]*% tests passed.*' "$work/$label.log" | head -1)"
    echo "$ms $((host + in_session))" >"$work/$label.sum"
}

echo "the whole e2e suite of $preset ($arch): the shell harness at $old_commit against this tree"
run_suite shell "$old/build/$preset"
run_suite python "$repo/build/$preset"
read -r old_ms old_starts <"$work/shell.sum"
read -r new_ms new_starts <"$work/python.sum"
awk -v a="$old_ms" -v b="$new_ms" -v s="$old_starts" -v t="$new_starts" \
    'BEGIN {printf "factors: wall time %.2fx faster, Wine starts %.1fx fewer\n", a / b, s / (t ? t : 1)}'
