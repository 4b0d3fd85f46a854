#!/bin/sh
# What the idle program costs, beside the floor of a bare Qt window, in one run
# under Xvfb (xcb platform):
#   idle CPU     all threads' run time from /proc/PID/task/*/schedstat over the
#                measured span, as a share of one core
#   wake-ups     times any thread slept and was woken, per second
#                (voluntary_ctxt_switches of /proc/PID/task/*/status)
#   start        from launch to the window being mapped and visible, the
#                median of seven
#   peak RSS     VmHWM at the end
# The program's helper processes are measured the same way and shown on their
# own line. Each program gets a fresh settings directory with DRIVE stored as
# its drive. An idle drive is one whose free bytes stay put: on a machine where
# others write to "/", give another mount point.
#
#   bench/idle_cost.sh [BUILD_DIR] [SECONDS] [DRIVE]
set -eu

build=${1:-build}
seconds=${2:-60}
drive=${3:-/}
settle=3

work=$(mktemp -d)
trap 'kill $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT INT TERM

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
else
    xvfb=
fi
export QT_QPA_PLATFORM=xcb
unset QT_ACCESSIBILITY

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

# launch NAME PROGRAM: starts the program and waits until its window shows;
# sets pid and start (ms).
launch() {
    config="$work/$1-config"
    mkdir -p "$config/Quillmar"
    printf '[Settings]\nDrive=%s\n' "$drive" >"$config/Quillmar/Quillmar.conf"
    launched=$(date +%s%N)
    XDG_CONFIG_HOME=$config "$2" >/dev/null 2>"$work/$1.log" &
    pid=$!
    until xdotool search --onlyvisible --pid "$pid" >/dev/null 2>&1; do
        kill -0 "$pid" 2>/dev/null || { echo "$2 ended before showing its window:" >&2; cat "$work/$1.log" >&2; exit 1; }
    done
    start=$((($(date +%s%N) - launched) / 1000000))
}

# The median start of several, the two programs taking turns, since one start
# on a busy machine says little.
median_starts() {
    for round in 1 2 3 4 5 6 7; do
        for name in floor quillmar; do
            [ "$name" = floor ] && program=$build/bin/bare_window || program=$build/bin/quillmar
            launch "$name" "$program"
            echo "$name $start" >>"$work/starts"
            kill "$pid"
            wait "$pid" 2>/dev/null || true
        done
    done
}

# measure NAME PROGRAM: prints one line per process group
measure() {
    name=$1
    program=$2
    launch "$name" "$program"
    start=$(awk -v name="$3" '$1 == name { print $2 }' "$work/starts" | sort -n | sed -n 4p)
    sleep "$settle"

    helpers=$(pgrep -P "$pid" || true)
    set -- $(sample "$pid") $(sample $helpers)
    main0_ns=$1 main0_runs=$2
    help0_ns=${3:-0} help0_runs=${4:-0}
    sleep "$seconds"
    set -- $(sample "$pid") $(sample $helpers)
    main1_ns=$1 main1_runs=$2
    help1_ns=${3:-0} help1_runs=${4:-0}
    rss=$(awk '/VmHWM/ { print $2 }' /proc/"$pid"/status)
    helper_rss=0
    for helper in $helpers; do
        helper_rss=$((helper_rss + $(awk '/VmHWM/ { print $2 }' /proc/"$helper"/status)))
    done
    threads=$(ls /proc/"$pid"/task | wc -l)
    kill "$pid"
    wait "$pid" 2>/dev/null || true

    awk -v name="$name" -v s="$seconds" -v ns=$((main1_ns - main0_ns)) -v runs=$((main1_runs - main0_runs)) \
        -v start="$start" -v rss="$rss" -v threads="$threads" 'BEGIN {
        printf "%-14s %9.4f %% %8.0f us/s %7.2f /s %7d ms %9.1f MiB %3d threads\n",
               name, ns / s / 1e7, ns / s / 1e3, runs / s, start, rss / 1024, threads }'
    if [ -n "$helpers" ]; then
        awk -v name="  its helper" -v s="$seconds" -v ns=$((help1_ns - help0_ns)) -v runs=$((help1_runs - help0_runs)) \
            -v rss="$helper_rss" 'BEGIN {
            printf "%-14s %9.4f %% %8.0f us/s %7.2f /s %10s %9.1f MiB\n",
                   name, ns / s / 1e7, ns / s / 1e3, runs / s, "", rss / 1024 }'
    fi
    # What the targets apply to: every thread of the program and its helpers.
    all_ns=$((main1_ns - main0_ns + help1_ns - help0_ns))
    all_runs=$((main1_runs - main0_runs + help1_runs - help0_runs))
    last_start=$start last_rss=$rss
}

printf "%-14s %11s %13s %9s %10s %13s\n" "" "idle CPU" "" "wake-ups" "start" "peak RSS"
median_starts
measure "bare Qt window" "$build/bin/bare_window" floor
floor_start=$last_start floor_rss=$last_rss
measure "Quillmar" "$build/bin/quillmar" quillmar
awk -v s="$seconds" -v ns="$all_ns" -v runs="$all_runs" -v start="$last_start" -v rss="$last_rss" \
    -v floor_start="$floor_start" -v floor_rss="$floor_rss" 'BEGIN {
    printf "\nQuillmar, all threads of window and helpers: %.4f %% (%.0f us/s), %.2f wake-ups/s;\n", ns / s / 1e7, ns / s / 1e3, runs / s
    printf "start %.2f x and peak RSS %.2f x the bare window\n", start / floor_start, rss / floor_rss }'
