#!/bin/sh
# Signs a Windows file in place (Authenticode, SHA-256) with osslsigncode when
# QUILLMAR_SIGN_PKCS12 names a PKCS#12 file and QUILLMAR_SIGN_PASSWORD_FILE a
# file holding its password; without them it leaves the file unsigned.
# QUILLMAR_SIGN_TIMESTAMP_URL, when set, names a time-stamping server, so that
# the signature outlives the certificate.
#
#   packaging/windows/sign.sh FILE DESCRIPTION
set -eu
file=$1 description=$2
if [ -z "${QUILLMAR_SIGN_PKCS12:-}" ]; then
    exit 0
fi
: "${QUILLMAR_SIGN_PASSWORD_FILE:?QUILLMAR_SIGN_PKCS12 is set: QUILLMAR_SIGN_PASSWORD_FILE must name its password file}"
set -- -pkcs12 "$QUILLMAR_SIGN_PKCS12" -readpass "$QUILLMAR_SIGN_PASSWORD_FILE" -h sha256 \
       -n "$description" -i https://quillmar.example.org/
if [ -n "${QUILLMAR_SIGN_TIMESTAMP_URL:-}" ]; then
    set -- "$@" -ts "$QUILLMAR_SIGN_TIMESTAMP_URL"
fi
rm -f "$file.signed"
osslsigncode sign "$@" -in "$file" -out "$file.signed" >/dev/null
mv "$file.signed" "$file"
echo "signed $file"
