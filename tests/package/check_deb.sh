#!/usr/bin/env bash
# The Debian package: built by CPack from the build tree, it holds the install layout (program,
# hack, its GTK module, xscreensaver's settings description, help page, menu entry and its icon,
# copyright, changelog), its dependencies come from the program and the module, and lintian finds no errors.
#   check_deb.sh <build dir>
set -euo pipefail
build=$1
command -v dpkg-deb >/dev/null || { echo "no dpkg-deb: skipped"; exit 77; }
command -v lintian >/dev/null || { echo "no lintian: skipped"; exit 77; }
fail() { echo "FAIL: $*" >&2; exit 1; }

work=$(mktemp -d /tmp/tidewell-deb.XXXXXX)
trap 'rm -rf "$work"' EXIT
(cd "$build" && cpack -G DEB -B "$work" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; fail "cpack failed"; }
deb="$work/3dtidewell_1.5_amd64.deb"
[ -f "$deb" ] || fail "no $deb: $(ls "$work")"

dpkg-deb -c "$deb" | awk '{ line = $1 " " $6; if (NF > 6) line = line " " $7 " " $8; print line }' >"$work/contents"
cat "$work/contents"
has() { grep -qE "$1" "$work/contents" || fail "the package lacks $2"; }
has '^-rwxr-xr-x \./usr/bin/3dtidewell$' "the program in /usr/bin"
has '^-rw-r--r-- \./usr/lib/3dtidewell/3dtidewell-gtk\.so$' "the GTK module where the program looks for it"
has '^lrwxrwxrwx \./usr/libexec/xscreensaver/3dtidewell -> \.\./\.\./bin/3dtidewell$' "the hack in xscreensaver's folder"
has '^-rw-r--r-- \./usr/share/xscreensaver/config/3dtidewell\.xml$' "xscreensaver's settings description"
has '^-rw-r--r-- \./usr/share/applications/3dtidewell\.desktop$' "the menu entry"
for size in 16 32 48 256; do
  has "^-rw-r--r-- \./usr/share/icons/hicolor/${size}x${size}/apps/3dtidewell\.png$" "the ${size}x${size} icon"
done
has '^-rw-r--r-- \./usr/share/doc/3dtidewell/3DTidewell\.html$' "the help page"
has '^-rw-r--r-- \./usr/share/doc/3dtidewell/copyright$' "the copyright file"
has '^-rw-r--r-- \./usr/share/doc/3dtidewell/changelog\.gz$' "the changelog"
# Nothing else: no headers, other libraries, tests or tools.
extra=$(grep -vE '^d|3dtidewell(\.xml|\.desktop|\.png|-gtk\.so)?( |$)|3DTidewell\.html|copyright|changelog' "$work/contents" || true)
[ -z "$extra" ] || fail "unexpected files: $extra"
# The hack's xscreensaver description is well-formed and offers the hack's options.
dpkg-deb -x "$deb" "$work/root"
# The menu entry names the icon the package installs, and each icon file is the size its folder says.
grep -qx 'Icon=3dtidewell' "$work/root/usr/share/applications/3dtidewell.desktop" || fail "the menu entry does not name the icon"
for size in 16 32 48 256; do
  [ "$(identify -format '%wx%h' "$work/root/usr/share/icons/hicolor/${size}x${size}/apps/3dtidewell.png")" = "${size}x${size}" ] ||
    fail "the ${size}x${size} icon is another size"
done
xml="$work/root/usr/share/xscreensaver/config/3dtidewell.xml"
if command -v xmllint >/dev/null; then xmllint --noout "$xml" || fail "the XML is not well-formed"; fi
for option in '--fish %' '--bubbles %' '--theme auto' '--theme green' '--sound' '--fps'; do
  grep -qF -- "\"$option\"" "$xml" || fail "the XML does not offer $option"
done
# xscreensaver's panel shows an option's default as the state that passes no argument: sound must
# be a box that only turns it on, as the hack is silent without an argument.
grep -qE '<boolean [^>]*arg-set="--sound"' "$xml" || fail "the sound is not a box giving --sound"
! grep -qF -- '--no-sound' "$xml" || fail "the XML passes --no-sound, which is already the hack's default"

depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
# GTK's come from the module alone: the program does not link it.
for library in libc6 libx11-6 libsdl2 libgtk-3-0 libjpeg62-turbo libxrandr2 libgl1 libglu1-mesa; do
  echo "$depends" | grep -q "$library" || fail "no dependency on $library"
done
[ "$(dpkg-deb -f "$deb" Package)" = 3dtidewell ] || fail "package name"
[ "$(dpkg-deb -f "$deb" Version)" = 1.5 ] || fail "version"
[ "$(dpkg-deb -f "$deb" Architecture)" = amd64 ] || fail "architecture"

# Errors only: its warnings and notes are advice.
lintian --tag-display-limit 0 "$deb" >"$work/lintian.txt" 2>&1 || true
cat "$work/lintian.txt"
if grep -E '^E: ' "$work/lintian.txt"; then fail "lintian found errors"; fi
echo "PASS"
