#!/usr/bin/env bash
# End to end on Linux without any display: the null platform runs every mode (saver, settings
# dialog, preview, hack) through its start until SIGTERM ends it with status 0, the saver drawing
# its frames into nothing; an unknown platform is one line and status 2, one that cannot start
# names itself in one line, status 1.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
binary=$1
unset DISPLAY WAYLAND_DISPLAY TIDEWELL_PLATFORM

work=$(mktemp -d /tmp/tidewell-e2e.XXXXXX)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/bin" "$work/config" "$work/run"
chmod 700 "$work/run"
cp "$binary" "$work/bin/3dtidewell"
printf '[General]\nLog=1\n' >"$work/bin/3dtidewell.ini"
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run"

for mode in "/s" "/c" "/p 4242" "-root -fps"; do
  # shellcheck disable=SC2086 # the mode's words are separate arguments
  "$work/bin/3dtidewell" $mode --platform null 2>"$work/err" &
  pid=$!
  sleep 1.5
  kill -0 $pid 2>/dev/null || fail "$mode on the null platform ended by itself: $(cat "$work/err")"
  kill -TERM $pid
  wait_exit $pid 20 || fail "$mode on the null platform did not end on SIGTERM"
  [ "$exit_status" = 0 ] || fail "$mode on the null platform: exit status $exit_status: $(cat "$work/err")"
done
log=$(tr -d '\0' <"$work/bin/3dtidewell.log")
echo "$log" | grep -qE "^Full Screen mode: 640X480X32  FPS:[0-9]+" || fail "the saver drew no frames: $log"

TIDEWELL_PLATFORM=null "$work/bin/3dtidewell" /s &
pid=$!
sleep 1
kill -TERM $pid
wait_exit $pid 20 && [ "$exit_status" = 0 ] || fail "TIDEWELL_PLATFORM=null /s: exit status $exit_status"

set +e
"$work/bin/3dtidewell" /s --platform nosuch 2>"$work/err"
status=$?
set -e
[ "$status" = 2 ] || fail "an unknown platform: status $status"
[ "$(wc -l <"$work/err")" = 1 ] && grep -q "unknown platform 'nosuch' (known: wayland, x11, null)" "$work/err" ||
  fail "an unknown platform: $(cat "$work/err")"

set +e
DISPLAY=:4711 "$work/bin/3dtidewell" /s 2>"$work/err"
status=$?
set -e
[ "$status" = 1 ] || fail "no X server: status $status"
[ "$(wc -l <"$work/err")" = 1 ] && grep -q "platform x11: cannot open display ':4711'" "$work/err" ||
  fail "no X server: $(cat "$work/err")"

# A Wayland display that is not there: the automatic choice goes on to X11, which tells the last
# failure; asked for by name, Wayland tells its own.
set +e
WAYLAND_DISPLAY=/nonexistent/wayland-9 DISPLAY=:4711 "$work/bin/3dtidewell" /s 2>"$work/err"
status=$?
WAYLAND_DISPLAY=/nonexistent/wayland-9 "$work/bin/3dtidewell" --platform wayland /s 2>"$work/err2"
status2=$?
set -e
[ "$status" = 1 ] && grep -q "platform x11: cannot open display ':4711'" "$work/err" ||
  fail "no Wayland compositor, no X server: status $status, $(cat "$work/err")"
[ "$status2" = 1 ] && [ "$(wc -l <"$work/err2")" = 1 ] &&
  grep -q "platform wayland: cannot connect to Wayland display '/nonexistent/wayland-9'" "$work/err2" ||
  fail "no Wayland compositor: status $status2, $(cat "$work/err2")"
echo "every mode ran on the null platform"
