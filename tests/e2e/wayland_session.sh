#!/usr/bin/env bash
# The saver on a sway session that also has XWayland (headless, as nobody): with both
# WAYLAND_DISPLAY and DISPLAY set, `/s` picks the Wayland platform (water on the output, no X
# window in XWayland), `--platform x11` runs it through XWayland (water, and its window there), each ending with status 0 on SIGTERM; and the line the manual page gives
# swayidle users starts the saver once the session is idle while swayidle goes on with its
# next timeout.
#   wayland_session.sh <program>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
binary=$1
command -v grim >/dev/null || { echo "no grim: skipped"; exit 77; }
command -v convert >/dev/null || { echo "no ImageMagick: skipped"; exit 77; }
scratch_work session
session_program "$binary"
start_sway 1280x720 "xwayland enable"
[ -n "${DISPLAY:-}" ] || { echo "sway started no XWayland: skipped"; exit 77; }

# Whether the output shows the default blue water; the screenshot in $wl_dir/home/$1.png.
water_shown() {
  grim_output HEADLESS-1 "$wl_dir/home/$1.png" 2>/dev/null &&
    check_horizon "$wl_dir/home/$1.png" 0 0 0 1280 720 >"$wl_dir/horizon.txt"
}

# Whether XWayland shows a window of ours.
xwayland_view() {
  as_nobody xwininfo -root -children | grep -q '"3D Tidewell"'
}

# $1: what the run is called; the rest: the program's arguments. Leaves the saver running, its
# pid in pid.
start_saver() {
  local name=$1
  shift
  bg_nobody "$saver" "$@" >"$wl_dir/$name.log" 2>&1
  pid=$bg_pid
  wait_for 60 water_shown "$name" || fail "$name: no blue water on the output: $(cat "$wl_dir/horizon.txt") $(cat "$wl_dir/$name.log")"
  cat "$wl_dir/horizon.txt"
  [ -n "${TIDEWELL_E2E_SHOTS:-}" ] && cp "$wl_dir/home/$name.png" "$TIDEWELL_E2E_SHOTS/wayland_session_$name.png"
  check_layers "$wl_dir/home/$name.png" 0 0 1280 720 || fail "$name: no water surface above and sand below"
}

# Ends the saver in pid with SIGTERM: status 0.
stop_saver() {
  kill -TERM "$pid"
  wait_exit "$pid" 20 || fail "$1: SIGTERM did not end the saver"
  [ "$exit_status" = 0 ] || fail "$1: status $exit_status after SIGTERM: $(cat "$wl_dir/$1.log")"
}

start_saver chosen /s
xwayland_view && fail "with WAYLAND_DISPLAY set the saver ran through XWayland"
stop_saver chosen
echo "chosen: the Wayland platform, water, status 0 after SIGTERM"

# With the stored options (a display mode switch among them), at the output's size: XWayland's
# modes are not switched.
start_saver x11 --platform x11 /s
xwayland_view || fail "--platform x11 showed no XWayland window"
stop_saver x11
echo "x11: water through XWayland, status 0 after SIGTERM"

if command -v swayidle >/dev/null; then
  # The manual page's line, with one second for ten minutes, and a later timeout that must still
  # fire while the saver runs.
  later="$wl_dir/home/later"
  bg_nobody swayidle -w timeout 1 "$saver /s &" timeout 4 "touch $later" >"$wl_dir/swayidle.log" 2>&1
  wait_for 30 pgrep -f "^$saver /s" >/dev/null || fail "swayidle did not start the saver: $(cat "$wl_dir/swayidle.log")"
  wait_for 30 test -e "$later" || fail "swayidle stopped at the saver: its next timeout never came"
  wait_for 60 water_shown swayidle || fail "no water from the saver swayidle started"
  pid=$(pgrep -f "^$saver /s")
  kill -TERM "$pid"
  wait_for 20 ended "$pid" || fail "SIGTERM did not end the saver swayidle started"
  echo "swayidle -w: the saver started in the background, swayidle went on"
else
  echo "no swayidle: its line not checked"
fi
stop_sway
echo "PASS"
