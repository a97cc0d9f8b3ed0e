#!/usr/bin/env bash
# End to end on two monitors: Xephyr, inside the test's X server, gives two heads joined by
# Xinerama (800x600 at the origin, 640x480 right of it; no RandR). For each stored "Monitors:"
# choice the saver with /s must show water on both heads (an aquarium each, or one across
# them), or the aquarium on the first head and a black cover on the second (the primary only);
# a key pressed with the pointer on the second head ends it. Natively, the settings dialog and
# its boxes open on the head with the pointer, wholly when they fit.
#   two_monitors.sh <3dtidewell>             natively
#   two_monitors.sh <3DTidewell.scr> wine    under Wine, in a prefix of its own on that server
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
program=$1
mode=${2:-native}
[ -n "${DISPLAY:-}" ] || { echo "no X display: skipped"; exit 77; }
command -v Xephyr >/dev/null || { echo "no Xephyr: skipped"; exit 77; }

work=$(mktemp -d /tmp/tidewell-heads.XXXXXX)
xephyr_pid=""
private_wine=""
cleanup() {
  [ -n "$private_wine" ] && WINEPREFIX="$private_wine" wineserver -k 2>/dev/null || true
  [ -n "${desktop_pid:-}" ] && kill "$desktop_pid" 2>/dev/null || true
  [ -n "$xephyr_pid" ] && kill "$xephyr_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

heads=150
while [ -e "/tmp/.X${heads}-lock" ] || [ -e "/tmp/.X11-unix/X${heads}" ]; do heads=$((heads + 1)); done
# -noreset: a server that resets when its last client leaves (the check below) refuses the next.
Xephyr ":$heads" -screen 800x600 -screen 640x480 +xinerama -extension RANDR -noreset -nolisten tcp >"$work/xephyr.log" 2>&1 &
xephyr_pid=$!
wait_for 30 reachable ":$heads" || { cat "$work/xephyr.log"; echo "Xephyr did not start: skipped"; exit 77; }
export DISPLAY=":$heads" TIDEWELL_UNPACED=1
# An orange window over both heads stands for the desktop: a head nothing covers shows it.
xmessage -bg '#ff8000' -fg '#ff8000' -geometry 1440x600+0+0 desktop >"$work/xmessage.log" 2>&1 &
desktop_pid=$!
find_window xmessage 90 >/dev/null || { cat "$work/xmessage.log"; fail "no desktop window"; }

mkdir -p "$work/bin" "$work/config" "$work/run" "$work/state"
chmod 700 "$work/run"
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run" XDG_STATE_HOME="$work/state"
if [ "$mode" = wine ]; then
  export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  # Wine's desktop process reads the monitors from the X server it starts on: a prefix of our own
  # (and with it a wineserver of our own) on the two heads.
  private_wine="$work/wine"
  export WINEPREFIX="$private_wine"
  wine=wine
  [ -x /usr/lib/wine/wine64 ] && wine=/usr/lib/wine/wine64
  wineboot -i >/dev/null 2>&1 || true
  cp "$program" "$work/bin/3DTidewell.scr"
  run=("$wine" "$work/bin/3DTidewell.scr" /s)
else
  # Mesa's driver behind Xephyr's GLX is unloaded before the leak check runs, so its lifetime
  # allocations name no library the suppressions could match; the other sanitizer runs check
  # our own code for leaks.
  export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
  cp "$program" "$work/bin/3dtidewell"
  # The settings dialog's GTK module, found beside the program.
  cp "$(dirname "$program")/3dtidewell-gtk.so" "$work/bin/"
  run=("$work/bin/3dtidewell" /s)
fi

# Stores the "Monitors:" choice $1 where the program reads its options.
store_choice() {
  if [ "$mode" = wine ]; then
    "$wine" reg add 'HKCU\Software\Korvane Software\3D Tidewell' /v Monitors /t REG_DWORD /d "$1" /f >/dev/null 2>&1 ||
      fail "the choice could not be stored"
  else
    mkdir -p "$XDG_CONFIG_HOME/Korvane Software"
    printf 'Monitors=int:%s\n' "$1" >"$XDG_CONFIG_HOME/Korvane Software/3D Tidewell.conf"
  fi
}

# Water on the head (x0, y0, width, height): most points of its top row and of its middle row
# are blue rather than red, and not black. Across all monitors the second head shows only the
# upper part of the one view, so its bottom need not reach the sand.
check_water() {
  local shot=$1 x0=$2 y0=$3 w=$4 h=$5 good=0 i row r g b
  for i in 1 3 5 7 9; do
    for row in $((y0 + h * 2 / 100)) $((y0 + h / 2)); do
      read -r r g b < <(pixel "$shot" $((x0 + w * i / 10)) "$row")
      echo "  water ($((x0 + w * i / 10)),$row): $r $g $b"
      [ "$b" -gt "$r" ] && [ $((r + g + b)) -gt 60 ] && good=$((good + 1))
    done
  done
  [ "$good" -ge 7 ]
}

# One run with the choice $1 (0 each its own, 1 across all, 2 the primary only).
run_choice() {
  local choice=$1 names=(each_own across_all primary_only) window pid x y w h point seen
  echo "choice $choice (${names[$choice]})"
  store_choice "$choice"
  # The pointer waits on the second head, so the key that ends the run is pressed there.
  xdotool mousemove 1100 240
  "${run[@]}" &
  pid=$!
  window=$(find_window "3D Tidewell" 90) || { kill $pid 2>/dev/null; fail "no saver window appeared"; }
  sleep 2
  kill -0 $pid 2>/dev/null || fail "the saver ended by itself"
  read -r x y w h < <(xwininfo -id "$window" | awk '/Absolute upper-left X:/ { x = $4 } /Absolute upper-left Y:/ { y = $4 }
    /Width:/ { w = $2 } /Height:/ { h = $2 } END { print x, y, w, h }')
  echo "saver window ${w}x${h} at $x,$y"
  import -window root "$work/shot.png"
  [ -n "${TIDEWELL_E2E_SHOTS:-}" ] && cp "$work/shot.png" "$TIDEWELL_E2E_SHOTS/two_monitors_${mode}_${names[$choice]}.png"
  if [ "$choice" = 2 ]; then
    [ "$x,$y,$w,$h" = "0,0,800,600" ] || { kill $pid; fail "the aquarium does not fill the first head"; }
    check_layers "$work/shot.png" 0 0 800 600 || { kill $pid; fail "no aquarium on the first head"; }
    # The second head is black all over: its desktop does not show.
    for point in "820 20" "1120 240" "1420 460"; do
      seen=$(pixel "$work/shot.png" $point)
      echo "  second head ($point): $seen"
      [ "$seen" = "0 0 0" ] || { kill $pid; fail "the second head is not covered"; }
    done
  else
    [ "$x,$y,$w,$h" = "0,0,1440,600" ] || { kill $pid; fail "the aquarium's window does not span both heads"; }
    check_layers "$work/shot.png" 0 0 800 600 || { kill $pid; fail "no water on the first head"; }
    if [ "$choice" = 0 ]; then
      check_layers "$work/shot.png" 800 0 640 480 || { kill $pid; fail "no aquarium on the second head"; }
    else
      check_water "$work/shot.png" 800 0 640 480 || { kill $pid; fail "no water on the second head"; }
    fi
  fi

  xdotool windowfocus --sync "$window" 2>/dev/null || true
  xdotool key space
  wait_exit $pid 45 || fail "the saver did not end on a key"
  [ "$exit_status" = 0 ] || fail "exit status $exit_status"
}

for choice in 0 1 2; do run_choice $choice; done

# Window $1's place "x y w h" on the screen.
place() {
  xwininfo -id "$1" | awk '/Absolute upper-left X:/ { x = $4 } /Absolute upper-left Y:/ { y = $4 }
    /Width:/ { w = $2 } /Height:/ { h = $2 } END { print x, y, w, h }'
}

# The settings dialog (and the box that says there is no acceleration) with the pointer at ($1,
# $2): check_place is given each window's "x y w h".
dialog_with_pointer() {
  local window
  xdotool mousemove "$1" "$2"
  "${run[0]}" --settings &
  pid=$!
  window=$(find_window "(3D Tidewell Screen Saver|.* FPS: [0-9]+)" 90) || { kill $pid 2>/dev/null; fail "no settings dialog"; }
  check_place $(place "$window") || { kill $pid; fail "the dialog opened elsewhere"; }
  if window=$(find_window "3D Tidewell" 10); then
    check_place $(place "$window") || { kill $pid; fail "the box opened elsewhere"; }
  fi
  kill -TERM $pid
  wait_exit $pid 45 || fail "the dialog did not end on SIGTERM"
  [ "$exit_status" = 0 ] || fail "the dialog's exit status $exit_status"
}

if [ "$mode" = native ]; then
  # On the first head, where it fits: wholly on it.
  check_place() { echo "  window ${3}x$4 at $1,$2"; [ "$1" -ge 0 ] && [ "$2" -ge 0 ] && [ $(($1 + $3)) -le 800 ] && [ $(($2 + $4)) -le 600 ]; }
  dialog_with_pointer 300 300
  # On the second head, smaller than the dialog at the desktop's font: there, from its corner.
  check_place() { echo "  window ${3}x$4 at $1,$2"; [ "$1" -ge 800 ] && [ "$1" -lt 1440 ] && [ "$2" -ge 0 ] && [ "$2" -lt 480 ]; }
  dialog_with_pointer 1100 240
fi
echo "PASS"
