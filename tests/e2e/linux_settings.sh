#!/usr/bin/env bash
# End to end on Linux: 3dtidewell with no argument opens the settings dialog (GTK) whose preview
# panel shows the water of the chosen theme drawn by GLX; Enter stores the options shown and ends
# with status 0; Escape stores nothing; --settings opens the same dialog. The About box opens
# from its button and closes with Escape. Without its GTK module the dialog fails with an error
# naming it, and nothing stored changes. TIDEWELL_E2E_SHOTS=<dir> keeps pictures of both.
#   linux_settings.sh <program> <the module's installed path>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
binary=$1
installed_module=$2
[ -n "${DISPLAY:-}" ] || { echo "no X display: skipped"; exit 77; }
xdpyinfo >/dev/null 2>&1 || { echo "X display $DISPLAY not reachable: skipped"; exit 77; }

work=$(mktemp -d /tmp/tidewell-e2e.XXXXXX)
pid=""
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$work"' EXIT
mkdir -p "$work/bin" "$work/config/Korvane Software" "$work/run" "$work/home"
chmod 700 "$work/run"
cp "$binary" "$work/bin/3dtidewell"
# The dialog is in the GTK module, which the program finds beside itself.
cp "$(dirname "$binary")/3dtidewell-gtk.so" "$work/bin/"
exe="$work/bin/3dtidewell"
conf="$work/config/Korvane Software/3D Tidewell.conf"
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run" TIDEWELL_UNPACED=1

# A key for window $1 once it has the focus; a key sent without it would reach whatever window
# has the focus instead.
press() {
  timeout 20 xdotool windowfocus --sync "$1" 2>/dev/null || return 1
  xdotool key "$2"
}

# The dialog's window: titled with the product until the preview runs, then with the program's
# path and its frame rate.
dialog_title="(3D Tidewell Screen Saver|$exe FPS: [0-9]+)"

# Starts the program with the given arguments and waits until its preview shows theme $1's
# water with no box over the dialog; sets pid, dialog, dx, dy (the dialog's client origin on the
# screen), dw, dh and sx, sy (its pixels per layout unit: it grows with the desktop's font).
open_dialog() {
  local theme=$1 shown="" end
  shift
  "$exe" "$@" &
  pid=$!
  dialog=$(find_window "$dialog_title" 60) || fail "no settings dialog appeared for: $*"
  read -r dx dy dw dh < <(xwininfo -id "$dialog" |
    awk '/Absolute upper-left X:/ { x = $4 } /Absolute upper-left Y:/ { y = $4 } /Width:/ { w = $2 } /Height:/ { h = $2 } END { print x, y, w, h }')
  echo "dialog ${dw}x${dh} at $dx,$dy"
  [ "$dw" -ge 511 ] && [ "$dh" -ge 387 ] || fail "the dialog's client area is ${dw}x${dh}, less than 511x387"
  sx=$(awk -v w="$dw" 'BEGIN { print w / 511 }')
  sy=$(awk -v h="$dh" 'BEGIN { print h / 387 }')
  # The preview window covers the panel's inner area, (10, 14) and 316 x 236 at the design font;
  # a pixel in from each side, as the units read back from the size may round the other way.
  px=$(($(scaled 8 "$sx") + 3)) py=$(($(scaled 12 "$sy") + 3))
  pw=$(($(scaled 328 "$sx") - px - 3)) ph=$(($(scaled 252 "$sy") - py - 3))
  # With a software
  # renderer (Xvfb) a warning box titled with the product comes first: OK it, once, and wait
  # until it has gone, since a second Return would reach the dialog and mean OK. The box is up
  # before the preview's first frame, so once the water shows, a box not seen is none.
  end=$((SECONDS + 90))
  while [ "$SECONDS" -lt "$end" ]; do
    warning=$(find_window '3D Tidewell' 0) || warning=""
    if [ -n "$warning" ]; then
      echo "software rendering warning: OK"
      [ -n "${TIDEWELL_E2E_SHOTS:-}" ] && import -window root "$TIDEWELL_E2E_SHOTS/linux_settings_warning.png"
      press "$warning" Return || fail "the software rendering warning took no key"
      wait_for 60 hidden "$warning" || fail "Return did not close the software rendering warning"
      continue
    fi
    import -window root "$work/dialog.png"
    if check_horizon "$work/dialog.png" "$theme" $((dx + px)) $((dy + py)) "$pw" "$ph" >"$work/horizon.txt" &&
      ! find_window '3D Tidewell' 0 >/dev/null; then
      shown=yes
      break
    fi
    kill -0 "$pid" 2>/dev/null || fail "the program ended while its dialog was open"
    sleep 0.5
  done
  cat "$work/horizon.txt"
  [ -n "$shown" ] || fail "the preview panel does not show theme $theme's water"
}

# First run: the defaults, Blue Water; Enter stores them.
open_dialog 0
[ -n "${TIDEWELL_E2E_SHOTS:-}" ] && convert "$work/dialog.png" -crop "${dw}x${dh}+$dx+$dy" +repage "$TIDEWELL_E2E_SHOTS/linux_settings.png"
# A second start while the dialog is open brings the dialog over the window that covers it, and
# ends at once with status 0.
xmessage -name tidewell-cover -title tidewell-cover -geometry "${dw}x${dh}+$dx+$dy" "cover" &
cover=$!
find_window tidewell-cover 20 >/dev/null || fail "no covering window appeared"
sleep 0.5
import -window root "$work/covered.png"
check_horizon "$work/covered.png" 0 $((dx + px)) $((dy + py)) "$pw" "$ph" >/dev/null && fail "the cover does not cover the dialog"
timeout 20 "$exe" --settings || fail "a second start did not end at once with status 0 (status $?)"
sleep 0.5
import -window root "$work/raised.png"
kill "$cover" 2>/dev/null
wait "$cover" 2>/dev/null || true
check_horizon "$work/raised.png" 0 $((dx + px)) $((dy + py)) "$pw" "$ph" >/dev/null ||
  fail "a second start did not bring the open dialog forward"
press "$dialog" Return || fail "the dialog took no key"
wait_exit "$pid" 30 || fail "Enter did not end the dialog"
pid=""
[ "$exit_status" = 0 ] || fail "exit status $exit_status after Enter"
[ -f "$conf" ] || fail "Enter stored no options"
cat "$conf"
for line in 'BubblesCount=int:50' 'FishCount=int:20' 'Theme=int:0' 'SoundEnabled=int:1' 'DesktopOnly=int:0' 'RunAsExe=int:0' \
  'Monitors=int:0'; do
  grep -qx "$line" "$conf" || fail "the stored options lack $line"
done
grep -qxE 'ColorDepth=int:(16|32)' "$conf" || fail "no colour depth stored"
grep -qxE 'ScreenWidth=int:[0-9]+' "$conf" && grep -qxE 'ScreenHeight=int:[0-9]+' "$conf" || fail "no screen size stored"

# A stored "Monitors:" choice comes back through OK as it was.
printf 'Monitors=int:1\n' >"$conf"
open_dialog 0
press "$dialog" Return || fail "the dialog took no key"
wait_exit "$pid" 30 || fail "Enter did not end the dialog"
pid=""
grep -qx 'Monitors=int:1' "$conf" || fail "the monitors choice did not come back through OK: $(cat "$conf")"

# Auto theme last on Green Water, 33 fish: the preview shows green water; Escape stores nothing.
printf 'FishCount=int:33\nTheme=int:-3\n' >"$conf"
cp "$conf" "$work/before.conf"
open_dialog 2
# The About box opens from its button and closes with Escape. The clicked button keeps the
# focus (Enter would open the box again), Escape still closes the dialog. The click comes once
# the dialog is up with no box over it (open_dialog waits for that); it is repeated only while
# no About box is up, and one that arrives while the box opens is dropped by the box's modal
# grab, so at most one box opens.
about=""
end=$((SECONDS + 90))
while [ -z "$about" ] && [ "$SECONDS" -lt "$end" ]; do
  viewable "$dialog" || fail "the dialog went before its About button was clicked"
  xdotool mousemove $((dx + $(scaled $((176 + 37)) "$sx"))) $((dy + $(scaled $((352 + 12)) "$sy"))) click 1
  about=$(find_window "About 3D Tidewell Screen Saver" 20) || about=""
  kill -0 "$pid" 2>/dev/null || fail "the program ended instead of opening the About box"
done
[ -n "$about" ] || fail "the About box did not open"
if [ -n "${TIDEWELL_E2E_SHOTS:-}" ]; then
  sleep 0.5  # its picture drawn
  read -r ax ay aw ah < <(xwininfo -id "$about" |
    awk '/Absolute upper-left X:/ { x = $4 } /Absolute upper-left Y:/ { y = $4 } /Width:/ { w = $2 } /Height:/ { h = $2 } END { print x, y, w, h }')
  import -window root "$work/about.png"
  convert "$work/about.png" -crop "${aw}x${ah}+$ax+$ay" +repage "$TIDEWELL_E2E_SHOTS/linux_about.png"
fi
press "$about" Escape || fail "the About box took no key"
wait_for 30 hidden "$about" || fail "Escape did not close the About box"
kill -0 "$pid" 2>/dev/null || fail "the program ended with the About box"
press "$dialog" Escape || fail "the dialog took no key"
wait_exit "$pid" 30 || fail "Escape did not end the dialog"
pid=""
[ "$exit_status" = 0 ] || fail "exit status $exit_status after Escape"
cmp -s "$conf" "$work/before.conf" || fail "Escape changed the stored options: $(cat "$conf")"

# --settings opens the same dialog.
open_dialog 2 --settings
press "$dialog" Escape || fail "the dialog took no key"
wait_exit "$pid" 30 || fail "Escape did not end the dialog opened with --settings"
pid=""
[ "$exit_status" = 0 ] || fail "exit status $exit_status after --settings"
cmp -s "$conf" "$work/before.conf" || fail "--settings and Escape changed the stored options"

# SIGTERM (a session's end) ends the dialog as Cancel does, status 0, with a box open over it too.
for box in none about; do
  open_dialog 2 --settings
  if [ "$box" = about ]; then
    press "$dialog" alt+a || fail "the dialog took no key"
    find_window "About 3D Tidewell Screen Saver" 20 >/dev/null || fail "Alt+A opened no About box"
  fi
  kill -TERM "$pid"
  wait_exit "$pid" 30 || fail "SIGTERM did not end the dialog (box: $box)"
  pid=""
  [ "$exit_status" = 0 ] || fail "exit status $exit_status after SIGTERM (box: $box)"
  cmp -s "$conf" "$work/before.conf" || fail "SIGTERM changed the stored options (box: $box)"
done

# Without the module: the error names it and says why dlopen failed; no crash, no dialog.
rm "$work/bin/3dtidewell-gtk.so"
if [ -e "$installed_module" ]; then
  echo "$installed_module is installed: the program without its module is not checked"
else
  status=0
  timeout 60 "$exe" --settings 2>"$work/stderr.txt" || status=$?
  cat "$work/stderr.txt"
  [ "$status" = 1 ] || fail "exit status $status without the module"
  grep -q '3dtidewell-gtk\.so.*No such file or directory' "$work/stderr.txt" || fail "the error does not name the module and the reason"
  cmp -s "$conf" "$work/before.conf" || fail "the failed dialog changed the stored options"
fi
echo "PASS"
