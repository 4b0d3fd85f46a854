#!/usr/bin/env bash
# Start to a shown window, under wine on a virtual X display: quillmar.exe
# against a floor that does the same kind of work (a window with the program's
# manifest, a static text and a drop-down list), alternating, in one run. Prints the
# median and the fastest of each and the ratio of the medians.
#
#   bench/start_to_window_wine.sh [BUILD_DIR (build-mingw)] [RUNS (15)]
#
# Needs the mingw build (cmake --preset mingw && cmake --build --preset mingw),
# wine64, xdotool and Xvfb (xvfb-run). A temporary wine prefix is used and its
# wineserver stopped at the end.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-mingw}
runs=${2:-15}
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi

wine=/usr/lib/wine/wine64
export WINEDEBUG=-all
# A fresh prefix would otherwise offer to install Mono and Gecko, and wait.
export WINEDLLOVERRIDES="mscoree,mshtml="
WINEPREFIX=$(mktemp -d)
export WINEPREFIX
trap '/usr/lib/wine/wineserver64 -k 2>/dev/null || true; rm -rf "$WINEPREFIX"' EXIT
# One wineserver for the whole run, so that every start finds it running.
/usr/lib/wine/wineserver64 -p >/dev/null 2>&1

# Milliseconds from the start of the program until its window is mapped.
start_to_window() {
  local exe=$1 title=$2 start end window
  start=$(date +%s%N)
  "$wine" "$exe" >/dev/null 2>&1 &
  local pid=$!
  until window=$(xdotool search --onlyvisible --name "^$title" 2>/dev/null | head -1) && [ -n "$window" ]; do
    sleep 0.002
  done
  end=$(date +%s%N)
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  echo $(( (end - start) / 1000000 ))
}

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

quillmar=$build/bin/quillmar.exe
bare=$build/bin/bare_win32_window.exe
# The first start of each sets the prefix up; it is not counted.
start_to_window "$bare" "Bare window" >/dev/null
start_to_window "$quillmar" "Disk Usage" >/dev/null

bare_times=() quillmar_times=()
for _ in $(seq "$runs"); do
  bare_times+=("$(start_to_window "$bare" "Bare window")")
  quillmar_times+=("$(start_to_window "$quillmar" "Disk Usage")")
done

bare_median=$(printf '%s\n' "${bare_times[@]}" | median)
quillmar_median=$(printf '%s\n' "${quillmar_times[@]}" | median)
printf 'runs: %s each, alternating\n' "$runs"
printf 'bare window:  median %s ms, fastest %s ms\n' "$bare_median" "$(printf '%s\n' "${bare_times[@]}" | sort -n | head -1)"
printf 'quillmar.exe: median %s ms, fastest %s ms (%s bytes)\n' "$quillmar_median" \
  "$(printf '%s\n' "${quillmar_times[@]}" | sort -n | head -1)" "$(stat -c %s "$quillmar")"
awk -v q="$quillmar_median" -v b="$bare_median" 'BEGIN { printf "ratio: %.2f (target at most 1.3)\n", q / b }'
