#!/usr/bin/env bash
# tools/check-docs.sh against a copy of the guide, the demo's scenes and the
# libraries' interfaces with one fault at a time: each must be found, and
# the unchanged copy passes.
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
    "picture the demo does not make|sed -i '/window_shot(\"gorvat-start\"/d' tools/demo/demo.py|docs/images/gorvat-start.png is not made by the demo"
    "screenshot left out of the guide|echo '    demo.window_shot(\"extra-shot\", \"x\", main)' >>tools/demo/demo.py|the demo's screenshot extra-shot is not in docs/images"
    "link to a heading that does not exist|echo '[x](sdk.md#no-such-heading)' >>docs/troubleshooting.md|troubleshooting.md links to sdk.md#no-such-heading, a heading that does not exist"
    "link to a heading of the page itself that does not exist|echo '[x](#nowhere)' >>docs/permissions.md|permissions.md links to itself#nowhere"
    "page left out of the contents|echo '# Extra' >docs/extra.md|docs/extra.md is not linked from docs/README.md"
    "new export without a reference entry|echo 'TAVLO_EXPORT(TavloGetWidget, GetWidget, (uint8_t* w), (w), (IOCTL_TAVLO_GET_VERSION))' >>tavlo/include/tavlo_exports.inc|the export TavloGetWidget has no entry in docs/sdk-reference.md"
    "reference entry of an export that is gone|sed -i 's/^### \`TavloGetVersion\`/### \`TavloGetVersions\`/' docs/sdk-reference.md|has an entry for TavloGetVersions, which is no export"
    "new member function without an entry|sed -i 's/^    int BRIMOL_MEMBER UpdateDevices();/&\\n    int BRIMOL_MEMBER Refresh();/' brimol/include/brimol.h|the member CUSBInterface::Refresh has no entry"
    "new data member without an entry|sed -i 's/^    int32_t timeEnable; .*/&\\n    int32_t spare;/' brimol/include/brimol.h|the member CRegSystem::spare has no entry"
    "new heap operators without an entry|sed -i '/^class BRIMOL_API CRegSystem/,/^};/ s/^public:/BRIMOL_HEAP_ACCESS:\\n    BRIMOL_HEAP_OPERATORS\\npublic:/' brimol/include/brimol.h|the member CRegSystem::operator new has no entry"
    "reference naming a member that does not exist|echo '\`CUSBInterface::Reset()\` resets' >>docs/sdk-reference.md|names CUSBInterface::Reset, which brimol.h does not declare"
)

copy() {
    rm -rf "$work/repo"
    mkdir -p "$work/repo/tools"
    cp -r "$repo/docs" "$work/repo/docs"
    cp -r "$repo/tools/demo" "$work/repo/tools/demo"
    cp "$repo/README.md" "$work/repo/README.md"
    mkdir -p "$work/repo/tavlo/include" "$work/repo/brimol/include"
    cp "$repo/tavlo/include/tavlo_exports.inc" "$work/repo/tavlo/include/"
    cp "$repo/brimol/include/brimol.h" "$work/repo/brimol/include/"
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
