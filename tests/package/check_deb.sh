#!/usr/bin/env bash
# The Debian package: built by CPack from the build tree, it holds the install layout (program,
# hack, its GTK module, xscreensaver's settings description, help page, menu entry and its icon,
# copyright, changelog, manual page), its dependencies come from the program and the module (X11's
# and Wayland's alike), it calls no ldconfig, the manual page renders, the installed program finds
# its module, and lintian (with its notes) finds no errors and nothing about hardening, the
# description or the manual page.
#   check_deb.sh <build dir>
set -euo pipefail
build=$1
command -v dpkg-deb >/dev/null || { echo "no dpkg-deb: skipped"; exit 77; }
command -v lintian >/dev/null || { echo "no lintian: skipped"; exit 77; }
command -v man >/dev/null || { echo "no man: skipped"; exit 77; }
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH 2>/dev/null || gcc -print-multiarch)
fail() { echo "FAIL: $*" >&2; exit 1; }

work=$(mktemp -d /tmp/tidewell-deb.XXXXXX)
xvfb=""
cleanup() {
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
(cd "$build" && cpack -G DEB -B "$work" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; fail "cpack failed"; }
deb="$work/3dtidewell_1.5_amd64.deb"
[ -f "$deb" ] || fail "no $deb: $(ls "$work")"

dpkg-deb -c "$deb" | awk '{ line = $1 " " $6; if (NF > 6) line = line " " $7 " " $8; print line }' >"$work/contents"
cat "$work/contents"
has() { grep -qE "$1" "$work/contents" || fail "the package lacks $2"; }
has '^-rwxr-xr-x \./usr/bin/3dtidewell$' "the program in /usr/bin"
has "^-rw-r--r-- \./usr/lib/$multiarch/3dtidewell/3dtidewell-gtk\.so\$" "the GTK module in the multiarch folder"
has '^lrwxrwxrwx \./usr/libexec/xscreensaver/3dtidewell -> \.\./\.\./bin/3dtidewell$' "the hack in xscreensaver's folder"
has '^-rw-r--r-- \./usr/share/xscreensaver/config/3dtidewell\.xml$' "xscreensaver's settings description"
has '^-rw-r--r-- \./usr/share/applications/3dtidewell\.desktop$' "the menu entry"
has '^-rw-r--r-- \./usr/share/applications/3dtidewell-wallpaper\.desktop$' "the wallpaper's menu entry"
has '^-rw-r--r-- \./usr/share/doc/3dtidewell/3DTidewell\.html$' "the help page"
has '^-rw-r--r-- \./usr/share/doc/3dtidewell/copyright$' "the copyright file"
has '^-rw-r--r-- \./usr/share/doc/3dtidewell/changelog\.gz$' "the changelog"
has '^-rw-r--r-- \./usr/share/man/man6/3dtidewell\.6\.gz$' "the manual page"
# Nothing else: no headers, other libraries, tests or tools.
extra=$(grep -vE '^d|3dtidewell(\.xml|\.desktop|-wallpaper\.desktop|\.png|-gtk\.so|\.6\.gz)?( |$)|3DTidewell\.html|copyright|changelog' "$work/contents" || true)
[ -z "$extra" ] || fail "unexpected files: $extra"
# The hack's xscreensaver description is well-formed and offers the hack's options.
dpkg-deb -x "$deb" "$work/root"
# The menu entry names the icon the package installs; each icon is there, the size its folder says.
grep -qx 'Icon=3dtidewell' "$work/root/usr/share/applications/3dtidewell.desktop" || fail "the menu entry does not name the icon"
for size in 16 32 48 256; do
  has "^-rw-r--r-- \./usr/share/icons/hicolor/${size}x${size}/apps/3dtidewell\.png$" "the ${size}x${size} icon"
  [ "$(identify -format '%wx%h' "$work/root/usr/share/icons/hicolor/${size}x${size}/apps/3dtidewell.png")" = "${size}x${size}" ] ||
    fail "the ${size}x${size} icon is another size"
done
xml="$work/root/usr/share/xscreensaver/config/3dtidewell.xml"
if command -v xmllint >/dev/null; then xmllint --noout "$xml" || fail "the XML is not well-formed"; fi
for option in '--fish %' '--bubbles %' '--delay %' '--theme auto' '--theme green' '--sound' '--fps'; do
  grep -qF -- "\"$option\"" "$xml" || fail "the XML does not offer $option"
done
# xscreensaver's panel shows an option's default as the state that passes no argument: sound must
# be a box that only turns it on, as the hack is silent without an argument.
grep -qE '<boolean [^>]*arg-set="--sound"' "$xml" || fail "the sound is not a box giving --sound"
! grep -qF -- '--no-sound' "$xml" || fail "the XML passes --no-sound, which is already the hack's default"

depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
# GTK's come from the module alone: the program does not link it. Wayland's and EGL's from the
# program, for Wayland sessions, and D-Bus for the idle watch on GNOME.
for library in libc6 libx11-6 libsdl2 libgtk-3-0 libjpeg62-turbo libxrandr2 libgl1 libglu1-mesa \
               libwayland-client0 libwayland-egl1 libegl1 libdbus-1-3; do
  echo "$depends" | grep -q "$library" || fail "no dependency on $library"
done
dpkg-deb -f "$deb" Recommends | grep -qw xdg-utils || fail "xdg-utils is not recommended (Help's xdg-open)"
# The module lives in a private folder: no maintainer script, so no ldconfig call.
dpkg-deb -e "$deb" "$work/control"
! grep -rl ldconfig "$work/control" || fail "a maintainer script calls ldconfig"
# The long description: every line after the summary starts with exactly one space.
dpkg-deb -f "$deb" Description | tail -n +2 >"$work/description"
[ -s "$work/description" ] || fail "no long description"
! grep -vE '^ [^ ]' "$work/description" || fail "a description line without exactly one leading space"
[ "$(dpkg-deb -f "$deb" Package)" = 3dtidewell ] || fail "package name"
[ "$(dpkg-deb -f "$deb" Version)" = 1.5 ] || fail "version"
[ "$(dpkg-deb -f "$deb" Architecture)" = amd64 ] || fail "architecture"

# The manual page renders without a warning and tells what it must.
page="$work/root/usr/share/man/man6/3dtidewell.6.gz"
LC_ALL=C MANWIDTH=80 man -l "$page" >"$work/man.txt" 2>"$work/man-warnings.txt" || fail "man -l failed: $(cat "$work/man-warnings.txt")"
LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" >/dev/null 2>>"$work/man-warnings.txt"
[ -s "$work/man-warnings.txt" ] && fail "the manual page has warnings: $(cat "$work/man-warnings.txt")"
# xscreensaver's "Documentation..." runs `man <the hack's name>`: the page is found by that name.
LC_ALL=C MANWIDTH=80 man -M "$work/root/usr/share/man" 3dtidewell 2>&1 | head -1 | grep -q '^3DTIDEWELL(6)' \
  || fail "man 3dtidewell does not find the page in section 6"
for text in NAME SYNOPSIS MODES 'HACK OPTIONS' FILES ENVIRONMENT 'EXIT STATUS' '-delay microseconds' '-maxfps N' \
            '-window-id id' '-sound, -no-sound' TIDEWELL_UNPACED XDG_STATE_HOME 'WAYLAND SESSIONS' WAYLAND_DISPLAY \
            "swayidle -w timeout 600 '3dtidewell /s &'"; do
  grep -qF -- "$text" "$work/man.txt" || fail "the manual page lacks '$text'"
done

# The installed program, and the hack through its link, find the module in the multiarch folder
# (the settings dialog maps it; SIGTERM ends it).
if command -v Xvfb >/dev/null; then
  display=140
  while [ -e "/tmp/.X${display}-lock" ] || [ -e "/tmp/.X11-unix/X${display}" ]; do display=$((display + 1)); done
  Xvfb ":$display" -screen 0 800x600x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  for _ in $(seq 50); do DISPLAY=":$display" xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
  module="$work/root/usr/lib/$multiarch/3dtidewell/3dtidewell-gtk.so"
  for program in "$work/root/usr/bin/3dtidewell" "$work/root/usr/libexec/xscreensaver/3dtidewell"; do
    mkdir -p "$work/home/run" && chmod 700 "$work/home/run"
    env DISPLAY=":$display" HOME="$work/home" XDG_CONFIG_HOME="$work/home/config" XDG_STATE_HOME="$work/home/state" \
      XDG_RUNTIME_DIR="$work/home/run" "$program" --settings >"$work/dialog.txt" 2>&1 &
    pid=$!
    mapped=""
    for _ in $(seq 200); do
      grep -qF "$module" "/proc/$pid/maps" 2>/dev/null && { mapped=yes; break; }
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.1
    done
    kill -TERM "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    [ -n "$mapped" ] || fail "$program did not load $module: $(cat "$work/dialog.txt")"
  done
fi

# No errors, and with its notes (-I) nothing about what Debian's habits ask of this package:
# ldconfig calls, hardening, the description's form, the manual page.
lintian -I --tag-display-limit 0 "$deb" >"$work/lintian.txt" 2>&1 || true
cat "$work/lintian.txt"
if grep -E '^E: ' "$work/lintian.txt"; then fail "lintian found errors"; fi
if grep -E ': (maintscript-calls-ldconfig|package-has-unnecessary-activation-of-ldconfig-trigger|hardening-[a-z-]+|[a-z-]*description[a-z-]*|no-manual-page|binary-without-manpage|[a-z-]*manpage[a-z-]*|[a-z-]*manual-page[a-z-]*|groff-message|hyphen-used-as-minus-sign)( |$)' "$work/lintian.txt"; then
  fail "lintian found the tags above"
fi
echo "PASS"
