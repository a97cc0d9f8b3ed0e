#!/usr/bin/env bash
# Runs a Windows program under Wine. scripts/test.sh exports a fresh prefix, HOME and DISPLAY;
# run by hand, this falls back to a private prefix under /tmp.
set -eu
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
if [ -z "${WINEPREFIX:-}" ]; then
  export WINEPREFIX="/tmp/tidewell-wine-$(id -u)"
fi
# The 64-bit loader directly: the wine wrapper only adds a warning about the missing 32-bit one.
if [ -x /usr/lib/wine/wine64 ]; then exec /usr/lib/wine/wine64 "$@"; fi
exec wine "$@"
