#!/usr/bin/env bash
# The 64-bit setup started on a 32-bit Windows (a Wine prefix of its own,
# made 32-bit here) says so and ends with exit code 7, installing nothing;
# it must not fail in the loader instead.
#   wrong_windows_test.sh SETUP.EXE
set -euo pipefail
setup=$1
. "$(dirname "$0")/../../harness/wine-env.sh"
if ! "$SUITE_WINE32" --version >/dev/null 2>&1; then
    echo "skipped: Wine's 32-bit loader cannot run on this machine"
    exit 77
fi
export WINEPREFIX WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
WINEPREFIX=$(mktemp -d)/prefix
trap '"$SUITE_WINESERVER" -k >/dev/null 2>&1 || true; rm -rf "$(dirname "$WINEPREFIX")"' EXIT
"$SUITE_WINE32" wineboot -i </dev/null >/dev/null 2>&1 || { echo "FAIL: no 32-bit Wine prefix"; exit 1; }
[ ! -d "$WINEPREFIX/drive_c/windows/syswow64" ] || { echo "FAIL: the prefix is not 32-bit"; exit 1; }
status=0
"$SUITE_WINE32" "$setup" /S </dev/null >/dev/null 2>&1 || status=$?
[ $status -eq 7 ] || { echo "FAIL: the 64-bit setup on 32-bit Windows ended with status $status, not 7"; exit 1; }
[ ! -e "$WINEPREFIX/drive_c/Orlinde" ] || { echo "FAIL: it installed something"; exit 1; }
echo "ok   the 64-bit setup on 32-bit Windows: exit code 7, nothing installed"
