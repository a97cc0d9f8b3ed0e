// A tank is drawn from the assets and itself alone: no aquarium around it, no other tank.
#include <gtest/gtest.h>

#include "fake_scene_assets.h"
#include "gl/gl_api.h"
#include "gl/viewport.h"
#include "scene/tank_drawing.h"
#include "sim/random.h"
#include "support/gl_test_context.h"

namespace {

class NoPriority final : public IProcessPriority {
public:
    void SetNormal() override {}
    void SetHigh() override {}
};

TEST(TankDrawing, ATankOnItsOwnDrawsItsFishOverAViewFilledWithWater) {
    GLTestContext context(128, 32);
    RandomSeed = 7;
    FillRandomTable();
    NoPriority priority;
    TSceneSettings settings;
    SetSceneDefaults(settings, priority);
    FakeSceneAssets loader;
    TAquariumAssets assets(loader, settings);
    TTank tank(TankRanges(settings));
    tank.Size.Width = 128;
    tank.Size.Height = 32;
    tank.WarmUp(9, 5);

    TGLViewport viewport;
    viewport.SetBounds(0, 0, 128, 32);
    viewport.SetPerspective(settings.FieldOfView, 128.0 / 32.0, settings.NearDistance, settings.FarDistance);
    viewport.Apply();
    gl.ClearColor(0, 0, 0, 1);
    gl.Clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    gl.MatrixMode(GL_MODELVIEW);
    gl.LoadIdentity();
    TTankDrawing drawing;
    const TWaterTheme& theme = settings.Themes[1];
    drawing.Draw(assets, tank,
                 {.Settings = settings,
                  .Theme = theme,
                  .Textures = assets.LoadThemeTextures(1, theme),
                  .Width = 128,
                  .Height = 32});
    ASSERT_EQ(gl.GetError(), static_cast<GLenum>(GL_NO_ERROR));

    EXPECT_EQ(drawing.FishDrawn, 9);
    EXPECT_EQ(tank.Bubbles().Count, 5);
    // Surface, bottom and backdrop leave no pixel at the clear colour.
    const std::vector<std::uint8_t> pixels = context.ReadPixels();
    int black = 0;
    for (std::size_t i = 0; i < pixels.size(); i += 4) black += pixels[i] + pixels[i + 1] + pixels[i + 2] == 0;
    EXPECT_EQ(black, 0);
}

}  // namespace
