#!/usr/bin/env bash
# tools/check-docs.sh against a copy of the guide and the demo's scenes with
# one fault at a time: each must be found, and the unchanged copy passes.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# fault name | shell step that makes the fault in the copy | text of the report
faults=(
    "missing picture|rm docs/images/cordane-opened.png|images/cordane-opened.png is shown but not in docs/images"
    "stale picture|cp docs/images/cordane-opened.png docs/images/old.png|docs/images/old.png is shown on no page"
    "broken page link|echo '[x](nystra-guide.md)' >>docs/velmic.md|links to nystra-guide.md, which does not exist"
    "broken link from README|echo '[g](docs/guide.md)' >>README.md|README.md links to docs/guide.md"
    "picture the demo does not make|sed -i '/window_shot gorvat-start /d' tools/demo/gorvat.sh|docs/images/gorvat-start.png is not made by the demo"
    "screenshot left out of the guide|echo 'window_shot extra-shot \"x\" \"\$MAIN\"' >>tools/demo/palvine.sh|the demo's screenshot extra-shot is not in docs/images"
)

copy() {
    rm -rf "$work/repo"
    mkdir -p "$work/repo/tools"
    cp -r "$repo/docs" "$work/repo/docs"
    cp -r "$repo/tools/demo" "$work/repo/tools/demo"
    cp "$repo/README.md" "$work/repo/README.md"
}

failed=0
copy
if ! "$repo/tools/check-docs.sh" "$work/repo" >/dev/null 2>"$work/err"; then
    echo "FAIL: the unchanged guide is reported: $(cat "$work/err")"
    failed=1
fi
for fault in "${faults[@]}"; do
    IFS='|' read -r name step report <<<"$fault"
    copy
    (cd "$work/repo" && eval "$step")
    if "$repo/tools/check-docs.sh" "$work/repo" >/dev/null 2>"$work/err"; then
        echo "FAIL: $name passes the check"
        failed=1
    elif ! grep -qF -- "$report" "$work/err"; then
        echo "FAIL: $name reported as: $(cat "$work/err")"
        failed=1
    else
        echo "ok: $name"
    fi
done
exit $failed
