#!/usr/bin/env bash
# The portable folders include no OS or toolkit header, and nothing of platform/: only platform/
# may. What they need of the system is handed to them (platform/services.h lists it).
set -eu
cd "$(dirname "$0")/.."
pattern='^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]('
pattern+='windows\.h|winuser\.h|wingdi\.h|mmsystem\.h|winreg\.h|shellapi\.h|commctrl\.h|'
pattern+='X11/|GL/|EGL/|GLES|gtk/|gdk/|glib|SDL|sndfile|'
pattern+='unistd\.h|fcntl\.h|dlfcn\.h|pthread\.h|sys/|dirent\.h|signal\.h|time\.h|poll\.h|'
pattern+='platform/'
pattern+=')'
hits=$(grep -rnE "$pattern" app display gl model sim scene form --include='*.h' --include='*.cpp' || true)
if [ -n "$hits" ]; then
  echo "Portable code includes an OS, toolkit or platform header:" >&2
  echo "$hits" >&2
  exit 1
fi
