#!/bin/sh
# The program's command line, run for real without a display: -h, --help and
# --version answer on standard output and succeed; anything else is refused
# with one line on standard error naming it, and status 2. With no arguments
# and no display, one line says so, with status 1; with a display named that
# is not there, Qt says so, and the status is 1 too, not an abort.
set -u
program=$1
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
# A UTF-8 locale, which every Debian has: under another (a fresh root's "C"),
# newer Qt says so first, before its account of the missing display.
export LC_ALL=C.UTF-8
errors=$(mktemp)
trap 'rm -f "$errors"' EXIT
failed=0

# matches TEXT PATTERN: the text's first line is the pattern, or both are empty.
matches() {
    if [ -z "$1" ]; then [ -z "$2" ]; else printf '%s\n' "$1" | head -n 1 | grep -Eqx -- "$2"; fi
}

# check STATUS STDOUT-PATTERN STDERR-PATTERN ARGUMENT...: the first lines printed.
check() {
    want_status=$1 out_pattern=$2 err_pattern=$3
    shift 3
    out=$("$program" "$@" 2>"$errors")
    status=$?
    err=$(cat "$errors")
    if [ "$status" -ne "$want_status" ] ||
        ! matches "$out" "$out_pattern" || ! matches "$err" "$err_pattern"; then
        printf 'FAILED: quillmar %s -> status %s\nstdout: %s\nstderr: %s\n' "$*" "$status" "$out" "$err"
        failed=1
    fi
}

check 0 'Quillmar 4\.6\.9b' '' --version
check 0 'Usage: quillmar \[-h \| --help \| --version\]' '' --help
check 0 'Usage: quillmar \[-h \| --help \| --version\]' '' -h
check 2 '' "quillmar: unknown argument '-v' \(try --help\)" -h -v
check 2 '' "quillmar: unknown argument '--verbose' \(try --help\)" --verbose
check 2 '' "quillmar: unknown argument 'C:' \(try --help\)" --version C:
no_display='quillmar: cannot open a display: set DISPLAY or WAYLAND_DISPLAY'
check 1 '' "$no_display"
DISPLAY= WAYLAND_DISPLAY= check 1 '' "$no_display"
QT_QPA_PLATFORM=xcb check 1 '' "$no_display"
QT_QPA_PLATFORM='wayland;xcb' check 1 '' "$no_display"
DISPLAY=:4321 QT_QPA_PLATFORM=xcb check 1 '' 'qt\.qpa\.xcb: could not connect to display :4321'
exit $failed
