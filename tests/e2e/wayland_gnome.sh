#!/usr/bin/env bash
# The saver on GNOME's compositor (mutter, headless, as nobody, in a D-Bus session of its own),
# which has no layer shell: `/s` shows water in a full-screen window of the monitor's size, read
# back from the saver's own frames (tests/../bench/frame_grab.c: mutter has no screencopy for
# grim), and SIGTERM ends it with status 0. With only WAYLAND_DISPLAY set the program picks the
# Wayland platform by itself, and `--platform wayland` runs the same.
#   wayland_gnome.sh <program> <frame_grab.so>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
binary=$1
grab=$(realpath "$2")
command -v convert >/dev/null || { echo "no ImageMagick: skipped"; exit 77; }
scratch_work gnome
session_program "$binary"
cp "$grab" "$work/bin/frame_grab.so"
chmod 755 "$work/bin/frame_grab.so"
start_mutter 1280x720

# $1: what the run is called; the rest: the program's arguments.
saver_on_mutter() {
  local name=$1 frame="$wl_dir/home/frame.ppm" seen=""
  shift
  rm -f "$frame"
  bg_nobody env LD_PRELOAD="$work/bin/frame_grab.so" TIDEWELL_FRAME_FILE="$frame" TIDEWELL_FRAME_EVERY=10 \
    "$saver" "$@" >"$wl_dir/$name.log" 2>&1
  local pid=$bg_pid end=$((SECONDS + 60))
  while [ "$SECONDS" -lt "$end" ]; do
    ended "$pid" && break
    if [ -s "$frame" ] && check_horizon "$frame" 0 0 0 1280 720 >"$wl_dir/horizon.txt"; then seen=yes; break; fi
    sleep 0.5
  done
  [ -n "${TIDEWELL_E2E_SHOTS:-}" ] && [ -s "$frame" ] && convert "$frame" "$TIDEWELL_E2E_SHOTS/wayland_gnome_$name.png"
  [ -n "$seen" ] || fail "$name: no blue water in the saver's frames: $(cat "$wl_dir/horizon.txt" 2>/dev/null) $(cat "$wl_dir/$name.log")"
  cat "$wl_dir/horizon.txt"
  [ "$(identify -format '%wx%h' "$frame")" = 1280x720 ] || fail "$name: a frame of $(identify -format '%wx%h' "$frame"), not the monitor's 1280x720"
  check_layers "$frame" 0 0 1280 720 || fail "$name: no water surface above and sand below"
  kill -TERM "$pid"
  wait_exit "$pid" 20 || fail "$name: SIGTERM did not end the saver"
  [ "$exit_status" = 0 ] || fail "$name: status $exit_status after SIGTERM: $(cat "$wl_dir/$name.log")"
  echo "$name: water in a full-screen window, status 0 after SIGTERM"
}

saver_on_mutter chosen /s
saver_on_mutter named --platform wayland /s
stop_mutter
echo "PASS"
