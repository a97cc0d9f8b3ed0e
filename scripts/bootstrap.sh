#!/usr/bin/env bash
# Installs what both targets and the tests need, once. Quiet when everything is present.
#   - native build and test packages, the mingw-w64 cross compilers, Wine, Xvfb
#   - cross-built static libjpeg-turbo and GoogleTest for Windows, cached outside the tree
#   - the wlroots protocol files (layer shell, foreign toplevels, output power; the tests' virtual
#     pointer), which no Debian binary package ships, taken from Debian's wlroots source package into the same cache
# With --run (scripts/run.sh) only what building and running the Linux saver needs: no Wine,
# no cross compilers or libraries, no packaging or checking tools.
set -euo pipefail
run_only=false
case "${1:-}" in
  --run) run_only=true ;;
  "") ;;
  *) echo "usage: $0 [--run]" >&2; exit 2 ;;
esac

CACHE_DIR="${TIDEWELL_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/tidewell}"
WIN_PREFIX="$CACHE_DIR/win64"
say() { echo "bootstrap: $*" >&2; }
as_root() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }

# Configuring the linux preset (its tools and tests are part of it) and running the saver,
# with a private Xvfb when there is no display.
RUN_PACKAGES=(
  build-essential cmake pkg-config ninja-build libgtest-dev libgmock-dev
  libegl-dev libgl-dev libglu1-mesa-dev libgl1-mesa-dri libegl-mesa0
  libx11-dev libxext-dev libxrandr-dev libxrender-dev libxfixes-dev libxinerama-dev
  libgtk-3-dev libsdl2-dev libsndfile1-dev libjpeg62-turbo-dev libpng-dev
  libwayland-dev wayland-protocols plasma-wayland-protocols libdbus-1-dev
  xvfb xauth x11-utils
)
# The Windows cross build, Wine, the sanitizers, packaging, and what the tests drive or check.
TEST_PACKAGES=(
  googletest libbenchmark-dev libgles-dev
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine wine64 xdotool imagemagick xserver-xephyr nsis
  dpkg-dev nasm clang libclang-rt-14-dev
  xscreensaver xscreensaver-data xscreensaver-gl-extra lintian man-db libxml2-utils
  sway grim wtype mutter xwayland dbus-user-session foot swayidle swaylock strace
  openbox
)
PACKAGES=("${RUN_PACKAGES[@]}")
$run_only || PACKAGES+=("${TEST_PACKAGES[@]}")

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  say "installing ${missing[*]}"
  as_root apt-get update -qq
  DEBIAN_FRONTEND=noninteractive as_root apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# libjpeg-turbo's source comes from Debian's own archive. Without a source entry, add one that
# mirrors the binary entries of the deb822 sources file.
ensure_deb_src() {
  if grep -rqsE '^(Types:.*deb-src|deb-src )' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    return
  fi
  local src=/etc/apt/sources.list.d/debian.sources
  [ -f "$src" ] || { say "no deb-src entry and no $src to copy"; exit 1; }
  say "adding deb-src entries"
  sed 's/^Types: deb$/Types: deb-src/' "$src" | as_root tee /etc/apt/sources.list.d/tidewell-deb-src.sources >/dev/null
  as_root apt-get update -qq
}

TOOLCHAIN="$(cd "$(dirname "$0")/.." && pwd)/cmake/mingw-w64-x86_64.cmake"

build_jpeg() {
  [ -f "$WIN_PREFIX/lib/libjpeg.a" ] && return
  ensure_deb_src
  say "cross-building libjpeg-turbo"
  local work="$CACHE_DIR/src"
  rm -rf "$work/jpeg" && mkdir -p "$work/jpeg"
  (cd "$work/jpeg" && apt-get source -qq --download-only libjpeg-turbo >/dev/null 2>&1 \
     && dpkg-source -x --skip-patches ./*.dsc src >/dev/null 2>&1 \
     || (cd "$work/jpeg" && apt-get source -qq libjpeg-turbo >/dev/null 2>&1 && mv "$(find . -maxdepth 1 -type d -name 'libjpeg-turbo-*' | head -n1)" src))
  cmake -S "$work/jpeg/src" -B "$work/jpeg/build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$WIN_PREFIX" -DENABLE_SHARED=OFF -DENABLE_STATIC=ON \
    -Wno-dev -DWITH_TURBOJPEG=OFF -DWITH_SIMD=ON -DWITH_JPEG8=OFF >/dev/null
  cmake --build "$work/jpeg/build" --target install >/dev/null
}

build_gtest() {
  [ -f "$WIN_PREFIX/lib/libgtest.a" ] && return
  say "cross-building GoogleTest"
  local work="$CACHE_DIR/src/gtest"
  rm -rf "$work" && mkdir -p "$work"
  cmake -S /usr/src/googletest -B "$work" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$WIN_PREFIX" -Dgtest_disable_pthreads=OFF >/dev/null
  cmake --build "$work" --target install >/dev/null
}

# Only the protocol files are kept, from the orig tarball; wlroots itself is not built.
WLR_PROTOCOLS=(wlr-layer-shell-unstable-v1.xml wlr-foreign-toplevel-management-unstable-v1.xml
               wlr-output-power-management-unstable-v1.xml wlr-virtual-pointer-unstable-v1.xml)
fetch_wlr_protocols() {
  local dest="$CACHE_DIR/protocols" have=true
  for f in "${WLR_PROTOCOLS[@]}"; do [ -f "$dest/$f" ] || have=false; done
  $have && return
  ensure_deb_src
  say "taking the wlroots protocol files from Debian's source package"
  local work="$CACHE_DIR/src/wlroots"
  rm -rf "$work" && mkdir -p "$work" "$dest"
  (cd "$work" && apt-get source -qq --download-only wlroots >/dev/null 2>&1)
  local tarball
  tarball="$(find "$work" -maxdepth 1 -name 'wlroots_*.orig.tar.*' | head -n1)"
  [ -n "$tarball" ] || { say "no wlroots source package"; exit 1; }
  for f in "${WLR_PROTOCOLS[@]}"; do
    tar -xOf "$tarball" --wildcards "*/protocol/$f" > "$dest/$f.part" && mv "$dest/$f.part" "$dest/$f"
  done
  rm -rf "$work"
}

mkdir -p "$CACHE_DIR"
fetch_wlr_protocols
$run_only && exit 0
build_jpeg
build_gtest
