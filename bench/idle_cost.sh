#!/bin/sh
# What Quillmar costs every second, beside floors that do the same kind of
# work, in one run under Xvfb (xcb platform). Each floor runs at the same time
# as Quillmar, measured over the same seconds:
#   quiet floor     a bare Qt window (a label and a drop-down list) with a
#                   one-second timer that does nothing
#   Quillmar quiet  Quillmar on a small tmpfs that nobody writes to
#   busy floor      the bare window showing a new number every second
#   Quillmar busy   Quillmar on a small tmpfs whose free bytes this script
#                   changes every 300 ms
# Each row gives:
#   CPU         all threads' run time from /proc/PID/task/*/schedstat over the
#               measured span, in microseconds per second, the program's helper
#               processes included
#   wake-ups    times any of those threads slept and was woken, per second
#               (voluntary_ctxt_switches of /proc/PID/task/*/status)
#   peak RSS    VmHWM of the window's process at the end
# and each Quillmar row is followed by the median of its ten-second slices'
# ratios to the floor, which the summary gives; the start, from launch to the
# window being mapped and visible, is the
# median of seven, the floor and Quillmar taking turns. Every program gets a
# fresh settings directory (XDG_CONFIG_HOME), never the user's own.
#
# Needs root (or sudo) for the two tmpfs mounts, Xvfb and xdotool.
#
#   bench/idle_cost.sh [BUILD_DIR] [SECONDS]
set -eu

build=${1:-build}
seconds=${2:-60}
settle=3
floor=$build/bin/bare_window
quillmar=$build/bin/quillmar
sudo=$([ "$(id -u)" -eq 0 ] || echo sudo)

work=$(mktemp -d)
xvfb= writer=
cleanup() {
    [ -z "$writer" ] || kill "$writer" 2>/dev/null || true
    [ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null || true
    $sudo umount "$work/quiet" "$work/busy" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT INT TERM

mkdir "$work/quiet" "$work/busy"
$sudo mount -t tmpfs -o size=8m,mode=1777 quillmar-quiet "$work/quiet"
$sudo mount -t tmpfs -o size=8m,mode=1777 quillmar-busy "$work/busy"
# The busy drive: a file whose size changes every 300 ms.
(
    n=0
    while :; do
        n=$(((n + 1) % 7))
        head -c $((n * 65536 + 4096)) /dev/zero >"$work/busy/changing"
        sleep 0.3
    done
) &
writer=$!

if [ -z "${DISPLAY:-}" ]; then
    # Xvfb picks a free display number itself and writes it down.
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
    xvfb=$!
    tries=0
    until [ -s "$work/display" ]; do
        tries=$((tries + 1))
        [ "$tries" -lt 200 ] || { echo "Xvfb did not start" >&2; exit 1; }
        sleep 0.05
    done
    export DISPLAY=:$(cat "$work/display")
fi
export QT_QPA_PLATFORM=xcb
unset QT_ACCESSIBILITY

# The process and all of its descendants.
family() {
    for pid in "$@"; do
        echo "$pid"
        family $(pgrep -P "$pid" || true)
    done
}

# Sums over every thread of the given processes: run time in ns and the times a
# thread went to sleep of its own accord, each of which ends in a wake-up (a
# thread merely preempted by another program is not counted).
sample() {
    ns=$(cat $(for pid in "$@"; do echo /proc/"$pid"/task/*/schedstat; done) 2>/dev/null |
        awk '{ ns += $1 } END { printf "%d", ns }')
    sleeps=$(cat $(for pid in "$@"; do echo /proc/"$pid"/task/*/status; done) 2>/dev/null |
        awk '/^voluntary_ctxt_switches/ { n += $2 } END { printf "%d", n }')
    echo "$ns $sleeps"
}

# launch NAME DRIVE PROGRAM [ARGS]: starts the program with DRIVE stored as its
# drive and waits until its window shows; sets pid and start (ms).
launch() {
    name=$1 drive=$2
    shift 2
    config="$work/$name-config"
    mkdir -p "$config/Quillmar"
    printf '[Settings]\nDrive=%s\n' "$drive" >"$config/Quillmar/Quillmar.conf"
    launched=$(date +%s%N)
    XDG_CONFIG_HOME=$config "$@" >/dev/null 2>"$work/$name.log" &
    pid=$!
    until xdotool search --onlyvisible --pid "$pid" >/dev/null 2>&1; do
        kill -0 "$pid" 2>/dev/null || { echo "$1 ended before showing its window:" >&2; cat "$work/$name.log" >&2; exit 1; }
    done
    start=$((($(date +%s%N) - launched) / 1000000))
}

stop() {
    kill "$pid"
    wait "$pid" 2>/dev/null || true
}

median_of() { sort -n | sed -n 4p; }

# The median start of seven, the two programs taking turns, since one start on
# a busy machine says little.
for round in 1 2 3 4 5 6 7; do
    launch floor-start "$work/quiet" "$floor"
    echo "$start" >>"$work/floor-starts"
    stop
    launch quillmar-start "$work/quiet" "$quillmar"
    echo "$start" >>"$work/quillmar-starts"
    stop
done
floor_start=$(median_of <"$work/floor-starts")
quillmar_start=$(median_of <"$work/quillmar-starts")

# usage PID...: the run time (ns) and sleeps of the processes and all their
# descendants, helpers started meanwhile counted from their own start.
usage() { sample $(family "$@"); }

# row NAME NS0 SLEEPS0 NS1 SLEEPS1 PID: prints the row; sets cpu, wakeups, rss.
row() {
    cpu=$((($4 - $2) / seconds / 1000))
    wakeups=$(awk -v n=$(($5 - $3)) -v s="$seconds" 'BEGIN { printf "%.2f", n / s }')
    rss=$(awk '/VmHWM/ { print $2 }' /proc/"$6"/status)
    printf '%-16s %8d us/s %8s /s %9.1f MiB %3d processes\n' "$1" "$cpu" "$wakeups" \
        "$(awk -v k="$rss" 'BEGIN { print k / 1024 }')" "$(family "$6" | wc -w)"
}

# side_by_side KIND DRIVE [FLOOR ARGS]: the floor and Quillmar on the same
# drive, running at the same time and measured over the same seconds, so that
# whatever else the machine does weighs on both alike. The span is cut into
# slices of ten seconds; a burst of other work lands in a slice or two, so the
# median of the slices' ratios says more than the ratio of the totals. Prints
# both rows and the median; sets floor_cpu and floor_rss, cpu, wakeups and rss
# for Quillmar, and ratio.
side_by_side() {
    kind=$1 drive=$2
    shift 2
    launch "$kind-floor" "$drive" "$floor" "$@"
    floor_pid=$pid
    launch "$kind-quillmar" "$drive" "$quillmar"
    quillmar_pid=$pid
    sleep "$settle"
    floor0=$(usage "$floor_pid") quillmar0=$(usage "$quillmar_pid")
    floor_slice=${floor0% *} quillmar_slice=${quillmar0% *}
    : >"$work/$kind-ratios"
    slices=$((seconds / 10))
    for _ in $(seq "$slices"); do
        sleep 10
        floor_now=$(usage "$floor_pid") quillmar_now=$(usage "$quillmar_pid")
        awk -v q=$((${quillmar_now% *} - quillmar_slice)) -v f=$((${floor_now% *} - floor_slice)) \
            'BEGIN { if (f > 0) printf "%.3f\n", q / f }' >>"$work/$kind-ratios"
        floor_slice=${floor_now% *} quillmar_slice=${quillmar_now% *}
    done
    floor1=$(usage "$floor_pid") quillmar1=$(usage "$quillmar_pid")
    row "$kind floor" $floor0 $floor1 "$floor_pid"
    floor_cpu=$cpu floor_rss=$rss
    row "Quillmar $kind" $quillmar0 $quillmar1 "$quillmar_pid"
    ratio=$(sort -n "$work/$kind-ratios" | awk '{ r[NR] = $1 } END { print NR % 2 ? r[(NR + 1) / 2] : (r[NR / 2] + r[NR / 2 + 1]) / 2 }')
    printf '%-16s %8s x the floor, median of %d slices of 10 s: %s\n' "" "$ratio" "$slices" \
        "$(tr '\n' ' ' <"$work/$kind-ratios")"
    for pid in "$floor_pid" "$quillmar_pid"; do stop; done
}

printf '%-16s %13s %11s %13s\n' "" "CPU" "wake-ups" "peak RSS"
side_by_side quiet "$work/quiet"
quiet_ratio=$ratio quiet_wakeups=$wakeups
side_by_side busy "$work/busy" --busy
busy_ratio=$ratio

awk -v q="$quiet_ratio" -v qw="$quiet_wakeups" -v b="$busy_ratio" \
    -v s="$quillmar_start" -v sf="$floor_start" -v r="$rss" -v rf="$floor_rss" 'BEGIN {
    printf "\nquiet drive  %.2f x the quiet floor, %s wake-ups/s (targets 1.2 x, 2 /s)\n", q, qw
    printf "busy drive   %.2f x the busy floor (target 1.3 x)\n", b
    printf "start        %d ms against %d ms: %.2f x (target 1.1 x)\n", s, sf, s / sf
    printf "peak RSS     %.2f x the floor (target 1.1 x)\n", r / rf }'
