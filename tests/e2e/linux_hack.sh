#!/usr/bin/env bash
# End to end on Linux, the ways a run ends and the hack mode without xscreensaver:
# - 3dtidewell /s ends on SIGTERM with status 0 and its stop line in the log; a second /s
#   started while it runs leaves at once, and the first keeps running;
# - SIGTERM ends /s with status 0 while its error box is shown (a scene that cannot be drawn);
# - as a hack (-window-id of a plain window of another program) it draws the chosen water into that window,
#   follows the window's size, prints nothing on the error stream (no sound device here), takes
#   no lock and ends on SIGHUP with status 0; without -sound it opens no audio device;
# - a bad hack option, any malformed command line (/p 12abc, /s extra, -fihs 5) or an unknown
#   --option is one line on the error stream and status 2, and opens nothing; --help and
#   --version answer with status 0 and open no dialog;
# - a broken options file is one line on the error stream and status 1, never a message box that
#   no one could answer over xscreensaver's blanked screen; the file is kept.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
binary=$1
host_program=$2
need_display
scratch_work hack
mkdir -p "$work/bin" "$work/config/Korvane Software" "$work/run"
chmod 700 "$work/run"
cp "$binary" "$work/bin/3dtidewell"
# The GTK module as installed: an error box, if one were shown, would be shown here.
cp "$(dirname "$binary")/3dtidewell-gtk.so" "$work/bin/"
printf '[General]\nLog=1\n' >"$work/bin/3dtidewell.ini"
printf 'Theme=int:0\nSoundEnabled=int:1\nDesktopOnly=int:1\n' >"$work/config/Korvane Software/3D Tidewell.conf"
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run"
log_text() { tr -d '\0' <"$work/bin/3dtidewell.log"; }

echo "== /s: one instance, SIGTERM"
"$work/bin/3dtidewell" /s 2>"$work/saver.err" &
pid=$!
pids+=($pid)
find_window "3D Tidewell" 60 >/dev/null || fail "no saver window appeared"
"$work/bin/3dtidewell" /s 2>"$work/second.err" &
second=$!
wait_exit $second 30 || fail "the second instance did not leave"
[ "$exit_status" = 0 ] || fail "second instance exit status $exit_status"
kill -0 $pid 2>/dev/null || fail "the first instance ended with the second"
[ "$(xdotool search --onlyvisible --name '^3D Tidewell$' | wc -l)" = 1 ] || fail "more than one saver window"
sleep 1
kill -TERM $pid
wait_exit $pid 30 || fail "the saver did not end on SIGTERM"
[ "$exit_status" = 0 ] || fail "SIGTERM exit status $exit_status"
log_text | grep -qE "^Full Screen mode: [0-9]+X[0-9]+X(16|32)  FPS:[0-9]+" || fail "no stop line after SIGTERM: $(log_text)"
[ ! -s "$work/saver.err" ] || fail "the saver wrote on the error stream: $(cat "$work/saver.err")"
echo "the second /s left, SIGTERM ended the first with status 0 and its stop line"

echo "== /s: SIGTERM while an error box is shown"
screen_size() { xdpyinfo | awk '/dimensions:/ { print $2 }'; }
size=$(screen_size)
cp "$work/bin/3dtidewell.ini" "$work/good.ini"
printf '[View]\nNearDistance=0\n' >"$work/bin/3dtidewell.ini"
"$work/bin/3dtidewell" /s 2>"$work/boxed.err" &
pid=$!
pids+=($pid)
find_window "3D Tidewell Screen Saver Error!" 60 >/dev/null || fail "no error box: $(cat "$work/boxed.err")"
kill -TERM $pid
wait_exit $pid 10 || fail "SIGTERM did not end the saver while its error box was shown"
[ "$exit_status" = 0 ] || fail "SIGTERM under an error box: exit status $exit_status"
[ "$(screen_size)" = "$size" ] || fail "the display mode was not restored: $(screen_size), not $size"
cp "$work/good.ini" "$work/bin/3dtidewell.ini"
echo "SIGTERM closed the error box and ended the saver with status 0"

echo "== hack in another program's window"
"$host_program" "Tidewell hack host" 320 200 &
host_pid=$!
pids+=($host_pid)
host=$(find_window "Tidewell hack host" 60) || fail "no host window"
# The hack takes no lock: a saver holding it does not keep the hack from running.
"$work/bin/3dtidewell" /s 2>/dev/null &
holder=$!
pids+=($holder)
find_window "3D Tidewell" 60 >/dev/null || fail "no saver window to hold the lock"
"$work/bin/3dtidewell" -window-id "$(printf '0x%x' "$host")" -theme green -fish 5 -sound 2>"$work/hack.err" &
pid=$!
pids+=($pid)
sleep 1.5
kill -0 $pid 2>/dev/null || fail "the hack ended by itself: $(cat "$work/hack.err")"
kill -TERM $holder
wait_exit $holder 30 || fail "the lock holder did not end"
sleep 1
kill -0 $pid 2>/dev/null || fail "the hack ended by itself: $(cat "$work/hack.err")"
read -r hx hy < <(xwininfo -id "$host" | awk '/Absolute upper-left X:/ { x = $4 } /Absolute upper-left Y:/ { y = $4 } END { print x, y }')
import -window root "$work/hack.png"
check_horizon "$work/hack.png" 2 "$hx" "$hy" 320 200 || fail "no Green Water in the host window"
xdotool windowsize "$host" 600 360
sleep 1.5
read -r hw hh < <(xwininfo -id "$host" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w, h }')
import -window root "$work/hack-resized.png"
[ -n "${TIDEWELL_E2E_SHOTS:-}" ] && cp "$work/hack-resized.png" "$TIDEWELL_E2E_SHOTS/linux_hack.png"
check_horizon "$work/hack-resized.png" 2 "$hx" "$hy" "$hw" "$hh" || fail "the hack did not follow the window to ${hw}x${hh}"
check_layers "$work/hack-resized.png" "$hx" "$hy" "$hw" "$hh" || fail "no surface and sand over the resized window"
kill -HUP $pid
wait_exit $pid 30 || fail "the hack did not end on SIGHUP"
[ "$exit_status" = 0 ] || fail "hack exit status $exit_status"
[ ! -s "$work/hack.err" ] || fail "the hack wrote on the error stream: $(cat "$work/hack.err")"
grep -q 'Theme=int:0' "$work/config/Korvane Software/3D Tidewell.conf" || fail "the hack changed the stored options"
echo "the hack drew Green Water into the ${hw}x${hh} host and ended on SIGHUP"

echo "== hack without a sound argument: silent, though the stored options ask for sound"
# SDL's disk driver writes what is played into a file: a hack that opens the device leaves one.
SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/silent.raw" \
  "$work/bin/3dtidewell" -window-id "$host" -theme blue 2>"$work/silent.err" &
pid=$!
pids+=($pid)
sleep 2
import -window root "$work/silent.png"
check_horizon "$work/silent.png" 0 "$hx" "$hy" "$hw" "$hh" || fail "no Blue Water from the silent hack"
kill -TERM $pid
wait_exit $pid 30 || fail "the silent hack did not end on SIGTERM"
[ "$exit_status" = 0 ] || fail "silent hack exit status $exit_status"
[ ! -e "$work/silent.raw" ] || fail "the hack opened an audio device without -sound"
[ ! -s "$work/silent.err" ] || fail "the silent hack wrote on the error stream: $(cat "$work/silent.err")"
echo "the hack without -sound drew and opened no audio device"

echo "== bad hack options and malformed command lines: one line, status 2, nothing opens"
for args in "-root -fish 101" "-root -theme purple" "-window-id nowhere" "-root -speed 3" "-root -delay 2x" "/p" \
  "/p 12abc" "/p 0x0" "/p 0xZZ" "/s extra" "--settings --bogus" "-fihs 5"; do
  set +e
  # shellcheck disable=SC2086
  timeout 30 "$work/bin/3dtidewell" $args >"$work/bad.out" 2>"$work/bad.err"
  status=$?
  set -e
  [ "$status" = 2 ] || fail "'$args': exit status $status"
  [ "$(wc -l <"$work/bad.err")" = 1 ] || fail "'$args': not one line: $(cat "$work/bad.err")"
  echo "  $args -> $(cat "$work/bad.err")"
done

echo "== broken options file"
conf="$work/config/Korvane Software/3D Tidewell.conf"
printf 'Theme=int:0\n\001\002junk\n' >"$conf"
cp "$conf" "$work/broken.conf"
"$work/bin/3dtidewell" -root 2>"$work/broken.err" &
pid=$!
pids+=($pid)
wait_exit $pid 30 || fail "the hack did not end on a broken options file (a message box?)"
[ "$exit_status" = 1 ] || fail "broken options file: exit status $exit_status"
[ "$(wc -l <"$work/broken.err")" = 1 ] || fail "broken options file: not one line: $(cat "$work/broken.err")"
grep -qF "$conf" "$work/broken.err" || fail "the error does not name the file: $(cat "$work/broken.err")"
cmp -s "$conf" "$work/broken.conf" || fail "the broken options file was changed"
echo "  -> $(cat "$work/broken.err")"

echo "== --help, --version and an unknown --option answer on the terminal"
for args in "--help" "-h"; do
  timeout 30 "$work/bin/3dtidewell" $args >"$work/help.out" 2>"$work/help.err" || fail "'$args': exit status $?"
  grep -q -- "-window-id" "$work/help.out" && grep -q "/s" "$work/help.out" && grep -q "3D Tidewell.conf" "$work/help.out" \
    || fail "'$args' printed no usage: $(cat "$work/help.out" "$work/help.err")"
done
timeout 30 "$work/bin/3dtidewell" --version >"$work/version.out" || fail "--version: exit status $?"
[ "$(cat "$work/version.out")" = "3D Tidewell 1.5" ] || fail "--version printed: $(cat "$work/version.out")"
set +e
timeout 30 "$work/bin/3dtidewell" --bogus >"$work/bad.out" 2>"$work/bad.err"
status=$?
set -e
[ "$status" = 2 ] && [ "$(wc -l <"$work/bad.err")" = 1 ] || fail "--bogus: status $status, $(cat "$work/bad.err")"
echo "  --bogus -> $(cat "$work/bad.err")"
echo "PASS"
