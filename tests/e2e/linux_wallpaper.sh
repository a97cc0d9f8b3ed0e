#!/usr/bin/env bash
# End to end: the live wallpaper in an X server of its own, first without a window manager (it
# draws into the root window), then under openbox (a desktop-type window below the others). In
# each: frames come, a window over all of it stops them, and they come again once it goes;
# SIGTERM ends it with status 0. Under openbox also: it stays below a normal window even when
# raised, the pointer over it finds no window of ours (clicks reach the desktop), and a second
# start ends quietly. Frames are counted at the buffer swap (bench/swap_counter.c); no timing
# is asserted.
#   linux_wallpaper.sh <program> <test host> <swap counter>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
binary=$1
host_program=$2
counter=$3
command -v openbox >/dev/null || { echo "openbox not installed: skipped"; exit 77; }
scratch_work wallpaper
mkdir -p "$work/config" "$work/run" "$work/home"
chmod 700 "$work/run"
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run" SDL_AUDIODRIVER=dummy
private_xvfb 800x600

swaps() { if [ -s "$work/swaps" ]; then cut -d' ' -f1 "$work/swaps"; else echo 0; fi; }
swapped_past() { [ "$(swaps)" -gt "$1" ]; }

start_wallpaper() {
  rm -f "$work/swaps"
  LD_PRELOAD="$counter" TIDEWELL_SWAP_LOG="$work/swaps" "$binary" --wallpaper 2>"$work/wallpaper.err" &
  wallpaper=$!
  pids+=("$wallpaper")
  wait_for 60 swapped_past 5 || fail "no frames from the wallpaper: $(cat "$work/wallpaper.err")"
}

# Covers the screen with $1 (a command), checks that no frame comes in 2 s, runs $2 to uncover
# it and checks that frames come again.
check_covered() {
  local before after
  eval "$1"
  # The frame in flight when the cover came may still land.
  sleep 1
  before=$(swaps)
  sleep 2
  after=$(swaps)
  [ "$after" = "$before" ] || fail "$((after - before)) frames in 2 s under the cover"
  eval "$2"
  wait_for 10 swapped_past "$after" || fail "no frames once uncovered"
  echo "covered: no frame in 2 s; uncovered: frames again"
}

end_wallpaper() {
  kill -TERM "$wallpaper"
  wait_exit "$wallpaper" 20 || fail "SIGTERM did not end the wallpaper"
  [ "$exit_status" = 0 ] || fail "SIGTERM ended the wallpaper with status $exit_status"
  [ ! -s "$work/wallpaper.err" ] || fail "the wallpaper wrote on the error stream: $(cat "$work/wallpaper.err")"
}

echo "== no window manager: the root window"
start_wallpaper
"$host_program" "tidewell cover" 800 600 &
pids+=($!)
cover=$(find_window "tidewell cover" 30) || fail "the covering window did not appear"
check_covered 'xdotool windowmove "$cover" 0 0' 'xdotool windowunmap "$cover"'
end_wallpaper

echo "== under openbox"
openbox --sm-disable >"$work/openbox.log" 2>&1 &
pids+=($!)
# Its check window names itself once it runs (what the wallpaper looks for).
wm_runs() {
  local check
  check=$(xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | awk '/window id/ { print $NF }')
  [ -n "$check" ] && xprop -id "$check" _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"
}
wait_for 30 wm_runs || fail "openbox did not start"
start_wallpaper
window=$(find_window "3D Tidewell wallpaper" 30) ||
  fail "no wallpaper window: $(xwininfo -root -tree | grep -c 'Tidewell') windows named so; $(cat "$work/wallpaper.err")"
xprop -id "$window" _NET_WM_WINDOW_TYPE | grep -q _NET_WM_WINDOW_TYPE_DESKTOP || fail "not a desktop window"

"$host_program" "tidewell normal" 300 200 &
pids+=($!)
normal=$(find_window "tidewell normal" 30) || fail "the normal window did not appear"
# Bottom to top; the wallpaper stays first, raised or not.
stacking() { xprop -root _NET_CLIENT_LIST_STACKING | sed 's/.*# //; s/,//g'; }
below() {
  local order
  order=$(stacking)
  [ "$(printf '0x%x' "$window")" = "$(echo "$order" | awk '{print $1}')" ]
}
below || fail "the wallpaper is not below the normal window: $(stacking)"
xdotool windowraise "$window"
xdotool windowactivate "$window" 2>/dev/null || true
sleep 1
below || fail "raised, the wallpaper came over the normal window: $(stacking)"
echo "below the normal window, raised or not"

# Away from the normal window the pointer is over the wallpaper: input finds no window of ours.
xdotool mousemove 700 500
sleep 0.3
under=$("$host_program" --pointer)
[ "$under" != "$(printf '0x%x' "$window")" ] || fail "the wallpaper takes the pointer's input"
xdotool click 1
kill -0 "$wallpaper" || fail "a click ended the wallpaper"
echo "the pointer's input goes past it ($under)"

"$binary" --wallpaper 2>"$work/second.err" &
second=$!
wait_exit "$second" 30 || fail "a second wallpaper did not end"
[ "$exit_status" = 0 ] && [ ! -s "$work/second.err" ] || fail "a second wallpaper ended with $exit_status: $(cat "$work/second.err")"
[ "$(xdotool search --name '^3D Tidewell wallpaper$' | wc -l)" = 1 ] || fail "two wallpaper windows"
echo "a second start ends quietly"

full_screen() {
  "$host_program" "tidewell full screen" 320 240 fullscreen &
  full=$!
  pids+=("$full")
  find_window "tidewell full screen" 30 >/dev/null || fail "the full-screen window did not appear"
}
check_covered full_screen 'kill "$full"'
end_wallpaper
echo "PASS"
