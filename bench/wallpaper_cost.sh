#!/usr/bin/env bash
# What the live wallpaper costs, in one run, at 1280x720: under a private Xvfb with openbox, and
# with WAYLAND=1 also on headless sway (as nobody when run as root). For each: CPU seconds per
# minute (every thread, llvmpipe's included) while the wallpaper is seen at its default rate and
# while a full-screen window covers it, its resident memory, how long frames take to come back
# once the cover goes, and against it the full-screen saver (/s) in the same turns, for CPU per
# frame (on Xvfb /s is paced by its own timer at 60 Hz, as Xvfb has no swap control; on sway by
# the frame callbacks). Frames are counted at the buffer swap (bench/swap_counter.c). Each case
# runs RUNS times, cases taking turns; medians are printed.
# Goals: covered under 0.2 s of CPU a minute; seen, CPU per frame no more than /s's.
#   bench/wallpaper_cost.sh [build]            (default build/linux)
#   WAYLAND=1 RUNS=3 SECONDS_MEASURED=20 bench/wallpaper_cost.sh
set -euo pipefail
build=${1:-build/linux}
runs=${RUNS:-3}
measured=${SECONDS_MEASURED:-20}
counter=$(realpath "${SWAP_COUNTER:-$build/bench/swap_counter.so}")
host=$(realpath "${TEST_HOST:-$build/tests/tidewell_hack_host}")
binary=$(realpath "$build/3dtidewell")
for f in "$counter" "$host" "$binary"; do [ -e "$f" ] || { echo "no $f (build the linux preset)" >&2; exit 1; }; done
command -v openbox >/dev/null || { echo "openbox is needed" >&2; exit 1; }
sessions=(x11)
[ "${WAYLAND:-0}" = 1 ] && sessions+=(wayland)

work=$(mktemp -d /tmp/tidewell-wallcost.XXXXXX)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill -- "$p" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../tests/e2e/lib.sh"
tick=$(getconf CLK_TCK)
median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
rss_mib() { awk '/VmRSS/ { printf "%.1f\n", $2 / 1024 }' "/proc/$1/status"; }

# X11: a private Xvfb with openbox.
private_xvfb 1280x720
mkdir -p "$work/x11/home" "$work/x11/run" "$work/x11/config/Korvane Software"
chmod 700 "$work/x11/run"
printf 'SoundEnabled=int:0\nDesktopOnly=int:1\n' >"$work/x11/config/Korvane Software/3D Tidewell.conf"
openbox --sm-disable >/dev/null 2>&1 &
pids+=($!)
wait_for 20 eval 'xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"' || fail "openbox did not start"
x11_display=$DISPLAY

# Wayland: headless sway, with the program and the counter where its user can read them.
if [ "${WAYLAND:-0}" = 1 ]; then
  session_program "$binary"
  cp "$counter" "$work/bin/swap_counter.so"
  chmod 755 "$work/bin/swap_counter.so"
  start_sway 1280x720
  config="$wl_dir/home/.config/Korvane Software"
  mkdir -p "$config"
  printf 'SoundEnabled=int:0\nDesktopOnly=int:1\n' >"$config/3D Tidewell.conf"
  chown -R "$(session_uid)" "$wl_dir/home/.config"
fi

# start SESSION ARGS...: the program, counted; waits for 30 frames and 2 s more; pid in pid,
# its swap log in swaps_file.
start() {
  local session=$1
  shift
  if [ "$session" = x11 ]; then
    swaps_file="$work/x11/swaps"
    rm -f "$swaps_file"
    env DISPLAY="$x11_display" HOME="$work/x11/home" XDG_RUNTIME_DIR="$work/x11/run" XDG_CONFIG_HOME="$work/x11/config" \
      SDL_AUDIODRIVER=dummy LD_PRELOAD="$counter" TIDEWELL_SWAP_LOG="$swaps_file" "$binary" "$@" >/dev/null 2>&1 &
    pid=$!
    pids+=("$pid")
  else
    swaps_file="$wl_dir/home/swaps"
    rm -f "$swaps_file"
    bg_nobody env LD_PRELOAD="$work/bin/swap_counter.so" TIDEWELL_SWAP_LOG="$swaps_file" SDL_AUDIODRIVER=dummy \
      "$saver" "$@" >/dev/null 2>&1
    pid=$bg_pid
  fi
  wait_for 60 swapped_past 30 || fail "no frames from $* on $session"
  sleep 2
}
swaps() { if [ -s "$swaps_file" ]; then cut -d' ' -f1 "$swaps_file"; else echo 0; fi; }
swapped_past() { [ "$(swaps)" -gt "$1" ]; }
stop() {
  kill -TERM "$pid"
  wait_for 20 ended "$pid" || kill -KILL "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}
# A full-screen window over the wallpaper; cover_pid ends it.
cover() {
  if [ "$1" = x11 ]; then
    DISPLAY="$x11_display" "$host" "cover" 320 240 fullscreen &
    cover_pid=$!
    pids+=("$cover_pid")
  else
    bg_nobody foot --log-level=error --app-id tidewell-cover sleep 600
    cover_pid=$bg_pid
    wait_for 30 eval 'sway_msg -t get_tree | grep -q "\"app_id\": \"tidewell-cover\""' || fail "no cover on sway"
    sway_msg '[app_id=tidewell-cover] fullscreen enable' >/dev/null
  fi
  sleep 2
}
# Over the measured seconds: "frames_per_s cpu_ms_per_frame cpu_s_per_minute".
measure() {
  local f0 c0 f1 c1
  f0=$(swaps); c0=$(cpu_ticks "$pid")
  sleep "$measured"
  f1=$(swaps); c1=$(cpu_ticks "$pid")
  awk -v f=$((f1 - f0)) -v c=$((c1 - c0)) -v t="$tick" -v s="$measured" \
    'BEGIN { printf "%.1f %.2f %.2f\n", f / s, (f > 0 ? 1000 * c / t / f : 0), 60 * c / t / s }'
}

for run in $(seq "$runs"); do
  for s in "${sessions[@]}"; do
    start "$s" /s
    measure >>"$work/$s.saver"
    stop
    start "$s" --wallpaper
    measure >>"$work/$s.seen"
    rss_mib "$pid" >>"$work/$s.rss"
    cover "$s"
    measure >>"$work/$s.covered"
    before=$(swaps)
    kill -- "$cover_pid" 2>/dev/null || kill -- "-$cover_pid" 2>/dev/null || true
    t0=$(date +%s.%N)
    for _ in $(seq 250); do [ "$(swaps)" -gt "$before" ] && break; sleep 0.02; done
    awk -v a="$t0" -v b="$(date +%s.%N)" 'BEGIN { printf "%.0f\n", 1000 * (b - a) }' >>"$work/$s.back"
    stop
    echo "run $run $s: /s $(tail -1 "$work/$s.saver"); seen $(tail -1 "$work/$s.seen"); covered $(tail -1 "$work/$s.covered")" >&2
  done
done

col() { awk -v c="$2" '{ print $c }' "$work/$1" | median; }
echo "1280x720, medians of $runs runs of ${measured} s (x11: Xvfb with openbox; wayland: headless sway)"
printf '%-8s %-18s %8s %12s %12s\n' session case "frames/s" "CPU ms/frame" "CPU s/minute"
for s in "${sessions[@]}"; do
  for c in saver seen covered; do
    case $c in saver) label=/s ;; seen) label="wallpaper seen" ;; covered) label="wallpaper covered" ;; esac
    printf '%-8s %-18s %8s %12s %12s\n' "$s" "$label" "$(col "$s.$c" 1)" "$(col "$s.$c" 2)" "$(col "$s.$c" 3)"
  done
  echo "$s: wallpaper resident memory $(median <"$work/$s.rss") MiB; frames again $(median <"$work/$s.back") ms after the cover went"
done
