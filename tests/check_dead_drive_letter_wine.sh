#!/usr/bin/env bash
# A drive letter linked to a drive that never answers must not hold the window:
# with that drive stored as the selected one, quillmar.exe shows its window,
# its caption naming the dead drive (so the drive is listed), in under 2 s and
# in about the time a bare window takes in the same wine prefix. Under wine on
# a virtual display; the dead drive is a FUSE file system whose size and
# volume queries never answer, and wine's drive X: a link to it.
#
#   tests/check_dead_drive_letter_wine.sh BUILD_DIR FUSE_BLOCKING_FS [RUNS (3)]
#
# Exits 77 (skipped) where FUSE cannot be mounted.
set -euo pipefail
build=$1
fuse_fs=$2
runs=${3:-3}
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi
limit_ms=2000
source "$(dirname "$0")/wine_fuse_drive.sh"
mount_fuse_drive "$fuse_fs"

# A program that is ended cannot go while one of its threads waits for the
# drive: the queries held are answered, and the drive is dead again for the next.
release_held() {
  touch "$work/state/release"
  while [ "$(log_count enter)" != "$(log_count return)" ]; do
    sleep 0.01
  done
  rm -f "$work/state/release"
}

# Milliseconds from the start of a program until its window is shown; "none"
# when none is within 10 s.
start_to_window() {
  local exe=$1 title=$2 start window=
  start=$(date +%s%N)
  "$wine" "$exe" >/dev/null 2>&1 &
  local pid=$! waited=0
  while [ -z "$window" ] && [ $waited -lt 5000 ]; do
    window=$(xdotool search --onlyvisible --name "$title" 2>/dev/null | head -1) || true
    sleep 0.002
    waited=$((waited + 1))
  done
  local end
  end=$(date +%s%N)
  kill "$pid" 2>/dev/null || true
  release_held
  wait "$pid" 2>/dev/null || true
  if [ -z "$window" ] || [ $(( (end - start) / 1000000 )) -gt 10000 ]; then echo none; else echo $(( (end - start) / 1000000 )); fi
}

bare=$build/bin/bare_win32_window.exe
quillmar=$build/bin/quillmar.exe
# The first start sets the prefix up; then the dead drive becomes X: and the
# stored drive.
start_to_window "$bare" "^Bare window" >/dev/null
link_drive_x

failed=0
for run in $(seq "$runs"); do
  bare_ms=$(start_to_window "$bare" "^Bare window")
  quillmar_ms=$(start_to_window "$quillmar" "^Disk Usage: X:$")
  echo "run $run: bare window $bare_ms ms, quillmar.exe with dead X: $quillmar_ms ms"
  if [ "$quillmar_ms" = none ] || [ "$quillmar_ms" -ge "$limit_ms" ]; then failed=1; fi
done
grep -q return "$work/state/statfs.log" 2>/dev/null || { echo "the dead drive was never asked: the check proves nothing"; failed=1; }
exit $failed
