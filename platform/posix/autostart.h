#pragma once
// The idle watch's XDG autostart entry, <config>/autostart/3dtidewell-idle-watch.desktop: the
// desktop starts "<program> --idle-watch" with each of this user's sessions. Nothing is
// installed for every user.
#include <string>

// $XDG_CONFIG_HOME, else ~/.config.
std::string UserConfigHome();
std::string AutostartFile(const std::string& configHome);
// The entry's text for program (quoted for the Exec key where it needs it).
std::string AutostartEntry(const std::string& program);
// Written through a fresh file renamed over the old one; raises Exception when it cannot.
void WriteAutostartEntry(const std::string& configHome, const std::string& program);
// Raises Exception when an entry is there and cannot be removed.
void RemoveAutostartEntry(const std::string& configHome);
