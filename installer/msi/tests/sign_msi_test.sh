#!/usr/bin/env bash
# sign-msi.sh on a copy of this build's package, with a throwaway
# certificate made here: signed and verified; and the outcomes without a
# certificate, with a wrong password and with a certificate the verifier
# does not trust (the package is left as it was).
#   sign_msi_test.sh MSI
set -euo pipefail
msi=$1
sign=$(dirname "$0")/../sign-msi.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0

openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Touch panel suite test signing" \
    -addext "extendedKeyUsage=codeSigning" -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null
openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/cert.pem" -passout pass:throwaway -out "$work/cert.pfx"
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=someone else" \
    -keyout "$work/other.key" -out "$work/other.pem" 2>/dev/null

# "name|environment|status|output expected|signed afterwards (yes/no)"
cases=(
    "no certificate||0|not signed (no certificate: SUITE_SIGN_PFX is not set)|no"
    "a certificate|SUITE_SIGN_PFX=$work/cert.pfx SUITE_SIGN_PASSWORD=throwaway SUITE_SIGN_CAFILE=$work/cert.pem|0|: signed|yes"
    "a wrong password|SUITE_SIGN_PFX=$work/cert.pfx SUITE_SIGN_PASSWORD=wrong SUITE_SIGN_CAFILE=$work/cert.pem|1|could not be signed|no"
    "no such certificate file|SUITE_SIGN_PFX=$work/none.pfx|1|cannot read the certificate|no"
    "a signer the verifier does not trust|SUITE_SIGN_PFX=$work/cert.pfx SUITE_SIGN_PASSWORD=throwaway SUITE_SIGN_CAFILE=$work/other.pem|1|does not verify|no"
)
for row in "${cases[@]}"; do
    IFS='|' read -r name environment status expected signed <<<"$row"
    cp "$msi" "$work/package.msi"
    got=0
    output=$(env -u SUITE_SIGN_PFX -u SUITE_SIGN_PASSWORD -u SUITE_SIGN_TIMESTAMP -u SUITE_SIGN_CAFILE $environment \
             "$sign" "$work/package.msi" 2>&1) || got=$?
    is_signed=no
    osslsigncode verify -CAfile "$work/cert.pem" -in "$work/package.msi" >/dev/null 2>&1 && is_signed=yes
    if [ "$got" != "$status" ]; then
        echo "FAIL $name: status $got, not $status: $output"; failed=1
    elif ! grep -qF "$expected" <<<"$output"; then
        echo "FAIL $name: no '$expected' in: $output"; failed=1
    elif [ "$is_signed" != "$signed" ]; then
        echo "FAIL $name: signed: $is_signed, not $signed"; failed=1
    elif [ "$signed" = no ] && ! cmp -s "$msi" "$work/package.msi"; then
        echo "FAIL $name: the package changed without a signature"; failed=1
    else
        echo "ok   $name"
    fi
done
# The signed package is still a package with the same payload.
cp "$msi" "$work/package.msi"
SUITE_SIGN_PFX=$work/cert.pfx SUITE_SIGN_PASSWORD=throwaway SUITE_SIGN_CAFILE=$work/cert.pem "$sign" "$work/package.msi" >/dev/null
msiextract -C "$work/signed" "$work/package.msi" >/dev/null
msiextract -C "$work/unsigned" "$msi" >/dev/null
diff -r "$work/signed" "$work/unsigned" >/dev/null || { echo "FAIL the signed package's payload differs"; failed=1; }
exit $failed
