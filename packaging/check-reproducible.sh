#!/bin/sh
# Builds the packages twice, from two clones of the committed tree in
# folders of different names and depths, with different umasks and time
# zones and minutes apart, and checks that both builds give the same bytes:
# their SHA256SUMS must be identical. Differences are listed.
#
#   packaging/check-reproducible.sh [WORK_DIR (a new temporary folder)]
#
# The work folder is removed afterwards unless it was given.
set -eu
source_dir=$(cd "$(dirname "$0")/.." && pwd)
if [ $# -ge 1 ]; then
    mkdir -p "$1"
    work=$(cd "$1" && pwd)
else
    work=$(mktemp -d /var/tmp/quillmar-reproducible.XXXXXX)
    trap 'rm -rf "$work"' EXIT
fi
commit=$(git -C "$source_dir" rev-parse HEAD)

say() { echo "check-reproducible: $*"; }

build() { # FOLDER UMASK TZ
    rm -rf "$1"
    git clone -q --no-checkout "$source_dir" "$1"
    git -C "$1" checkout -q "$commit"
    say "make package in $1 (umask $2, TZ $3)"
    (cd "$1" && umask "$2" && TZ=$3 make package >"$work/$(basename "$1").log" 2>&1) ||
        { tail -30 "$work/$(basename "$1").log" >&2; say "FAILED: make package in $1"; exit 1; }
}

build "$work/first" 022 UTC
build "$work/another/clone/of-quillmar" 002 Pacific/Auckland
first=$work/first/build-package/SHA256SUMS
second=$work/another/clone/of-quillmar/build-package/SHA256SUMS
cat "$first"
if cmp -s "$first" "$second"; then
    say "ok: both builds made the same bytes"
else
    say "FAILED: the builds differ:" >&2
    diff "$first" "$second" >&2 || true
    exit 1
fi
