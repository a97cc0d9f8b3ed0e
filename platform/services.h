#pragma once
// Everything a platform supplies: the implementations of the interfaces the portable code
// declares. Each target (platform/win32, platform/posix + platform/x11) defines all of these, and
// so does platform/null, where each does nothing; portable code never calls them, the program
// hands them in.
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/application_pro.h"
#include "app/execute_pro.h"
#include "app/message_loop.h"
#include "app/registry.h"
#include "app/screen_saver_app.h"
#include "app/timing.h"
#include "display/video_modes.h"
#include "gl/gl_loader.h"
#include "model/resource_finder.h"
#include "scene/drawing_window.h"
#include "form/monitor_list.h"
#include "form/settings_view.h"
#include "form/sound.h"
#include "scene/profile.h"
#include "scene/scene_settings.h"

// The system's millisecond clock (the multimedia timer; CLOCK_MONOTONIC); lives for the process.
IMillisecondClock& SystemClock();
// Opens shared libraries for the GL loader (LoadLibraryW; dlopen); lives for the process.
ILibraryLoader& SystemLibraryLoader();
// The resources built into the program, looked up by name (the module's; a compiled-in table).
IResourceFinder& ProgramResources();
// Opens the log for reading and writing (create: made or emptied first), denying other writers
// where the system has share modes; nullptr when it cannot.
std::FILE* OpenLogStream(const std::string& path, bool create);
// The profile file at path, read the system's way (the profile functions on Windows, our
// reader elsewhere); nullptr when the file does not exist.
std::unique_ptr<IProfileReader> OpenProfileFile(const std::string& path);
// The process's priority class (SetPriorityClass; the nice level); lives for the process.
IProcessPriority& ProcessPriority();

// The bytes of an embedded resource by name; empty when there is none.
using TResourceLookup = std::function<std::string_view(const std::string& name)>;

// args as main received them; argument 0 becomes the program's full path. On Linux it also
// runs xscreensaver hacks (RunsHacks, XSCREENSAVER_WINDOW).
std::unique_ptr<IApplicationHost> CreateApplicationHost(std::vector<std::string> args);
// The per-user and machine-wide options: the registry on Windows, files on Linux.
std::unique_ptr<IRegistryStore> CreateOptionsStore();
std::unique_ptr<IInstanceGuard> CreateInstanceGuard();
std::unique_ptr<ISaverSystem> CreateSaverSystem();
std::unique_ptr<IProcessLauncher> CreateProcessLauncher();
std::unique_ptr<IDisplayModeDriver> CreateDisplayModeDriver();
// Windows plays the module's own WAVE resource and ignores lookup.
std::unique_ptr<ISoundPlayer> CreateSoundPlayer(TResourceLookup lookup);
// The saver windows and the message pump; raises Exception when there is no display. On X11 it
// also adopts a hack's window (AdoptWindow) and turns SIGTERM, SIGINT and SIGHUP into a stop
// run by the loop (WatchQuitSignals); on Windows WM_CLOSE and the session's end do the same.
std::unique_ptr<IWindowSystem> CreateWindowSystem();
// The desktop's monitors (EnumDisplayMonitors; RandR 1.5 monitors, else Xinerama screens, on
// the window system's X display). Empty when the system cannot tell.
std::unique_ptr<IMonitorList> CreateMonitorList(IWindowSystem& windows);
// The scene description file: installPath + exeBaseName + ".ini". On Linux, when there is none
// beside the program, $XDG_CONFIG_HOME/3dtidewell/<exeBaseName>.ini, where a user can put one.
std::string SceneDescriptionFile(const std::string& installPath, const std::string& exeBaseName);

// The rendering side of a saver window: a device for the engine on it (GLX on X11, WGL on
// Windows). The first time a context is made current on it, a swap interval of 1 is requested
// when the driver advertises swap control, unless TIDEWELL_UNPACED=1 is set. On X11, where the
// driver has none, a timer at the display's refresh rate (60 Hz when unknown) paces the swaps;
// LimitFrameRate adds a cap of its own (a hack's -delay), the lower rate counting.
std::unique_ptr<IDrawingWindow> CreateDrawingWindow(IWindowSystem& windows, ISaverWindow& window);
// The settings dialog's native view over the window system (a Win32 dialog; GTK 3 on Linux,
// which from then on runs the window system's loop). Raises Exception when it cannot be made.
std::unique_ptr<ISettingsView> CreateSettingsView(IWindowSystem& windows);
// Opens a local file or a web address with the desktop's handler (ShellExecute "open";
// gtk_show_uri_on_window or xdg-open). False when nothing took it.
bool OpenWithDesktop(const std::string& target);
// A folder for temporary files, with a trailing separator.
std::string TemporaryDirectory();
// Where the package keeps its documents for a program installed in installPath, with a trailing
// separator: installPath itself on Windows, <prefix>/share/doc/3dtidewell/ for <prefix>/bin/ on Linux.
std::string DocumentFolder(const std::string& installPath);
// Writes content to a file named name in a folder only this user can write (the user's temporary
// folder; $XDG_RUNTIME_DIR, else a fresh private folder), never through a link found there. The
// file's path, or empty when it cannot.
std::string WritePrivateFile(const std::string& name, const std::string& content);
// A message box with an error icon; on Linux the text goes to the standard error stream.
void ShowErrorMessage(const std::string& text, const std::string& caption);
