#!/usr/bin/env bash
# --idle-watch on headless compositors, as nobody, with a one-minute idle time. On sway
# (org_kde_kwin_idle) the watch starts "3dtidewell /s" once the minute has passed: water shows
# (grim); a key ends the saver with status 0 and the watch goes on; an idle inhibitor on a client
# window keeps the saver from starting; a second watch says one runs already; SIGTERM ends the
# watch with status 0. On GNOME's compositor the watch takes org.gnome.Mutter.IdleMonitor from
# the session bus and its idle watch fires. Mutter's minute passes beside sway's two, so the
# whole run takes about two and a half minutes.
#   wayland_idle.sh <program> <virtual pointer tool>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
binary=$1
pointer=$2
for tool in sway swaymsg grim wtype foot strace convert; do
  command -v "$tool" >/dev/null || { echo "no $tool: skipped"; exit 77; }
done
scratch_work idle
session_program "$binary"

# GNOME's compositor first: its idle minute runs while sway's part goes on. Nothing there can
# send input to end a saver, so the saver the watch starts runs on the null platform (it draws
# nothing and ends when the watch ends); what is checked is that the watch fired. A copy of the
# program of its own keeps its saver apart from sway's.
mutter_log=""
if command -v mutter >/dev/null && command -v dbus-run-session >/dev/null; then
  start_mutter 1280x720
  session_settings IdleMinutes=int:1
  cp "$saver" "$wl_dir/home/3dtidewell"
  chmod 755 "$wl_dir/home/3dtidewell"
  bg_nobody env TIDEWELL_PLATFORM=null "$wl_dir/home/3dtidewell" --idle-watch >"$wl_dir/watch.log" 2>&1
  mutter_watch=$bg_pid
  mutter_log=$wl_dir/watch.log
else
  echo "no mutter: its part skipped"
fi

start_sway 1280x720
hold_inputs "$pointer"
session_settings IdleMinutes=int:1
# The watch under strace, which records how each process of it ended (the watch reaps its saver:
# the saver's exit status shows nowhere else).
exits=$wl_dir/home/exits.txt
bg_nobody strace -f -q --seccomp-bpf -e trace=none -e signal=none -o "$exits" "$saver" --idle-watch >"$wl_dir/watch.log" 2>&1
tracer=$bg_pid
started=$SECONDS
log() { cat "$wl_dir/watch.log"; }
wait_for 10 grep -q "watching the session with" "$wl_dir/watch.log" || fail "the watch did not start: $(log)"
grep -q "org_kde_kwin_idle\|ext-idle-notify-v1" "$wl_dir/watch.log" || fail "sway's idle protocol not chosen: $(log)"
watch=$(pgrep -P "$tracer")

# A second watch in the same session says so and ends, status 0.
second=$(as_nobody "$saver" --idle-watch 2>&1) || fail "a second watch ended with an error: $second"
[[ $second == *"runs in this session already"* ]] || fail "a second watch said: $second"

# The window that later holds the idle inhibitor, opened now so that its start costs no time then.
bg_nobody foot --app-id=tidewell-inhibit sleep 300 >/dev/null 2>&1
foot_shown() { sway_msg -t get_tree | grep -q tidewell-inhibit; }
wait_for 20 foot_shown || fail "foot's window did not appear"

savers() { pgrep -P "$watch" -f -x "$saver /s" || true; }
no_saver() { [ -z "$(savers)" ]; }
a_saver() { [ -n "$(savers)" ]; }
rest=$((started + 50 - SECONDS))
[ "$rest" -le 0 ] || sleep "$rest"
no_saver || fail "the saver started before the idle time"
wait_for 25 a_saver || fail "no saver after a minute idle: $(log)"
pid=$(savers)
echo "sway: the saver started after the idle time ($pid)"

water_on() {
  grim_output HEADLESS-1 "$wl_dir/home/water.png" 2>/dev/null &&
    check_horizon "$wl_dir/home/water.png" 0 0 0 1280 720 >"$wl_dir/horizon.txt"
}
wait_for 60 water_on || fail "no water from the started saver: $(cat "$wl_dir/horizon.txt") $(log)"
check_layers "$wl_dir/home/water.png" 0 0 1280 720 || fail "no water surface above and sand below"
[ -n "${TIDEWELL_E2E_SHOTS:-}" ] && cp "$wl_dir/home/water.png" "$TIDEWELL_E2E_SHOTS/wayland_idle_water.png"
echo "sway: water shown"

type_key a
wait_for 10 ended "$pid" || fail "the saver still runs after a key"
# strace pads the pid to the widest it has seen: one space or more.
wait_for 5 grep -Eq "^$pid +\+\+\+ exited" "$exits" || fail "the saver's end not recorded: $(cat "$exits")"
grep -Eq "^$pid +\+\+\+ exited with 0 \+\+\+" "$exits" || fail "the saver ended so after a key: $(grep -E "^$pid " "$exits")"
wait_for 5 grep -q "active: the saver ends\|the saver ended" "$wl_dir/watch.log" || fail "the watch did not see the saver end: $(log)"
ended "$watch" && fail "the watch ended with its saver: $(log)"
echo "sway: a key ended it with status 0; the watch goes on"

# An idle inhibitor on a client window keeps the saver from starting.
sway_msg '[app_id=tidewell-inhibit] inhibit_idle open' >/dev/null || fail "swaymsg inhibit_idle failed"
type_key b
sleep 66
no_saver || fail "the saver started despite the idle inhibitor"
echo "sway: an idle inhibitor kept it from starting"

kill -TERM "$watch"
wait_exit "$tracer" 20 || fail "the watch did not end on SIGTERM"
[ "$exit_status" = 0 ] || fail "the watch ended with status $exit_status on SIGTERM: $(log)"
echo "sway: SIGTERM ended the watch with status 0"
stop_sway

if [ -n "$mutter_log" ]; then
  wait_for 10 grep -q "idle: the saver" "$mutter_log" || true
  grep -q "with org.gnome.Mutter.IdleMonitor" "$mutter_log" || fail "mutter: the D-Bus monitor was not chosen: $(cat "$mutter_log")"
  grep -q "idle: the saver started" "$mutter_log" || fail "mutter: the idle watch did not fire: $(cat "$mutter_log")"
  kill -TERM "$mutter_watch"
  wait_exit "$mutter_watch" 20 || fail "mutter: the watch did not end on SIGTERM"
  echo "mutter: the D-Bus idle monitor fired"
  stop_mutter
fi
echo "PASS"
