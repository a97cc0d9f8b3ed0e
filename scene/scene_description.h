#pragma once
// The optional scene description file beside the program: overrides view, light, layers,
// bubbles, fish species, themes, priority and the log switch. Every missing entry keeps its
// value; without the file nothing changes.
#include <optional>
#include <string>

#include "gl/types.h"
#include "scene/profile.h"
#include "scene/scene_settings.h"

// Reads a decimal real with a point separator (exponent allowed); nullopt if not a number.
std::optional<float> ParseReal(const std::string& text);
// Decimal, or hexadecimal after "0x", "0X" or "$"; nullopt if not a number.
std::optional<int> ParseInteger(const std::string& text);
// Up to four comma-separated 0..255 fields for red, green, blue and alpha; empty or missing
// fields keep their component. Throws Exception naming a field that is not a number.
Colour ParseColour(const std::string& text, Colour current);

// Applies the entries of profile to the settings; logFile receives the log switch when the
// file sets it. A bad value's error names file (the file's path), the section and the key.
void ReadSceneDescription(IProfileReader& profile, TSceneSettings& settings, bool& logFile,
                          IProcessPriority& process, const std::string& file = "");

// The same for the file at path, opened with open; a missing file changes nothing.
void ReadSceneDescription(const TProfileOpener& open, const std::string& path, TSceneSettings& settings,
                          bool& logFile, IProcessPriority& process);
