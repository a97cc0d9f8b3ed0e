#!/usr/bin/env bash
# /s on headless sway (as nobody) with two outputs of different sizes: water on each (grim),
# the surface above and the sand below; a key ends it with status 0, and so does a clear
# pointer move; an output created while it runs gets its water, the others keep theirs; SIGTERM
# ends it with status 0, so does a screen locker starting. With "the primary monitor only" the
# other output is black. On a 2x output the picture fills the output. (Headless sway 1.7 cannot
# take an output away: "output ... disable" leaves it on.)
#   wayland_saver.sh <program> <virtual pointer tool>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
binary=$1
pointer=$2
for tool in grim wtype convert; do
  command -v "$tool" >/dev/null || { echo "no $tool: skipped"; exit 77; }
done
scratch_work wlsaver
session_program "$binary"
start_sway 1280x720
add_output HEADLESS-2 1024x768 1280 0 || fail "no second output"
hold_inputs "$pointer"

# water_on NAME OUTPUT WIDTH HEIGHT: the output shows the default blue water; the screenshot in
# $wl_dir/home/NAME.png.
water_on() {
  grim_output "$2" "$wl_dir/home/$1.png" 2>/dev/null &&
    check_horizon "$wl_dir/home/$1.png" 0 0 0 "$3" "$4" >"$wl_dir/horizon.txt"
}

# saw_water NAME OUTPUT WIDTH HEIGHT: waits for the water, then checks the surface and the sand.
saw_water() {
  wait_for 60 water_on "$@" || fail "$1: no water on $2: $(cat "$wl_dir/horizon.txt") $(cat "$wl_dir/saver.log")"
  check_layers "$wl_dir/home/$1.png" 0 0 "$3" "$4" || fail "$1: no water surface above and sand below on $2"
  [ -n "${TIDEWELL_E2E_SHOTS:-}" ] && cp "$wl_dir/home/$1.png" "$TIDEWELL_E2E_SHOTS/wayland_saver_$1.png"
  echo "$1: water on $2"
}

# Whether swaylock's red covers the middle of the first output.
locker_shown() {
  grim_output HEADLESS-1 "$wl_dir/home/locker.png" 2>/dev/null && [ "$(pixel "$wl_dir/home/locker.png" 640 360)" = "255 0 0" ]
}

start_saver() {
  bg_nobody "$saver" /s >"$wl_dir/saver.log" 2>&1
  pid=$bg_pid
}

# expect_end WHAT: the saver ends within 20 s, status 0.
expect_end() {
  wait_exit "$pid" 20 || fail "the saver did not end on $1"
  [ "$exit_status" = 0 ] || fail "status $exit_status after $1: $(cat "$wl_dir/saver.log")"
  echo "$1: ended, status 0"
}

start_saver
saw_water key1 HEADLESS-1 1280 720
saw_water key2 HEADLESS-2 1024 768
type_key a
expect_end "a key"

start_saver
saw_water move HEADLESS-1 1280 720
# The first moves after the start are skipped, the next is the reference: then a clear move.
for _ in $(seq 10); do
  move_pointer 20 20
  sleep 0.1
  ended "$pid" && break
done
expect_end "a pointer move"

start_saver
saw_water added1 HEADLESS-1 1280 720
add_output HEADLESS-3 800x600 2304 0 || fail "no third output"
saw_water added3 HEADLESS-3 800 600
saw_water still HEADLESS-2 1024 768
kill -TERM "$pid"
expect_end SIGTERM

# "The primary monitor only": water on the first output, the other one black.
session_settings Monitors=int:2
start_saver
saw_water primary HEADLESS-1 1280 720
grim_output HEADLESS-2 "$wl_dir/home/covered.png"
[ "$(pixel "$wl_dir/home/covered.png" 512 384)" = "0 0 0" ] || fail "the second output is not black"
kill -TERM "$pid"
expect_end "SIGTERM with the primary only"
rm "$wl_dir/home/.config/Korvane Software/3D Tidewell.conf"

# A screen locker starting ends the saver, status 0, and shows: swaylock 1.7's overlay surface
# is newer than ours, which sway 1.7 draws below it.
if command -v swaylock >/dev/null; then
  start_saver
  saw_water locked1 HEADLESS-1 1280 720
  bg_nobody swaylock -c ff0000 >"$wl_dir/swaylock.log" 2>&1
  locker=$bg_pid
  expect_end "a screen locker"
  wait_for 10 locker_shown || fail "the locker is not seen: $(pixel "$wl_dir/home/locker.png" 640 360)"
  kill "$locker"
else
  echo "no swaylock: the locker not checked"
fi

# Sharp on a 2x output: the buffer has the output's device size, so the picture fills it.
sway_msg output HEADLESS-1 scale 2 >/dev/null
start_saver
saw_water scaled HEADLESS-1 1280 720
kill -TERM "$pid"
expect_end "SIGTERM at scale 2"
stop_sway
echo "PASS"
