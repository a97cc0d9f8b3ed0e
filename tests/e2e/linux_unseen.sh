#!/usr/bin/env bash
# End to end on Linux: no frame reaches the screen while nobody can see it, and frames come
# again when it can be seen. Frames are counted at the buffer swap (bench/swap_counter.c).
# - the settings dialog minimised: Xvfb has no window manager, so the test unmaps the dialog as a
#   window manager does when it minimises one (xdotool windowminimize alone would change nothing);
# - a hack's window (another program's) unmapped by its owner, as xscreensaver does.
# No timing is asserted: swaps are counted over 2 s.
#   linux_unseen.sh <program> <hack host> <swap counter>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
binary=$1
host_program=$2
counter=$3
need_display
scratch_work unseen
mkdir -p "$work/bin" "$work/config/Korvane Software" "$work/run" "$work/home"
chmod 700 "$work/run"
cp "$binary" "$work/bin/3dtidewell"
cp "$(dirname "$binary")/3dtidewell-gtk.so" "$work/bin/"
printf 'SoundEnabled=int:0\n' >"$work/config/Korvane Software/3D Tidewell.conf"
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run" SDL_AUDIODRIVER=dummy
swaps() { if [ -s "$work/swaps" ]; then cut -d' ' -f1 "$work/swaps"; else echo 0; fi; }

# Whether the swap count has passed $1.
swapped_past() { [ "$(swaps)" -gt "$1" ]; }

# Hides window $1 with $2, checks that no swap comes in 2 s, shows it again with $3 and checks
# that frames come again.
check_unseen() {
  local window=$1 hide=$2 show=$3 before after
  wait_for 60 swapped_past "$(swaps)" || fail "no frames before $hide"
  xdotool "$hide" "$window"
  wait_for 10 hidden "$window" || fail "$hide did not hide the window"
  # The swap in flight when the window went may still land.
  sleep 0.5
  before=$(swaps)
  sleep 2
  after=$(swaps)
  [ "$after" = "$before" ] || fail "$((after - before)) frames were drawn in 2 s after $hide"
  xdotool "$show" "$window"
  wait_for 20 swapped_past "$after" || fail "no frames after $show"
  echo "$hide: no frame in 2 s; $show: frames again"
}

echo "== the settings dialog minimised"
LD_PRELOAD="$counter" TIDEWELL_SWAP_LOG="$work/swaps" "$work/bin/3dtidewell" &
pids+=($!)
dialog_title="(3D Tidewell Screen Saver|$work/bin/3dtidewell FPS: [0-9]+)"
dialog=$(find_window "$dialog_title" 60) || fail "no settings dialog appeared"
# With a software renderer (Xvfb) a warning box titled with the product comes first.
if warning=$(find_window '3D Tidewell' 20); then
  xdotool windowfocus --sync "$warning" 2>/dev/null || true
  xdotool key Return
  wait_for 30 hidden "$warning" || fail "Return did not close the software rendering warning"
fi
check_unseen "$dialog" windowunmap windowmap
kill "${pids[-1]}"

echo "== a hack's window unmapped"
rm -f "$work/swaps"
"$host_program" "tidewell unseen host" 400 300 &
pids+=($!)
host=$(find_window "tidewell unseen host" 30) || fail "the host window did not appear"
LD_PRELOAD="$counter" TIDEWELL_SWAP_LOG="$work/swaps" "$work/bin/3dtidewell" -window-id "$host" 2>"$work/hack.err" &
pids+=($!)
check_unseen "$host" windowunmap windowmap
[ ! -s "$work/hack.err" ] || fail "the hack wrote on the error stream: $(cat "$work/hack.err")"
echo "PASS"
