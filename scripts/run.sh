#!/usr/bin/env bash
# Builds the Linux saver and runs it full screen.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/bootstrap.sh
cmake --preset linux >/dev/null
cmake --build --preset linux -j "$(nproc)"
if [ ! -x build/linux/3dtidewell ]; then
  echo "3D Tidewell: the saver program is not built yet; this command will start it full screen" >&2
  echo "(3dtidewell /s) once it exists. The test command builds and checks what is there." >&2
  exit 0
fi
exec build/linux/3dtidewell /s "$@"
