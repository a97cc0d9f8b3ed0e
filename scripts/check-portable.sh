#!/usr/bin/env bash
# The portable folders include no OS or toolkit header, nothing of platform/, and no conditional
# on the operating system: only platform/ may. What they need of the system is handed to them
# (platform/services.h and platform/display_platform.h list it).
set -eu
cd "$(dirname "$0")/.."
pattern='^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]('
pattern+='windows\.h|winuser\.h|wingdi\.h|mmsystem\.h|winreg\.h|shellapi\.h|commctrl\.h|'
pattern+='X11/|GL/|EGL/|GLES|gtk/|gdk/|glib|SDL|sndfile|'
pattern+='unistd\.h|fcntl\.h|dlfcn\.h|pthread\.h|sys/|dirent\.h|signal\.h|time\.h|poll\.h|'
pattern+='platform/'
pattern+=')'
portable=(app display gl model sim scene form)
status=0
hits=$(grep -rnE "$pattern" "${portable[@]}" --include='*.h' --include='*.cpp' || true)
if [ -n "$hits" ]; then
  echo "Portable code includes an OS, toolkit or platform header:" >&2
  echo "$hits" >&2
  status=1
fi
# #if/#ifdef/#ifndef/#elif on an OS macro, or defined(...) of one anywhere in a directive.
os='(_WIN32|_WIN64|WIN32|_WINDOWS|__WINDOWS__|__CYGWIN__|__MINGW32__|__MINGW64__|__linux__|__linux|linux|__gnu_linux__|__unix__|__unix|unix|__APPLE__|__MACH__|__FreeBSD__|__NetBSD__|__OpenBSD__|__DragonFly__|__sun|__ANDROID__|__EMSCRIPTEN__|__HAIKU__)'
conditional="^[[:space:]]*#[[:space:]]*(if|ifdef|ifndef|elif|elifdef|elifndef)\\b.*\\b${os}\\b"
hits=$(grep -rnE "$conditional" "${portable[@]}" --include='*.h' --include='*.cpp' || true)
if [ -n "$hits" ]; then
  echo "Portable code has a conditional on the operating system (what differs comes from the platform):" >&2
  echo "$hits" >&2
  status=1
fi
# Native handles and library files stay inside their platform.
hits=$(grep -rnE 'NativeDisplay|Display[[:space:]]*\*|\bHWND\b|\bHDC\b|libGL\.so|opengl32\.dll' "${portable[@]}" --include='*.h' || true)
if [ -n "$hits" ]; then
  echo "A portable header names a native handle or a library file:" >&2
  echo "$hits" >&2
  status=1
fi
exit $status
