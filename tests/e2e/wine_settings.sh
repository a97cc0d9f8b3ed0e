#!/usr/bin/env bash
# End to end on Windows under Wine in the X server of $DISPLAY: 3DTidewell.scr /c shows the
# settings dialog with the live preview of the default theme's water in its panel, which draws no
# frame while a topmost window covers it wholly and draws again once it is gone, and grows when
# another program makes the message font larger; Alt+A opens the
# About box and Escape closes it; a click on the fish track bar and Enter store the ten options
# and end with status 0; Escape stores nothing; with /c:<window> the dialog is owned by that window.
# TIDEWELL_E2E_SHOTS=<dir> keeps pictures of the dialog and of the About box.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
saver=$1
probe=$2
host=$3
need_wine
key='HKCU\Software\Korvane Software\3D Tidewell'
values="BubblesCount FishCount Theme ColorDepth ScreenWidth ScreenHeight SoundEnabled DesktopOnly RunAsExe Monitors"
shots=${TIDEWELL_E2E_SHOTS:-}

work=$(mktemp -d /tmp/tidewell-e2e.XXXXXX)
pid=""
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
cp "$saver" "$work/3DTidewell.scr"

# The dialog's caption is "3D Tidewell Screen Saver" until the preview's frame rate replaces it.
dialog_title='^(3D Tidewell Screen Saver|.* FPS: [0-9]+)$'

# A stored value as a decimal number; empty when there is none.
stored() {
  local hex
  hex=$($wine reg query "$key" /v "$1" 2>/dev/null | tr -d '\r' | awk -v name="$1" '$1 == name { print $3 }')
  [ -n "$hex" ] && echo $((hex))
  return 0
}

# Starts the dialog and waits until the probe sees the preview window in its panel; sets pid,
# dialog (the X window), pw x ph (the panel's drawing area: 316 x 236 at the design font, larger
# with a wider font) and sx, sy (the dialog's pixels per layout unit).
start_dialog() {
  $wine reg delete "$key" /f >/dev/null 2>&1 || true
  $wine "$work/3DTidewell.scr" /c &
  pid=$!
  local tries=60 seen=""
  while [ "$tries" -gt 0 ]; do
    seen=$($wine "$probe" 2>/dev/null | tr -d '\r' || true)
    pw="" ph=""
    read -r pw ph < <(echo "$seen" | sed -n 's/^panel \([0-9]*\)x\([0-9]*\)$/\1 \2/p') || true
    [ -n "${pw:-}" ] && echo "$seen" | grep -qx "preview ${pw}x${ph}" && break
    kill -0 "$pid" 2>/dev/null || fail "the program ended before its dialog showed"
    sleep 0.5
    tries=$((tries - 1))
  done
  echo "$seen"
  [ "$tries" -gt 0 ] || fail "no preview window as large as the dialog's panel"
  [ "$pw" -ge 316 ] && [ "$ph" -ge 236 ] || fail "the panel's drawing area is ${pw}x${ph}, less than 316x236"
  sx=$(awk -v w="$pw" 'BEGIN { print (w + 4) / 320 }')
  sy=$(awk -v h="$ph" 'BEGIN { print (h + 4) / 240 }')
  echo "$seen" | grep -q ' owner 0000000000000000 ' || fail "the dialog has an owner without /c:<window>"
  dialog=$(xdotool search --onlyvisible --name "$dialog_title" 2>/dev/null | head -1 || true)
  [ -n "$dialog" ] || fail "no dialog window on the X server"
}

# The X window that Wine renders a GL child window into: off screen, inside Wine's 1 x 1 parking
# window at -1,-1. GL drawn there reaches neither the dialog's window nor a screenshot of it.
gl_window() {
  xwininfo -root -tree | awk -v size="$1x$2+0+0" 'index($0, size) && $NF == "+-1+-1" { print $1; exit }'
}

echo "== OK stores the options"
start_dialog
sleep 2
preview=$(gl_window "$pw" "$ph")
[ -n "$preview" ] || fail "no X window with the preview's pixels"
import -window "$preview" "$work/preview.png"
check_horizon "$work/preview.png" 0 0 0 "$pw" "$ph" || fail "the preview does not show Blue Water"
import -window "$dialog" "$work/dialog.png"
background=$(pixel "$work/dialog.png" 3 3)
[ "$(distance2 "$background" "92 175 224")" -le 12 ] || fail "dialog background $background"
if [ -n "$shots" ]; then
  # What a user sees: the dialog with the preview in its panel.
  convert "$work/dialog.png" "$work/preview.png" -geometry "+$(($(scaled 8 "$sx") + 2))+$(($(scaled 12 "$sy") + 2))" \
    -composite "$shots/wine_settings.png"
fi

# Frames are seen as changes of the preview's pixels over a second or more, the water moving.
moving() {
  import -window "$preview" "$work/moving-a.ppm"
  sleep "${1:-1}"
  import -window "$preview" "$work/moving-b.ppm"
  ! cmp -s "$work/moving-a.ppm" "$work/moving-b.ppm"
}
# Starts the probe's cover ("cover <ms> [strip]") and waits until it is shown.
cover() {
  $wine "$probe" cover "$@" >"$work/cover" 2>/dev/null &
  cover_pid=$!
  wait_for 30 grep -q covered "$work/cover" || fail "the probe did not cover the dialog"
  sleep 0.5  # a frame begun before the cover came may still land
}
cover 4000 strip
moving || fail "the preview stopped under a cover that leaves a row of it showing"
wait "$cover_pid" || true
cover 5000
moving 1.5 && fail "the preview drew frames under a cover over the whole dialog"
wait "$cover_pid" || true
wait_for 20 moving || fail "no frames after the cover went"
echo "  covered: no frame; a row uncovered, or the cover gone: frames"

# Another program makes the message font larger (and then puts it back): the open dialog grows.
grown=$($wine "$probe" font 2>/dev/null | tr -d '\r' | grep '^font ' || true)
echo "  $grown"
read -r _ before _ after <<<"$grown"
[ -n "$after" ] && [ "${after%x*}" -gt "${before%x*}" ] && [ "${after#*x}" -gt "${before#*x}" ] ||
  fail "the dialog kept its size when the message font grew: $grown"

# Without a window manager Wine takes keys only in the window it was told has the focus.
xdotool windowfocus --sync "$dialog" 2>/dev/null || true
xdotool key alt+a
about=$(find_window "About 3D Tidewell Screen Saver" 60) || fail "Alt+A did not open the About box"
sleep 1
import -window "$about" "$work/about.png"
[ -n "$shots" ] && cp "$work/about.png" "$shots/wine_about.png"
check_picture "$work/about.png" "$(scaled 10 "$sx")" "$(scaled 21 "$sy")" "$(scaled 150 "$sx")" "$(scaled 110 "$sy")" || fail "no picture in the About box"
xdotool windowfocus --sync "$about" 2>/dev/null || true
xdotool key Escape
tries=50
while [ "$tries" -gt 0 ] && xdotool search --onlyvisible --name "^About 3D Tidewell Screen Saver\$" >/dev/null 2>&1; do
  sleep 0.1
  tries=$((tries - 1))
done
[ "$tries" -gt 0 ] || fail "Escape did not close the About box"

# A click right of the fish track bar's thumb pages it up by 5: 20 becomes 25.
eval "$(xdotool getwindowgeometry --shell "$dialog")"
xdotool mousemove $((X + $(scaled $((336 + 8 + 100)) "$sx"))) $((Y + $(scaled $((128 + 24 + 10)) "$sy"))) sleep 0.3 click 1
sleep 0.5
# The monitors list opens on a click; End picks its last item, "Primary monitor only", and
# Return closes the list on it.
xdotool mousemove $((X + $(scaled $((72 + 120)) "$sx"))) $((Y + $(scaled $((320 + 10)) "$sy"))) sleep 0.3 click 1
sleep 0.5
xdotool key End sleep 0.3 key Return
sleep 0.5
xdotool windowfocus --sync "$dialog" 2>/dev/null || true
xdotool key Return
wait_exit "$pid" 45 || fail "Enter did not end the dialog"
pid=""
[ "$exit_status" = 0 ] || fail "exit status $exit_status after OK"
for name in $values; do echo "  $name = $(stored "$name")"; done
[ "$(stored FishCount)" = 25 ] || fail "the fish count of the track bar was not stored"
[ "$(stored BubblesCount)" = 50 ] || fail "bubble count"
[ "$(stored Theme)" = 0 ] || fail "theme"
[ "$(stored SoundEnabled)" = 1 ] || fail "sound"
[ "$(stored DesktopOnly)" = 0 ] || fail "desktop only"
[ "$(stored RunAsExe)" = 0 ] || fail "run as program"
[ "$(stored Monitors)" = 2 ] || fail "the monitors choice of the list was not stored"
case "$(stored ColorDepth)" in 16 | 32) ;; *) fail "colour depth" ;; esac
[ "$(stored ScreenWidth)" -gt 0 ] && [ "$(stored ScreenHeight)" -gt 0 ] || fail "full-screen size"

echo "== Escape stores nothing"
start_dialog
# A second /c while another program's window is in front brings the dialog back to the front
# and ends at once with status 0.
$wine notepad >/dev/null 2>&1 &
other=$!
find_window '.*Notepad' 30 >/dev/null || fail "no other program's window to come in front"
sleep 1
$wine "$probe" 2>/dev/null | tr -d '\r' | grep -qx 'foreground other' || fail "the other program did not come in front"
timeout 60 $wine "$work/3DTidewell.scr" /c || fail "a second /c did not end with status 0"
front=$($wine "$probe" 2>/dev/null | tr -d '\r' | grep '^foreground ' || true)
kill "$other" 2>/dev/null
wait "$other" 2>/dev/null || true
[ "$front" = "foreground dialog" ] || fail "a second /c did not bring the open dialog to the front ($front)"
xdotool windowfocus --sync "$dialog" 2>/dev/null || true
xdotool key Escape
wait_exit "$pid" 45 || fail "Escape did not end the dialog"
pid=""
[ "$exit_status" = 0 ] || fail "exit status $exit_status after Escape"
for name in $values; do
  [ -z "$(stored "$name")" ] || fail "$name stored after Escape"
done

echo "== /c:<window> makes the dialog that window's"
$wine "$host" "$work/3DTidewell.scr" settings | tr -d '\r'
[ "${PIPESTATUS[0]}" = 0 ] || fail "owned dialog"
echo "PASS"
