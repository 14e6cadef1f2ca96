#!/usr/bin/env bash
# Signs files of the build with a code-signing certificate and verifies each signature; the build runs
# it on kelmora.exe and the installer's switch action as soon as each is linked, and on kelmora.msi
# once it is packed.
#
#   scripts/sign.sh [--say-unsigned] FILE...
#
# KELMORA_SIGN_PFX         the certificate and its private key, a PKCS#12 (.pfx) file; unset: no signing
# KELMORA_SIGN_PASSWORD    its password, if it has one, handed to osslsigncode on its standard input,
#                          never on a command line
# KELMORA_SIGN_TIMESTAMP_URL  an RFC 3161 timestamp server, so the signature outlives the certificate
# KELMORA_SIGN_CAFILE      the certificates the signature is verified against (PEM); unset: the system's
#
# Authenticode with SHA-256. Without a certificate nothing is signed, and --say-unsigned says so in one
# line. A file that cannot be signed, or whose signature does not verify, is deleted, so that no
# unsigned file is handed out and the next build makes it anew; the exit code is then 1.
set -euo pipefail

say_unsigned=
if [ "${1:-}" = --say-unsigned ]; then
    say_unsigned=1
    shift
fi
if [ -z "${KELMORA_SIGN_PFX:-}" ]; then
    [ -z "$say_unsigned" ] || echo "The build is not signed: KELMORA_SIGN_PFX names no code-signing certificate."
    exit 0
fi

for file in "$@"; do
    signed="$file.signed" report=$(mktemp)
    sign=(osslsigncode sign -pkcs12 "$KELMORA_SIGN_PFX" -h sha256 -n Morvane)
    # Standard input read as a file, as older osslsigncode versions take it too; no empty password is
    # read from it, so a certificate without one gets none.
    [ -z "${KELMORA_SIGN_PASSWORD:-}" ] || sign+=(-readpass /dev/stdin)
    [ -z "${KELMORA_SIGN_TIMESTAMP_URL:-}" ] || sign+=(-ts "$KELMORA_SIGN_TIMESTAMP_URL")
    verify=(osslsigncode verify -in "$signed")
    [ -z "${KELMORA_SIGN_CAFILE:-}" ] || verify+=(-CAfile "$KELMORA_SIGN_CAFILE")
    rm -f "$signed"
    if printf '%s' "${KELMORA_SIGN_PASSWORD:-}" | "${sign[@]}" -in "$file" -out "$signed" >"$report" 2>&1 &&
        "${verify[@]}" >>"$report" 2>&1; then
        mv -f "$signed" "$file"
        echo "Signed and verified: $(basename "$file")"
        rm -f "$report"
    else
        echo "$(basename "$file") could not be signed or its signature did not verify; it was deleted:" >&2
        cat "$report" >&2
        rm -f "$report" "$signed" "$file"
        exit 1
    fi
done
