#pragma once
// The drawing of one tank into the current view, with the projection and the camera already
// set: the background (layers, caustics, fades, backdrop), each species' opaque and translucent
// pass with its shine, and the bubbles.
#include <cstdint>

#include "gl/arrays.h"
#include "scene/aquarium_assets.h"
#include "scene/layer_math.h"
#include "scene/scene_settings.h"
#include "scene/tank.h"

// How a tank is seen: the scene's values, its water theme and that theme's pictures, the extent
// of the tank's whole view in pixels (the backdrop spans it) and how the layers are drawn.
struct TTankLook {
    const TSceneSettings& Settings;
    const TWaterTheme& Theme;
    TThemeTextures& Textures;
    std::int32_t Width = 0, Height = 0;
    // Each water layer, its caustics and its fade in one pass on three texture units.
    bool SinglePassLayers = false;
};

class TTankDrawing {
public:
    void Draw(TAquariumAssets& assets, TTank& tank, const TTankLook& look);

    // Since the last Reset: fish drawn (pass 0) and sphere-mapped shine passes.
    void Reset() { FishDrawn = ShinePasses = 0; }
    std::int32_t FishDrawn = 0;
    std::int32_t ShinePasses = 0;

private:
    void DrawBackground(TAquariumAssets& assets, const TTankLook& look);
    void DrawFade(TGLPrimitive& layer, const Colour& colour, float height, const TLayerTiles& tiles,
                  const TSceneSettings& settings);
    void DrawWaterLayer(TGLPrimitive& layer, TGLTexture* texture, const TGLPrimitive& caustics,
                        TGLTexture* causticsTexture, float opacity, TGLPrimitive& fade, const Colour& fadeColour,
                        float height, const TLayerTiles& tiles, const TSceneSettings& settings);
    void DrawSpecies(TAquariumAssets& assets, const TSpeciesAssets& species, TFishes& fishes, int pass,
                     const TTankLook& look);

    // Indices of the fade triangles with some opacity; the rest change no pixel.
    TGLIndexDArray visibleFade_;
};
