#!/bin/sh
# No program the project builds may look for libraries where it is started: an
# empty or relative RUNPATH or RPATH entry is taken by the dynamic loader as
# relative to the current directory, so a library left there would run inside
# the program, and a folder on a dead mount would hang it before main().
# Checks every ELF file of the build tree and of an install of it.
#
#   check_runpath.sh BUILD_DIR
set -u
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
if ! cmake --install "$build" --prefix "$prefix" >/dev/null; then
    echo "FAILED: cmake --install $build"
    exit 1
fi

failed=0
checked=0
installed=0
# The compiler checks CMake runs while it configures are not the project's.
files=$(find "$build" "$prefix" -path '*/CMakeFiles' -prune -o -type f -print)
IFS='
'
for file in $files; do
    readelf -h "$file" >/dev/null 2>&1 || continue
    checked=$((checked + 1))
    case $file in "$prefix"/*) installed=$((installed + 1)) ;; esac
    for paths in $(readelf -d "$file" | sed -n 's/.*(R[UN]*PATH).*\[\(.*\)\]$/\1/p'); do
        # Every entry must be absolute or relative to the program's own folder.
        if printf '%s\n' "$paths" | awk -F: 'NF == 0 { bad = 1 }
            { for (i = 1; i <= NF; i++) if ($i !~ /^(\/|\$ORIGIN|\$\{ORIGIN\})/) bad = 1 }
            END { exit !bad }'; then
            echo "FAILED: $file has the library search path \"$paths\""
            failed=1
        fi
    done
done
if [ "$checked" -eq 0 ] || [ "$installed" -eq 0 ]; then
    echo "FAILED: no programs found ($checked in $build and its install)"
    failed=1
fi
[ "$failed" -eq 0 ] && echo "$checked ELF files checked ($installed installed)"
exit "$failed"
