#include "scene/scene_description.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

#include "app/exception.h"
#include "app/scrambled.h"

namespace {

// Section and key names, stored complemented (see scrambled.h). The plain names are listed
// for users in the README.
constexpr TScrambled kView{"View"};
constexpr TScrambled kFarDistance{"FarDistance"};
constexpr TScrambled kNearDistance{"NearDistance"};
constexpr TScrambled kFieldOfView{"FieldOfView"};
constexpr TScrambled kFadeStart{"FadeStart"};
constexpr TScrambled kFadeEnd{"FadeEnd"};
constexpr TScrambled kAmbientColor{"AmbientColor"};
constexpr TScrambled kLightColor{"LightColor"};

constexpr TScrambled kLandscape{"Landscape"};
constexpr TScrambled kSurfaceCausticsOpacity{"SurfaceCausticsOpacity"};
constexpr TScrambled kBottomCausticsOpacity{"BottomCausticsOpacity"};
constexpr TScrambled kBottomHeight{"BottomHeight"};
constexpr TScrambled kSurfaceHeight{"SurfaceHeight"};
constexpr TScrambled kBottomModel{"BottomModel"};

constexpr TScrambled kBubbles{"Bubbles"};
constexpr TScrambled kNearestDepth{"NearestDepth"};
constexpr TScrambled kFarthestDepth{"FarthestDepth"};
constexpr TScrambled kHighestSpeed{"HighestSpeed"};
constexpr TScrambled kLowestSpeed{"LowestSpeed"};
constexpr TScrambled kModel{"Model"};
constexpr TScrambled kColorImage{"ColorImage"};
constexpr TScrambled kAlphaImage{"AlphaImage"};

constexpr TScrambled kFish{"Fish"};
constexpr TScrambled kShineOpacity{"ShineOpacity"};
constexpr TScrambled kShineImage{"ShineImage"};
constexpr TScrambled kSpeciesCount{"SpeciesCount"};
constexpr TScrambled kSpeciesName{"Species"};
constexpr TScrambled kTexture{"Texture"};
constexpr TScrambled kFrameList{"FrameList"};
constexpr TScrambled kLowestHeight{"LowestHeight"};
constexpr TScrambled kHighestHeight{"HighestHeight"};

constexpr TScrambled kTheme{"Theme"};
constexpr TScrambled kClearColor{"ClearColor"};
constexpr TScrambled kUpperColor{"UpperColor"};
constexpr TScrambled kLowerColor{"LowerColor"};
constexpr TScrambled kFishColor{"FishColor"};
constexpr TScrambled kBubbleColor{"BubbleColor"};
constexpr TScrambled kBottomImage{"BottomImage"};
constexpr TScrambled kWaterImage{"WaterImage"};
constexpr TScrambled kCausticsImage{"CausticsImage"};

constexpr TScrambled kGeneral{"General"};
constexpr TScrambled kPriority{"Priority"};
constexpr TScrambled kLog{"Log"};

// A NUL would end the message box's text where it stands: control characters are shown as codes.
std::string Visible(const std::string& text) {
    static const char digits[] = "0123456789ABCDEF";
    std::string shown;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte != 0x7F) {
            shown += c;
        } else {
            shown += "\\x";
            shown += digits[byte >> 4];
            shown += digits[byte & 15];
        }
    }
    return shown;
}

std::string FormatNumber(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
    return text;
}

std::string Trim(const std::string& s) {
    const auto begin = s.find_first_not_of(" \t");
    if (begin == std::string::npos) return "";
    const auto end = s.find_last_not_of(" \t");
    return s.substr(begin, end - begin + 1);
}

// Reads the entries of one section into the settings.
class SectionReader {
public:
    SectionReader(IProfileReader& profile, const std::string& file, std::string section)
        : profile_(profile), file_(file), section_(std::move(section)) {}

    // True when the file set the value.
    template <std::size_t N>
    bool Real(const TScrambled<N>& key, float& value) {
        if (auto text = profile_.Read(section_, key.Text()))
            if (auto number = ParseReal(*text)) {
                value = *number;
                return true;
            }
        return false;
    }
    template <std::size_t N>
    void Integer(const TScrambled<N>& key, int& value) {
        if (auto text = profile_.Read(section_, key.Text()))
            if (auto number = ParseInteger(*text)) value = *number;
    }
    template <std::size_t N>
    void Text(const TScrambled<N>& key, std::string& value) {
        if (auto text = profile_.Read(section_, key.Text())) value = *text;
    }
    void Text(const std::string& key, std::string& value) {
        if (auto text = profile_.Read(section_, key)) value = *text;
    }
    template <std::size_t N>
    void Color(const TScrambled<N>& key, Colour& value) {
        auto text = profile_.Read(section_, key.Text());
        if (!text) return;
        try {
            value = ParseColour(*text, value);
        } catch (const Exception& e) {
            // The conversion's own message first, then where the value stands.
            throw Exception(std::string(e.what()) + "\r\n" + Where(key) + " (a colour of up to four numbers 0..255).");
        }
    }
    // A number the reader takes but the drawing cannot use: what is wrong with it, then where it stands.
    template <std::size_t N>
    [[noreturn]] void Refuse(const TScrambled<N>& key, float value, const std::string& rule) {
        throw Exception(key.Text() + "=" + FormatNumber(value) + " cannot be used: " + rule + ".\r\n" + Where(key) + ".");
    }

private:
    template <std::size_t N>
    std::string Where(const TScrambled<N>& key) const {
        return "In the scene description file " + Visible(file_) + ": section [" + Visible(section_) + "], key " +
               key.Text();
    }

    IProfileReader& profile_;
    const std::string& file_;
    std::string section_;
};

}  // namespace

std::optional<float> ParseReal(const std::string& raw) {
    std::string text = Trim(raw);
    if (!text.empty() && text[0] == '+') text.erase(0, 1);
    if (text.empty()) return std::nullopt;
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) return std::nullopt;
    // A number beyond float's range would become infinity.
    if (std::fabs(value) > std::numeric_limits<float>::max()) return std::nullopt;
    return static_cast<float>(value);
}

std::optional<int> ParseInteger(const std::string& raw) {
    std::string text = Trim(raw);
    bool negative = false;
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
        negative = text[0] == '-';
        text.erase(0, 1);
    }
    int base = 10;
    if (text.size() > 1 && text[0] == '$') {
        base = 16;
        text.erase(0, 1);
    } else if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.erase(0, 2);
    }
    if (text.empty() || text[0] == '-' || text[0] == '+') return std::nullopt;
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    if (negative) value = -value;
    if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
    return static_cast<int>(value);
}

Colour ParseColour(const std::string& text, Colour current) {
    float* components[4] = {&current.r, &current.g, &current.b, &current.a};
    // The last character never separates fields: a trailing comma stays in the last field.
    const std::size_t searchable = text.empty() ? 0 : text.size() - 1;
    std::size_t start = 0;
    for (int field = 0; field < 4; ++field) {
        std::size_t comma = text.find(',', start);
        if (comma != std::string::npos && comma >= searchable) comma = std::string::npos;
        const std::string value = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        if (!Trim(value).empty()) {
            const auto number = ParseReal(value);
            if (!number) throw Exception("'" + Visible(value) + "' is not a valid floating point value");
            *components[field] = *number / 255.0f;
        }
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return current;
}

void ReadSceneDescription(IProfileReader& profile, TSceneSettings& s, bool& logFile, IProcessPriority& process,
                          const std::string& file) {
    SectionReader view(profile, file, kView.Text());
    const bool farRead = view.Real(kFarDistance, s.FarDistance);
    const bool nearRead = view.Real(kNearDistance, s.NearDistance);
    const bool fieldOfViewRead = view.Real(kFieldOfView, s.FieldOfView);
    // The projection takes no other: OpenGL refuses it with an error that names no entry.
    if (nearRead && !(s.NearDistance > 0 && s.NearDistance < s.FarDistance))
        view.Refuse(kNearDistance, s.NearDistance, "the near distance must be above 0 and below the far distance (" +
                                                       FormatNumber(s.FarDistance) + ")");
    if (farRead && !(s.FarDistance > s.NearDistance && s.FarDistance > 0))
        view.Refuse(kFarDistance, s.FarDistance,
                    "the far distance must be beyond the near distance (" + FormatNumber(s.NearDistance) + ")");
    if (fieldOfViewRead && !(s.FieldOfView > 0 && s.FieldOfView < 180))
        view.Refuse(kFieldOfView, s.FieldOfView, "the field of view must be an angle above 0 and below 180 degrees");
    view.Real(kFadeStart, s.FadeStart);
    view.Real(kFadeEnd, s.FadeEnd);
    view.Color(kAmbientColor, s.AmbientColor);
    view.Color(kLightColor, s.LightColor);

    SectionReader landscape(profile, file, kLandscape.Text());
    landscape.Real(kSurfaceCausticsOpacity, s.SurfaceCausticsAlpha);
    landscape.Real(kBottomCausticsOpacity, s.BottomCausticsAlpha);
    landscape.Real(kBottomHeight, s.BottomY);
    landscape.Real(kSurfaceHeight, s.SurfaceY);
    landscape.Text(kBottomModel, s.BottomModelName);

    SectionReader bubbles(profile, file, kBubbles.Text());
    bubbles.Real(kNearestDepth, s.BubbleDepthMin);
    bubbles.Real(kFarthestDepth, s.BubbleDepthMax);
    bubbles.Real(kHighestSpeed, s.BubbleSpeedMax);
    bubbles.Real(kLowestSpeed, s.BubbleSpeedMin);
    bubbles.Text(kModel, s.BubbleModelName);
    bubbles.Text(kColorImage, s.BubbleTextureName);
    bubbles.Text(kAlphaImage, s.BubbleAlphaName);

    SectionReader fish(profile, file, kFish.Text());
    fish.Real(kShineOpacity, s.ShineAlpha);
    fish.Text(kShineImage, s.ShineTextureName);
    fish.Integer(kSpeciesCount, s.SpeciesCount);
    // Fewer than none makes no sense either: a negative count builds no species.
    if (s.SpeciesCount > kMaxSpecies) s.SpeciesCount = kMaxSpecies;
    if (s.SpeciesCount < 0) s.SpeciesCount = 0;
    for (int k = 1; k <= s.SpeciesCount; ++k) {
        TFishSpecies& slot = s.Species[k - 1];
        slot.Name = "Chelmon";
        fish.Text(kSpeciesName.Text() + std::to_string(k), slot.Name);
        // A slot past the built-in ones has no files of its own: one named after a built-in
        // species starts as that species.
        if (slot.TextureFile.empty() && slot.FrameListFile.empty())
            if (const TFishSpecies* builtIn = BuiltInSpecies(slot.Name)) {
                std::string name = std::move(slot.Name);
                slot = *builtIn;
                slot.Name = std::move(name);
            }
        SectionReader species(profile, file, slot.Name);
        species.Text(kTexture, slot.TextureFile);
        species.Text(kFrameList, slot.FrameListFile);
        species.Real(kNearestDepth, slot.DepthMin);
        species.Real(kFarthestDepth, slot.DepthMax);
        species.Real(kHighestSpeed, slot.SpeedMax);
        species.Real(kLowestSpeed, slot.SpeedMin);
        species.Real(kLowestHeight, slot.HeightMin);
        species.Real(kHighestHeight, slot.HeightMax);
        // Without a file the scene could only say "Resource  not found", naming nothing.
        if (slot.TextureFile.empty() || slot.FrameListFile.empty()) {
            std::string missing = slot.TextureFile.empty() ? kTexture.Text() : "";
            if (slot.FrameListFile.empty()) missing += (missing.empty() ? "" : " and ") + kFrameList.Text();
            throw Exception("The scene description file's [" + kFish.Text() + "] " + kSpeciesCount.Text() + " gives " +
                            std::to_string(s.SpeciesCount) + " species (at most " + std::to_string(kMaxSpecies) +
                            "), but species " + std::to_string(k) + " has no " + missing + " in its section [" +
                            Visible(slot.Name) + "].");
        }
    }

    for (int t = 0; t < kThemeCount; ++t) {
        TWaterTheme& theme = s.Themes[t];
        SectionReader section(profile, file, kTheme.Text() + std::to_string(t + 1));
        section.Color(kClearColor, theme.ClearColor);
        section.Color(kUpperColor, theme.UpperColor);
        section.Color(kLowerColor, theme.LowerColor);
        section.Color(kFishColor, theme.FishColor);
        section.Color(kBubbleColor, theme.BubbleColor);
        section.Text(kBottomImage, theme.BottomTextureName);
        section.Text(kWaterImage, theme.WaterTextureName);
        section.Text(kCausticsImage, theme.CausticsTextureName);
    }

    SectionReader general(profile, file, kGeneral.Text());
    general.Integer(kPriority, s.Priority);
    ApplyPriority(s.Priority, process);
    int log = 0;  // a file without the entry turns logging off
    general.Integer(kLog, log);
    logFile = log != 0;
}

void ReadSceneDescription(const TProfileOpener& open, const std::string& path, TSceneSettings& settings,
                          bool& logFile, IProcessPriority& process) {
    if (auto profile = open(path)) ReadSceneDescription(*profile, settings, logFile, process, path);
}
