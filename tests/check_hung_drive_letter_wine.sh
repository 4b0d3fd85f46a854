#!/usr/bin/env bash
# A drive that stops answering while it is shown must not hold the window:
# quillmar.exe shows drive X:, which answers at first; then X:'s size query
# hangs, and while that query is out the window answers messages within
# 100 ms and goes within 2 s of being told to close (window_answers.exe). Under
# wine on a virtual display, where every drive letter counts as a fixed disk;
# X: is a link to a FUSE file system that hangs once told to.
#
#   tests/check_hung_drive_letter_wine.sh BUILD_DIR FUSE_BLOCKING_FS
#
# Exits 77 (skipped) where FUSE cannot be mounted.
set -euo pipefail
build=$1
fuse_fs=$2
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi
source "$(dirname "$0")/wine_fuse_drive.sh"
mount_fuse_drive "$fuse_fs" --healthy-until-stall

# Waits up to 10 s for a condition; fails the check with the message if it does not come.
wait_for() {
  local message=$1
  shift
  for _ in $(seq 1000); do "$@" && return 0; sleep 0.01; done
  echo "$message"
  exit 1
}
window_shown() { xdotool search --onlyvisible --name '^Disk Usage: X:$' >/dev/null 2>&1; }
# The drive shown healthy: asked a few times, a few refreshes.
answered_thrice() { [ "$(log_count answer)" -ge 3 ]; }
query_held() { [ "$(log_count enter)" -ge 1 ]; }

"$wine" wineboot -u >/dev/null 2>&1
link_drive_x
"$wine" "$build/bin/quillmar.exe" >/dev/null 2>&1 &
disown # ended with the rest of wine at the end
wait_for "quillmar.exe showed no window for X:" window_shown
wait_for "the drive was not asked while shown" answered_thrice
touch "$work/state/stall"
wait_for "the drive was not asked once hung" query_held
"$wine" "$build/bin/window_answers.exe" 'Disk Usage: X:'
