#include "scene/scene_description.h"

#include <charconv>
#include <cmath>

#include "app/exception.h"
#include "scene/scrambled.h"

namespace {

// Section and key names, stored complemented (see scrambled.h). The plain names are listed
// for users in the README.
constexpr auto kView = Scramble("View");
constexpr auto kFarDistance = Scramble("FarDistance");
constexpr auto kNearDistance = Scramble("NearDistance");
constexpr auto kFieldOfView = Scramble("FieldOfView");
constexpr auto kFadeStart = Scramble("FadeStart");
constexpr auto kFadeEnd = Scramble("FadeEnd");
constexpr auto kAmbientColor = Scramble("AmbientColor");
constexpr auto kLightColor = Scramble("LightColor");

constexpr auto kLandscape = Scramble("Landscape");
constexpr auto kSurfaceCausticsOpacity = Scramble("SurfaceCausticsOpacity");
constexpr auto kBottomCausticsOpacity = Scramble("BottomCausticsOpacity");
constexpr auto kBottomHeight = Scramble("BottomHeight");
constexpr auto kSurfaceHeight = Scramble("SurfaceHeight");
constexpr auto kBottomModel = Scramble("BottomModel");

constexpr auto kBubbles = Scramble("Bubbles");
constexpr auto kNearestDepth = Scramble("NearestDepth");
constexpr auto kFarthestDepth = Scramble("FarthestDepth");
constexpr auto kHighestSpeed = Scramble("HighestSpeed");
constexpr auto kLowestSpeed = Scramble("LowestSpeed");
constexpr auto kModel = Scramble("Model");
constexpr auto kColorImage = Scramble("ColorImage");
constexpr auto kAlphaImage = Scramble("AlphaImage");

constexpr auto kFish = Scramble("Fish");
constexpr auto kShineOpacity = Scramble("ShineOpacity");
constexpr auto kShineImage = Scramble("ShineImage");
constexpr auto kSpeciesCount = Scramble("SpeciesCount");
constexpr auto kSpeciesName = Scramble("Species");
constexpr auto kTexture = Scramble("Texture");
constexpr auto kFrameList = Scramble("FrameList");
constexpr auto kLowestHeight = Scramble("LowestHeight");
constexpr auto kHighestHeight = Scramble("HighestHeight");

constexpr auto kTheme = Scramble("Theme");
constexpr auto kClearColor = Scramble("ClearColor");
constexpr auto kUpperColor = Scramble("UpperColor");
constexpr auto kLowerColor = Scramble("LowerColor");
constexpr auto kFishColor = Scramble("FishColor");
constexpr auto kBubbleColor = Scramble("BubbleColor");
constexpr auto kBottomImage = Scramble("BottomImage");
constexpr auto kWaterImage = Scramble("WaterImage");
constexpr auto kCausticsImage = Scramble("CausticsImage");

constexpr auto kGeneral = Scramble("General");
constexpr auto kPriority = Scramble("Priority");
constexpr auto kLog = Scramble("Log");

std::string Trim(const std::string& s) {
    const auto begin = s.find_first_not_of(" \t");
    if (begin == std::string::npos) return "";
    const auto end = s.find_last_not_of(" \t");
    return s.substr(begin, end - begin + 1);
}

// Reads the entries of one section into the settings.
class SectionReader {
public:
    SectionReader(IProfileReader& profile, std::string section) : profile_(profile), section_(std::move(section)) {}

    template <std::size_t N>
    void Real(const Scrambled<N>& key, float& value) {
        if (auto text = profile_.Read(section_, key.Plain()))
            if (auto number = ParseReal(*text)) value = *number;
    }
    template <std::size_t N>
    void Integer(const Scrambled<N>& key, int& value) {
        if (auto text = profile_.Read(section_, key.Plain()))
            if (auto number = ParseInteger(*text)) value = *number;
    }
    template <std::size_t N>
    void Text(const Scrambled<N>& key, std::string& value) {
        if (auto text = profile_.Read(section_, key.Plain())) value = *text;
    }
    void Text(const std::string& key, std::string& value) {
        if (auto text = profile_.Read(section_, key)) value = *text;
    }
    template <std::size_t N>
    void Color(const Scrambled<N>& key, Colour& value) {
        if (auto text = profile_.Read(section_, key.Plain())) value = ParseColour(*text, value);
    }

private:
    IProfileReader& profile_;
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
            if (!number) throw Exception("'" + value + "' is not a valid floating point value");
            *components[field] = *number / 255.0f;
        }
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return current;
}

void ReadSceneDescription(IProfileReader& profile, TSceneSettings& s, bool& logFile, IProcessPriority& process) {
    SectionReader view(profile, kView.Plain());
    view.Real(kFarDistance, s.FarDistance);
    view.Real(kNearDistance, s.NearDistance);
    view.Real(kFieldOfView, s.FieldOfView);
    view.Real(kFadeStart, s.FadeStart);
    view.Real(kFadeEnd, s.FadeEnd);
    view.Color(kAmbientColor, s.AmbientColor);
    view.Color(kLightColor, s.LightColor);

    SectionReader landscape(profile, kLandscape.Plain());
    landscape.Real(kSurfaceCausticsOpacity, s.SurfaceCausticsAlpha);
    landscape.Real(kBottomCausticsOpacity, s.BottomCausticsAlpha);
    landscape.Real(kBottomHeight, s.BottomY);
    landscape.Real(kSurfaceHeight, s.SurfaceY);
    landscape.Text(kBottomModel, s.BottomModelName);

    SectionReader bubbles(profile, kBubbles.Plain());
    bubbles.Real(kNearestDepth, s.BubbleDepthMin);
    bubbles.Real(kFarthestDepth, s.BubbleDepthMax);
    bubbles.Real(kHighestSpeed, s.BubbleSpeedMax);
    bubbles.Real(kLowestSpeed, s.BubbleSpeedMin);
    bubbles.Text(kModel, s.BubbleModelName);
    bubbles.Text(kColorImage, s.BubbleTextureName);
    bubbles.Text(kAlphaImage, s.BubbleAlphaName);

    SectionReader fish(profile, kFish.Plain());
    fish.Real(kShineOpacity, s.ShineAlpha);
    fish.Text(kShineImage, s.ShineTextureName);
    fish.Integer(kSpeciesCount, s.SpeciesCount);
    // Fewer than none makes no sense either: a negative count builds no species.
    if (s.SpeciesCount > kMaxSpecies) s.SpeciesCount = kMaxSpecies;
    if (s.SpeciesCount < 0) s.SpeciesCount = 0;
    for (int k = 1; k <= s.SpeciesCount; ++k) {
        TFishSpecies& slot = s.Species[k - 1];
        slot.Name = "Chelmon";
        fish.Text(kSpeciesName.Plain() + std::to_string(k), slot.Name);
        SectionReader species(profile, slot.Name);
        species.Text(kTexture, slot.TextureFile);
        species.Text(kFrameList, slot.FrameListFile);
        species.Real(kNearestDepth, slot.DepthMin);
        species.Real(kFarthestDepth, slot.DepthMax);
        species.Real(kHighestSpeed, slot.SpeedMax);
        species.Real(kLowestSpeed, slot.SpeedMin);
        species.Real(kLowestHeight, slot.HeightMin);
        species.Real(kHighestHeight, slot.HeightMax);
    }

    for (int t = 0; t < kThemeCount; ++t) {
        TWaterTheme& theme = s.Themes[t];
        SectionReader section(profile, kTheme.Plain() + std::to_string(t + 1));
        section.Color(kClearColor, theme.ClearColor);
        section.Color(kUpperColor, theme.UpperColor);
        section.Color(kLowerColor, theme.LowerColor);
        section.Color(kFishColor, theme.FishColor);
        section.Color(kBubbleColor, theme.BubbleColor);
        section.Text(kBottomImage, theme.BottomTextureName);
        section.Text(kWaterImage, theme.WaterTextureName);
        section.Text(kCausticsImage, theme.CausticsTextureName);
    }

    SectionReader general(profile, kGeneral.Plain());
    general.Integer(kPriority, s.Priority);
    ApplyPriority(s.Priority, process);
    int log = 0;  // a file without the entry turns logging off
    general.Integer(kLog, log);
    logFile = log != 0;
}

void ReadSceneDescription(const std::string& path, TSceneSettings& settings, bool& logFile,
                          IProcessPriority& process) {
    if (auto profile = OpenProfileFile(path)) ReadSceneDescription(*profile, settings, logFile, process);
}
