#!/usr/bin/env bash
# Checks the user's guide against itself and against the demo that makes
# its pictures: every picture and page a page links to exists, every
# picture in docs/images/ is shown somewhere, and the pictures are exactly
# the screenshots the demo's scenes take (so the demo regenerates all of
# them and nothing stale stays behind).
#   check-docs.sh [REPO]
set -euo pipefail
repo=${1:-$(cd "$(dirname "$0")/.." && pwd)}
docs=$repo/docs
problems=0
problem() { echo "check-docs: $*" >&2; problems=$((problems + 1)); }

# Links of the pages, as "PAGE<TAB>TARGET", anchors dropped; web links and
# bare anchors are not checked.
links() {
    local page
    for page in "$docs"/*.md "$repo/README.md"; do
        grep -o '](\([^)#]*\)\(#[^)]*\)\?)' "$page" | sed 's/^](//; s/)$//; s/#.*//' |
            grep -v '^$\|^[a-z]*://' | sed "s|^|$page\t|" || true
    done
}
while IFS=$'\t' read -r page target; do
    [ -e "$(dirname "$page")/$target" ] || problem "${page#"$repo"/} links to $target, which does not exist"
done < <(links)

shown=$(links | cut -f2 | sed -n 's|^\(docs/\)\{0,1\}images/\([^/]*\)\.png$|\2|p' | sort -u)
stored=$(cd "$docs/images" 2>/dev/null && ls -1 -- *.png 2>/dev/null | sed 's/\.png$//' | sort -u || true)
taken=$(sed -n 's/^[[:space:]]*window_shot \([a-z0-9-]*\) .*/\1/p' "$repo"/tools/demo/*.sh | sort -u)
[ -n "$taken" ] || problem "the demo's scenes take no screenshot"
for name in $(comm -13 <(echo "$stored") <(echo "$shown")); do problem "images/$name.png is shown but not in docs/images"; done
for name in $(comm -23 <(echo "$stored") <(echo "$shown")); do problem "docs/images/$name.png is shown on no page"; done
for name in $(comm -13 <(echo "$taken") <(echo "$stored")); do problem "docs/images/$name.png is not made by the demo"; done
for name in $(comm -23 <(echo "$taken") <(echo "$stored")); do problem "the demo's screenshot $name is not in docs/images"; done

if [ "$problems" -ne 0 ]; then
    echo "check-docs: $problems problem(s)" >&2
    exit 1
fi
echo "check-docs: $(links | wc -l) links, $(wc -w <<<"$stored") pictures, all made by the demo"
