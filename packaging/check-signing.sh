#!/bin/sh
# Signs the Windows packages with a throwaway self-signed certificate, as a
# release is signed with the real one, and checks that quillmar.exe (in the
# zip) and the MSI carry a valid signature from it; then that the unsigned
# packages made again are still the bytes `make windows-package` made.
#
#   packaging/check-signing.sh [PACKAGE_DIR (build-package)]
set -eu
source_dir=$(cd "$(dirname "$0")/.." && pwd)
package_dir=$(cd "${1:-build-package}" && pwd)
build=$package_dir/windows
msi=$(ls "$package_dir"/quillmar-*-x64.msi)
version=$(basename "$msi" | sed -E 's/^quillmar-(.*)-x64\.msi$/\1/')
numeric_version=$(echo "$version" | sed -E 's/^([0-9]+\.[0-9]+\.[0-9]+).*/\1.0/')
epoch=$(dpkg-parsechangelog -l "$source_dir/debian/changelog" -STimestamp)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() { echo "check-signing: FAILED: $*" >&2; exit 1; }
pass() { echo "check-signing: ok: $*"; }

make_packages() { # OUT_DIR
    "$source_dir/packaging/windows/make-packages.sh" "$1" "$version" "$numeric_version" "$epoch" \
        "$build/bin/quillmar.exe" "$build/resources/quillmar.ico" \
        "$build/text/LICENSE.txt" "$build/text/README.txt"
}

openssl req -x509 -newkey rsa:3072 -nodes -days 2 -subj "/CN=Quillmar test signer" \
    -addext keyUsage=critical,digitalSignature -addext extendedKeyUsage=codeSigning \
    -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null || fail "openssl req"
head -c 24 /dev/urandom | base64 >"$work/password"
openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/cert.pem" -passout "file:$work/password" \
    -out "$work/signer.p12" || fail "openssl pkcs12"

QUILLMAR_SIGN_PKCS12=$work/signer.p12 QUILLMAR_SIGN_PASSWORD_FILE=$work/password \
    make_packages "$work/signed" || fail "making the signed packages"
(cd "$work/signed" && unzip -q "quillmar-$version-win64.zip") || fail "unzip"
for file in "$work/signed/Quillmar-$version/quillmar.exe" "$work/signed/$(basename "$msi")"; do
    osslsigncode verify -CAfile "$work/cert.pem" -in "$file" >"$work/verify.log" 2>&1 ||
        { cat "$work/verify.log" >&2; fail "no valid signature on $(basename "$file")"; }
    grep -q '^Message digest algorithm *: SHA256' "$work/verify.log" ||
        { cat "$work/verify.log" >&2; fail "$(basename "$file") is not signed with SHA-256"; }
    grep -q 'Subject: .*CN *= *Quillmar test signer' "$work/verify.log" ||
        { cat "$work/verify.log" >&2; fail "$(basename "$file") is not signed by the test certificate"; }
    pass "$(basename "$file") carries a valid SHA-256 signature by the test certificate"
done

make_packages "$work/unsigned" || fail "making the unsigned packages again"
for file in "$(basename "$msi")" "quillmar-$version-win64.zip"; do
    cmp -s "$work/unsigned/$file" "$package_dir/$file" || fail "unsigned $file made again differs"
done
pass "unsigned again: the same MSI and zip as $package_dir"
