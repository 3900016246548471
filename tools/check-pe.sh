#!/usr/bin/env bash
# Checks a Windows binary's imports (and optionally its exports):
#   check-pe.sh OBJDUMP BINARY ALLOWED_DLLS_REGEX [EXPECTED_EXPORTS_FILE]
# Fails when the binary imports a DLL outside ALLOWED_DLLS_REGEX, or when its
# exported names differ from the sorted list in EXPECTED_EXPORTS_FILE.
set -euo pipefail
objdump=$1 binary=$2 allowed=$3 expected=${4:-}
dump=$("$objdump" -p "$binary")
status=0
while read -r dll; do
    if ! grep -qiE "^(${allowed})$" <<<"$dll"; then
        echo "unexpected import: $dll" >&2
        status=1
    fi
done < <(sed -n 's/^\s*DLL Name: //p' <<<"$dump")
if [ -n "$expected" ]; then
    actual=$(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$dump" | sed -n 's/^\s*\[ *[0-9]*\] //p' | sort)
    if ! diff <(sort "$expected") <(echo "$actual") >&2; then
        echo "exports of $binary differ from $expected" >&2
        status=1
    fi
fi
[ $status -eq 0 ] && echo "$(basename "$binary"): imports and exports as expected"
exit $status
