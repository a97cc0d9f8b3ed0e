#!/usr/bin/env bash
# What a frame of the full-screen saver costs, under a private Xvfb: frames per second, CPU time
# per frame (every thread of the process, llvmpipe's included), start of the process to the first
# frame on the screen, and resident memory, at 1280x720 and 1920x1080 with the default counts
# (20 fish, 50 bubbles) and the maximum (100, 200). Frames are counted at the buffer swap by a
# preloaded counter (bench/swap_counter.c); sound is off, the display mode is left alone. Frames
# are unpaced (TIDEWELL_UNPACED=1) unless PACING says otherwise: "paced" (Xvfb has no swap
# control, so the saver's own timer at the display's refresh rate paces them) or "both". Besides
# CPU per frame it prints CPU seconds per second of screen time, what a saver nobody watches costs.
# Each case runs RUNS times per build, builds taking turns; medians are printed, and with two
# builds the ratio second/first. Start times are those of a warm shader cache: Mesa finds its
# cache through the password database, not $HOME, so every run shares the user's own (a cold
# cache adds some 200 ms of shader compiles to the first frame with llvmpipe).
# When xscreensaver's GL hacks are installed (xscreensaver-gl-extra), its `atlantis` runs as the
# peer in the same turns, full screen on the root window with its defaults (--delay 0 when
# unpaced), counted the same way; each build then gets a row of ratios build/atlantis. PEER=none
# leaves it out, PEER=<path> names another hack.
#
#   bench/frame_cost.sh [build-a [build-b]]      (default build/linux; XVFB_DISPLAY: the first display to try, 95)
#   RUNS=5 SECONDS_MEASURED=5 bench/frame_cost.sh build-before build/linux
#   PACING=both COUNTS="20 50" bench/frame_cost.sh
# ARGS gives the program's arguments instead of /s, e.g. the xscreensaver hack at its default
# frame rate against the unpaced one, at one size:
#   ARGS="-root" PACING=paced SIZES=1280x720 COUNTS="20 50" bench/frame_cost.sh
#   ARGS="-root -delay 0" PACING=unpaced SIZES=1280x720 COUNTS="20 50" bench/frame_cost.sh
#   SIZES=1920x1080 COUNTS="20 50" bench/frame_cost.sh     (the figures against atlantis)
# XVFB_DISPLAY sets the first X display number tried (95).
#
# With WAYLAND=1 the first build's /s also runs on headless sway (as nobody when run as root, one
# output of each size, frames counted at eglSwapBuffers), in the same turns as on Xvfb: a row for
# each and the ratio wayland/xvfb (the goal for CPU per frame: at most 1.10). Its default size is
# 1280x720. Mesa's shader cache is one folder of the run's for nobody, warm after the first turn.
#   WAYLAND=1 COUNTS="20 50" bench/frame_cost.sh
#
# With MONITORS=1 it measures monitors instead of sizes, on nested X servers (Xephyr inside a
# private Xvfb): one 1280x720 head against two 1280x720 heads side by side (Xinerama), the latter
# with each of the "Monitors:" choices, default counts; the ratios are two heads over one.
#   MONITORS=1 bench/frame_cost.sh [build]
set -euo pipefail
builds=("$@")
[ ${#builds[@]} -gt 0 ] || builds=(build/linux)
runs=${RUNS:-5}
measured=${SECONDS_MEASURED:-5}
case "${PACING:-unpaced}" in
  unpaced) pacings=(1) ;;
  paced) pacings=(0) ;;
  both) pacings=(0 1) ;;
  *) echo "PACING is unpaced, paced or both" >&2; exit 1 ;;
esac
IFS=, read -r -a count_cases <<<"${COUNTS:-20 50,100 200}"
read -r -a program_args <<<"${ARGS:-/s}"
read -r -a sizes <<<"${SIZES:-1280x720 1920x1080}"
counter=${SWAP_COUNTER:-build/linux/bench/swap_counter.so}
[ -f "$counter" ] || { echo "no frame counter at $counter (build the linux preset first)" >&2; exit 1; }
counter=$(realpath "$counter")
for b in "${builds[@]}"; do [ -x "$b/3dtidewell" ] || { echo "no saver in $b" >&2; exit 1; }; done
peer=${PEER:-/usr/libexec/xscreensaver/atlantis}
if [ "$peer" = none ] || [ ! -x "$peer" ]; then
  [ "$peer" = none ] || [ -z "${PEER:-}" ] || { echo "no peer hack at $peer" >&2; exit 1; }
  peer=""
fi

wayland=${WAYLAND:-0}
[ "$wayland" = 1 ] && [ -z "${SIZES:-}" ] && sizes=(1280x720)

work=$(mktemp -d /tmp/tidewell-cost.XXXXXX)
xvfb=""
pids=()
cleanup() {
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  if [ "$wayland" = 1 ] && declare -F stop_sway >/dev/null; then stop_sway; fi
  pkill -f "$work/" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
tick=$(getconf CLK_TCK)
median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }

# One run, on Xvfb, or on sway when session is wayland: prints "fps cpu_ms_per_frame cpu_s_per_s
# start_ms rss_mib".
session=x11
run_once() {
  local saver=$1 fish=$2 bubbles=$3 unpaced=$4 monitors=${5:-} dir
  dir=$(mktemp -d "$work/run.XXXXXX")
  mkdir -p "$dir/home" "$dir/run" "$dir/config/Korvane Software" "$dir/state"
  chmod 700 "$dir/run"
  printf 'FishCount=int:%s\nBubblesCount=int:%s\nSoundEnabled=int:0\nDesktopOnly=int:1\n' "$fish" "$bubbles" \
    >"$dir/config/Korvane Software/3D Tidewell.conf"
  [ -n "$monitors" ] && printf 'Monitors=int:%s\n' "$monitors" >>"$dir/config/Korvane Software/3D Tidewell.conf"
  local start pid command
  if [ "$saver" = "$peer" ]; then
    command=("$saver" --root)
    [ "$unpaced" = 1 ] && command+=(--delay 0)
  else
    cp "$saver" "$dir/3dtidewell"
    command=("$dir/3dtidewell" "${program_args[@]}")
  fi
  local server=(env DISPLAY=":$display" XDG_RUNTIME_DIR="$dir/run")
  if [ "$session" = wayland ]; then
    chmod 755 "$dir"
    chown -R "$(session_uid)" "$dir"
    server=(env -i PATH=/usr/bin:/bin WAYLAND_DISPLAY="$WAYLAND_DISPLAY" XDG_RUNTIME_DIR="$XDG_RUNTIME_DIR"
            MESA_SHADER_CACHE_DIR="$work/mesa")
    [ "$(id -u)" = 0 ] && server=(setpriv --reuid=65534 --regid=65534 --clear-groups "${server[@]}")
  fi
  start=$(date +%s.%N)
  "${server[@]}" HOME="$dir/home" XDG_CONFIG_HOME="$dir/config" \
    XDG_STATE_HOME="$dir/state" TIDEWELL_UNPACED="$unpaced" SDL_AUDIODRIVER=dummy LD_PRELOAD="$counter" \
    TIDEWELL_SWAP_LOG="$dir/swaps" "${command[@]}" >/dev/null 2>&1 &
  pid=$!
  for _ in $(seq 200); do [ -s "$dir/swaps" ] && break; sleep 0.05; done
  [ -s "$dir/swaps" ] || { kill -9 $pid 2>/dev/null; echo "no frame from $saver" >&2; return 1; }
  sleep 2
  local c1 f1 t1 c2 f2 t2 first rss
  c1=$(cpu_ticks $pid); read -r f1 first t1 <"$dir/swaps"
  sleep "$measured"
  c2=$(cpu_ticks $pid); read -r f2 first t2 <"$dir/swaps"
  rss=$(awk '/^VmRSS:/ { print $2 }' "/proc/$pid/status")
  kill -9 $pid 2>/dev/null
  wait $pid 2>/dev/null || true
  awk -v f1="$f1" -v f2="$f2" -v t1="$t1" -v t2="$t2" -v c1="$c1" -v c2="$c2" -v tick="$tick" \
      -v start="$start" -v first="$first" -v rss="$rss" 'BEGIN {
    frames = f2 - f1
    printf "%.1f %.2f %.3f %.0f %.1f\n", frames / (t2 - t1), (c2 - c1) / tick * 1000 / frames, (c2 - c1) / tick / (t2 - t1),
      (first - start) * 1000, rss / 1024 }'
  rm -rf "$dir"
}

free_display() {
  local d=$1
  while [ -e "/tmp/.X${d}-lock" ] || [ -e "/tmp/.X11-unix/X${d}" ]; do d=$((d + 1)); done
  echo "$d"
}

if [ "${MONITORS:-0}" = 1 ]; then
  command -v Xephyr >/dev/null || { echo "no Xephyr" >&2; exit 1; }
  outer=$(free_display 95)
  Xvfb ":$outer" -screen 0 2600x800x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  for _ in $(seq 50); do DISPLAY=":$outer" xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
  nested=()
  # Sets $heads to the new server's display number.
  start_heads() {
    heads=$(free_display $((outer + 1)))
    DISPLAY=":$outer" Xephyr ":$heads" "$@" -nolisten tcp >/dev/null 2>&1 &
    nested+=($!)
    for _ in $(seq 100); do DISPLAY=":$heads" xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
  }
  start_heads -screen 1280x720
  one=$heads
  start_heads -screen 1280x720 -screen 1280x720 +xinerama -extension RANDR
  two=$heads
  trap 'kill "${nested[@]}" 2>/dev/null; cleanup' EXIT
  # name display "Monitors:" choice
  cases=("one-head $one 0" "each-own $two 0" "across-all $two 1" "primary-only $two 2")
  unpaced=${pacings[0]}
  declare -A results=()
  for ((r = 0; r < runs; ++r)); do
    for c in "${cases[@]}"; do
      read -r name display choice <<<"$c"
      results[$name]+="$(run_once "${builds[0]}/3dtidewell" 20 50 "$unpaced" "$choice")"$'\n'
    done
  done
  printf '%-14s %8s %12s %9s %10s %9s %14s\n' heads fps cpu_ms/frame cpu_s/s start_ms rss_mib cpu_ratio/one
  base=""
  for c in "${cases[@]}"; do
    read -r name _ _ <<<"$c"
    row=""
    for col in 1 2 3 4 5; do row+=" $(printf '%s' "${results[$name]}" | awk -v c=$col 'NF { print $c }' | median)"; done
    read -r fps cpu cpus startms rss <<<"$row"
    [ -n "$base" ] || base=$cpu
    printf '%-14s %8s %12s %9s %10s %9s %14s\n' "$name" "$fps" "$cpu" "$cpus" "$startms" "$rss" \
      "$(awk -v a="$base" -v b="$cpu" 'BEGIN { printf "%.2f", b / a }')"
  done
  exit 0
fi

if [ "$wayland" = 1 ]; then
  command -v sway >/dev/null || { echo "no sway" >&2; exit 1; }
  . "$(cd "$(dirname "$0")" && pwd)/../tests/e2e/lib.sh"
  mkdir -p "$work/mesa"
  start_sway "${sizes[0]}"
  chown "$(session_uid)" "$work/mesa"
fi

printf '%-10s %-8s %-8s %-14s %8s %12s %9s %10s %9s\n' size counts pacing build fps cpu_ms/frame cpu_s/s start_ms rss_mib
# The programs of each turn: the builds' savers, then the peer, then the first build on Wayland
# (the same program: its entry is told apart by its place).
programs=()
for b in "${builds[@]}"; do programs+=("$b/3dtidewell"); done
[ -n "$peer" ] && programs+=("$peer")
on_wayland=""
[ "$wayland" = 1 ] && { on_wayland=${#programs[@]}; programs+=("${builds[0]}/3dtidewell"); }
label() {
  if [ "$1" = "$peer" ]; then basename "$1"; else basename "$(dirname "$1")"; fi
}
# The label of the program in place $1.
place_label() {
  if [ "$1" = "$on_wayland" ]; then echo "$(label "${programs[$1]}")/wayland"; else label "${programs[$1]}"; fi
}
ratio_row() {
  awk -v a="$2" -v b="$3" -v size="$size" -v counts="$fish/$bubbles" -v pacing="$pacing" -v name="$1" 'BEGIN {
    split(a, x, " "); split(b, y, " ")
    printf "%-10s %-8s %-8s %-14s %8.2f %12.2f %9.2f %10.2f %9.2f\n", size, counts, pacing, name,
      y[1] / x[1], y[2] / x[2], y[3] / x[3], y[4] / x[4], y[5] / x[5] }'
}

for size in "${sizes[@]}"; do
  display=${XVFB_DISPLAY:-95}
  while [ -e "/tmp/.X${display}-lock" ] || [ -e "/tmp/.X11-unix/X${display}" ]; do display=$((display + 1)); done
  Xvfb ":$display" -screen 0 "${size}x24" -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  for _ in $(seq 50); do DISPLAY=":$display" xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
  [ "$wayland" = 1 ] && sway_msg output HEADLESS-1 resolution "$size" >/dev/null
  for counts in "${count_cases[@]}"; do
   read -r fish bubbles <<<"$counts"
   for unpaced in "${pacings[@]}"; do
    pacing=$([ "$unpaced" = 1 ] && echo unpaced || echo paced)
    declare -A results=()
    for ((r = 0; r < runs; ++r)); do
      for p in "${!programs[@]}"; do
        session=x11
        [ "$p" = "$on_wayland" ] && session=wayland
        results[$p]+="$(run_once "${programs[$p]}" "$fish" "$bubbles" "$unpaced")"$'\n'
      done
    done
    declare -a med=()
    for p in "${!programs[@]}"; do
      row=""
      for col in 1 2 3 4 5; do
        row+=" $(printf '%s' "${results[$p]}" | awk -v c=$col 'NF { print $c }' | median)"
      done
      med[$p]=$row
      read -r fps cpu cpus startms rss <<<"$row"
      printf '%-10s %-8s %-8s %-14s %8s %12s %9s %10s %9s\n' "$size" "$fish/$bubbles" "$pacing" \
        "$(place_label "$p")" "$fps" "$cpu" "$cpus" "$startms" "$rss"
    done
    [ ${#builds[@]} -eq 2 ] && ratio_row "ratio b/a" "${med[0]}" "${med[1]}"
    if [ -n "$peer" ]; then
      at=${#builds[@]}
      for b in "${!builds[@]}"; do
        ratio_row "$(label "${programs[$b]}")/$(basename "$peer")" "${med[$at]}" "${med[$b]}"
      done
    fi
    [ -n "$on_wayland" ] && ratio_row "wayland/xvfb" "${med[0]}" "${med[$on_wayland]}"
    unset results med
   done
  done
  kill "$xvfb" 2>/dev/null
  wait "$xvfb" 2>/dev/null || true
  xvfb=""
done
