#!/usr/bin/env bash
# Checks the user's guide against itself, against the demo that makes its
# pictures and against the libraries' interfaces: every picture and page a
# page links to exists, and so does the heading a link names after '#';
# every page is reachable from the guide's contents (docs/README.md); every
# picture in docs/images/ is shown somewhere, and the pictures are exactly
# the screenshots the demo's scenes take (so the demo regenerates all of
# them and nothing stale stays behind); the SDK reference has an entry for
# every export of TAVLO.DLL's table and every member of brimol.h's classes,
# and none for a name that does not exist.
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

# The anchors of a page: its headings as the web view names them (lower
# case, punctuation dropped, spaces as hyphens), outside code blocks.
anchors() {
    awk '/^```/ { code = !code; next } !code && /^#+ / { sub(/^#+ +/, ""); print }' "$1" |
        tr '[:upper:]' '[:lower:]' | sed 's/[^a-z0-9 _-]//g; s/ /-/g'
}
# Links with an anchor, as "PAGE|TARGET|ANCHOR" (TARGET empty for the page
# itself; not tab-separated, since read would merge two tabs into one).
anchored_links() {
    local page
    for page in "$docs"/*.md "$repo/README.md"; do
        grep -o '](\([^)#]*\)#\([^)]*\))' "$page" | sed 's/^](//; s/)$//; s/#/|/' |
            grep -v '^[a-z]*://' | sed "s#^#$page|#" || true
    done
}
while IFS='|' read -r page target anchor; do
    file=$page
    [ -z "$target" ] || file=$(dirname "$page")/$target
    [ -f "$file" ] || continue  # reported above
    grep -qxF -- "$anchor" <(anchors "$file") ||
        problem "${page#"$repo"/} links to ${target:-itself}#$anchor, a heading that does not exist"
done < <(anchored_links)

# Every page is linked from the guide's contents.
for page in "$docs"/*.md; do
    name=$(basename "$page")
    [ "$name" = README.md ] && continue
    grep -q "](\(\./\)\{0,1\}$name\(#[^)]*\)\{0,1\})" "$docs/README.md" ||
        problem "docs/$name is not linked from docs/README.md"
done

# The SDK reference against the interfaces. Exports: one heading
# "### `Name`" each. Members: `Class::member` anywhere in the page, for
# every constructor, destructor, operator, function, data member and
# constant of the classes of brimol.h (the heap operators of
# BRIMOL_HEAP_OPERATORS included).
reference=$docs/sdk-reference.md
table=$repo/tavlo/include/tavlo_exports.inc
brimol=$repo/brimol/include/brimol.h
if [ ! -f "$reference" ]; then
    problem "docs/sdk-reference.md is missing"
else
    exports=$(sed -n 's/^TAVLO_EXPORT(\([A-Za-z0-9_]*\),.*/\1/p' "$table" | sort -u)
    [ -n "$exports" ] || problem "no export found in ${table#"$repo"/}"
    entries=$(sed -n 's/^### `\(Tavlo[A-Za-z0-9_]*\)`$/\1/p' "$reference" | sort -u)
    for name in $(comm -23 <(echo "$exports") <(echo "$entries")); do
        problem "the export $name has no entry in docs/sdk-reference.md"
    done
    for name in $(comm -13 <(echo "$exports") <(echo "$entries")); do
        problem "docs/sdk-reference.md has an entry for $name, which is no export"
    done
    members=$(awk '
        /^class BRIMOL_API [A-Za-z0-9_]+/ { cls = $3; next }
        cls != "" && /^};/ { cls = ""; next }
        cls == "" || /^ *\/\// { next }
        /BRIMOL_HEAP_OPERATORS/ && !/#define/ {
            print cls "::operator new"; print cls "::operator delete"
            print cls "::operator new[]"; print cls "::operator delete[]"; next
        }
        /enum *\{/ { line = $0; sub(/.*\{ */, "", line); sub(/ *=.*/, "", line); print cls "::" line; next }
        /\(/ {
            line = $0; sub(/\(.*/, "", line); n = split(line, word, /[ \t*&]+/)
            print cls "::" word[n]; next
        }
        /^ +[A-Za-z_][A-Za-z0-9_:]* +[A-Za-z_][A-Za-z0-9_]*(\[[A-Za-z0-9_]+\])?;/ {
            line = $0; sub(/;.*/, "", line); sub(/\[.*/, "", line); n = split(line, word, / +/)
            print cls "::" word[n]
        }' "$brimol" | sort -u)
    [ -n "$members" ] || problem "no member found in ${brimol#"$repo"/}"
    named=$(grep -o '`C[A-Za-z0-9_]*::[^`(]*' "$reference" | sed 's/^`//; s/ *$//' | sort -u)
    while IFS= read -r name; do
        grep -qxF -- "$name" <<<"$named" || problem "the member $name has no entry in docs/sdk-reference.md"
    done <<<"$members"
    while IFS= read -r name; do
        [ -n "$name" ] || continue
        grep -qxF -- "$name" <<<"$members" || problem "docs/sdk-reference.md names $name, which brimol.h does not declare"
    done <<<"$named"
fi

shown=$(links | cut -f2 | sed -n 's|^\(docs/\)\{0,1\}images/\([^/]*\)\.png$|\2|p' | sort -u)
stored=$(cd "$docs/images" 2>/dev/null && ls -1 -- *.png 2>/dev/null | sed 's/\.png$//' | sort -u || true)
taken=$(sed -n 's/.*window_shot("\([a-z0-9-]*\)".*/\1/p' "$repo"/tools/demo/*.py | sort -u)
[ -n "$taken" ] || problem "the demo's scenes take no screenshot"
for name in $(comm -13 <(echo "$stored") <(echo "$shown")); do problem "images/$name.png is shown but not in docs/images"; done
for name in $(comm -23 <(echo "$stored") <(echo "$shown")); do problem "docs/images/$name.png is shown on no page"; done
for name in $(comm -13 <(echo "$taken") <(echo "$stored")); do problem "docs/images/$name.png is not made by the demo"; done
for name in $(comm -23 <(echo "$taken") <(echo "$stored")); do problem "the demo's screenshot $name is not in docs/images"; done

if [ "$problems" -ne 0 ]; then
    echo "check-docs: $problems problem(s)" >&2
    exit 1
fi
echo "check-docs: $(links | wc -l) links, $(wc -w <<<"$stored") pictures, all made by the demo;" \
    "$(wc -w <<<"$exports") exports and $(wc -l <<<"$members") members in the SDK reference"
