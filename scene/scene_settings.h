#pragma once
// Everything that shapes the aquarium before it is built: view, light, layers, bubbles, the
// three water themes and the fish species. Plain values; the objects built from them (textures,
// models, particle containers) belong to the scene.
#include <array>
#include <string>

#include "gl/types.h"

inline constexpr int kThemeCount = 3;
inline constexpr int kMaxSpecies = 20;

struct TWaterTheme {
    Colour ClearColor;
    Colour UpperColor;
    Colour LowerColor;
    Colour BubbleColor;
    Colour FishColor;
    std::string BottomTextureName;
    std::string WaterTextureName;
    std::string CausticsTextureName;
};

struct TFishSpecies {
    std::string Name;
    std::string TextureFile;
    std::string FrameListFile;
    float DepthMax = 6500;
    float DepthMin = 100;
    float HeightMax = 2500;
    float HeightMin = -2000;
    float SpeedMax = 350;
    float SpeedMin = 100;
};

struct TSceneSettings {
    float FarDistance;
    float NearDistance;
    float FieldOfView;
    float FadeStart;
    float FadeEnd;
    Colour AmbientColor;
    Colour LightColor;
    float BottomY;
    float SurfaceY;
    float SurfaceCausticsAlpha;
    float BottomCausticsAlpha;
    float ShineAlpha;
    float BubbleDepthMin;
    float BubbleDepthMax;
    float BubbleSpeedMax;
    float BubbleSpeedMin;
    std::string BottomModelName;
    std::string BubbleModelName;
    std::string BubbleTextureName;
    std::string BubbleAlphaName;
    std::string ShineTextureName;
    int SpeciesCount;
    int Priority;
    std::array<TWaterTheme, kThemeCount> Themes;
    std::array<TFishSpecies, kMaxSpecies> Species;
};

// The process priority class the scene asks for: 1 normal, 2 or 3 high, anything else leaves
// the class alone.
class IProcessPriority {
public:
    virtual ~IProcessPriority() = default;
    virtual void SetNormal() = 0;
    virtual void SetHigh() = 0;
};

void ApplyPriority(int priority, IProcessPriority& process);

// Every setting, theme and species slot to its built-in value; the process priority from it.
void SetSceneDefaults(TSceneSettings& settings, IProcessPriority& process);

// The built-in species of that name (Centropyge, Chelmon, Zebrasoma; any case), or null.
const TFishSpecies* BuiltInSpecies(const std::string& name);

// Names of the three themes as the settings dialog lists them.
extern const std::array<const char*, kThemeCount> kThemeNames;

// The refusal to start on a desktop of another colour depth; desktopName as the display driver
// calls it.
std::string ColorDepthWarning(const std::string& desktopName);
