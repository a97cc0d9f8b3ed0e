#!/usr/bin/env bash
# Builds the Windows setup program, build/windows/3DTidewell-1.5-Setup.exe: the cross build,
# then CPack's NSIS generator (Debian's makensis, installed by scripts/bootstrap.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/bootstrap.sh
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$(nproc)" --target tidewell_saver
(cd build/windows && cpack -G NSIS --config CPackConfig.cmake >/dev/null)
echo "build/windows/3DTidewell-1.5-Setup.exe"
