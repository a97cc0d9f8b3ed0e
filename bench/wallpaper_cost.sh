#!/usr/bin/env bash
# What the live wallpaper costs, under a private Xvfb (1280x720) with openbox, in one run: CPU
# seconds per minute (every thread, llvmpipe's included) while it is seen at its default rate,
# while a full-screen window covers it, and its resident memory; against it the full-screen
# saver (/s, paced by its own timer at the display's 60 Hz, as Xvfb has no swap control) in the
# same turns, for CPU per frame. Frames are counted at the buffer swap (bench/swap_counter.c).
# Also how long frames take to come back once the cover goes (first swap after the cover's end).
# Each case runs RUNS times, cases taking turns; medians are printed.
# Goals: covered under 0.2 s of CPU a minute; seen, CPU per frame no more than /s's.
#   bench/wallpaper_cost.sh [build]            (default build/linux)
#   RUNS=3 SECONDS_MEASURED=20 bench/wallpaper_cost.sh
set -euo pipefail
build=${1:-build/linux}
runs=${RUNS:-3}
measured=${SECONDS_MEASURED:-20}
counter=$(realpath "${SWAP_COUNTER:-$build/bench/swap_counter.so}")
host=$(realpath "${TEST_HOST:-$build/tests/tidewell_hack_host}")
saver=$(realpath "$build/3dtidewell")
for f in "$counter" "$host" "$saver"; do [ -e "$f" ] || { echo "no $f (build the linux preset)" >&2; exit 1; }; done
command -v openbox >/dev/null || { echo "openbox is needed" >&2; exit 1; }

work=$(mktemp -d /tmp/tidewell-wallcost.XXXXXX)
started=()
cleanup() {
  for p in "${started[@]}"; do kill "$p" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
tick=$(getconf CLK_TCK)
median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
swaps() { if [ -s "$1" ]; then cut -d' ' -f1 "$1"; else echo 0; fi; }
rss_mib() { awk '/VmRSS/ { printf "%.1f", $2 / 1024 }' "/proc/$1/status"; }

display=170
while [ -e "/tmp/.X${display}-lock" ] || [ -e "/tmp/.X11-unix/X${display}" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1280x720x24 -noreset -nolisten tcp >/dev/null 2>&1 &
started+=($!)
export DISPLAY=":$display"
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
mkdir -p "$work/home" "$work/run" "$work/config/Korvane Software"
chmod 700 "$work/run"
printf 'SoundEnabled=int:0\nDesktopOnly=int:1\n' >"$work/config/Korvane Software/3D Tidewell.conf"
export HOME="$work/home" XDG_RUNTIME_DIR="$work/run" XDG_CONFIG_HOME="$work/config" SDL_AUDIODRIVER=dummy
openbox --sm-disable >/dev/null 2>&1 &
started+=($!)
for _ in $(seq 100); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break; sleep 0.1; done

# Starts the program with "$@"; waits for 30 frames and 2 s more of warming up; pid in $pid.
start() {
  rm -f "$work/swaps"
  LD_PRELOAD="$counter" TIDEWELL_SWAP_LOG="$work/swaps" "$saver" "$@" >/dev/null 2>&1 &
  pid=$!
  started+=("$pid")
  for _ in $(seq 600); do [ "$(swaps "$work/swaps")" -gt 30 ] && break; sleep 0.1; done
  sleep 2
}
stop() {
  kill -TERM "$pid"
  wait "$pid" 2>/dev/null || true
}
# Over the measured seconds: "frames_per_s cpu_ms_per_frame cpu_s_per_minute".
measure() {
  local f0 c0 f1 c1
  f0=$(swaps "$work/swaps"); c0=$(cpu_ticks "$pid")
  sleep "$measured"
  f1=$(swaps "$work/swaps"); c1=$(cpu_ticks "$pid")
  awk -v f=$((f1 - f0)) -v c=$((c1 - c0)) -v t="$tick" -v s="$measured" \
    'BEGIN { printf "%.1f %.2f %.2f\n", f / s, (f > 0 ? 1000 * c / t / f : 0), 60 * c / t / s }'
}

for run in $(seq "$runs"); do
  start /s
  measure >>"$work/saver"
  stop
  start --wallpaper
  measure >>"$work/seen"
  rss_mib "$pid" >>"$work/rss"
  "$host" "cover" 320 240 fullscreen &
  cover=$!
  started+=("$cover")
  sleep 2
  measure >>"$work/covered"
  before=$(swaps "$work/swaps")
  kill "$cover"
  t0=$(date +%s.%N)
  for _ in $(seq 100); do [ "$(swaps "$work/swaps")" -gt "$before" ] && break; sleep 0.02; done
  awk -v a="$t0" -v b="$(date +%s.%N)" 'BEGIN { printf "%.0f\n", 1000 * (b - a) }' >>"$work/back"
  stop
  echo "run $run: /s $(tail -1 "$work/saver"); seen $(tail -1 "$work/seen"); covered $(tail -1 "$work/covered")" >&2
done

col() { awk -v c="$2" '{ print $c }' "$work/$1" | median; }
echo "1280x720, openbox on Xvfb, medians of $runs runs of ${measured} s"
printf '%-22s %8s %12s %12s\n' case "frames/s" "CPU ms/frame" "CPU s/minute"
for c in saver seen covered; do
  label=$c
  [ "$c" = saver ] && label="/s (60 Hz timer)"
  [ "$c" = seen ] && label="wallpaper seen"
  [ "$c" = covered ] && label="wallpaper covered"
  printf '%-22s %8s %12s %12s\n' "$label" "$(col "$c" 1)" "$(col "$c" 2)" "$(col "$c" 3)"
done
echo "wallpaper resident memory: $(median <"$work/rss") MiB"
echo "frames again after the cover went: $(median <"$work/back") ms"
