#!/usr/bin/env bash
# End to end on Windows under Wine in the X server of $DISPLAY: 3DTidewell.scr /s shows the
# water of the Auto theme's next colour, a key ends it with status 0 and the stop line in the
# log, and the next theme index lands in the registry; WM_CLOSE (End task) and a logoff's session
# end each stop /s the same way, the display mode restored; /p with a window of a host program
# lives inside that window and ends when it is destroyed.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
saver=$1
preview_host=$2
[ -n "${DISPLAY:-}" ] || { echo "no X display: skipped"; exit 77; }
[ -n "${WINEPREFIX:-}" ] || { echo "no WINEPREFIX: skipped"; exit 77; }
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" TIDEWELL_UNPACED=1
wine=wine
[ -x /usr/lib/wine/wine64 ] && wine=/usr/lib/wine/wine64
key='HKCU\Software\Korvane Software\3D Tidewell'

work=$(mktemp -d /tmp/tidewell-e2e.XXXXXX)
trap 'rm -rf "$work"' EXIT
cp "$saver" "$work/3DTidewell.scr"
printf '[General]\r\nLog=1\r\n' >"$work/3DTidewell.ini"
# Auto theme, last shown Aquamarine: this run shows Green Water (theme 2) and stores ~2 = -3.
$wine reg add "$key" /v Theme /t REG_DWORD /d 0xfffffffe /f >/dev/null

$wine "$work/3DTidewell.scr" /s &
pid=$!
window=$(find_window "3D Tidewell" 90) || { kill $pid 2>/dev/null; fail "no saver window appeared"; }
sleep 2
read -r win_w win_h < <(xwininfo -id "$window" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w, h }')
echo "saver window ${win_w}x${win_h}"
import -window root "$work/shot.png"
kill -0 $pid 2>/dev/null || fail "the saver ended by itself"
check_horizon "$work/shot.png" 2 0 0 "$win_w" "$win_h" || { kill $pid; fail "the horizon is not Green Water"; }
check_layers "$work/shot.png" 0 0 "$win_w" "$win_h" || { kill $pid; fail "no water surface above and sand below"; }
[ -n "${TIDEWELL_E2E_SHOTS:-}" ] && cp "$work/shot.png" "$TIDEWELL_E2E_SHOTS/wine_saver.png"

# Without a window manager Wine takes keys only in the window it was told has the focus.
xdotool windowfocus --sync "$window" 2>/dev/null || true
xdotool key space
wait_exit $pid 45 || fail "the saver did not end on a key"
[ "$exit_status" = 0 ] || fail "exit status $exit_status"
log=$(tr -d '\0\r' <"$work/3DTidewell.log")
echo "$log" | grep -qE "^Full Screen mode: [0-9]+X[0-9]+X(16|32)  FPS:[0-9]+" || fail "no stop line in the log: $log"
# wine reg asks the running wineserver, which holds the live registry (user.reg is written later).
stored=$($wine reg query "$key" /v Theme | tr -d '\r' | awk '$1 == "Theme" { print $3 }')
echo "stored theme: $stored"
[ "$((stored))" = "$((0xfffffffd))" ] || fail "Auto theme not advanced in the registry"

for how in close endsession; do
  rm -f "$work/3DTidewell.log"
  $wine "$preview_host" "$work/3DTidewell.scr" "$how" | tr -d '\r'
  [ "${PIPESTATUS[0]}" = 0 ] || fail "/s ended by $how"
  tr -d '\0\r' <"$work/3DTidewell.log" | grep -qE "^Full Screen mode: " || fail "no stop line in the log after $how"
done

$wine "$preview_host" "$work/3DTidewell.scr" | tr -d '\r'
status=${PIPESTATUS[0]}
[ "$status" = 0 ] || fail "preview run"
echo "PASS"
