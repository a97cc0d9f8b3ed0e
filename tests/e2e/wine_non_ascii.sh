#!/usr/bin/env bash
# End to end under Wine for a user whose names are outside the ANSI code page: a prefix of its own
# for the user "Jürgen日本" (profile, %TEMP% and %LOCALAPPDATA% under C:\users\Jürgen日本\) with
# the saver installed in "C:\Program Files\日本 Jürgen\3D Tidewell\". /s runs, reads the
# description file there and writes its log there; Run As EXE without the ".exe" copy runs the
# saver itself and logs the quoted command line it could not start; with a copy, the copy is
# given exactly that quoted line; /c's dialog shows the program's icon, and its Help writes the page
# into %TEMP% and the desktop's handler is given its path.
#   wine_non_ascii.sh <3DTidewell.scr> <dialog probe> <command line probe>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
saver=$1
dialog_probe=$2
command_probe=$3
need_wine

work=$(mktemp -d /tmp/tidewell-intl.XXXXXX)
pid=""
# Wine names the profile after the Unix user; the prefix is this run's alone.
export WINEPREFIX="$work/wine" USER='Jürgen日本' LOGNAME='Jürgen日本'
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
  wineserver -k 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$WINEPREFIX"
$wine wineboot -i >/dev/null 2>&1 || true
wineserver -w
profile="$WINEPREFIX/drive_c/users/$USER"
[ -d "$profile/Temp" ] || fail "no profile with a temporary folder at $profile: $(ls "$WINEPREFIX/drive_c/users")"

install_win='C:\Program Files\日本 Jürgen\3D Tidewell\'
install="$WINEPREFIX/drive_c/Program Files/日本 Jürgen/3D Tidewell"
mkdir -p "$install"
cp "$saver" "$install/3DTidewell.scr"
printf '[General]\r\nLog=1\r\n' >"$install/3DTidewell.ini"
$wine reg add 'HKLM\Software\Korvane Software\3D Tidewell' /v Path /d "$install_win" /f >/dev/null
options='HKCU\Software\Korvane Software\3D Tidewell'
log="$install/3DTidewell.log"

# Runs "3DTidewell.scr /s" from the install folder until its window shows, then ends it with a key.
run_saver() {
  rm -f "$log"
  $wine "${install_win}3DTidewell.scr" /s &
  pid=$!
  local window
  window=$(find_window "3D Tidewell" 90) || fail "no saver window appeared"
  sleep 1
  kill -0 "$pid" 2>/dev/null || fail "the saver ended by itself"
  xdotool windowfocus --sync "$window" 2>/dev/null || true
  xdotool key space
  wait_exit "$pid" 45 || fail "the saver did not end on a key"
  pid=""
  [ "$exit_status" = 0 ] || fail "exit status $exit_status"
  [ -f "$log" ] || fail "no log in $install"
  tr -d '\0\r' <"$log" | grep -qE "^Full Screen mode: [0-9]+X[0-9]+X(16|32)  FPS:[0-9]+" ||
    fail "no stop line in the log: $(tr -d '\0\r' <"$log")"
}

echo "== /s with the description file and the log in the install folder"
run_saver

echo "== Run As EXE without the .exe copy runs the saver here"
$wine reg add "$options" /v RunAsExe /t REG_DWORD /d 1 /f >/dev/null
run_saver
expected="Run As EXE: \"${install_win}3DTidewell.exe\" /s cannot be started; running here instead."
tr -d '\0\r' <"$log" | grep -qxF "$expected" || fail "no hand-over line in the log: $(tr -d '\0\r' <"$log")"

echo "== Run As EXE hands over to the copy with its path quoted"
cp "$command_probe" "$install/3DTidewell.exe"
for mode in /s /c; do
  rm -f "$install/command-line.txt"
  $wine "${install_win}3DTidewell.scr" "$mode" || fail "exit status $? of the hand-over for $mode"
  given=$(cat "$install/command-line.txt" 2>/dev/null || true)
  echo "  $mode gave: $given"
  # A plain /c is owned by the window in front, when there is one: the copy gets it as /c:<window>.
  case "$given" in
    "\"${install_win}3DTidewell.exe\" $mode") ;;
    "\"${install_win}3DTidewell.exe\" /c:"[0-9]*) [ "$mode" = /c ] || fail "the copy was given '$given' for $mode" ;;
    *) fail "the copy was given '$given' for $mode" ;;
  esac
done
rm -f "$install/3DTidewell.exe"
$wine reg delete "$options" /v RunAsExe /f >/dev/null

echo "== /c: Help writes the page into %TEMP% and hands it to the desktop"
handler_win='C:\tidewell-handler\'
mkdir -p "$WINEPREFIX/drive_c/tidewell-handler"
cp "$command_probe" "$WINEPREFIX/drive_c/tidewell-handler/open.exe"
$wine reg add 'HKCR\.html' /ve /d TidewellTestPage /f >/dev/null
$wine reg add 'HKCR\TidewellTestPage\shell\open\command' /ve /d "\"${handler_win}open.exe\" \"%1\"" /f >/dev/null
$wine "${install_win}3DTidewell.scr" /c &
pid=$!
# The dialog answers its buttons once its preview runs.
preview_shown() { "$wine" "$dialog_probe" 2>/dev/null | tr -d '\r' | grep -q '^preview '; }
wait_for 90 preview_shown || fail "no settings dialog with its preview"
# The dialog's title bar and task bar button show our icon: yellow in the middle (the fish), which
# Wine's own icon is not.
dialog=$(xdotool search --onlyvisible --name '^(3D Tidewell Screen Saver|.* FPS: [0-9]+)$' | head -1)
read -r icon_w icon_h argb < <(xprop -id "$dialog" -notype 32c _NET_WM_ICON | tr -d ',' |
  awk '{ w = $3; h = $4; print w, h, $(5 + int(h / 2) * w + int(w / 2)) }')
echo "  title bar icon ${icon_w}x${icon_h}, middle $(printf '%08x' "$argb")"
[ $(((argb >> 16) & 255)) -gt 200 ] && [ $(((argb >> 8) & 255)) -gt 150 ] && [ $((argb & 255)) -lt 120 ] ||
  fail "the dialog does not show the program's icon"
$wine "$dialog_probe" click 'Help...' | tr -d '\r'
opened="$WINEPREFIX/drive_c/tidewell-handler/command-line.txt"
wait_for 30 test -s "$opened" || fail "the desktop was not asked to open the help page"
given=$(cat "$opened")
echo "  the handler was given: $given"
page_win="C:\\users\\${USER}\\Temp\\3DTidewell.html"
[ "$given" = "\"${handler_win}open.exe\" \"$page_win\"" ] || fail "the handler was not given $page_win"
grep -q '3D Tidewell' "$profile/Temp/3DTidewell.html" || fail "the help page in %TEMP% is not ours"
$wine "$dialog_probe" click Cancel >/dev/null
wait_exit "$pid" 45 || fail "Cancel did not end the dialog"
pid=""
[ "$exit_status" = 0 ] || fail "exit status $exit_status after Help and Cancel"
echo "PASS"
