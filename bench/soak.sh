#!/usr/bin/env bash
# Soak run: the full-screen saver under a private Xvfb, unpaced, for a number of minutes.
# Every 10 s it samples resident memory, open file descriptors and the OpenGL error lines of
# the saver's log; at the end it says whether memory grew after the first minute.
#
#   bench/soak.sh [minutes, default 30] [build/linux/3dtidewell] [WxH, default 1280x720]
set -euo pipefail
minutes=${1:-30}
saver=${2:-build/linux/3dtidewell}
size=${3:-1280x720}
[[ -x $saver ]] || { echo "no saver at $saver (build the linux preset first)" >&2; exit 1; }

work=$(mktemp -d /tmp/tidewell-soak.XXXXXX)
mkdir -p "$work/home" "$work/run" "$work/config" "$work/state"
chmod 700 "$work/run"
cp "$saver" "$work/3dtidewell"
printf '[General]\nLog=1\n' >"$work/3dtidewell.ini"
display=90
while [ -e "/tmp/.X${display}-lock" ] || [ -e "/tmp/.X11-unix/X${display}" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 "${size}x24" -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
pid=""
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  kill "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
for _ in $(seq 50); do DISPLAY=":$display" xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

env DISPLAY=":$display" HOME="$work/home" XDG_RUNTIME_DIR="$work/run" XDG_CONFIG_HOME="$work/config" \
  XDG_STATE_HOME="$work/state" TIDEWELL_UNPACED=1 SDL_AUDIODRIVER=dummy "$work/3dtidewell" /s \
  >"$work/stdout" 2>"$work/stderr" &
pid=$!

gl_errors() { { grep -a -c "OpenGL error" "$work/3dtidewell.log" 2>/dev/null || true; } | head -n1; }
printf '%8s %10s %6s %9s\n' seconds rss_kib fds gl_errors
first_minute_rss="" last_rss=0 peak=0
end=$((SECONDS + minutes * 60))
start=$SECONDS
while [ $SECONDS -lt $end ]; do
  sleep 10
  if ! kill -0 "$pid" 2>/dev/null; then
    echo "the saver ended by itself:" >&2
    cat "$work/stderr" >&2
    exit 1
  fi
  rss=$(awk '/^VmRSS:/ { print $2 }' "/proc/$pid/status")
  fds=$(find "/proc/$pid/fd" -mindepth 1 -maxdepth 1 2>/dev/null | wc -l)
  elapsed=$((SECONDS - start))
  printf '%8d %10d %6d %9s\n' "$elapsed" "$rss" "$fds" "$(gl_errors)"
  [ -z "$first_minute_rss" ] && [ $elapsed -ge 60 ] && first_minute_rss=$rss
  [ "$rss" -gt "$peak" ] && peak=$rss
  last_rss=$rss
done
kill -TERM "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true
pid=""

first_minute_rss=${first_minute_rss:-$last_rss}
growth=$((last_rss - first_minute_rss))
echo "resident after the first minute: ${first_minute_rss} KiB; at the end: ${last_rss} KiB (peak ${peak} KiB)"
echo "OpenGL errors in the log: $(gl_errors)"
# Allocators settle in steps: more than 2 MiB past the first minute counts as growth.
if [ $growth -gt 2048 ]; then
  echo "memory GREW by ${growth} KiB after the first minute"
  exit 1
fi
echo "memory steady after the first minute (${growth} KiB)"
