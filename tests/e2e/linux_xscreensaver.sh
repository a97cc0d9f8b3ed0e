#!/usr/bin/env bash
# End to end with the real xscreensaver daemon: in a private X server (open to every user, since
# xscreensaver will not run hacks as root and runs here as nobody), a private HOME whose
# .xscreensaver lists only our hack, with the command line xscreensaver's settings panel gives
# for the XML's defaults (it passes no argument for a setting left at its default) and Green
# Water; "xscreensaver-command -activate" shows the hack's water, "-deactivate" ends our
# process (with its stop line, no error in its log or on the daemon's error stream), and "-exit"
# leaves no process behind. The panel's defaults are the hack's own: no sound device is opened
# (SDL's disk driver would write a file; with --sound it does) and frames come at most 30 a second.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
binary=$1
command -v xscreensaver >/dev/null && command -v xscreensaver-command >/dev/null \
  || { echo "xscreensaver not installed: skipped"; exit 77; }
command -v Xvfb >/dev/null || { echo "no Xvfb: skipped"; exit 77; }
command -v xmllint >/dev/null || { echo "no xmllint: skipped"; exit 77; }
xml="$here/../../packaging/linux/3dtidewell.xml"

work=$(mktemp -d /tmp/tidewell-xss.XXXXXX)
chmod 755 "$work"
xvfb=""
daemon=""
cleanup() {
  [ -n "$daemon" ] && kill "$daemon" 2>/dev/null || true
  pkill -TERM -f "^$work/bin/3dtidewell" 2>/dev/null || true
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# As nobody when we are root; as ourselves otherwise.
as_user() {
  if [ "$(id -u)" = 0 ]; then
    setpriv --reuid=65534 --regid=65534 --clear-groups env HOME="$home" "$@"
  else
    env HOME="$home" "$@"
  fi
}

# The settings panel's command line: the XML's own arguments, then only what differs from a
# default (here the water). Its frame rate default is the hack's.
xpath() { xmllint --xpath "string($1)" "$xml"; }
command_args=$(xpath '//command/@arg')
green=$(xpath '//option[@id="green"]/@arg-set')
[ "$command_args" = --root ] && [ "$green" = "--theme green" ] || fail "the XML's command '$command_args', water '$green'"
[ "$(xpath '//number[@id="delay"]/@arg')" = "--delay %" ] || fail "the XML's frame rate is not --delay"
[ "$(xpath '//number[@id="delay"]/@convert')" = invert ] || fail "the XML's frame rate slider is not inverted"
delay_default=$(xpath '//number[@id="delay"]/@default')
"$binary" --help | grep -qF "(default $delay_default: 30 frames a second" \
  || fail "the XML's frame rate default $delay_default is not the hack's"
[ -z "$(xpath '//boolean[@id="sound"]/@arg-unset')" ] || fail "the XML's sound box passes an argument when left off"

mkdir -p "$work/bin"
cp "$binary" "$work/bin/3dtidewell"
chmod 755 "$work/bin" "$work/bin/3dtidewell"
printf '[General]\nLog=1\n' >"$work/bin/3dtidewell.ini"
chmod 644 "$work/bin/3dtidewell.ini"
home="$work/home"
mkdir -p "$home/run" "$home/state" "$home/config"
cat >"$home/.xscreensaver" <<XSS
timeout:	0:30:00
cycle:	0:00:00
lock:	False
fade:	False
unfade:	False
splash:	False
dpmsEnabled:	False
mode:	one
selected:	0
programs:	GL: "3D Tidewell" $work/bin/3dtidewell $command_args $green \\n
XSS
chmod 700 "$home/run"
[ "$(id -u)" = 0 ] && chown -R 65534:65534 "$home"

display=120
while [ -e "/tmp/.X${display}-lock" ] || [ -e "/tmp/.X11-unix/X${display}" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1024x768x24 -ac -noreset -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=":$display"
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
xdpyinfo >/dev/null 2>&1 || fail "the private X server did not start"

export XDG_RUNTIME_DIR="$home/run" XDG_STATE_HOME="$home/state" XDG_CONFIG_HOME="$home/config"
# In the hack's own folder, which it could write: a file there means it opened the device.
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$home/audio.raw"
as_user xscreensaver -no-splash -verbose >"$work/daemon.log" 2>&1 &
daemon=$!
for _ in $(seq 100); do as_user xscreensaver-command -version >/dev/null 2>&1 && break; sleep 0.1; done
as_user xscreensaver-command -version >/dev/null 2>&1 || fail "the daemon did not answer: $(cat "$work/daemon.log")"

as_user xscreensaver-command -activate >/dev/null
hack=""
for _ in $(seq 100); do
  hack=$(pgrep -f "^$work/bin/3dtidewell" | head -1 || true)
  [ -n "$hack" ] && break
  sleep 0.1
done
[ -n "$hack" ] || fail "xscreensaver did not start the hack: $(tail -20 "$work/daemon.log")"
# xscreensaver runs its hacks niced: on a busy machine the first frames take a while.
seen=""
for _ in $(seq 60); do
  sleep 1
  kill -0 "$hack" 2>/dev/null || fail "the hack ended by itself: $(tail -20 "$work/daemon.log")"
  import -window root "$work/shot.png"
  if check_horizon "$work/shot.png" 2 0 0 1024 768 >"$work/horizon.txt"; then seen=yes; break; fi
done
cat "$work/horizon.txt"
[ -n "${TIDEWELL_E2E_SHOTS:-}" ] && cp "$work/shot.png" "$TIDEWELL_E2E_SHOTS/linux_xscreensaver.png"
[ -n "$seen" ] || fail "no Green Water on the screen xscreensaver blanked"
check_layers "$work/shot.png" 0 0 1024 768 || fail "no water surface above and sand below"

as_user xscreensaver-command -deactivate >/dev/null
for _ in $(seq 100); do kill -0 "$hack" 2>/dev/null || break; sleep 0.1; done
kill -0 "$hack" 2>/dev/null && fail "the hack still runs after -deactivate"
log="$home/state/3dtidewell/3dtidewell.log"
[ -f "$log" ] || fail "no log of the hack"
text=$(tr -d '\0' <"$log")
echo "$text" | grep -qE "^Full Screen mode: [0-9]+X[0-9]+X(16|32)  FPS:[0-9]+" || fail "no stop line in the hack's log: $text"
echo "$text" | grep -v "^GL_" | grep -qiE "error|exception" && fail "an error in the hack's log: $text"
[ ! -e "$home/audio.raw" ] || fail "the hack with the panel's defaults opened a sound device"
# The last second's frames: 30 a second (Xvfb's refresh timer alone would allow 60). A busy
# machine only draws fewer.
fps=$(echo "$text" | sed -nE 's/^Full Screen mode: .*FPS:([0-9]+).*/\1/p' | tail -1)
[ "$fps" -le 35 ] || fail "the hack drew $fps frames a second with the panel's default frame rate"
echo "the hack with the panel's defaults: silent, $fps frames a second"
as_user xscreensaver-command -exit >/dev/null
wait_exit "$daemon" 30 || fail "the daemon did not exit"
daemon=""
pgrep -f "^$work/bin/3dtidewell" >/dev/null && fail "a hack process is left over"
# The daemon's error stream carries the hack's: no error of ours, of ALSA or of X.
if grep -E "Tidewell Screen Saver Error|bin/3dtidewell: |ALSA lib|X Error|Major opcode" "$work/daemon.log"; then
  fail "the hack wrote an error on the error stream"
fi
grep -E "\(3dtidewell\)|pid [0-9]+.*3dtidewell" "$work/daemon.log" || true

# The same hack asked for sound does open the device: the check above can see one.
as_user "$work/bin/3dtidewell" $command_args --sound >"$work/sound.log" 2>&1 &
runner=$!
for _ in $(seq 300); do [ -s "$home/audio.raw" ] && break; kill -0 "$runner" 2>/dev/null || break; sleep 0.1; done
hack=$(pgrep -f "^$work/bin/3dtidewell" | head -1 || true)
[ -n "$hack" ] && kill -TERM "$hack"
wait "$runner" 2>/dev/null || true
[ -s "$home/audio.raw" ] || fail "the hack with --sound wrote no sound through SDL's disk driver: $(cat "$work/sound.log")"
echo "PASS"
