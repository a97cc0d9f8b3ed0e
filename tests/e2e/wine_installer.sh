#!/usr/bin/env bash
# End to end under Wine: CPack builds the setup program from this build; a silent install puts
# the saver into Program Files and the system folder, writes the machine-wide "Path" and makes
# it the current screen saver; the installed saver runs with /s and ends on a key; a silent
# uninstall removes every file and key the setup added, gives back the screen saver chosen
# before, and keeps the user's own options. The setup, the .scr and the .exe carry our icon and
# version resource, the uninstall entry its size; a setup into a folder of the user's choice
# leaves no folder it made behind. A setup or uninstall while the saver shows its preview in a
# window of another program (as the Screen Saver settings keep it running) ends the preview
# first: nothing old or orphaned is left.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
cpack_config=$1
identity_probe=$2
preview_host=$3
[ -n "${DISPLAY:-}" ] || { echo "no X display: skipped"; exit 77; }
[ -n "${WINEPREFIX:-}" ] || { echo "no WINEPREFIX: skipped"; exit 77; }
command -v makensis >/dev/null || fail "makensis is missing (scripts/bootstrap.sh installs nsis)"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" TIDEWELL_UNPACED=1
wine=wine
[ -x /usr/lib/wine/wine64 ] && wine=/usr/lib/wine/wine64

options='HKCU\Software\Korvane Software\3D Tidewell'
machine='HKLM\Software\Korvane Software\3D Tidewell'
desktop='HKCU\Control Panel\Desktop'
uninstall='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\3D Tidewell'
drive_c="$WINEPREFIX/drive_c"
program_dir="$drive_c/Program Files/3D Tidewell"
system_saver="$drive_c/windows/system32/3DTidewell.scr"

work=$(mktemp -d /tmp/tidewell-setup.XXXXXX)
trap 'rm -rf "$work"' EXIT

# One value of a key as the running wineserver has it; empty when there is none.
reg_value() {
  $wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | awk -v name="$2" '$1 == name { $1 = ""; $2 = ""; sub(/^  /, ""); print }'
}
reg_key_exists() { $wine reg query "$1" >/dev/null 2>&1; }

echo "== cpack"
cpack -G NSIS --config "$cpack_config" -B "$work/package" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; fail "cpack"; }
setup="$work/package/3DTidewell-1.5-Setup.exe"
[ -f "$setup" ] || fail "no $setup"
echo "setup program: $(stat -c %s "$setup") bytes"

# The icon and the version resource, as the file's Properties read them.
identity() {
  local seen
  seen=$($wine "$identity_probe" "$1" | tr -d '\r') || fail "no version resource in $1"
  echo "$seen" | sed 's/^/  /'
  echo "$seen" | grep -qE '^icons [1-9]' || fail "no icon in $1"
  echo "$seen" | grep -qx 'ProductName 3D Tidewell' || fail "product name of $1"
  echo "$seen" | grep -qx 'CompanyName Korvane Software' || fail "company name of $1"
  echo "$seen" | grep -qx 'ProductVersion 1.5' || fail "product version of $1"
  echo "$seen" | grep -q '^FileDescription .' || fail "no description in $1"
}
identity "$setup"

# The user's own option and the screen saver chosen before the install.
$wine reg add "$options" /v Theme /t REG_DWORD /d 2 /f >/dev/null
$wine reg add "$desktop" /v SCRNSAVE.EXE /d 'C:\windows\system32\other.scr' /f >/dev/null

echo "== silent install"
$wine "$setup" /S || fail "setup exit status $?"
for f in 3DTidewell.scr 3DTidewell.exe 3DTidewell.html 3DTidewell.ini Uninstall.exe; do
  [ -f "$program_dir/$f" ] || fail "$f is not in Program Files\\3D Tidewell"
done
[ -f "$system_saver" ] || fail "the saver is not in the system folder"
cmp -s "$system_saver" "$program_dir/3DTidewell.scr" || fail "the system folder's saver differs"
# The sample scene description changes nothing: no entry is left uncommented.
entries=$(tr -d '\r' <"$program_dir/3DTidewell.ini" | grep -vE '^\s*($|;|\[)' || true)
[ -z "$entries" ] || fail "sample scene description has live entries: $entries"
path=$(reg_value "$machine" Path)
echo "Path: $path"
[ "$path" = 'C:\Program Files\3D Tidewell\' ] || fail "machine-wide Path is '$path'"
current=$(reg_value "$desktop" SCRNSAVE.EXE)
echo "SCRNSAVE.EXE: $current"
[ "${current,,}" = 'c:\windows\system32\3dtidewell.scr' ] || fail "not the current screen saver: '$current'"
reg_key_exists "$uninstall" || fail "no uninstall entry"
size=$(reg_value "$uninstall" EstimatedSize)
echo "EstimatedSize: $size"
# In KB: at least the two copies of the saver.
[ -n "$size" ] && [ "$((size))" -ge $((2 * $(stat -c %s "$program_dir/3DTidewell.scr") / 1024)) ] ||
  fail "EstimatedSize '$size' is not the installed size"
identity "$program_dir/3DTidewell.scr"
identity "$program_dir/3DTidewell.exe"
identity "$program_dir/Uninstall.exe"
$wine "$identity_probe" "$program_dir/Uninstall.exe" | tr -d '\r' | grep -qx 'FileDescription 3D Tidewell Uninstall' ||
  fail "Uninstall.exe does not describe itself as the uninstaller"

echo "== the installed saver"
$wine 'C:\windows\system32\3DTidewell.scr' /s &
pid=$!
window=$(find_window "3D Tidewell" 90) || { kill $pid 2>/dev/null; fail "no saver window appeared"; }
sleep 1
kill -0 $pid 2>/dev/null || fail "the installed saver ended by itself"
xdotool windowfocus --sync "$window" 2>/dev/null || true
xdotool key space
wait_exit $pid 45 || fail "the installed saver did not end on a key"
[ "$exit_status" = 0 ] || fail "the installed saver's exit status $exit_status"

# The system folder's copy showing its preview, as the Screen Saver settings keep it; $1 names
# the log.
hold_preview() {
  $wine "$preview_host" 'C:\windows\system32\3DTidewell.scr' hold >"$work/$1.log" 2>&1 &
  host=$!
  wait_for 60 grep -q holding "$work/$1.log" || fail "no preview: $(cat "$work/$1.log")"
}
# The preview ended from outside with status 0 (its host then ends too).
preview_ended() {
  wait_exit "$host" 60 || fail "the preview still runs: $(cat "$work/$1.log")"
  [ "$exit_status" = 0 ] || fail "the preview host: $(tr -d '\r' <"$work/$1.log")"
}

echo "== upgrade while the preview runs"
printf 'old' >>"$system_saver"  # an older saver than the one the setup brings
hold_preview upgrade
$wine "$setup" /S || fail "setup exit status $? while the preview ran"
preview_ended upgrade
cmp -s "$system_saver" "$program_dir/3DTidewell.scr" || fail "the upgrade kept the old saver in the system folder"

echo "== silent uninstall while the preview runs"
hold_preview uninstall
$wine "C:\\Program Files\\3D Tidewell\\Uninstall.exe" /S || fail "uninstaller exit status $?"
preview_ended uninstall
# The uninstaller runs on from a copy of itself in the temporary folder; its last step removes
# the uninstall entry.
uninstalled() { [ ! -e "$program_dir" ] && [ ! -e "$system_saver" ] && ! reg_key_exists "$uninstall"; }
wait_for 60 uninstalled || true
[ ! -e "$program_dir" ] || fail "Program Files\\3D Tidewell is still there: $(ls "$program_dir")"
[ ! -e "$system_saver" ] || fail "the saver is still in the system folder"
! reg_key_exists "$machine" || fail "the machine-wide key is still there"
! reg_key_exists "$uninstall" || fail "the uninstall entry is still there"
current=$(reg_value "$desktop" SCRNSAVE.EXE)
[ "$current" = 'C:\windows\system32\other.scr' ] || fail "the earlier screen saver is not back: '$current'"
theme=$(reg_value "$options" Theme)
[ "$((theme))" = 2 ] || fail "the user's options were removed: '$theme'"

echo "== a folder of the user's choice"
mkdir -p "$drive_c/Games"
# /D takes the rest of the line, unquoted: no spaces in it.
$wine "$setup" /S '/D=C:\Games\Savers\Aquarium\Tidewell' || fail "setup exit status $?"
[ -f "$drive_c/Games/Savers/Aquarium/Tidewell/3DTidewell.scr" ] || fail "not installed into the chosen folder"
$wine 'C:\Games\Savers\Aquarium\Tidewell\Uninstall.exe' /S || fail "uninstaller exit status $?"
wait_for 60 uninstalled || true
wait_for 10 test ! -e "$drive_c/Games/Savers" || true
[ ! -e "$drive_c/Games/Savers" ] || fail "the folders the setup made are left: $(find "$drive_c/Games")"
[ -d "$drive_c/Games" ] || fail "the folder that was there before is gone"
rmdir "$drive_c/Games"

# The prefix is shared with the other runs: no made-up screen saver left behind.
$wine reg delete "$desktop" /v SCRNSAVE.EXE /f >/dev/null 2>&1 || true
echo "PASS"
