#!/usr/bin/env bash
# /s on headless GNOME (mutter, a fullscreen toplevel): while another fullscreen window covers
# it the compositor sends no frame callback and no frame is drawn; once that window goes, frames
# come again; SIGTERM ends it with status 0. Frames are counted at the buffer swap
# (bench/swap_counter.c). No timing is asserted: swaps are counted over 2 s.
#   wayland_unseen.sh <program> <swap counter>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
binary=$1
command -v foot >/dev/null || { echo "no foot: skipped"; exit 77; }
scratch_work wlunseen
session_program "$binary"
cp "$2" "$work/bin/swap_counter.so"
chmod 755 "$work/bin/swap_counter.so"
start_mutter 1280x720
log="$wl_dir/home/swaps"
swaps() { if [ -s "$log" ]; then cut -d' ' -f1 "$log"; else echo 0; fi; }
swapped_past() { [ "$(swaps)" -gt "$1" ]; }

bg_nobody env LD_PRELOAD="$work/bin/swap_counter.so" TIDEWELL_SWAP_LOG="$log" "$saver" /s >"$wl_dir/saver.log" 2>&1
pid=$bg_pid
wait_for 60 swapped_past 10 || fail "no frames: $(cat "$wl_dir/saver.log")"
bg_nobody foot --fullscreen sh -c 'sleep 600' >"$wl_dir/foot.log" 2>&1
cover=$bg_pid
# Half a second for the frame in flight, the same again for the callback that never comes.
sleep 2
before=$(swaps)
sleep 2
after=$(swaps)
[ "$after" = "$before" ] || fail "$((after - before)) frames were drawn in 2 s under a fullscreen window"
echo "covered: no frame in 2 s"
kill "$cover"
wait_for 20 swapped_past "$after" || fail "no frames once the window above went"
echo "uncovered: frames again"
ended "$pid" && fail "the saver ended: $(cat "$wl_dir/saver.log")"
kill -TERM "$pid"
wait_exit "$pid" 20 || fail "SIGTERM did not end the saver"
[ "$exit_status" = 0 ] || fail "status $exit_status after SIGTERM: $(cat "$wl_dir/saver.log")"
stop_mutter
echo "PASS"
