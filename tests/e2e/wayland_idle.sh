#!/usr/bin/env bash
# End to end: --idle-watch on headless compositors, as nobody (they refuse root). On sway
# (org_kde_kwin_idle) with a one-minute idle time the watch starts "3dtidewell /s" and a key
# ends it; an idle inhibitor on a client window keeps it from starting. On GNOME's compositor
# the watch takes org.gnome.Mutter.IdleMonitor from the session bus and its idle watch fires.
# The mutter part runs beside the sway part, so the whole run takes about two and a half minutes.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
binary=$1
for tool in sway swaymsg wtype foot setpriv; do
  command -v "$tool" >/dev/null || { echo "$tool not installed: skipped"; exit 77; }
done
have_mutter=1
command -v mutter >/dev/null && command -v dbus-run-session >/dev/null || have_mutter=0

work=$(mktemp -d /tmp/tidewell-idle.XXXXXX)
chmod 755 "$work"
started=()
cleanup() {
  local pid
  # Last started first: the clients before their compositor. What a watch started ends with it.
  for ((i = ${#started[@]} - 1; i >= 0; i--)); do kill -TERM "${started[i]}" 2>/dev/null || true; done
  sleep 1
  for pid in "${started[@]}"; do kill -KILL "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

# A copy for each compositor, so that each part counts its own savers.
for part in sway mutter; do
  mkdir -p "$work/$part-bin"
  cp "$binary" "$work/$part-bin/3dtidewell"
  chmod 755 "$work/$part-bin" "$work/$part-bin/3dtidewell"
done

# A home and a fresh runtime folder for one compositor, owned by nobody; the stored idle time
# is one minute.
make_home() {
  local home=$1
  mkdir -p "$home/run" "$home/.config/Korvane Software"
  printf 'IdleMinutes=int:1\n' >"$home/.config/Korvane Software/3D Tidewell.conf"
  chmod 700 "$home/run"
  if [ "$(id -u)" = 0 ]; then chown -R 65534:65534 "$home"; fi
}

# "$home" "$@": the command as nobody (as ourselves when not root) in that home's environment,
# in place of the calling shell.
exec_user() {
  local home=$1
  shift
  local run=(env -i HOME="$home" XDG_RUNTIME_DIR="$home/run" PATH=/usr/bin:/bin "$@")
  if [ "$(id -u)" = 0 ]; then exec setpriv --reuid=65534 --regid=65534 --clear-groups "${run[@]}"; else exec "${run[@]}"; fi
}
as_user() { (exec_user "$@"); }
# The same in the background; its pid (the command's own) is kept for the clean-up.
spawn_user() {
  local out=$1
  shift
  (exec_user "$@") >"$out" 2>&1 &
  started+=($!)
}

# Headless sway in home $1; its socket and IPC socket in $sway_env afterwards.
start_sway() {
  local home=$1
  printf 'output HEADLESS-1 resolution 1280x720\n' >"$home/sway.conf"
  spawn_user "$home/sway.log" "$home" WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
    sway -c "$home/sway.conf"
  wait_for 20 test -S "$home/run/wayland-1" || fail "sway did not start: $(tail -3 "$home/sway.log")"
  wait_for 10 compgen -G "$home/run/sway-ipc.*.sock" >/dev/null || fail "sway's IPC socket did not appear"
  sway_env=(WAYLAND_DISPLAY=wayland-1 SWAYSOCK="$(compgen -G "$home/run/sway-ipc.*.sock")")
}

# The pids of the sway part's "3dtidewell /s" processes.
savers() { pgrep -f -x "$work/sway-bin/3dtidewell /s" || true; }
no_saver() { [ -z "$(savers)" ]; }
a_saver() { [ -n "$(savers)" ]; }

mutter_check() {
  local home=$work/mutter
  make_home "$home"
  # The watch starts once mutter's socket is there, inside the same bus session.
  spawn_user /dev/null "$home" dbus-run-session -- sh -c '
    mutter --headless --wayland --no-x11 --virtual-monitor 1280x720 >"$HOME/mutter.log" 2>&1 &
    i=0; while [ ! -S "$XDG_RUNTIME_DIR/wayland-0" ] && [ $i -lt 200 ]; do sleep 0.1; i=$((i+1)); done
    WAYLAND_DISPLAY=wayland-0 TIDEWELL_PLATFORM=null timeout 100 "$0" --idle-watch >"$HOME/watch.log" 2>&1
    kill $!' "$work/mutter-bin/3dtidewell"
  mutter_job=$!
}

if [ "$have_mutter" = 1 ]; then mutter_check; else echo "mutter not installed: its part skipped"; fi

# sway: the idle time passes, the saver starts; a key ends it.
home=$work/sway
make_home "$home"
start_sway "$home"
# The saver it starts runs on the null platform, which draws nothing and ends only on SIGTERM:
# what ends it is the watch.
spawn_user "$home/watch.log" "$home" "${sway_env[@]}" TIDEWELL_PLATFORM=null "$work/sway-bin/3dtidewell" --idle-watch
watch=$!
wait_for 10 grep -q "watching the session with" "$home/watch.log" || fail "the watch did not start: $(cat "$home/watch.log")"
grep -q "org_kde_kwin_idle\|ext-idle-notify-v1" "$home/watch.log" || fail "sway's idle protocol not chosen: $(cat "$home/watch.log")"
# A second watch in the same session says so and ends, status 0.
second=$(as_user "$home" "${sway_env[@]}" "$work/sway-bin/3dtidewell" --idle-watch 2>&1) || fail "a second watch ended with an error"
echo "$second" | grep -q "runs in this session already" || fail "a second watch said: $second"
sleep 50
no_saver || fail "the saver started before the idle time"
wait_for 25 a_saver || fail "no saver after a minute idle: $(cat "$home/watch.log")"
echo "sway: the saver started after the idle time ($(savers))"
as_user "$home" "${sway_env[@]}" wtype a
wait_for 10 no_saver || fail "the saver still runs after a key"
grep -q "active: the saver ends" "$home/watch.log" || fail "the watch did not see the saver end: $(cat "$home/watch.log")"
echo "sway: a key ended it"

# An idle inhibitor on a client window keeps the saver from starting.
spawn_user /dev/null "$home" "${sway_env[@]}" foot --app-id=tidewell-inhibit sleep 300
foot_shown() { as_user "$home" "${sway_env[@]}" swaymsg -t get_tree | grep -q tidewell-inhibit; }
wait_for 20 foot_shown || fail "foot's window did not appear"
as_user "$home" "${sway_env[@]}" swaymsg '[app_id=tidewell-inhibit] inhibit_idle open' >/dev/null \
  || fail "swaymsg inhibit_idle failed"
as_user "$home" "${sway_env[@]}" wtype b
sleep 75
no_saver || fail "the saver started despite the idle inhibitor"
echo "sway: an idle inhibitor kept it from starting"
kill -TERM "$watch"
status=0
wait "$watch" || status=$?
[ "$status" = 0 ] || fail "the watch ended with status $status on SIGTERM"

if [ "$have_mutter" = 1 ]; then
  wait "$mutter_job" || true
  log=$work/mutter/watch.log
  grep -q "with org.gnome.Mutter.IdleMonitor" "$log" || fail "mutter: the D-Bus monitor was not chosen: $(cat "$log")"
  grep -q "idle: the saver" "$log" || fail "mutter: the idle watch did not fire: $(cat "$log")"
  echo "mutter: the D-Bus idle monitor fired"
fi
echo "PASS"
