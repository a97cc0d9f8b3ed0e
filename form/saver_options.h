#pragma once
// The saver's stored options: defaults, the load and save handlers, the Auto theme store at
// the end of a saver run, and the installation path and run-as-program flag read at form
// creation. All go through the frame's options store with the scope each step needs.
#include <cstdint>
#include <string>

#include "app/idle_watch.h"
#include "app/screen_saver_app.h"
#include "display/display_control.h"
#include "form/monitor_arrangement.h"
#include "scene/aquarium.h"

// The aquarium's own four (counts and theme), then the run's.
struct TSaverOptions : TAquariumOptions {
    bool SoundEnabled = true;
    bool DesktopOnly = false;
    bool RunAsExe = false;
    TMonitorChoice Monitors = mcEachOwn;
    // The idle watch's (Wayland sessions): minutes before the saver starts, and whether the
    // watch starts with the user's session.
    std::int32_t IdleMinutes = kIdleMinutesDefault;
    bool SessionStart = false;
    // Whether the live wallpaper starts with the user's session (Linux).
    bool WallpaperSessionStart = false;

    static constexpr std::int32_t kMaxFish = 100;
    static constexpr std::int32_t kMaxBubbles = 200;
    static constexpr std::int32_t kThemeCount = 3;
};

// The plain value names (complemented back from the program's scrambled copies).
namespace OptionNames {
std::string BubbleCount();
std::string FishCount();
std::string Theme();
std::string ColorDepth();
std::string Width();
std::string Height();
std::string Sound();
std::string DesktopOnly();
std::string RunAsExe();
std::string Monitors();
std::string IdleMinutes();
std::string SessionStart();
std::string WallpaperSessionStart();
}  // namespace OptionNames

// Full-screen mode := the desktop's, but at most 800 x 600 when the desktop is larger on both
// axes; counts, theme, sound, desktop-only and monitors to their defaults. RunAsExe is left alone. (The
// scene's own reset of the applied fish count is the caller's.)
void SetDefaultOptions(TSaverOptions& options, TDisplayControl& display);

// The load handler: per-user, read-only. Absent values keep what options hold.
void LoadSaverOptions(TScreenSaverApp& app, TSaverOptions& options, TDisplayControl& display);
// The save handler: per-user, read and write (the key is created).
void SaveSaverOptions(TScreenSaverApp& app, const TSaverOptions& options, TDisplayControl& display);
// What it writes, into any open key.
void WriteSaverOptions(TRegistry& reg, const TSaverOptions& options, TDisplayControl& display);
// The stop handler: in a mode that stores the Auto theme at its end, with Auto theme on, stores
// the theme just shown (complemented).
void StoreAutoTheme(TScreenSaverApp& app, const TSaverOptions& options);

// An xscreensaver hack's options over the loaded ones, for this run only; a hack never
// switches the display mode.
void ApplyHackOptions(const THackOptions& hack, TSaverOptions& options);

// The company the options are kept under ("Software\<company>\3D Tidewell").
inline constexpr char kCompanyName[] = "Korvane Software";
// A stored idle time outside kIdleMinutesMin..kIdleMinutesMax is refused: the default.
std::int32_t IdleMinutesFrom(TRegistry& reg);
// The idle watch's: the user's stored idle time, without the form.
std::int32_t StoredIdleMinutes(IRegistryStore& store);

// Form creation: the machine-wide "Path" value, else the program's directory.
std::string ReadInstallPath(TScreenSaverApp& app);
// Form creation: the stored run-as-program flag, false when absent.
bool ReadRunAsExe(TScreenSaverApp& app);
