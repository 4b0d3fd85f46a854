#!/bin/sh
# Checks the Debian package as built: lintian finds nothing to report (errors,
# warnings or anything else it shows by default) in the upload `make deb` made
# (the source package and the .deb, through the .changes) or in the .deb
# alone, and the files are where Debian and desktops look for them.
#
#   packaging/check-deb.sh [PACKAGE_DIR (build-package)]
set -eu

package_dir=${1:-build-package}
deb=$(ls "$package_dir"/quillmar_*_amd64.deb)
fail() { echo "check-deb: FAILED: $*" >&2; exit 1; }

changes=$(ls "$package_dir"/source/quillmar_*_amd64.changes 2>/dev/null || echo "$deb")
echo "check-deb: lintian $changes"
lintian --fail-on error,warning "$changes" >"$package_dir/lintian.txt" || {
    cat "$package_dir/lintian.txt" >&2
    fail "lintian"
}
if [ -s "$package_dir/lintian.txt" ]; then
    cat "$package_dir/lintian.txt" >&2
    fail "lintian reported the lines above"
fi
echo "check-deb: ok: lintian reports nothing"

dpkg-deb --contents "$deb" | awk '{ print $1, $NF }' >"$package_dir/contents.txt"
for entry in \
    '-rwxr-xr-x ./usr/bin/quillmar' \
    '-rwxr-xr-x ./usr/libexec/quillmar/quillmar-drive-query' \
    '-rw-r--r-- ./usr/share/applications/quillmar.desktop' \
    '-rw-r--r-- ./usr/share/icons/hicolor/32x32/apps/quillmar.png' \
    '-rw-r--r-- ./usr/share/icons/hicolor/scalable/apps/quillmar.svg' \
    '-rw-r--r-- ./usr/share/metainfo/org.example.quillmar.metainfo.xml' \
    '-rw-r--r-- ./usr/share/man/man1/quillmar.1.gz' \
    '-rw-r--r-- ./usr/share/doc/quillmar/copyright' \
    '-rw-r--r-- ./usr/share/doc/quillmar/changelog.Debian.gz'; do
    grep -qxF -- "$entry" "$package_dir/contents.txt" || fail "not in the package: $entry"
done
# Nothing but directories may be owned by anyone but root, or sit outside /usr.
awk '$2 !~ /^\.\/(usr\/.*)?$/' "$package_dir/contents.txt" | grep . && fail "files outside /usr"
dpkg-deb --contents "$deb" | awk '$2 != "root/root"' | grep . && fail "files not owned by root"

depends=$(dpkg-deb --field "$deb" Depends)
for wanted in libc6 libqt6widgets6 fonts-liberation2; do
    echo "$depends" | grep -q "$wanted" || fail "Depends has no $wanted: $depends"
done
echo "check-deb: ok: files in place; Depends: $depends"
