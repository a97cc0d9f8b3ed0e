#!/usr/bin/env bash
# End to end on Linux: 3dtidewell /s under the X server in $DISPLAY shows the water of the Auto
# theme's next colour at the horizon,
# the water surface above and the sand below, over the whole screen, a key ends it with status 0, the stop line is in
# the log (switched on by the description file beside the program) and the next theme is stored;
# /p with the id of another program's window shows the still picture inside it and ends when
# that window goes away, or on SIGTERM with status 0.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
binary=$1
[ -n "${DISPLAY:-}" ] || { echo "no X display: skipped"; exit 77; }
xdpyinfo >/dev/null 2>&1 || { echo "X display $DISPLAY not reachable: skipped"; exit 77; }

work=$(mktemp -d /tmp/tidewell-e2e.XXXXXX)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/bin" "$work/config/Korvane Software" "$work/run"
chmod 700 "$work/run"
cp "$binary" "$work/bin/3dtidewell"
printf '[General]\nLog=1\n' >"$work/bin/3dtidewell.ini"
# Auto theme, last shown Blue Water: this run shows Aquamarine Water (theme 1).
printf 'Theme=int:-1\n' >"$work/config/Korvane Software/3D Tidewell.conf"
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run" TIDEWELL_UNPACED=1

read -r screen_w screen_h < <(xdpyinfo | awk '/dimensions:/ { split($2, d, "x"); print d[1], d[2] }')
"$work/bin/3dtidewell" /s &
pid=$!
window=$(find_window "3D Tidewell" 60) || { kill $pid 2>/dev/null; fail "no saver window appeared"; }
sleep 1.5
import -window root "$work/shot.png"
read -r win_w win_h < <(xwininfo -id "$window" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w, h }')
echo "saver window ${win_w}x${win_h} on a ${screen_w}x${screen_h} screen"
kill -0 $pid 2>/dev/null || fail "the saver ended by itself"
[ "$win_w" = "$screen_w" ] && [ "$win_h" = "$screen_h" ] || { kill $pid; fail "the saver window does not cover the screen"; }
check_horizon "$work/shot.png" 1 0 0 "$win_w" "$win_h" || { kill $pid; fail "the horizon is not Aquamarine Water"; }
check_layers "$work/shot.png" 0 0 "$win_w" "$win_h" || { kill $pid; fail "no water surface above and sand below"; }
[ -n "${TIDEWELL_E2E_SHOTS:-}" ] && cp "$work/shot.png" "$TIDEWELL_E2E_SHOTS/linux_saver.png"

xdotool key space
wait_exit $pid 30 || fail "the saver did not end on a key"
[ "$exit_status" = 0 ] || fail "exit status $exit_status"
log=$(tr -d '\0' <"$work/bin/3dtidewell.log")
echo "$log" | grep -qE "^Full Screen mode: ${screen_w}X${screen_h}X(16|32)  FPS:[0-9]+" || fail "no stop line in the log: $log"
[ $(( $(stat -c %s "$work/bin/3dtidewell.log") % 16384 )) = 0 ] || fail "log not in 16384-byte blocks"
grep -qx 'Theme=int:-2' "$work/config/Korvane Software/3D Tidewell.conf" || fail "Auto theme not advanced in the store"

xmessage -title "Tidewell preview host" -geometry 240x180+20+20 "preview host" 2>/dev/null &
host_pid=$!
host=$(find_window "Tidewell preview host" 60) || { kill $host_pid; fail "no host window"; }
read -r host_w host_h < <(xwininfo -id "$host" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w, h }')
"$work/bin/3dtidewell" /p "$host" &
pid=$!
covered=""
for _ in $(seq 50); do
  if xwininfo -id "$host" -children | grep -qE "^ +0x[0-9a-f]+ \(has no name\): \(\) +${host_w}x${host_h}\+0\+0"; then covered=yes; break; fi
  sleep 0.1
done
sleep 0.5
kill -0 $pid 2>/dev/null || { kill $host_pid; fail "the preview ended by itself"; }
[ -n "$covered" ] || { kill $host_pid $pid; fail "no preview child covering the ${host_w}x${host_h} host"; }
echo "preview child covers the ${host_w}x${host_h} host window"
# The still picture: neither black nor the host's white.
read -r hx hy < <(xwininfo -id "$host" | awk '/Absolute upper-left X:/ { x = $4 } /Absolute upper-left Y:/ { y = $4 } END { print x, y }')
# The first picture waits for the GL context and the driver's first shaders: give a busy
# machine time before calling the preview black.
shown=""
for _ in $(seq 40); do
  import -window root "$work/preview.png"
  if check_picture "$work/preview.png" "$hx" "$hy" "$host_w" "$host_h" >/dev/null; then shown=yes; break; fi
  sleep 0.25
done
[ -n "${TIDEWELL_E2E_SHOTS:-}" ] && cp "$work/preview.png" "$TIDEWELL_E2E_SHOTS/linux_preview.png"
check_picture "$work/preview.png" "$hx" "$hy" "$host_w" "$host_h" || { kill $host_pid $pid; fail "the preview does not show the picture"; }
kill $host_pid
wait $host_pid 2>/dev/null || true
wait_exit $pid 30 || fail "the preview did not end with its window"
[ "$exit_status" = 0 ] || fail "preview exit status $exit_status"

# The desktop (or a session ending) may end a preview with SIGTERM: a clean end, status 0.
xmessage -title "Tidewell preview host 2" -geometry 240x180+20+20 "preview host" 2>/dev/null &
host_pid=$!
host=$(find_window "Tidewell preview host 2" 60) || { kill $host_pid; fail "no second host window"; }
"$work/bin/3dtidewell" /p "$host" &
pid=$!
# Up once its picture shows (the host's own widgets may already look like a covering child).
read -r hx hy < <(xwininfo -id "$host" | awk '/Absolute upper-left X:/ { x = $4 } /Absolute upper-left Y:/ { y = $4 } END { print x, y }')
picture_shown() { import -window root "$work/preview2.png" && check_picture "$work/preview2.png" "$hx" "$hy" "$host_w" "$host_h" >/dev/null; }
wait_for 20 picture_shown || { kill $host_pid $pid; fail "the second preview shows no picture"; }
kill -TERM $pid
wait_exit $pid 30 || { kill $host_pid; fail "the preview did not end on SIGTERM"; }
kill $host_pid
wait $host_pid 2>/dev/null || true
[ "$exit_status" = 0 ] || fail "preview exit status on SIGTERM $exit_status"
echo "the preview ends on SIGTERM with status 0"
echo "PASS"
