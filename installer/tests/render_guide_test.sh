#!/usr/bin/env bash
# tools/render-guide.py on a small guide made here: links between pages
# (with anchors) lead to the HTML pages and their headings, pictures are
# copied and found, outside links stay; a link to a missing page or picture
# fails the rendering and names it.
#   render_guide_test.sh
set -euo pipefail
render=$(cd "$(dirname "$0")/../../tools" && pwd)/render-guide.py
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

make_guide() {  # make_guide FOLDER: a README, a page and a picture
    mkdir -p "$1/images"
    printf 'P' >"$1/images/shot.png"
    cat >"$1/README.md" <<'MD'
# The guide

See [the page](page.md), [its part](page.md#exit-codes-and-odd-cases), ![shot](images/shot.png),
[elsewhere](https://example.org/x.md) and [here](#the-guide).

| a | b |
|---|---|
| 1 | 2 |
MD
    cat >"$1/page.md" <<'MD'
# A page

## Exit codes, and odd cases

Back to [the start](README.md).
MD
}

# Cases: "name|change to the guide|expected status|text expected (in the output or the pages)"
cases=(
    'a sound guide||0|href="page.html#exit-codes-and-odd-cases"'
    'the page link|:|0|href="page.html"'
    'the heading anchor|:|0|<h2 id="exit-codes-and-odd-cases">'
    'a picture|:|0|src="images/shot.png"'
    'an outside link stays|:|0|href="https://example.org/x.md"'
    'the README is the index|:|0|href="index.html"'
    'a table|:|0|<td>2</td>'
    'a missing page|sed -i "s/page.md)/gone.md)/" "$docs/README.md"|1|README.md links to gone.md'
    'a missing picture|rm "$docs/images/shot.png"|1|README.md links to images/shot.png'
)
failed=0
for row in "${cases[@]}"; do
    IFS='|' read -r name change status expected <<<"$row"
    docs=$work/docs out=$work/out
    rm -rf "$docs" "$out"
    make_guide "$docs"
    [ -z "$change" ] || eval "$change"
    got=0
    output=$("$render" "$docs" "$out" 2>&1) || got=$?
    pages=$(cat "$out"/*.html 2>/dev/null || true)
    if [ "$got" -ne "$status" ]; then
        echo "FAIL $name: status $got, expected $status: $output"; failed=1; continue
    fi
    if ! grep -qF -- "$expected" <<<"$output$pages"; then
        echo "FAIL $name: no '$expected'"; failed=1; continue
    fi
    if [ "$status" -eq 0 ] && [ ! -f "$out/images/shot.png" ]; then
        echo "FAIL $name: the picture was not copied"; failed=1; continue
    fi
    echo "ok   $name"
done
exit $failed
