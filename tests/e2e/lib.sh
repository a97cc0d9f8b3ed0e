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

# A scratch folder in work (/tmp/tidewell-$1.*); at exit the processes in pids (-pgid: a group)
# end and it goes.
scratch_work() {
  work=$(mktemp -d "/tmp/tidewell-$1.XXXXXX")
  pids=()
  trap 'for p in "${pids[@]}"; do kill -- "$p" 2>/dev/null || true; done; rm -rf "$work"' EXIT
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

# Wayland sessions. The compositors refuse to run as root: when we are root they and their
# clients run as nobody, in a home and runtime folder of their own under the scratch folder
# (scratch_work first). The test itself keeps running as root and reads what they write.

# The uid the session runs as: nobody when we are root, else ourselves.
session_uid() {
  if [ "$(id -u)" = 0 ]; then echo 65534; else id -u; fi
}

# Becomes "$@" run as the session's user with only the session's environment (add more with
# env VAR=...).
exec_as_nobody() {
  local vars=(HOME="$wl_dir/home" XDG_RUNTIME_DIR="$XDG_RUNTIME_DIR" PATH=/usr/bin:/bin
              WAYLAND_DISPLAY="${WAYLAND_DISPLAY:-}")
  [ -n "${SWAYSOCK:-}" ] && vars+=(SWAYSOCK="$SWAYSOCK")
  [ -n "${DISPLAY:-}" ] && vars+=(DISPLAY="$DISPLAY")
  [ -n "${DBUS_SESSION_BUS_ADDRESS:-}" ] && vars+=(DBUS_SESSION_BUS_ADDRESS="$DBUS_SESSION_BUS_ADDRESS")
  if [ "$(id -u)" = 0 ]; then
    exec setpriv --reuid=65534 --regid=65534 --clear-groups env -i "${vars[@]}" "$@"
  fi
  exec env -i "${vars[@]}" "$@"
}

# Runs "$@" as the session's user (see exec_as_nobody).
as_nobody() {
  (exec_as_nobody "$@")
}

# Starts "$@" as the session's user in the background, in a process group of its own that ends
# with the test; bg_pid is the command's own pid (its signals and exit status are the command's).
bg_nobody() {
  set -m
  exec_as_nobody "$@" &
  bg_pid=$!
  set +m
  pids+=("-$bg_pid")
}

# A fresh home and runtime folder (0700) for the session's user in wl_dir; unsets what leads a
# client to another session.
session_dirs() {
  chmod 755 "$work"
  wl_dir=$(mktemp -d "$work/wayland.XXXXXX")
  mkdir -p "$wl_dir/home" "$wl_dir/run"
  chmod 755 "$wl_dir"
  chmod 700 "$wl_dir/run"
  chown -R "$(session_uid)" "$wl_dir/home" "$wl_dir/run"
  unset DISPLAY SWAYSOCK WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS
  export XDG_RUNTIME_DIR="$wl_dir/run"
}

# A copy of the program at $work/bin/3dtidewell that the session's user can run; its path in saver.
session_program() {
  mkdir -p "$work/bin"
  cp "$1" "$work/bin/3dtidewell"
  chmod 755 "$work/bin" "$work/bin/3dtidewell"
  saver="$work/bin/3dtidewell"
}

# session_settings LINE...: the program's stored settings for the session's user, one
# "Name=type:value" a line (e.g. IdleMinutes=int:1), in place of any stored before.
session_settings() {
  local config="$wl_dir/home/.config/Korvane Software"
  mkdir -p "$config"
  printf '%s\n' "$@" >"$config/3D Tidewell.conf"
  chown -R "$(session_uid)" "$wl_dir/home/.config"
}

# start_sway WIDTHxHEIGHT [config line...]: headless sway with one output HEADLESS-1 of that size
# (and the given config lines, e.g. "xwayland force"); exports WAYLAND_DISPLAY, SWAYSOCK and, with
# XWayland, DISPLAY; skips (77) when sway is missing or does not start.
start_sway() {
  command -v sway >/dev/null && command -v swaymsg >/dev/null || { echo "no sway: skipped"; exit 77; }
  session_dirs
  local size=$1 line
  shift
  {
    echo "output HEADLESS-1 resolution $size position 0 0"
    echo "xwayland disable"
    for line in "$@"; do echo "$line"; done
    # What the clients sway starts get: the X display of its XWayland.
    echo "exec sh -c 'echo \"\${DISPLAY:-}\" >\"\$XDG_RUNTIME_DIR/display\"'"
  } >"$wl_dir/sway.conf"
  chmod 644 "$wl_dir/sway.conf"
  # Its own process group, so that stop_sway ends XWayland and what sway started with it.
  bg_nobody env WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
    sway -c "$wl_dir/sway.conf" >"$wl_dir/sway.log" 2>&1
  sway_pid=$bg_pid
  if ! wait_for 20 sway_ready; then
    echo "sway did not start: skipped"; tail -5 "$wl_dir/sway.log"; stop_sway; exit 77
  fi
  export WAYLAND_DISPLAY SWAYSOCK
  wait_for 10 test -e "$XDG_RUNTIME_DIR/display" || true
  local display
  display=$(cat "$XDG_RUNTIME_DIR/display" 2>/dev/null || true)
  if [ -n "$display" ]; then export DISPLAY=$display; fi
}

# Whether sway's socket and its IPC answer; sets WAYLAND_DISPLAY and SWAYSOCK.
sway_ready() {
  ended "$sway_pid" && return 1
  local sock
  sock=$(ls "$XDG_RUNTIME_DIR"/sway-ipc.*.sock 2>/dev/null | head -1)
  [ -n "$sock" ] && [ -S "$XDG_RUNTIME_DIR/wayland-1" ] || return 1
  SWAYSOCK=$sock WAYLAND_DISPLAY=wayland-1
  SWAYSOCK=$sock as_nobody swaymsg -t get_version >/dev/null 2>&1
}

# swaymsg "$@" as the session's user.
sway_msg() {
  as_nobody swaymsg "$@"
}

# add_output NAME WIDTHxHEIGHT X Y: a new headless output (sway names them HEADLESS-2, -3, ...)
# at that size and place.
add_output() {
  sway_msg create_output >/dev/null
  wait_for 5 output_exists "$1" || return 1
  sway_msg output "$1" resolution "$2" position "$3" "$4" >/dev/null
}

# Whether sway has an output named $1.
output_exists() {
  sway_msg -t get_outputs | grep -q "\"name\": \"$1\""
}

# grim_output OUTPUT FILE: a screenshot (PNG) of one output; FILE must be in a folder the session's
# user can write (under $wl_dir).
grim_output() {
  as_nobody grim -o "$1" "$2"
}

# hold_inputs POINTER_TOOL: a keyboard and a pointer in sway's seat, which has none headless, held
# until the test ends (tests/e2e/wayland_pointer.c; wtype's keyboard, held by a long sleep), so
# that clients started afterwards have both from their start.
hold_inputs() {
  bg_nobody "$1" >"$wl_dir/pointer.out"
  bg_nobody wtype -s 86400000 -k Escape
  wait_for 10 grep -q ready "$wl_dir/pointer.out" || fail "no virtual pointer"
  wait_for 10 seat_has keyboard || fail "no virtual keyboard"
}

# Whether sway's seat has a device of type $1 (keyboard, pointer).
seat_has() {
  sway_msg -t get_inputs | grep -q "\"type\": \"$1\""
}

# Types key $1 (an xkb name, e.g. Escape) on a virtual keyboard of its own.
type_key() {
  as_nobody wtype -k "$1"
}

# Moves the pointer by $1 $2 pixels (hold_inputs first: without a pointer nobody sees it). The
# saver ignores its first five moves, as on X11: a test that ends it moves more often.
move_pointer() {
  sway_msg seat - cursor move "$1" "$2" >/dev/null
}

# Whether no process of group $1 is left.
group_ended() {
  ! kill -0 -- "-$1" 2>/dev/null
}

# Ends sway and everything in its process group.
stop_sway() {
  [ -n "${sway_pid:-}" ] || return 0
  kill -TERM -- "-$sway_pid" 2>/dev/null || true
  wait_for 10 group_ended "$sway_pid" || kill -KILL -- "-$sway_pid" 2>/dev/null || true
  wait "$sway_pid" 2>/dev/null || true
  sway_pid=""
}

# start_mutter WIDTHxHEIGHT: GNOME's compositor, headless, inside a D-Bus session of its own;
# exports WAYLAND_DISPLAY and DBUS_SESSION_BUS_ADDRESS; skips (77) when mutter is missing or does
# not start.
start_mutter() {
  command -v mutter >/dev/null && command -v dbus-run-session >/dev/null || { echo "no mutter: skipped"; exit 77; }
  session_dirs
  bg_nobody dbus-run-session -- sh -c 'echo "$DBUS_SESSION_BUS_ADDRESS" >"$XDG_RUNTIME_DIR/bus"; exec "$@"' sh \
    mutter --headless --wayland --no-x11 --virtual-monitor "$1" >"$wl_dir/mutter.log" 2>&1
  mutter_pid=$bg_pid
  if ! wait_for 30 mutter_ready; then
    echo "mutter did not start: skipped"; tail -5 "$wl_dir/mutter.log"; stop_mutter; exit 77
  fi
  export WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS
}

# Whether mutter's socket is there and its D-Bus name is taken.
mutter_ready() {
  ended "$mutter_pid" && return 1
  [ -s "$XDG_RUNTIME_DIR/bus" ] && [ -S "$XDG_RUNTIME_DIR/wayland-0" ] || return 1
  DBUS_SESSION_BUS_ADDRESS=$(cat "$XDG_RUNTIME_DIR/bus") WAYLAND_DISPLAY=wayland-0
  as_nobody dbus-send --session --print-reply --dest=org.freedesktop.DBus / \
    org.freedesktop.DBus.GetNameOwner string:org.gnome.Mutter.IdleMonitor >/dev/null 2>&1
}

# Ends mutter and its D-Bus session.
stop_mutter() {
  [ -n "${mutter_pid:-}" ] || return 0
  kill -TERM -- "-$mutter_pid" 2>/dev/null || true
  wait_for 10 group_ended "$mutter_pid" || kill -KILL -- "-$mutter_pid" 2>/dev/null || true
  wait "$mutter_pid" 2>/dev/null || true
  mutter_pid=""
}
