# Helpers of the end-to-end saver runs: screenshots and colour checks.

# The water colours each theme clears to (red green blue, 0-255).
theme_colour() {
  case "$1" in
    0) echo "0 106 156" ;;
    1) echo "0 153 174" ;;
    2) echo "0 159 117" ;;
  esac
}

# "r g b" of one pixel of a picture.
pixel() {
  convert "$1" -format '%[fx:int(255*p{'"$2"','"$3"'}.r+0.5)] %[fx:int(255*p{'"$2"','"$3"'}.g+0.5)] %[fx:int(255*p{'"$2"','"$3"'}.b+0.5)]' info:
}

# Squared distance between two "r g b" triples.
distance2() {
  set -- $1 $2
  echo $(( ($1 - $4) * ($1 - $4) + ($2 - $5) * ($2 - $5) + ($3 - $6) * ($3 - $6) ))
}

# The water fades into the theme's colour at the horizon: most points along the middle line of
# the window (x0, y0, width, height) must be nearer that colour than any other theme's, and near
# it. Prints what it saw.
check_horizon() {
  local shot=$1 theme=$2 x0=$3 y0=$4 w=$5 h=$6 good=0 i
  local expected other
  expected=$(theme_colour "$theme")
  for i in 1 3 5 7 9; do
    local x=$((x0 + w * i / 10)) y=$((y0 + h / 2)) seen d best=1
    seen=$(pixel "$shot" "$x" "$y")
    d=$(distance2 "$seen" "$expected")
    for other in 0 1 2; do
      [ "$other" = "$theme" ] && continue
      [ "$(distance2 "$seen" "$(theme_colour "$other")")" -le "$d" ] && best=0
    done
    echo "  horizon ($x,$y): $seen (theme $theme is $expected)"
    if [ "$best" = 1 ] && [ "$d" -le $((48 * 48)) ]; then good=$((good + 1)); fi
  done
  [ "$good" -ge 3 ]
}

# The waits below count wall-clock seconds, not tries: a busy machine gets the same time as an
# idle one, however long each try takes there.

# Runs "$@" every 0.1 s until it succeeds; fails once $1 seconds have passed.
wait_for() {
  local end=$((SECONDS + $1))
  shift
  until "$@"; do
    [ "$SECONDS" -lt "$end" ] || return 1
    sleep 0.1
  done
}

# Whether the X server $1 takes clients.
reachable() {
  DISPLAY=$1 xdpyinfo >/dev/null 2>&1
}

# Whether window $1 is mapped and shown.
viewable() {
  [[ $(xwininfo -id "$1" 2>/dev/null) == *IsViewable* ]]
}

# Whether window $1 is no longer shown (unmapped or gone).
hidden() {
  ! viewable "$1"
}

# Whether process $1 has ended.
ended() {
  ! kill -0 "$1" 2>/dev/null
}

# Waits up to $2 seconds for process $1 to end; its exit status in $exit_status.
wait_exit() {
  local pid=$1
  if ! wait_for "$2" ended "$pid"; then
    # A process that ignores SIGTERM would hold the test here.
    kill "$pid" 2>/dev/null || true
    wait_for 5 ended "$pid" || kill -KILL "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    exit_status=timeout
    return 1
  fi
  set +e
  wait "$pid"
  exit_status=$?
  set -e
}

# The id of the first visible window whose whole name matches the pattern $1, waiting up to $2
# seconds.
find_window() {
  local name=$1 end=$((SECONDS + $2)) id
  while :; do
    id=$(xdotool search --onlyvisible --name "^$name\$" 2>/dev/null | head -1 || true)
    [ -n "$id" ] && { echo "$id"; return 0; }
    [ "$SECONDS" -lt "$end" ] || return 1
    sleep 0.1
  done
}

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# The water surface is at the top (blue over red) and the sand at the bottom (red over blue):
# most points of a row near each edge must say so.
check_layers() {
  local shot=$1 x0=$2 y0=$3 w=$4 h=$5 top=0 bottom=0 i r g b
  for i in 1 3 5 7 9; do
    local x=$((x0 + w * i / 10))
    read -r r g b < <(pixel "$shot" "$x" $((y0 + h * 2 / 100)))
    echo "  surface ($x): $r $g $b"
    [ "$b" -gt "$r" ] && top=$((top + 1))
    read -r r g b < <(pixel "$shot" "$x" $((y0 + h * 95 / 100)))
    echo "  sand ($x): $r $g $b"
    [ "$r" -gt "$b" ] && bottom=$((bottom + 1))
  done
  [ "$top" -ge 3 ] && [ "$bottom" -ge 3 ]
}

# A picture is shown: most points of the middle row are neither black nor white.
check_picture() {
  local shot=$1 x0=$2 y0=$3 w=$4 h=$5 good=0 i r g b
  for i in 1 3 5 7 9; do
    read -r r g b < <(pixel "$shot" $((x0 + w * i / 10)) $((y0 + h / 2)))
    echo "  picture ($((x0 + w * i / 10)),$((y0 + h / 2))): $r $g $b"
    [ $((r + g + b)) -gt 60 ] && [ $((r + g + b)) -lt 700 ] && good=$((good + 1))
  done
  [ "$good" -ge 3 ]
}

# A layout length in pixels: the dialogs lay out their table in units of the desktop's font, $2
# pixels to a unit (a fraction), rounded as the dialogs round.
scaled() {
  awk -v v="$1" -v s="$2" 'BEGIN { printf "%d", v * s + 0.5 }'
}

# Skips the run (status 77) without a reachable X server in DISPLAY.
need_display() {
  [ -n "${DISPLAY:-}" ] || { echo "no X display: skipped"; exit 77; }
  xdpyinfo >/dev/null 2>&1 || { echo "X display $DISPLAY not reachable: skipped"; exit 77; }
}

# An X server of the run's own, $1 big (WIDTHxHEIGHT), on a free display, in DISPLAY from now
# on; it ends with the other processes in pids (call after scratch_work).
private_xvfb() {
  local display=160
  command -v Xvfb >/dev/null || { echo "no Xvfb: skipped"; exit 77; }
  while [ -e "/tmp/.X${display}-lock" ] || [ -e "/tmp/.X11-unix/X${display}" ]; do display=$((display + 1)); done
  Xvfb ":$display" -screen 0 "${1}x24" -noreset -nolisten tcp >/dev/null 2>&1 &
  pids+=($!)
  export DISPLAY=":$display"
  wait_for 20 reachable "$DISPLAY" || fail "the X server $DISPLAY did not start"
}

# A scratch folder in work (/tmp/tidewell-$1.*); at exit the processes in pids end and it goes.
scratch_work() {
  work=$(mktemp -d "/tmp/tidewell-$1.XXXXXX")
  pids=()
  trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; rm -rf "$work"' EXIT
}

# Skips the run (status 77) without an X display or a Wine prefix; quiets Wine, and sets wine to
# its 64-bit loader where there is one.
need_wine() {
  [ -n "${DISPLAY:-}" ] || { echo "no X display: skipped"; exit 77; }
  [ -n "${WINEPREFIX:-}" ] || { echo "no WINEPREFIX: skipped"; exit 77; }
  export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" TIDEWELL_UNPACED=1
  wine=wine
  if [ -x /usr/lib/wine/wine64 ]; then wine=/usr/lib/wine/wine64; fi
}
