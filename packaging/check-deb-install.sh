#!/bin/sh
# Installs the .deb into a fresh minimal Debian root (12 "bookworm" unless
# another suite is named, such as 13 "trixie") with apt, as a new user
# would, then: `quillmar --version`; the window on a virtual display, showing
# the figures of "/" (its pie chart's shares match the drive's); closing it
# writes the settings; a drive that is not a local disk answered by the helper
# from /usr/libexec/quillmar; removing the package leaves ~/.config/Quillmar.
#
#   packaging/check-deb-install.sh [PACKAGE_DIR (build-package)] [SUITE (bookworm)]
#
# DEBIAN_ROOT_TEMPLATE may name a minimal root of that suite made before
# (debootstrap --variant=minbase), copied instead of running debootstrap.
# Needs root, debootstrap, Xvfb, xdotool, ImageMagick, erofs-utils, a Debian mirror
# (DEBIAN_MIRROR, deb.debian.org by default) and a machine that allows mounts;
# where one is missing it says so and skips, successfully.
set -eu

package_dir=$(cd "${1:-build-package}" && pwd)
deb=$(ls "$package_dir"/quillmar_*_amd64.deb)
suite=${2:-bookworm}
mirror=${DEBIAN_MIRROR:-http://deb.debian.org/debian}

say() { echo "check-deb-install ($suite): $*"; }
skip() { say "SKIPPED: $*"; exit 0; }
fail() { say "FAILED: $*" >&2; exit 1; }

[ "$(id -u)" -eq 0 ] || skip "needs root for debootstrap, chroot and mounts"
for tool in debootstrap chroot Xvfb xdotool import convert mkfs.erofs; do
    command -v "$tool" >/dev/null || skip "$tool is not installed"
done

root=$(mktemp -d /var/tmp/quillmar-root.XXXXXX)
chmod 755 "$root" # apt's download user reads the root's lists
xvfb=
quillmar=
cleanup() {
    [ -z "$quillmar" ] || kill "$quillmar" 2>/dev/null || true
    [ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null || true
    # A helper that has not yet followed its program keeps a mount busy: it
    # is let go lazily then.
    umount -R "$root" 2>/dev/null || umount -R -l "$root" 2>/dev/null || true
    rm -rf "$root.image" "$root.archive"
    # Never delete through a mount that is still there (/dev, /proc, /sys).
    if grep -q " ${root}[ /]" /proc/self/mountinfo; then
        say "left $root in place: something is still mounted under it" >&2
    else
        rm -rf --one-file-system "$root"
    fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# The root bound onto itself is a mount point, so that "/" appears in the
# chroot's mount table as any system's root does.
mount --bind "$root" "$root" 2>/dev/null || skip "this machine does not allow mounts"
mount --make-private "$root"

if [ -n "${DEBIAN_ROOT_TEMPLATE:-}" ]; then
    say "a copy of $DEBIAN_ROOT_TEMPLATE"
    # Only the root's own files: not /proc, /sys or /dev if it is in use.
    cp -a --one-file-system "$DEBIAN_ROOT_TEMPLATE/." "$root/"
    grep -q "VERSION_CODENAME=$suite\$" "$root/etc/os-release" || fail "$DEBIAN_ROOT_TEMPLATE is no $suite root"
else
    say "debootstrap --variant=minbase $suite ($mirror)"
    debootstrap --variant=minbase "$suite" "$root" "$mirror" >"$root.log" 2>&1 ||
        { tail -20 "$root.log" >&2; rm -f "$root.log"; fail "debootstrap"; }
    rm -f "$root.log"
fi
for dir in proc sys dev dev/pts; do mkdir -p "$root/$dir"; done
mount -t proc proc "$root/proc"
mount --bind /sys "$root/sys"
mount --bind /dev "$root/dev"
mount --bind /dev/pts "$root/dev/pts"

in_root() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 "$@"; }

cp "$deb" "$root/tmp/"
say "apt install ./$(basename "$deb")"
in_root apt-get -o DPkg::Lock::Timeout=300 update -qq ||
    fail "apt-get update in the fresh root"
in_root env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=300 install -y -qq \
    "/tmp/$(basename "$deb")" >"$package_dir/deb-install-$suite.log" 2>&1 ||
    { tail -20 "$package_dir/deb-install-$suite.log" >&2; fail "apt install of the package"; }

version=$(in_root quillmar --version) || fail "quillmar --version"
expected="Quillmar $(dpkg-deb --field "$deb" Version | sed 's/-[^-]*$//')"
[ "$version" = "$expected" ] || fail "quillmar --version said '$version', wanted '$expected'"
say "ok: quillmar --version: $version"

# Stored settings with colours found nowhere else on the screen: red for the
# used share, blue for the free share (colour values are 0x00BBGGRR).
mkdir -p "$root/root/.config/Quillmar"
printf '[Settings]\nDrive=/\nUsedColor=255\nFreeColor=16711680\n' >"$root/root/.config/Quillmar/Quillmar.conf"

# The virtual display runs out here; its socket is bound into the root.
mkdir -p /tmp/.X11-unix "$root/tmp/.X11-unix"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$root/tmp/display" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do [ -s "$root/tmp/display" ] && break; sleep 0.1; done
[ -s "$root/tmp/display" ] || fail "Xvfb did not start"
display=:$(cat "$root/tmp/display")
mount --bind /tmp/.X11-unix "$root/tmp/.X11-unix"

# Starts the installed program, without a shell in between so that $quillmar
# is the program itself, and waits for its window; sets window and title.
open_window() {
    chroot "$root" env -i PATH=/usr/bin:/bin HOME=/root LANG=C.UTF-8 DISPLAY="$display" quillmar \
        >"$package_dir/deb-window-$suite.log" 2>&1 &
    quillmar=$!
    window=
    for _ in $(seq 300); do
        window=$(DISPLAY=$display xdotool search --onlyvisible --name '^Disk Usage' 2>/dev/null | head -1) &&
            [ -n "$window" ] && break
        kill -0 "$quillmar" 2>/dev/null || { cat "$package_dir/deb-window-$suite.log" >&2; fail "quillmar ended without a window"; }
        sleep 0.1
    done
    [ -n "$window" ] || fail "no window within 30 s"
    title=$(DISPLAY=$display xdotool getwindowname "$window")
}

# Closes the window as the session closes it.
close_window() {
    kill -TERM "$quillmar"
    for _ in $(seq 100); do kill -0 "$quillmar" 2>/dev/null || break; sleep 0.1; done
    ! kill -0 "$quillmar" 2>/dev/null || fail "quillmar did not close on SIGTERM"
    quillmar=
}

open_window
case $title in "Disk Usage: /"*) ;; *) fail "the window shows another drive: $title" ;; esac
say "ok: the window is up: $title"

# Two refreshes later, the chart: its red and blue pixels against the drive's
# used and free bytes, as statvfs gives them.
sleep 2.5
DISPLAY=$display import -window "$window" "$package_dir/deb-window-$suite.png"
pixels=$(convert "$package_dir/deb-window-$suite.png" -format %c histogram:info:- |
    awk '/#FF0000/ { used += $1 } /#0000FF/ { free += $1 } END { printf "%d %d", used, free }')
used_pixels=${pixels% *} free_pixels=${pixels#* }
blocks_and_free=$(in_root stat -f -c '%b %f' /)
blocks=${blocks_and_free% *} free_blocks=${blocks_and_free#* }
verdict=$(awk -v up="$used_pixels" -v fp="$free_pixels" -v b="$blocks" -v f="$free_blocks" 'BEGIN {
    if (up + fp < 5000) { print "no chart"; exit }
    shown = up / (up + fp); real = (b - f) / b
    printf "%s used share %.3f, drive %.3f", (shown - real < 0.03 && real - shown < 0.03) ? "ok" : "wrong", shown, real }')
case $verdict in ok*) ;; *) fail "chart of /: $verdict (screenshot: $package_dir/deb-window-$suite.png)" ;; esac
say "ok: the figures of / are shown: chart $verdict"

# Closed as the session closes it, the window writes its settings.
close_window
settings=$root/root/.config/Quillmar/Quillmar.conf
grep -q '^X=' "$settings" || fail "closing wrote no window position into $settings"

# A drive that is not a local disk is asked by the helper the package puts in
# /usr/libexec/quillmar: a read-only erofs image, loop-mounted in the root,
# full to the last block, so its chart is all in the used colour (more than
# 5,000 bytes used: less is drawn as nothing used).
mkdir -p "$root/mnt/archive" "$root.archive"
head -c 65536 /dev/urandom >"$root.archive/data"
mkfs.erofs --quiet "$root.image" "$root.archive" || fail "mkfs.erofs"
rm -rf "$root.archive"
mount -o loop,ro "$root.image" "$root/mnt/archive" || fail "mounting the erofs image"
sed -i 's|^Drive=.*|Drive=/mnt/archive|' "$settings"
open_window
case $title in "Disk Usage: /mnt/archive"*) ;; *) fail "the window shows another drive: $title" ;; esac
sleep 2.5
helper=$(ps -o args= --ppid "$quillmar" | grep -m1 '^/usr/libexec/quillmar/quillmar-drive-query ') ||
    fail "no helper from /usr/libexec/quillmar asks /mnt/archive: $(ps -o args= --ppid "$quillmar" | tr '\n' ' ')"
DISPLAY=$display import -window "$window" "$package_dir/deb-window-archive-$suite.png"
pixels=$(convert "$package_dir/deb-window-archive-$suite.png" -format %c histogram:info:- |
    awk '/#FF0000/ { used += $1 } /#0000FF/ { free += $1 } END { printf "%d %d", used, free }')
# The free colour shows only in its legend swatch.
[ "${pixels% *}" -gt 5000 ] && [ "$((${pixels#* } * 50))" -lt "${pixels% *}" ] ||
    fail "the helper's answer is not shown: used and free pixels $pixels"
say "ok: the helper answers: ${helper%% *} shows /mnt/archive full"
close_window
umount "$root/mnt/archive"
rm -f "$root.image"
sed -i 's|^Drive=.*|Drive=/|' "$settings"
cp "$settings" "$package_dir/deb-settings-$suite.conf"

in_root env DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq quillmar >>"$package_dir/deb-install-$suite.log" 2>&1 ||
    fail "apt remove quillmar"
[ ! -e "$root/usr/bin/quillmar" ] || fail "/usr/bin/quillmar is still there after removal"
cmp -s "$settings" "$package_dir/deb-settings-$suite.conf" || fail "removal changed or removed ~/.config/Quillmar"
say "ok: removed; ~/.config/Quillmar/Quillmar.conf kept"
say "all checks passed"
