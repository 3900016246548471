#!/usr/bin/env bash
# Checks that every C and C++ file the project tracks is formatted as
# .clang-format says, with the pinned major version of clang-format (its
# output changes between versions). Prints the first differences of each
# file that is not and exits 1; `--fix` formats them in place instead.
#   check-format.sh [--fix] [REPO]
set -euo pipefail
fix=0
if [ "${1:-}" = --fix ]; then fix=1; shift; fi
repo=${1:-$(cd "$(dirname "$0")/.." && pwd)}
format=clang-format-14
command -v "$format" >/dev/null || { echo "check-format: $format is missing (tools/install-deps.sh installs it)" >&2; exit 2; }

mapfile -t files < <(git -C "$repo" ls-files '*.c' '*.cpp' '*.h')
[ ${#files[@]} -gt 0 ] || { echo "check-format: no sources under $repo" >&2; exit 2; }
cd "$repo"
if [ $fix -eq 1 ]; then
    "$format" -i "${files[@]}"
    exit 0
fi
report=$(mktemp)
trap 'rm -f "$report"' EXIT
if ! "$format" --dry-run -Werror "${files[@]}" 2>"$report"; then
    grep -E '^[^ ].*: (error|warning):' "$report" | cut -d: -f1 | sort | uniq -c | sed 's/^/check-format: /' >&2
    echo "check-format: run tools/check-format.sh --fix" >&2
    exit 1
fi
echo "check-format: ${#files[@]} files formatted as .clang-format says"
