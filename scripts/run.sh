#!/usr/bin/env bash
# Builds the Linux saver and runs it full screen (3dtidewell /s); a key, a click or a clear
# mouse move ends it. Extra arguments replace /s (for example /c or /p <window id>).
# Without an X display it starts a private Xvfb and runs the saver inside it, where it can only
# be watched through screenshots.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/bootstrap.sh --run
cmake --preset linux >/dev/null
cmake --build --preset linux -j 2 --target tidewell_saver

args=("$@")
[ ${#args[@]} -eq 0 ] && args=(/s)

if [ -z "${DISPLAY:-}" ]; then
  display=90
  while [ -e "/tmp/.X${display}-lock" ] || [ -e "/tmp/.X11-unix/X${display}" ]; do display=$((display + 1)); done
  Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  trap 'kill "$xvfb_pid" 2>/dev/null || true' EXIT
  export DISPLAY=":$display"
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
  echo "3D Tidewell: no X display here, so the saver runs inside a private Xvfb on $DISPLAY." >&2
  echo "  Screenshot: import -display $DISPLAY -window root shot.png   End it: xdotool key space (DISPLAY=$DISPLAY) or Ctrl-C" >&2
  build/linux/3dtidewell "${args[@]}"
else
  exec build/linux/3dtidewell "${args[@]}"
fi
