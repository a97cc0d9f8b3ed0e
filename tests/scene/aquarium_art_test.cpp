#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "platform/services.h"
#include "scene/aquarium_assets.h"
#include "scene/model_import_assets.h"

namespace {

class NoPriority final : public IProcessPriority {
public:
    void SetNormal() override {}
    void SetHigh() override {}
};

// The embedded art imports as the scene expects it: the bottom a flat grid facing up from the
// camera plane to the far distance, the bubble a 200 x 200 square facing the camera, every fish
// a body and a translucent part with one animation each, and every texture present.
TEST(AquariumArt, TheEmbeddedArtBuildsTheScene) {
    NoPriority priority;
    TSceneSettings settings;
    SetSceneDefaults(settings, priority);
    TScopedResourceFinder resources(ProgramResources());
    ModelImportAssets().PointAt("");
    TAquariumAssets scene(ModelImportAssets(), settings);

    const TGLPrimitive& bottom = *scene.BottomModel;
    EXPECT_EQ(bottom.Vertices.Count(), 25);
    EXPECT_EQ(bottom.Indices.Count(), 32 * 3);
    float minX = 0, maxX = 0, minZ = 0, maxZ = -1;
    for (const Vector& v : bottom.Vertices.View()) {
        EXPECT_NEAR(v.y, 0.0f, 0.01f);
        minX = std::min(minX, v.x), maxX = std::max(maxX, v.x);
        minZ = std::min(minZ, v.z), maxZ = std::max(maxZ, v.z);
    }
    EXPECT_NEAR(minX, -15000.0f, 0.5f);
    EXPECT_NEAR(maxX, 15000.0f, 0.5f);
    EXPECT_NEAR(minZ, -10000.0f, 0.5f);
    EXPECT_NEAR(maxZ, 0.0f, 0.5f);
    ASSERT_GT(bottom.Normals.Count(), 0);
    EXPECT_GT(bottom.Normals.Items()[0].y, 0.99f);

    const TGLPrimitive& bubble = *scene.BubbleModel;
    for (const Vector& v : bubble.Vertices.View()) {
        EXPECT_NEAR(std::abs(v.x), 100.0f, 0.01f);
        EXPECT_NEAR(std::abs(v.y), 100.0f, 0.01f);
        EXPECT_NEAR(v.z, 0.0f, 0.01f);
    }
    ASSERT_NE(scene.BubbleTexture, nullptr);
    EXPECT_EQ(scene.BubbleTexture->Format(), tfRGBA);
    EXPECT_NE(scene.ShineTexture, nullptr);

    for (int i = 0; i < 3; ++i) {
        const TSpeciesAssets& species = scene.Species.at(static_cast<std::size_t>(i));
        EXPECT_NE(species.Texture, nullptr) << i;
        ASSERT_NE(species.Primitives, nullptr);
        EXPECT_EQ(species.Primitives->Count(), 2) << i;
        EXPECT_EQ(species.Animations->Count(), 2) << i;
    }
    for (int t = 0; t < 3; ++t) {
        const TThemeTextures& textures = scene.LoadThemeTextures(t, settings.Themes[static_cast<std::size_t>(t)]);
        EXPECT_NE(textures.BottomTexture, nullptr) << t;
        EXPECT_NE(textures.WaterTexture, nullptr) << t;
        EXPECT_NE(textures.CausticsTexture, nullptr) << t;
    }
}

}  // namespace
