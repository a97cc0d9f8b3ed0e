#!/usr/bin/env bash
# The saver starts without GTK: neither the program nor any library it loads at start needs
# GTK, GLib, Pango, Cairo or their kin (the settings dialog's module loads them on demand).
#   saver_libraries.sh <program>
set -euo pipefail
program=$1
command -v readelf >/dev/null || { echo "no readelf: skipped"; exit 77; }
toolkit='lib(gtk|gdk|gdk_pixbuf|glib|gobject|gio|gmodule|pango|pangocairo|cairo|atk|atk-bridge|harfbuzz|fribidi|epoxy)[-.]'

readelf -d "$program" | grep NEEDED
if readelf -d "$program" | grep NEEDED | grep -E "\[$toolkit"; then
  echo "FAIL: the program links the toolkit above" >&2
  exit 1
fi
# What the dynamic loader maps at start, through every library's own needs.
if ldd "$program" | grep -E "^[[:space:]]*$toolkit"; then
  echo "FAIL: a library the program needs brings in the toolkit above" >&2
  exit 1
fi
echo "PASS"
