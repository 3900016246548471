#!/usr/bin/env bash
# Signs Windows binaries in place with Authenticode (osslsigncode, SHA-256):
#   SUITE_SIGN_PFX=cert.pfx SUITE_SIGN_PASSWORD=... [SUITE_SIGN_TIMESTAMP=URL] sign-file.sh FILE...
# The password is handed to osslsigncode in a file of this user's only,
# never on a command line. With SUITE_SIGN_TIMESTAMP the signature gets a
# time stamp from that RFC 3161 server, so it stays valid after the
# certificate has expired.
set -euo pipefail
: "${SUITE_SIGN_PFX:?sign-file.sh: SUITE_SIGN_PFX names no certificate}"
[ -f "$SUITE_SIGN_PFX" ] || { echo "sign-file.sh: no certificate $SUITE_SIGN_PFX" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chmod 700 "$work"
printf '%s' "${SUITE_SIGN_PASSWORD:-}" >"$work/pass"
stamp=()
[ -z "${SUITE_SIGN_TIMESTAMP:-}" ] || stamp=(-ts "$SUITE_SIGN_TIMESTAMP")
for file in "$@"; do
    # A file signed before (a stage signed again) loses that signature first.
    if osslsigncode extract-signature -in "$file" -out "$work/old.sig" >/dev/null 2>&1; then
        osslsigncode remove-signature -in "$file" -out "$work/unsigned" >"$work/log" 2>&1 ||
            { cat "$work/log" >&2; echo "sign-file.sh: could not remove the signature of $file" >&2; exit 1; }
        cat "$work/unsigned" >"$file"
        rm -f "$work/unsigned"
    fi
    rm -f "$work/old.sig"
    osslsigncode sign -pkcs12 "$SUITE_SIGN_PFX" -readpass "$work/pass" -h sha256 -n "Touch panel suite" \
        "${stamp[@]}" -in "$file" -out "$work/signed" >"$work/log" 2>&1 ||
        { cat "$work/log" >&2; echo "sign-file.sh: could not sign $file" >&2; exit 1; }
    cat "$work/signed" >"$file"
    rm -f "$work/signed"
done
