#pragma once
// Everything a platform supplies: the implementations of the interfaces the portable code
// declares. The OS-wide services are the functions below; what belongs to a display (windows,
// drawing, monitors, display modes, the dialog's view) comes from a display platform object
// (platform/display_platform.h), one of the program's DisplayPlatforms(). Each target
// (platform/win32; platform/posix + platform/x11) defines all of these, and so does
// platform/null, where each does nothing; portable code never calls them, the program hands them in.
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/application_pro.h"
#include "app/execute_pro.h"
#include "app/idle_watch.h"
#include "app/registry.h"
#include "app/screen_saver_app.h"
#include "app/timing.h"
#include "app/wallpaper.h"
#include "platform/display_platform.h"
#include "gl/gl_loader.h"
#include "model/resource_finder.h"
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
std::unique_ptr<IProcessLauncher> CreateProcessLauncher();
// Windows plays the module's own WAVE resource and ignores lookup.
std::unique_ptr<ISoundPlayer> CreateSoundPlayer(TResourceLookup lookup);
// Whether the machine runs on battery (UPower's OnBattery over the system bus on Linux, the
// power status on Windows); one that never says so where the system cannot tell.
std::unique_ptr<IPowerSource> CreatePowerSource();
// The scene description file: installPath + exeBaseName + ".ini". On Linux, when there is none
// beside the program, $XDG_CONFIG_HOME/3dtidewell/<exeBaseName>.ini, where a user can put one.
std::string SceneDescriptionFile(const std::string& installPath, const std::string& exeBaseName);

// A folder for temporary files, with a trailing separator.
std::string TemporaryDirectory();
// Where the package keeps its documents for a program installed in installPath, with a trailing
// separator: installPath itself on Windows, <prefix>/share/doc/3dtidewell/ for <prefix>/bin/ on Linux.
std::string DocumentFolder(const std::string& installPath);
// Writes content to a file named name in a folder only this user can write (the user's temporary
// folder; $XDG_RUNTIME_DIR, else a fresh private folder), never through a link found there. The
// file's path, or empty when it cannot.
std::string WritePrivateFile(const std::string& name, const std::string& content);
// The idle watch's session (--idle-watch); the saver it starts is "<program> /s". nullptr where
// the system starts screen savers itself (Windows).
std::unique_ptr<IIdleWatchSession> CreateIdleWatchSession(const std::string& program);
// The settings dialog's display platform where the automatic choice would take another (x11,
// through XWayland, on a Wayland session); empty for the automatic choice. Raises
// EPlatformStart when the dialog cannot run on this session (Wayland without XWayland).
std::string DialogPlatform();
// "Preview..." as a process of its own, the dialog waiting for it, when the dialog runs on
// platformName (the Wayland saver beside a dialog on XWayland): the function writes the dialog's
// options (writeOptions, into a store of the preview's own) and gives the command that runs the
// saver with them. Empty: "Preview..." runs in the dialog's process.
std::function<std::string(const std::function<void(IRegistryStore&)>& writeOptions)> SeparatePreview(
    const std::string& program, const std::string& platformName);
// Writes (true) or removes the idle watch's XDG autostart entry for program, raising Exception
// when it cannot; empty where the session has no idle watch.
std::function<void(bool)> SessionStartSetter(const std::string& program);
// Writes (true) or removes the wallpaper's XDG autostart entry ("<program> --wallpaper"),
// raising Exception when it cannot; empty where the system has none (Windows).
std::function<void(bool)> WallpaperSessionStartSetter(const std::string& program);
// Why this session cannot show the wallpaper (a Wayland compositor without the layer shell), or
// empty when it can or that is not known.
std::string WallpaperUnavailable();
// The display platforms this program can start, in the order the automatic choice tries them
// (platform/platform_choice.h).
std::vector<TDisplayPlatformEntry> DisplayPlatforms();
