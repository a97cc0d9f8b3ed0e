#include "scene/aquarium_assets.h"

#include <algorithm>

#include "app/exception.h"
#include "scene/layer_math.h"

namespace {

std::unique_ptr<TGLPrimitive> CopyOf(const TGLPrimitive& source) {
    TGLPrimitive* copy = nullptr;
    source.AssignTo(copy);
    return std::unique_ptr<TGLPrimitive>(copy);
}

// A layer copy with one colour entry per vertex (white until the first fade).
std::unique_ptr<TGLPrimitive> FadeCopyOf(const TGLPrimitive& source) {
    auto fade = CopyOf(source);
    fade->Colors.SetCount(fade->Vertices.Count());
    for (auto& c : fade->Colors.View()) c = {1.0f, 1.0f, 1.0f, 1.0f};
    return fade;
}

// A unit quad; every frame places it at the far distance and colours it.
std::unique_ptr<TGLPrimitive> MakeBackdrop() {
    auto backdrop = std::make_unique<TGLPrimitive>();
    backdrop->SetType(ptTriangles);
    backdrop->Colors.SetCount(1);
    backdrop->Colors.Items()[0] = {1.0f, 1.0f, 1.0f, 1.0f};
    const Vector corners[4] = {{-1, 1, 0}, {-1, -1, 0}, {1, -1, 0}, {1, 1, 0}};
    backdrop->Vertices.SetCount(4);
    std::copy(corners, corners + 4, backdrop->Vertices.Items());
    const Index triangles[6] = {0, 1, 2, 0, 2, 3};
    backdrop->Indices.SetFromArray(triangles);
    const TexCoord coords[4] = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};
    backdrop->TexCoords.SetCount(4);
    std::copy(coords, coords + 4, backdrop->TexCoords.Items());
    backdrop->Normals.SetCount(1);
    backdrop->Normals.Items()[0] = {0, 1, 0};
    return backdrop;
}

}  // namespace

TAquariumAssets::TAquariumAssets(ISceneAssets& loader, const TSceneSettings& settings) : loader_(loader) {
    BubbleModel = loader_.Load3DMPrimitive(settings.BubbleModelName);
    BottomModel = loader_.Load3DMPrimitive(settings.BottomModelName);
    if (!BubbleModel) throw Exception("BuildScene: no model in " + settings.BubbleModelName);
    if (!BottomModel) throw Exception("BuildScene: no model in " + settings.BottomModelName);

    BottomCaustics = CopyOf(*BottomModel);
    BottomFade = FadeCopyOf(*BottomModel);
    SurfaceModel = CopyOf(*BottomModel);
    SurfaceModel->RotateZ(180.0f);
    SurfaceModel->CalcNormals();
    SurfaceCaustics = CopyOf(*SurfaceModel);
    SurfaceFade = FadeCopyOf(*SurfaceModel);
    Backdrop = MakeBackdrop();

    ShineTexture = loader_.TextureFromFile(settings.ShineTextureName);
    Species.resize(static_cast<std::size_t>(std::clamp(settings.SpeciesCount, 0, kMaxSpecies)));
    for (std::size_t i = 0; i < Species.size(); ++i) {
        const TFishSpecies& slot = settings.Species[i];
        TSpeciesAssets& species = Species[i];
        species.Texture = loader_.TextureFromFile(slot.TextureFile);
        // The fish use the species texture and the scene material, not the model's own.
        std::unique_ptr<TGLTextureList> textures;
        std::unique_ptr<TGLMaterialList> materials;
        loader_.LoadMFL(slot.FrameListFile, textures, materials, species.Animations, species.Primitives);
    }
    BubbleTexture = loader_.TextureWithAlphaFromFiles(settings.BubbleTextureName, settings.BubbleAlphaName);
}

TThemeTextures& TAquariumAssets::LoadThemeTextures(int index, const TWaterTheme& theme) {
    TThemeTextures& textures = themes_.at(static_cast<std::size_t>(index));
    if (textures.Loaded) return textures;
    textures.CausticsTexture = loader_.TextureFromFile(theme.CausticsTextureName);
    textures.BottomTexture = loader_.TextureFromFile(theme.BottomTextureName);
    textures.WaterTexture = loader_.TextureFromFile(theme.WaterTextureName);
    textures.Loaded = true;
    for (auto* texture : {textures.CausticsTexture.get(), textures.BottomTexture.get(), textures.WaterTexture.get()})
        if (texture) texture->SetKeepPixels(!freeImagesAfterUpload_);
    return textures;
}

template <typename F>
void TAquariumAssets::ForEachTexture(F&& f) {
    for (auto& species : Species)
        if (species.Texture) f(*species.Texture);
    if (ShineTexture) f(*ShineTexture);
    if (BubbleTexture) f(*BubbleTexture);
    for (auto& theme : themes_)
        for (auto* texture : {theme.CausticsTexture.get(), theme.BottomTexture.get(), theme.WaterTexture.get()})
            if (texture) f(*texture);
}

void TAquariumAssets::ReleaseTextureObjects() {
    ForEachTexture([](TGLTexture& texture) { texture.DeleteName(); });
}

void TAquariumAssets::FreeImagesAfterUpload() {
    freeImagesAfterUpload_ = true;
    ForEachTexture([](TGLTexture& texture) { texture.SetKeepPixels(false); });
}

void TAquariumAssets::Advance(float dt, TTimerPro& clock) {
    ScrollTextureCoords(SurfaceCaustics->TexCoords, -0.1f * dt, 0.1f * dt);
    ScrollTextureCoords(BottomCaustics->TexCoords, 0.1f * dt, 0.1f * dt);
    for (TSpeciesAssets& species : Species) {
        if (!species.Animations) continue;
        species.Animations->SetTime(clock.Elapsed().AsSeconds());
        // Every animated part (body and fins) is lit by the normals of its current pose.
        for (std::int32_t a = 0; a < species.Animations->Count(); ++a) {
            auto* animated = dynamic_cast<TGLPrimiteveItemsAnimation*>(species.Animations->Get(a));
            if (animated && animated->Primitive) animated->Primitive->CalcNormals();
        }
    }
}

void TAquariumAssets::StartAnimations(TTimerPro& clock) {
    for (TSpeciesAssets& species : Species)
        if (species.Animations) species.Animations->Start(clock.Elapsed().AsSeconds());
}
