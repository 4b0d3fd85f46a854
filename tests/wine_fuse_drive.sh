# Sourced by the wine checks of a drive that does not answer: a wine prefix of
# their own in a work folder, the FUSE drive of fuse_blocking_fs mounted in it,
# and everything ended and removed on exit. Needs a display, exits 77
# (skipped) where FUSE cannot be mounted.
#
#   source tests/wine_fuse_drive.sh; mount_fuse_drive FUSE_BLOCKING_FS [OPTION]

[ -r /dev/fuse ] && [ -w /dev/fuse ] || { echo "no usable /dev/fuse: skipped"; exit 77; }

wine=/usr/lib/wine/wine64
work=$(mktemp -d)
mkdir "$work/state" "$work/dead" "$work/prefix"
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

fuse_pid=
# Wine's own processes of this prefix, some of them perhaps stuck on the dead
# drive: ended by their ids.
stop_wine() {
  /usr/lib/wine/wineserver64 -k 2>/dev/null || true
  local pid
  for pid in $(pgrep -f 'C:\\windows\\' || true); do
    if tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX"; then
      kill -9 "$pid" 2>/dev/null || true
    fi
  done
}
cleanup() {
  stop_wine
  touch "$work/state/release"
  [ -n "$fuse_pid" ] && { kill "$fuse_pid" 2>/dev/null || true; wait "$fuse_pid" 2>/dev/null || true; }
  fusermount3 -u -z "$work/dead" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Size queries of the wineserver are spared: it stands for the system, which a
# dead drive does not hold on Windows.
mount_fuse_drive() {
  "$1" ${2:+"$2"} "$work/state" "$work/dead" wineserver64 >/dev/null 2>&1 &
  fuse_pid=$!
  for _ in $(seq 100); do [ -e "$work/state/ready" ] && break; sleep 0.1; done
  [ -e "$work/state/ready" ] || { echo "the FUSE drive did not mount: skipped"; exit 77; }
}

# The drive becomes X: and the program's stored drive. Wine's mount manager
# reads the drive links when it starts: wine is started again afterwards.
link_drive_x() {
  ln -s "$work/dead" "$WINEPREFIX/dosdevices/x:"
  stop_wine
  /usr/lib/wine/wineserver64 -w 2>/dev/null || true
  "$wine" reg add 'HKCU\Software\Quillmar\Settings' /v Drive /t REG_SZ /d 'X:\' /f >/dev/null 2>&1
}

# How many lines of the drive's log read $1.
log_count() {
  grep -c "$1" "$work/state/statfs.log" 2>/dev/null || true
}
