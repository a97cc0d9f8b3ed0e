#pragma once
// TAquariumAssets: what every tank is drawn with and none owns. The water layers with their
// caustics and fades, the backdrop, the bubble model, the species' animated models and textures,
// the light and the fish material; a theme's pictures are read when it is first drawn. Made once
// per run from the scene settings; its textures go to each new rendering context again.
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "app/timing.h"
#include "gl/animation.h"
#include "gl/light.h"
#include "gl/material.h"
#include "gl/primitive.h"
#include "gl/texture.h"
#include "scene/scene_assets.h"
#include "scene/scene_settings.h"

// One species' model and picture. The animations point at the primitives, so they go first.
struct TSpeciesAssets {
    std::unique_ptr<TGLTexture> Texture;
    std::unique_ptr<TGLPrimitiveList> Primitives;
    std::unique_ptr<TAnimationList> Animations;
};

// The three textures of a water theme, read when the theme is first drawn: a run shows one
// theme, unless the dialog's theme list changes it.
struct TThemeTextures {
    bool Loaded = false;
    std::unique_ptr<TGLTexture> CausticsTexture;
    std::unique_ptr<TGLTexture> BottomTexture;
    std::unique_ptr<TGLTexture> WaterTexture;
};

class TAquariumAssets {
public:
    // Reads the models and pictures that the settings name, through loader (already pointed at
    // the program); throws when a model is missing.
    TAquariumAssets(ISceneAssets& loader, const TSceneSettings& settings);
    TAquariumAssets(const TAquariumAssets&) = delete;
    TAquariumAssets& operator=(const TAquariumAssets&) = delete;

    std::unique_ptr<TGLPrimitive> BubbleModel;
    std::unique_ptr<TGLPrimitive> BottomModel;
    std::unique_ptr<TGLPrimitive> SurfaceModel;
    std::unique_ptr<TGLPrimitive> BottomCaustics;
    std::unique_ptr<TGLPrimitive> SurfaceCaustics;
    std::unique_ptr<TGLPrimitive> BottomFade;
    std::unique_ptr<TGLPrimitive> SurfaceFade;
    std::unique_ptr<TGLPrimitive> Backdrop;
    std::unique_ptr<TGLTexture> ShineTexture;
    std::unique_ptr<TGLTexture> BubbleTexture;
    // The built species, SpeciesCount of the settings at most kMaxSpecies.
    std::vector<TSpeciesAssets> Species;
    std::unique_ptr<TGLLight> Light = std::make_unique<TGLLight>();
    std::unique_ptr<TGLMaterial> Material = std::make_unique<TGLMaterial>();

    // As they are: empty until the theme was drawn or loaded.
    const TThemeTextures& ThemeTextures(int index) const { return themes_.at(static_cast<std::size_t>(index)); }
    // Reads the theme's pictures unless they were read already.
    TThemeTextures& LoadThemeTextures(int index, const TWaterTheme& theme);

    // DeleteName on every texture, so the next context uploads them again.
    void ReleaseTextureObjects();
    // Each texture's image is freed once it is uploaded, as no later context could upload it again.
    void FreeImagesAfterUpload();

    // What moves in every tank alike: the caustics drift by dt seconds and each species takes the
    // pose of the clock's time, read anew for each.
    void Advance(float dt, TTimerPro& clock);
    void StartAnimations(TTimerPro& clock);

private:
    template <typename F>
    void ForEachTexture(F&& f);

    ISceneAssets& loader_;
    std::array<TThemeTextures, kThemeCount> themes_;
    bool freeImagesAfterUpload_ = false;
};
