#!/usr/bin/env bash
# Signed builds: a certificate authority and a code-signing certificate made with openssl for this run
# only, the build signed with them (no timestamp server: no network), each signature checked with
# osslsigncode, one changed byte caught, the signed program run under Wine; then the build is made as
# the caller's environment asks again (unsigned, unless it names a certificate). The test command
# sources this file and calls test_signed_build after the package test.

source "$(dirname "${BASH_SOURCE[0]}")/msi-test.sh" # not

# test_signed_build: needs WINEPREFIX and a configured build.
test_signed_build() {
    local work="$BUILD/sign-test" status=0 output
    rm -rf "$work" && mkdir -p "$work"
    # A password that no shell word or command line would carry unchanged.
    local password="throw-away pass'word\"\$x &"
    make_certificates "$work" "$password" || return 1
    output=$(export KELMORA_SIGN_PFX="$work/signer.pfx" KELMORA_SIGN_PASSWORD="$password" \
        KELMORA_SIGN_CAFILE="$work/ca.pem" && unset KELMORA_SIGN_TIMESTAMP_URL && build --target kelmora_msi 2>&1) ||
        { echo "$output" >&2; echo "Signing test: the signed build failed" >&2; status=1; }
    [ $status -ne 0 ] || signed_cases "$work" "$output" || status=1
    output=$(build --target kelmora_msi 2>&1) || { echo "$output" >&2; status=1; }
    if [ -z "${KELMORA_SIGN_PFX:-}" ]; then
        sign_check "one line saying the build is not signed" \
            [ "$(grep -c '^The build is not signed: KELMORA_SIGN_PFX names no code-signing certificate.$' <<<"$output")" = 1 ] &&
            sign_check "an unsigned program again" not verifies "$BUILD/kelmora.exe" "$work/ca.pem" || status=1
    fi
    [ $status -eq 0 ] && echo "Signed build: signatures of the program, the switch action and the package verified"
}

signed_cases() {
    local work="$1" output="$2" serial file
    serial=$(openssl x509 -in "$work/signer.pem" -noout -serial | sed 's/^serial=//')
    sign_check "no password in the build's output" not grep -qF "pass'word" <<<"$output" || return 1
    mkdir -p "$work/dumped" && msiextract -C "$work/extracted" "$BUILD/kelmora.msi" >/dev/null &&
        msidump -s -d "$work/dumped" "$BUILD/kelmora.msi" >/dev/null || return 1
    for file in "$BUILD/kelmora.exe" "$BUILD/kelmora_switch.dll" "$BUILD/kelmora.msi" \
        "$work/extracted/Norvale/Morvane/kelmora.exe" "$work/dumped/_Streams/Binary.SwitchAction"; do
        sign_check "$file signed by the certificate, chained to the authority" \
            verifies "$file" "$work/ca.pem" "$serial" || return 1
    done
    # One byte of the help text, and one of the packed files.
    cp "$BUILD/kelmora.exe" "$work/changed.exe" && cp "$BUILD/kelmora.msi" "$work/changed.msi"
    flip_byte "$work/changed.exe" "$(offset_of 'Morvane chooses' "$work/changed.exe")" &&
        flip_byte "$work/changed.msi" $(($(offset_of MSCF "$work/changed.msi") + 200)) || return 1
    sign_check "a changed program not verified" not verifies "$work/changed.exe" "$work/ca.pem" &&
        sign_check "a changed package not verified" not verifies "$work/changed.msi" "$work/ca.pem" || return 1
    output=$(timeout 60 wine "$BUILD/kelmora.exe" -help </dev/null 2>/dev/null) ||
        { echo "Signing test: the signed kelmora.exe -help failed" >&2; return 1; }
    sign_check "the signed program running" [ "${output:0:15}" = "Morvane chooses" ]
}

# make_certificates WORK PASSWORD: ca.pem, a certificate authority valid for two days, and signer.pfx,
# a code-signing certificate it issued (signer.pem) with its key, under PASSWORD.
make_certificates() {
    local work="$1"
    (
        cd "$work" &&
            openssl req -x509 -newkey rsa:2048 -nodes -keyout ca.key -out ca.pem -days 2 -subj "/CN=Kelmora Test CA" \
                -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign,cRLSign &&
            openssl req -newkey rsa:2048 -nodes -keyout signer.key -out signer.csr -subj "/CN=Kelmora Test Signer" &&
            printf 'basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=codeSigning\n' >signer.ext &&
            openssl x509 -req -in signer.csr -CA ca.pem -CAkey ca.key -CAcreateserial -days 2 -extfile signer.ext \
                -out signer.pem &&
            PASSWORD="$2" openssl pkcs12 -export -in signer.pem -inkey signer.key -certfile ca.pem -out signer.pfx \
                -passout env:PASSWORD
    ) >/dev/null 2>&1 || { echo "Signing test: openssl could not make the certificates" >&2; return 1; }
}

# verifies FILE CAFILE [SERIAL]: whether FILE carries a valid SHA-256 signature that chains to CAFILE,
# made by the certificate SERIAL when one is given.
verifies() {
    local report
    report=$(osslsigncode verify -in "$1" -CAfile "$2" 2>&1) || { echo "$report" >&2; return 1; }
    grep -q "^Signature verification: ok$" <<<"$report" && grep -q "^Message digest algorithm *: SHA256$" <<<"$report" &&
        [ -z "${3:-}" -o "$(sed -n '/^Signer.s certificate:/,/Serial/s/^\s*Serial : //p' <<<"$report")" = "${3:-}" ]
}

# offset_of TEXT FILE: where TEXT first stands in FILE.
offset_of() {
    grep -obUaF "$1" "$2" | head -1 | cut -d: -f1
}

# flip_byte FILE OFFSET: changes the lowest bit of the byte at OFFSET.
flip_byte() {
    local byte
    [ -n "$2" ] || return 1
    byte=$(od -An -tu1 -j "$2" -N1 "$1" | tr -d ' ')
    printf "$(printf '\\%03o' $((byte ^ 1)))" | dd of="$1" bs=1 seek="$2" count=1 conv=notrunc 2>/dev/null
}

# sign_check WHAT COMMAND...: the command must succeed.
sign_check() {
    local what="$1"
    shift
    "$@" && return 0
    echo "Signing test: expected $what" >&2
    return 1
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
    source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/common.sh"
    install_missing_packages
    create_prefix "$BUILD/wineprefix-msi"
    test_signed_build
    wineserver -w
fi
