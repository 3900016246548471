#!/usr/bin/env bash
# Signs Windows Installer packages with Authenticode (osslsigncode), in
# place, when a certificate is given; without one it leaves them unsigned
# and says so. A package that cannot be signed, or whose signature does not
# verify afterwards, ends the script with status 1 and stays as it was.
#   sign-msi.sh MSI...
# Environment:
#   SUITE_SIGN_PFX        the certificate and key (PKCS#12 file)
#   SUITE_SIGN_PASSWORD   its password (read from a file only this script
#                         can read, never put on a command line)
#   SUITE_SIGN_TIMESTAMP  a time stamp server (RFC 3161 URL), optional: a
#                         time-stamped signature outlives the certificate
#   SUITE_SIGN_CAFILE     the certificates the signature is verified
#                         against (default: the system's)
set -euo pipefail
[ $# -gt 0 ] || { echo "usage: sign-msi.sh MSI..." >&2; exit 2; }
if [ -z "${SUITE_SIGN_PFX:-}" ]; then
    for msi in "$@"; do echo "$(basename "$msi"): not signed (no certificate: SUITE_SIGN_PFX is not set)"; done
    exit 0
fi
[ -r "$SUITE_SIGN_PFX" ] || { echo "sign-msi.sh: cannot read the certificate $SUITE_SIGN_PFX" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
( umask 077 && printf '%s' "${SUITE_SIGN_PASSWORD:-}" >"$work/password" )
timestamp=()
[ -z "${SUITE_SIGN_TIMESTAMP:-}" ] || timestamp=(-ts "$SUITE_SIGN_TIMESTAMP")
verify=()
[ -z "${SUITE_SIGN_CAFILE:-}" ] || verify=(-CAfile "$SUITE_SIGN_CAFILE")

for msi in "$@"; do
    name=$(basename "$msi")
    if ! osslsigncode sign -pkcs12 "$SUITE_SIGN_PFX" -readpass "$work/password" -h sha256 \
            -n "Touch panel suite" "${timestamp[@]}" -in "$msi" -out "$work/$name" >"$work/log" 2>&1; then
        echo "sign-msi.sh: $name could not be signed:" >&2
        cat "$work/log" >&2
        exit 1
    fi
    if ! osslsigncode verify "${verify[@]}" -in "$work/$name" >"$work/log" 2>&1; then
        echo "sign-msi.sh: the signature of $name does not verify:" >&2
        cat "$work/log" >&2
        exit 1
    fi
    mv "$work/$name" "$msi"
    echo "$name: signed"
done
