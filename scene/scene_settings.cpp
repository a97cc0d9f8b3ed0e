#include "scene/scene_settings.h"

#include <algorithm>
#include <cctype>

const std::array<const char*, kThemeCount> kThemeNames = {"Blue Water", "Aquamarine Water", "Green Water"};

std::string ColorDepthWarning(const std::string& desktopName) {
    return "Warning! This Screen Saver needs High Color (16 bits) or True Color (32 bits) to work in Preview "
           "Mode.\r\n Change the Color Depth of your " +
           desktopName + " to run it!";
}

namespace {

constexpr float Byte(int n) { return static_cast<float>(n) / 255.0f; }

TWaterTheme Theme(Colour clear, Colour upper, Colour lower, Colour bubble, Colour fish, const char* bottom,
                  const char* water, const char* caustics) {
    return {clear, upper, lower, bubble, fish, bottom, water, caustics};
}

TFishSpecies Species(const char* name, const char* texture, const char* frames, float depthMin, float depthMax,
                     float speedMin, float speedMax) {
    TFishSpecies s;
    s.Name = name;
    s.TextureFile = texture;
    s.FrameListFile = frames;
    s.DepthMin = depthMin;
    s.DepthMax = depthMax;
    s.HeightMin = -2000;
    s.HeightMax = 2500;
    s.SpeedMin = speedMin;
    s.SpeedMax = speedMax;
    return s;
}

const std::array<TFishSpecies, 3>& BuiltInSpeciesList() {
    static const std::array<TFishSpecies, 3> list = {
        Species("Centropyge", "centropyge.jpg", "centropyge.mfl", 300, 5000, 150, 300),
        Species("Chelmon", "chelton.jpg", "chelton.mfl", 500, 10000, 200, 400),
        Species("Zebrasoma", "zebrasoma.jpg", "zebrasoma.mfl", 500, 10000, 200, 400)};
    return list;
}

bool SameName(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

}  // namespace

const TFishSpecies* BuiltInSpecies(const std::string& name) {
    for (const TFishSpecies& species : BuiltInSpeciesList())
        if (SameName(species.Name, name)) return &species;
    return nullptr;
}

void ApplyPriority(int priority, IProcessPriority& process) {
    if (priority == 1)
        process.SetNormal();
    else if (priority == 2 || priority == 3)
        process.SetHigh();
}

void SetSceneDefaults(TSceneSettings& s, IProcessPriority& process) {
    s.FarDistance = 10000;
    s.NearDistance = 100;
    s.FieldOfView = 75;
    s.FadeStart = 6000;
    s.FadeEnd = 10000;
    s.AmbientColor = {0.6f, 0.6f, 0.6f, 1};
    s.LightColor = {0.4f, 0.4f, 0.4f, 1};
    s.BottomY = -3000;
    s.SurfaceY = 5000;
    s.SurfaceCausticsAlpha = 0.65f;
    s.BottomCausticsAlpha = 0.35f;
    s.ShineAlpha = 0;
    s.BubbleDepthMin = 1200;
    s.BubbleDepthMax = 7000;
    s.BubbleSpeedMax = 500;
    s.BubbleSpeedMin = 100;
    s.BottomModelName = "dnoK00f.3dm";
    s.BubbleModelName = "Puzir00f.3dm";
    s.BubbleTextureName = "puzir.jpg";
    s.BubbleAlphaName = "puzirA.jpg";
    s.ShineTextureName = "caust5.jpg";
    s.SpeciesCount = 3;
    s.Priority = 1;

    s.Themes[0] = Theme({0, 0.416f, 0.612f, 1}, {0, Byte(120), Byte(200), 1}, {0, Byte(80), Byte(140), 1},
                        {0.784f, 0.902f, 1, 1}, {0.804f, 0.882f, 1, 0.7843f}, "dno02.jpg", "voda2.jpg", "caust2.jpg");
    s.Themes[1] = Theme({0, 0.6f, 0.6824f, 1}, {0, Byte(170), Byte(181), 1}, {0, Byte(115), Byte(135), 1},
                        {0.784f, 1, 1, 1}, {0.7255f, 0.961f, 1, 0.7843f}, "Pesok01.jpg", "voda1.jpg", "caust1.jpg");
    s.Themes[2] = Theme({0, 0.624f, 0.459f, 1}, {0, Byte(180), Byte(140), 1}, {0, Byte(130), Byte(70), 1},
                        {0.784f, 1, 0.902f, 1}, {0.804f, 1, 0.961f, 0.7843f}, "dno03.jpg", "voda3.jpg", "caust3.jpg");

    for (auto& slot : s.Species) slot = TFishSpecies{};
    std::copy(BuiltInSpeciesList().begin(), BuiltInSpeciesList().end(), s.Species.begin());

    ApplyPriority(s.Priority, process);
}
