#!/bin/sh
# Builds the Debian source and binary packages as Debian builds them: the
# source tree as git knows it (committed or not, untracked files left out) is
# copied into OUT_DIR/source/quillmar-VERSION, the upstream tarball is made
# from it without debian/, and dpkg-buildpackage builds there. The .deb is
# copied to OUT_DIR. The tarball's files carry the changelog's time, root's
# ownership and fixed permissions, in name order, so it is the same bytes from
# any clone.
#
#   packaging/make-deb.sh [OUT_DIR (build-package)]
set -eu
src=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "${1:-build-package}"
out=$(cd "${1:-build-package}" && pwd)
version=$(dpkg-parsechangelog -l "$src/debian/changelog" -SVersion)
upstream=${version%-*}
epoch=$(dpkg-parsechangelog -l "$src/debian/changelog" -STimestamp)

work=$out/source
tree=$work/quillmar-$upstream
rm -rf "$work"
mkdir -p "$tree"
# Files deleted but not yet committed are skipped.
(cd "$src" && git ls-files -z | tar --null -T - --no-recursion --ignore-failed-read -cf - 2>/dev/null) |
    tar -xf - -C "$tree"
chmod -R u=rwX,go=rX "$tree"
tar --sort=name --mtime="@$epoch" --owner=0 --group=0 --numeric-owner \
    --mode=u=rwX,go=rX --pax-option=exthdr.name=%d/PaxHeaders/%f,delete=atime,delete=ctime \
    --exclude="quillmar-$upstream/debian" -C "$work" -cf - "quillmar-$upstream" |
    xz -6 -T1 >"$work/quillmar_$upstream.orig.tar.xz"

(cd "$tree" && dpkg-buildpackage -us -uc)
rm -f "$out"/quillmar_*.deb
cp "$work/quillmar_${version}_"*.deb "$out/"
