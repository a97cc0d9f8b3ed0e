#pragma once
// XDG autostart entries, <config>/autostart/<file>: the desktop starts "<program> <argument>"
// with each of this user's sessions (the idle watch, the wallpaper). Nothing is installed for
// every user.
#include <string>

struct TAutostartKind {
    const char* FileName;
    const char* Name;
    const char* Comment;
    const char* Argument;
};

inline constexpr TAutostartKind kIdleWatchAutostart{"3dtidewell-idle-watch.desktop", "3D Tidewell idle watch",
                                                    "Starts the 3D Tidewell screen saver when the session is idle",
                                                    "--idle-watch"};
inline constexpr TAutostartKind kWallpaperAutostart{"3dtidewell-wallpaper.desktop", "3D Tidewell wallpaper",
                                                    "The 3D Tidewell aquarium behind your windows, paused while nobody can see it",
                                                    "--wallpaper"};

// $XDG_CONFIG_HOME, else ~/.config.
std::string UserConfigHome();
std::string AutostartFile(const TAutostartKind& kind, const std::string& configHome);
// The entry's text for program (quoted for the Exec key where it needs it).
std::string AutostartEntry(const TAutostartKind& kind, const std::string& program);
// Written through a fresh file renamed over the old one; raises Exception when it cannot.
void WriteAutostartEntry(const TAutostartKind& kind, const std::string& configHome, const std::string& program);
// Raises Exception when an entry is there and cannot be removed.
void RemoveAutostartEntry(const TAutostartKind& kind, const std::string& configHome);
