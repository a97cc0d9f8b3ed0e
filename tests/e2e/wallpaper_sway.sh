#!/usr/bin/env bash
# The live wallpaper on headless sway (as nobody), two outputs of different sizes: water on both;
# text typed into a terminal window opened over it goes to the terminal; that window full screen
# over one output stops that output's frames while the other keeps drawing; an output switched
# off and on again, and a new one, get their water; SIGTERM ends it with status 0. On GNOME's compositor (no layer shell)
# it says in one line what it needs and ends with status 1. Frames are counted at the buffer
# swap (bench/swap_counter.c: one swap per output drawn), at 10 frames a second so that the
# machine's speed is not what limits them; no timing is asserted.
#   wallpaper_sway.sh <program> <swap counter>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
binary=$1
command -v grim >/dev/null && command -v foot >/dev/null && command -v wtype >/dev/null \
  || { echo "no grim, foot or wtype: skipped"; exit 77; }
command -v convert >/dev/null || { echo "no ImageMagick: skipped"; exit 77; }
scratch_work wallsway
session_program "$binary"
cp "$2" "$work/bin/swap_counter.so"
chmod 755 "$work/bin/swap_counter.so"
start_sway 1280x720
add_output HEADLESS-2 800x600 1280 0 || fail "no second output"
swaps() { if [ -s "$wl_dir/home/swaps" ]; then cut -d' ' -f1 "$wl_dir/home/swaps"; else echo 0; fi; }
swapped_past() { [ "$(swaps)" -gt "$1" ]; }
# Swaps in 2 s.
swap_rate() {
  local before
  before=$(swaps)
  sleep 2
  echo $(($(swaps) - before))
}
# Whether output $1 shows the default blue water ($2 x $3).
water_on() {
  grim_output "$1" "$wl_dir/home/$1.png" 2>/dev/null &&
    check_horizon "$wl_dir/home/$1.png" 0 0 0 "$2" "$3" >"$wl_dir/horizon.txt"
}

bg_nobody env LD_PRELOAD="$work/bin/swap_counter.so" TIDEWELL_SWAP_LOG="$wl_dir/home/swaps" "$saver" --wallpaper \
  --fps 10 >"$wl_dir/wallpaper.log" 2>&1
wallpaper=$bg_pid
wait_for 60 swapped_past 10 || fail "no frames: $(cat "$wl_dir/wallpaper.log")"
wait_for 30 water_on HEADLESS-1 1280 720 || fail "no water on HEADLESS-1: $(cat "$wl_dir/horizon.txt")"
wait_for 30 water_on HEADLESS-2 800 600 || fail "no water on HEADLESS-2: $(cat "$wl_dir/horizon.txt")"
echo "water on both outputs"

# A terminal that writes the line typed into it to a file; a keyboard in the seat (which has none
# headless) from before it starts, as a real session has.
bg_nobody wtype -s 86400000 -k Escape
wait_for 10 seat_has keyboard || fail "no virtual keyboard"
sway_msg focus output HEADLESS-1 >/dev/null
bg_nobody foot --log-level=error --app-id tidewell-term sh -c "read -r line; echo \"\$line\" >$wl_dir/home/typed; sleep 600"
wait_for 30 eval 'sway_msg -t get_tree | grep -q "\"app_id\": \"tidewell-term\""' || fail "the terminal did not open"
sleep 1
as_nobody wtype "under water"
as_nobody wtype -k Return
wait_for 10 test -s "$wl_dir/home/typed" || fail "the typed text did not reach the terminal"
[ "$(cat "$wl_dir/home/typed")" = "under water" ] || fail "the terminal got '$(cat "$wl_dir/home/typed")'"
ended "$wallpaper" && fail "the wallpaper ended"
echo "text typed went to the terminal"

both=$(swap_rate)
sway_msg '[app_id=tidewell-term] fullscreen enable' >/dev/null
sleep 1
one=$(swap_rate)
echo "swaps in 2 s: $both on two outputs, $one under a full-screen window on one"
[ "$one" -gt 0 ] || fail "no frames on the output without the full-screen window"
[ $((one * 4)) -lt $((both * 3)) ] || fail "the covered output still gets frames ($both, then $one)"
sway_msg '[app_id=tidewell-term] fullscreen disable' >/dev/null

# sway 1.7 unplugs no headless output: one switched off and on again, and a new one.
sway_msg output HEADLESS-2 disable >/dev/null
sleep 2
ended "$wallpaper" && fail "the wallpaper ended when an output went: $(cat "$wl_dir/wallpaper.log")"
sway_msg output HEADLESS-2 enable >/dev/null
wait_for 60 water_on HEADLESS-2 800 600 || fail "no water on HEADLESS-2 switched on again: $(cat "$wl_dir/horizon.txt")"
add_output HEADLESS-3 1024x768 2080 0 || fail "no new output"
wait_for 60 water_on HEADLESS-3 1024 768 || fail "no water on the new output: $(cat "$wl_dir/horizon.txt")"
echo "an output switched off and on, and a new one: water on each"

kill -TERM "$wallpaper"
wait_exit "$wallpaper" 20 || fail "SIGTERM did not end the wallpaper"
[ "$exit_status" = 0 ] || fail "status $exit_status after SIGTERM: $(cat "$wl_dir/wallpaper.log")"
stop_sway

if command -v mutter >/dev/null; then
  start_mutter 1280x720
  set +e
  message=$(as_nobody "$saver" --wallpaper 2>&1)
  status=$?
  set -e
  stop_mutter
  [ "$status" = 1 ] || fail "on GNOME: status $status ($message)"
  [ "$(echo "$message" | wc -l)" = 1 ] && [[ $message == *"needs a Wayland compositor with the layer-shell"* ]] \
    || fail "on GNOME it said: $message"
  echo "GNOME: $message"
fi
echo "PASS"
