#!/usr/bin/env bash
# Builds both targets and runs every test: natively, then the Windows build under Wine in Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

scripts/bootstrap.sh
scripts/check-portable.sh

jobs=$(nproc)
for preset in linux windows; do
  echo "== build ($preset)"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
done

# A private X server, Wine prefix, HOME and XDG folders for the whole run.
scratch=$(mktemp -d /tmp/tidewell-test.XXXXXX)
# What scripts/bootstrap.sh fetched stays where it put it (the builds configured below read it).
export TIDEWELL_CACHE="${TIDEWELL_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/tidewell}"
export HOME="$scratch/home" XDG_CONFIG_HOME="$scratch/config" XDG_CACHE_HOME="$scratch/cache"
export XDG_DATA_HOME="$scratch/data" XDG_STATE_HOME="$scratch/state" XDG_RUNTIME_DIR="$scratch/run"
export WINEPREFIX="$scratch/wine"
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$XDG_DATA_HOME" "$XDG_STATE_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

xvfb_pid=""
cleanup() {
  WINEDEBUG=-all wineserver -k 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT

display=99
while [ -e "/tmp/.X${display}-lock" ] || [ -e "/tmp/.X11-unix/X${display}" ]; do display=$((display + 1)); done
# -noreset: a server that resets when its last client leaves refuses the next one for a moment.
Xvfb ":$display" -screen 0 1280x1024x24 -noreset -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=":$display"
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

echo "== test (linux)"
status=0
ctest --preset linux -j "$jobs" || status=1

echo "== test (linux, AddressSanitizer and UndefinedBehaviorSanitizer)"
cmake --preset linux-asan >/dev/null
cmake --build --preset linux-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0" \
  ctest --preset linux-asan -j "$jobs" || status=1
# A frame in "<unknown module>" lies in a library unloaded before the report was made: no
# suppression can name it, whichever library it was, so say so instead of leaving a bare leak.
if grep -q "<unknown module>" build/linux-asan/Testing/Temporary/LastTest.log 2>/dev/null; then
  echo "sanitizers: a report has a frame in an unloaded library (<unknown module>); keep that library" \
       "loaded for the process's life (as platform/posix/gl_driver_pin.h does for the GL driver)" >&2
  status=1
fi

echo "== fuzz (each reader ${TIDEWELL_FUZZ_SECONDS:-20} s)"
tests/fuzz/run.sh "${TIDEWELL_FUZZ_SECONDS:-20}" || status=1

echo "== test (windows, under Wine)"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
mkdir -p "$WINEPREFIX"
wineserver -p
wineboot -i >/dev/null 2>&1 || true
ctest --preset windows || status=1
# the persistent server is stopped by cleanup (wineserver -k)

exit $status
