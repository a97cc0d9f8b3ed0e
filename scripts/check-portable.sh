#!/usr/bin/env bash
# The portable folders include no OS or toolkit header; only platform/ may.
set -eu
cd "$(dirname "$0")/.."
pattern='^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]('
pattern+='windows\.h|winuser\.h|wingdi\.h|mmsystem\.h|winreg\.h|shellapi\.h|commctrl\.h|'
pattern+='X11/|GL/|EGL/|GLES|gtk/|gdk/|glib|SDL|sndfile|'
pattern+='unistd\.h|fcntl\.h|dlfcn\.h|pthread\.h|sys/|dirent\.h|signal\.h|time\.h|poll\.h'
pattern+=')'
hits=$(grep -rnE "$pattern" app display gl model sim scene form --include='*.h' --include='*.cpp' || true)
if [ -n "$hits" ]; then
  echo "Portable code includes an OS or toolkit header:" >&2
  echo "$hits" >&2
  exit 1
fi
