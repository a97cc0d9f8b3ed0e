#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "fake_scene_assets.h"
#include "gl/gl_api.h"
#include "platform/services.h"
#include "scene/aquarium_scene.h"
#include "sim/random.h"
#include "support/fake_clock.h"
#include "support/test_drawing_window.h"

namespace {

class FakePriority final : public IProcessPriority {
public:
    std::vector<std::string> calls;
    void SetNormal() override { calls.push_back("normal"); }
    void SetHigh() override { calls.push_back("high"); }
};

Rgb8 ToRgb8(const Colour& c) {
    auto byte = [](float v) { return static_cast<std::uint8_t>(std::lround(v * 255.0f)); };
    return {byte(c.r), byte(c.g), byte(c.b)};
}

class SceneTest : public ::testing::Test {
protected:
    void SetUp() override {
        RandomSeed = 7;
        FillRandomTable();
        clock.now = 1000;
    }

    FakeClock clock;
    FakeSceneAssets assets;
    FakePriority priority;
    std::vector<std::string> log;
    std::vector<std::string> captions;
    int soundStops = 0;
    TAquarium scene{assets, priority, clock, SystemLibraryLoader(), OpenProfileFile,
                    TAquariumHost{.InstallPath = "C:\\Saver\\",
                                  .ExeName = "3DTidewell.scr",
                                  .WriteLog = [this](const std::string& line) { log.push_back(line); },
                                  .ShowCaption = [this](const std::string& text) { captions.push_back(text); },
                                  .StopSound = [this] { ++soundStops; }}};
};

TEST_F(SceneTest, BuildLoadsEveryObjectInOrder) {
    scene.BuildScene();
    std::vector<std::string> expected = {"PointAt C:\\Saver\\", "Model Puzir00f.3dm", "Model dnoK00f.3dm",
                                         "Texture caust5.jpg"};
    for (const char* fish : {"centropyge", "chelton", "zebrasoma"}) {
        expected.push_back(std::string("Texture ") + fish + ".jpg");
        expected.push_back(std::string("MFL ") + fish + ".mfl");
    }
    expected.push_back("TextureWithAlpha puzir.jpg puzirA.jpg");
    EXPECT_EQ(assets.calls, expected);

    // A theme's pictures are read once, when it is first wanted: the current one's before drawing.
    scene.Options().ThemeIndex = 1;
    scene.PrepareFirstFrame(640, 480);
    scene.LoadThemeTextures(1);
    for (const char* name : {"caust1.jpg", "Pesok01.jpg", "voda1.jpg"}) expected.push_back(std::string("Texture ") + name);
    EXPECT_EQ(assets.calls, expected);
    EXPECT_EQ(scene.Assets()->ThemeTextures(0).WaterTexture, nullptr);
    ASSERT_NE(scene.Assets()->ThemeTextures(1).WaterTexture, nullptr);
    EXPECT_TRUE(scene.Assets()->ThemeTextures(1).WaterTexture->KeepPixels());
    scene.FreeImagesAfterUpload();
    EXPECT_FALSE(scene.LoadThemeTextures(2).WaterTexture->KeepPixels());
}

TEST_F(SceneTest, BuildShapesLayersBackdropAndContainers) {
    scene.BuildScene();
    const auto& bottom = scene.Assets()->BottomModel->Vertices;
    const auto& surface = scene.Assets()->SurfaceModel->Vertices;
    ASSERT_EQ(surface.Count(), 25);
    for (int i = 0; i < 25; ++i) {
        EXPECT_NEAR(surface.Items()[i].x, -bottom.Items()[i].x, 0.01f);
        EXPECT_NEAR(surface.Items()[i].y, -bottom.Items()[i].y, 0.01f);
        EXPECT_FLOAT_EQ(surface.Items()[i].z, bottom.Items()[i].z);
    }
    // The surface faces down, toward the camera below it.
    EXPECT_LT(scene.Assets()->SurfaceModel->Normals.Items()[0].y, -0.99f);
    EXPECT_EQ(scene.Assets()->BottomFade->Colors.Count(), 25);
    EXPECT_EQ(scene.Assets()->SurfaceFade->Colors.Count(), 25);
    EXPECT_EQ(scene.Assets()->BottomCaustics->TexCoords.Count(), 25);
    EXPECT_EQ(scene.Assets()->SurfaceCaustics->Vertices.Count(), 25);

    const TGLPrimitive& backdrop = *scene.Assets()->Backdrop;
    EXPECT_EQ(backdrop.Vertices.Count(), 4);
    EXPECT_EQ(backdrop.Indices.Count(), 6);
    EXPECT_EQ(backdrop.Indices.Items()[4], 2);
    EXPECT_EQ(backdrop.TexCoords.Items()[1].t, 1.0f);
    EXPECT_EQ(backdrop.Normals.Count(), 1);

    const TFishes& chelmon = scene.Tank(0).Fishes(1);
    EXPECT_FLOAT_EQ(chelmon.SpeciesShare, 100.0f / 3.0f);
    EXPECT_EQ(chelmon.DepthMin, 500.0f);
    EXPECT_EQ(chelmon.DepthMax, 10000.0f);
    EXPECT_EQ(chelmon.SpeedMax, 400.0f);
    EXPECT_EQ(scene.Tank(0).Fishes(0).SpeedMin, 150.0f);
    EXPECT_EQ(chelmon.Count, 0);  // counts are applied when drawing starts
    EXPECT_EQ(scene.Assets()->Species[1].Primitives->Count(), 2);
    EXPECT_EQ(scene.Tank(0).SpeciesCount(), 3);
    EXPECT_EQ(scene.Tank(0).Bubbles().DepthMax, 7000.0f);
    EXPECT_EQ(scene.Tank(0).Bubbles().SurfaceY, 5000.0f);
    EXPECT_EQ(scene.Tank(0).Bubbles().BottomY, -3000.0f);
}

TEST_F(SceneTest, SpeciesCountDecidesTheSlotsBuilt) {
    scene.Settings().SpeciesCount = 1;
    scene.BuildScene();
    EXPECT_FLOAT_EQ(scene.Tank(0).Fishes(0).SpeciesShare, 100.0f);
    EXPECT_EQ(scene.Tank(0).SpeciesCount(), 1);

    // A fourth slot enabled without files fails like a missing resource.
    scene.Settings().SpeciesCount = 4;
    EXPECT_THROW(scene.BuildScene(), Exception);
}

TEST_F(SceneTest, ReleaseFreesEverythingStopsTheSoundAndMayRunTwice) {
    scene.BuildScene();
    scene.ReleaseScene();
    EXPECT_FALSE(scene.Built());
    EXPECT_EQ(scene.TankCount(), 0);
    EXPECT_EQ(scene.Assets(), nullptr);
    EXPECT_EQ(scene.FrameClock(), nullptr);
    EXPECT_EQ(soundStops, 1);
    scene.ReleaseScene();
    scene.DrawFrame();  // nothing built, no window: nothing happens
    EXPECT_EQ(scene.FrameRate(), 0);
}

TEST_F(SceneTest, AutoThemeCyclesAndDefaultsSetPriority) {
    scene.Options().ThemeIndex = 0;
    scene.AdvanceAutoTheme();
    EXPECT_EQ(scene.Options().ThemeIndex, 0);
    scene.Options().AutoTheme = true;
    std::vector<int> seen;
    for (int run = 0; run < 3; ++run) {
        scene.AdvanceAutoTheme();
        seen.push_back(scene.Options().ThemeIndex);
    }
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 0}));

    EXPECT_TRUE(priority.calls.empty());  // making the scene leaves the priority alone
    scene.Settings().FarDistance = 1;
    scene.SetSceneDefaults();
    EXPECT_EQ(scene.Settings().FarDistance, 10000.0f);
    EXPECT_EQ(priority.calls, (std::vector<std::string>{"normal"}));
}

// Rendering, read back from the picture right before the swap.
class SceneRenderTest : public SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        scene.BeforeSwap = [this] {
            pixels.assign(static_cast<std::size_t>(window.width) * window.height * 4, 0);
            gl.Finish();
            gl.PixelStorei(GL_PACK_ALIGNMENT, 1);
            gl.ReadPixels(0, 0, window.width, window.height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        };
    }

    // The scene gives the device back to the window, which goes first.
    void TearDown() override { scene.ReleaseDrawing(); }

    void Start(bool fullScreen = false) {
        scene.BuildScene();
        scene.InitDrawing(window, fullScreen);
        scene.ResetDrawing();
    }

    Rgb8 Pixel(int x, int y) const {
        const std::size_t i = (static_cast<std::size_t>(y) * window.width + x) * 4;
        return {pixels[i], pixels[i + 1], pixels[i + 2]};
    }

    static void ExpectNear(Rgb8 actual, Rgb8 expected, int tolerance, const std::string& where) {
        EXPECT_LE(std::abs(actual.r - expected.r), tolerance) << where;
        EXPECT_LE(std::abs(actual.g - expected.g), tolerance) << where;
        EXPECT_LE(std::abs(actual.b - expected.b), tolerance) << where;
    }

    // 4:1, wide enough that the view reaches past the sides of the layers at their far end.
    TestDrawingWindow window{256, 64};
    std::vector<std::uint8_t> pixels;
};

TEST_F(SceneRenderTest, EveryThemeCoversTheWideViewWithSurfaceBackdropAndFloorWithNoFishOrBubbles) {
    const Rgb8 caustics[3] = {{0, 0, 255}, {0, 255, 0}, {255, 0, 255}};
    const Rgb8 floors[3] = {{200, 40, 0}, {100, 100, 20}, {0, 60, 200}};
    const auto& themes = scene.Settings().Themes;
    for (int t = 0; t < 3; ++t) {
        assets.colours[themes[static_cast<std::size_t>(t)].CausticsTextureName] = caustics[t];
        assets.colours[themes[static_cast<std::size_t>(t)].BottomTextureName] = floors[t];
    }
    scene.Options().FishCount = 0;
    scene.Options().BubbleCount = 0;
    Start();
    for (int t = 0; t < 3; ++t) {
        const TWaterTheme& theme = themes[static_cast<std::size_t>(t)];
        const std::string name = "theme " + std::to_string(t);
        scene.Options().ThemeIndex = t;
        pixels.clear();
        scene.DrawFrame();
        ASSERT_FALSE(pixels.empty());
        // Above and below the backdrop (rows 20 to 52, below) the surface and the floor reach the
        // sides: no pixel keeps the clear colour, the corners included.
        const Rgb8 clear = ToRgb8(theme.ClearColor);
        int uncovered = 0;
        for (int y = 0; y < window.height; y += y == 17 ? 38 : 1)
            for (int x = 0; x < window.width; ++x) {
                const Rgb8 p = Pixel(x, y);
                uncovered += std::abs(p.r - clear.r) <= 3 && std::abs(p.g - clear.g) <= 3 && std::abs(p.b - clear.b) <= 3;
            }
        EXPECT_EQ(uncovered, 0) << name;
        // The backdrop spans heights 5000 to -3000 at the far distance: rows 20 to 52 here.
        ExpectNear(Pixel(128, 52), ToRgb8(theme.UpperColor), 4, name + " backdrop top");
        ExpectNear(Pixel(128, 20), ToRgb8(theme.LowerColor), 4, name + " backdrop bottom");
        // Near the camera the floor shows its sand under 35 % caustics, no fade yet.
        const Rgb8 floor = floors[t], light = caustics[t];
        auto mix = [](int sand, int caustic) { return static_cast<std::uint8_t>(std::lround(sand * 0.65 + caustic * 0.35)); };
        ExpectNear(Pixel(128, 0), {mix(floor.r, light.r), mix(floor.g, light.g), mix(floor.b, light.b)}, 4,
                   name + " floor");
        // Row 11 lies in the fade band, on triangles with some transparent corners: part floor,
        // part water.
        const Rgb8 near = Pixel(128, 0), band = Pixel(128, 11), water = ToRgb8(theme.LowerColor);
        int moved = 0;
        for (auto channel : {&Rgb8::r, &Rgb8::g, &Rgb8::b}) {
            EXPECT_LE(std::min(near.*channel, water.*channel) - 2, band.*channel) << name << " fade band";
            EXPECT_GE(std::max(near.*channel, water.*channel) + 2, band.*channel) << name << " fade band";
            moved += std::abs(band.*channel - near.*channel);
        }
        EXPECT_GE(moved, 15) << name << ": the floor is not fading in the band";
    }
    EXPECT_EQ(scene.FishDrawn(), 0);
}

TEST_F(SceneRenderTest, FirstFrameAfterAStartDoesNotMoveTheSceneThenFollowsTheClockOneFrameLate) {
    scene.Options().FishCount = 20;
    scene.Options().BubbleCount = 50;
    scene.BuildScene();
    scene.InitDrawing(window, false);
    clock.now += 700;
    scene.ResetDrawing();
    EXPECT_EQ(scene.TimeStep(), 0.0f);
    EXPECT_FLOAT_EQ(scene.LastTime(), 0.7f);
    const Vector before = scene.Tank(0).Bubbles().Items[0].Position;

    clock.now += 40;
    scene.DrawFrame();
    EXPECT_EQ(scene.Tank(0).Bubbles().TimeStep, 0.0f);
    EXPECT_EQ(scene.Tank(0).Fishes(0).TimeStep, 0.0f);
    EXPECT_EQ(scene.Tank(0).Bubbles().Items[0].Position.y, before.y);
    EXPECT_NEAR(scene.TimeStep(), 0.04f, 1e-5f);
    EXPECT_EQ(scene.FishDrawn(), 20);

    clock.now += 25;
    scene.DrawFrame();
    EXPECT_NEAR(scene.Tank(0).Bubbles().TimeStep, 0.04f, 1e-5f);
    EXPECT_NEAR(scene.Tank(0).Fishes(2).TimeStep, 0.04f, 1e-5f);
    EXPECT_NEAR(scene.TimeStep(), 0.025f, 1e-5f);
}

TEST_F(SceneRenderTest, APauseLeavesTheSceneWhereItWasAndTheNextStepsAreFramesLong) {
    scene.Options().FishCount = 20;
    scene.BuildScene();
    scene.InitDrawing(window, false);
    scene.ResetDrawing();
    clock.now += 40;
    scene.DrawFrame();
    scene.PauseDrawing();
    clock.now += 600000;  // ten minutes nobody saw
    scene.ResumeDrawing();
    const float before = scene.LastTime();
    clock.now += 30;
    scene.DrawFrame();
    EXPECT_NEAR(scene.Tank(0).Bubbles().TimeStep, 0.04f, 1e-5f);
    EXPECT_NEAR(scene.TimeStep(), 0.03f, 1e-5f);
    EXPECT_NEAR(scene.LastTime() - before, 0.03f, 1e-5f);
    // A new start while paused runs the clocks again.
    scene.PauseDrawing();
    scene.ResetDrawing();
    clock.now += 20;
    scene.DrawFrame();
    EXPECT_NEAR(scene.TimeStep(), 0.02f, 1e-5f);
}

TEST_F(SceneRenderTest, AWarmUpDoneAheadOfTheContextIsTheOneTheStartWouldDo) {
    scene.Options().FishCount = 20;
    scene.Options().BubbleCount = 50;
    Start();
    const TParticle bubble = scene.Tank(0).Bubbles().Items[7];
    const TParticle fish = scene.Tank(0).Fishes(1).Items[3];
    scene.ReleaseDrawing();
    scene.ReleaseScene();

    RandomSeed = 7;
    FillRandomTable();
    scene.BuildScene();
    scene.PrepareFirstFrame(window.width, window.height);
    scene.InitDrawing(window, false);
    scene.ResetDrawing();  // keeps the warm-up: a second one would move everything on
    auto same = [](const Vector& a, const Vector& b) { return a.x == b.x && a.y == b.y && a.z == b.z; };
    EXPECT_TRUE(same(scene.Tank(0).Bubbles().Items[7].Position, bubble.Position));
    EXPECT_TRUE(same(scene.Tank(0).Fishes(1).Items[3].Position, fish.Position));
    EXPECT_TRUE(same(scene.Tank(0).Fishes(1).Items[3].Velocity, fish.Velocity));

    // The next start without one warms up on its own again.
    scene.ResetDrawing();
    EXPECT_FALSE(same(scene.Tank(0).Bubbles().Items[7].Position, bubble.Position));
}

TEST_F(SceneRenderTest, CountChangesApplyOnTheNextFrameAndShineDoublesEveryPass) {
    assets.bodyOnly.insert("zebrasoma.mfl");
    scene.Options().FishCount = 7;
    Start();
    scene.DrawFrame();
    EXPECT_EQ(scene.FishDrawn(), 7);
    EXPECT_EQ(scene.ShinePasses(), 0);

    scene.Options().FishCount = 31;
    scene.Options().BubbleCount = 3;
    scene.Settings().ShineAlpha = 0.5f;
    scene.DrawFrame();
    EXPECT_EQ(scene.FishDrawn(), 31);
    EXPECT_EQ(scene.Tank(0).Bubbles().Count, 3);
    // After pass 0 and pass 1 of every species, even one with no second primitive.
    EXPECT_EQ(scene.ShinePasses(), 6);
}

// A bubble is its texture times the theme's bubble colour, blended by that colour's alpha over
// what lies behind it, whichever way the pass brings the colour to the screen.
TEST_F(SceneRenderTest, BubblesShowTheirThemeColourOverTheWater) {
    assets.colours["puzir.jpg"] = {200, 160, 255};
    for (auto& theme : scene.Settings().Themes) theme.BubbleColor = {0.9f, 0.5f, 0.7f, 0.6f};
    scene.Options().FishCount = 0;
    scene.Options().BubbleCount = 0;
    Start();
    scene.DrawFrame();
    const std::vector<std::uint8_t> behind = pixels;
    scene.Options().BubbleCount = 3;  // few: no two overlap
    scene.DrawFrame();
    const Colour& c = scene.Settings().Themes[static_cast<std::size_t>(scene.Options().ThemeIndex)].BubbleColor;
    const float texel[3] = {200 / 255.0f, 160 / 255.0f, 1.0f}, colour[3] = {c.r, c.g, c.b};
    int covered = 0;
    for (std::size_t i = 0; i < pixels.size(); i += 4) {
        if (std::equal(pixels.begin() + static_cast<std::ptrdiff_t>(i), pixels.begin() + static_cast<std::ptrdiff_t>(i) + 3,
                       behind.begin() + static_cast<std::ptrdiff_t>(i)))
            continue;
        ++covered;
        for (std::size_t k = 0; k < 3; ++k) {
            const float expected = 255 * texel[k] * colour[k] * c.a + behind[i + k] * (1 - c.a);
            EXPECT_NEAR(pixels[i + k], expected, 3) << "pixel " << i / 4 << " channel " << k;
        }
    }
    EXPECT_GT(covered, 0);
}

TEST_F(SceneRenderTest, EveryAnimatedPartIsLitByItsCurrentPose) {
    Start();
    clock.now += 500;  // halfway between the keys: the fin is tilted, the body is not
    scene.DrawFrame();
    const TGLPrimitive& fin = *scene.Assets()->Species[0].Primitives->Get(1);
    TGLPrimitive fresh;
    fin.Vertices.CopyTo(&fresh.Vertices);
    fin.Indices.CopyTo(&fresh.Indices);
    fresh.SetType(fin.PrimitiveType());
    fresh.CalcNormals();
    ASSERT_EQ(fin.Normals.Count(), fresh.Normals.Count());
    EXPECT_LT(fresh.Normals.Items()[0].z, 0.999f);  // the pose did turn the fin
    for (std::int32_t i = 0; i < fin.Normals.Count(); ++i)
        EXPECT_NEAR(fin.Normals.Items()[i].z, fresh.Normals.Items()[i].z, 1e-5f) << "normal " << i;
}

TEST_F(SceneRenderTest, LayersInOnePassLookAsInThree) {
    scene.Options().FishCount = 0;
    scene.Options().BubbleCount = 0;
    scene.AllowSinglePassLayers = false;
    Start();
    EXPECT_FALSE(scene.SinglePassLayers());
    scene.DrawFrame();
    const std::vector<std::uint8_t> passes = pixels;

    scene.ReleaseDrawing();
    scene.AllowSinglePassLayers = true;
    scene.InitDrawing(window, false);
    scene.ResetDrawing();
    ASSERT_TRUE(scene.SinglePassLayers());  // any OpenGL 1.3 context, the test's included
    scene.DrawFrame();
    ASSERT_EQ(pixels.size(), passes.size());
    int worst = 0;
    for (std::size_t i = 0; i < pixels.size(); ++i) worst = std::max(worst, std::abs(pixels[i] - passes[i]));
    EXPECT_LE(worst, 2);
    // Units 1 and 2 are left off and unit 0 modulating: later passes are not tinted.
    for (GLenum unit : {GL_TEXTURE1, GL_TEXTURE2}) {
        gl.ActiveTexture(unit);
        EXPECT_FALSE(gl.IsEnabled(GL_TEXTURE_2D));
    }
    gl.ActiveTexture(GL_TEXTURE0);
    GLint mode = 0;
    gl.GetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
    EXPECT_EQ(mode, static_cast<GLint>(GL_MODULATE));
}

TEST_F(SceneRenderTest, CausticsDriftInOppositeDirections) {
    Start();
    const TexCoord surface0 = scene.Assets()->SurfaceCaustics->TexCoords.Items()[3];
    const TexCoord bottom0 = scene.Assets()->BottomCaustics->TexCoords.Items()[3];
    scene.DrawFrame();
    clock.now += 500;
    scene.DrawFrame();  // measures 0.5 s
    scene.DrawFrame();  // moves by it
    const TexCoord surface1 = scene.Assets()->SurfaceCaustics->TexCoords.Items()[3];
    const TexCoord bottom1 = scene.Assets()->BottomCaustics->TexCoords.Items()[3];
    EXPECT_NEAR(surface1.s - surface0.s, -0.05f, 1e-5f);
    EXPECT_NEAR(surface1.t - surface0.t, 0.05f, 1e-5f);
    EXPECT_NEAR(bottom1.s - bottom0.s, 0.05f, 1e-5f);
    EXPECT_NEAR(bottom1.t - bottom0.t, 0.05f, 1e-5f);
}

TEST_F(SceneRenderTest, DriverInfoIsLoggedOnceAndTheCaptionShowsTheRateInThePreviewOnly) {
    Start();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.front(), "*** Start OpenGL Info ***");
    EXPECT_EQ(log.back(), "*** End OpenGL Info ***");
    EXPECT_EQ(scene.GLInfoText().rfind("Vendor:  ", 0), 0u);
    const std::size_t lines = log.size();

    for (int i = 0; i < 3; ++i) scene.DrawFrame();
    clock.now += 1000;
    scene.DrawFrame();
    EXPECT_EQ(scene.FrameRate(), 4);
    EXPECT_EQ(captions, (std::vector<std::string>{"3DTidewell.scr FPS: 4"}));

    // Drawing again in the same window: a new context, no second log, no caption full screen.
    scene.ReleaseDrawing();
    EXPECT_EQ(window.released, 1);
    EXPECT_FALSE(scene.Assets()->ThemeTextures(0).BottomTexture->Created());
    scene.InitDrawing(window, true);
    scene.ResetDrawing();
    EXPECT_EQ(scene.FrameRate(), 0);
    clock.now += 1000;
    scene.DrawFrame();
    EXPECT_EQ(scene.FrameRate(), 1);
    EXPECT_EQ(captions.size(), 1u);
    EXPECT_EQ(log.size(), lines);
    EXPECT_TRUE(scene.FullScreenDrawing());

    // Without a window nothing is drawn.
    scene.ReleaseDrawing();
    const float last = scene.LastTime();
    clock.now += 100;
    scene.DrawFrame();
    EXPECT_EQ(scene.LastTime(), last);
}

TEST_F(SceneRenderTest, TheWindowSizeIsReadEveryFrameAndAnEmptyWindowSkipsTheFrame) {
    Start();
    scene.DrawFrame();
    const float wide = scene.Assets()->Backdrop->Vertices.Items()[2].x;
    // Exactly as wide as the view at the far distance: tan(37.5 degrees) * 10000 * 256 / 64.
    EXPECT_NEAR(wide, 0.767327f * 10000.0f * 4.0f, 1.0f);
    window.width = 128;
    scene.DrawFrame();
    EXPECT_NEAR(scene.Assets()->Backdrop->Vertices.Items()[2].x, wide / 2.0f, 0.5f);

    window.height = 0;
    const float last = scene.LastTime();
    clock.now += 100;
    EXPECT_NO_THROW(scene.DrawFrame());
    EXPECT_EQ(scene.LastTime(), last);
    window.height = 64;
    EXPECT_NO_THROW(scene.DrawFrame());
}

}  // namespace

namespace {

// Two monitors 96 pixels wide with a gap of 64 between them, in the 256 x 64 window.
constexpr TViewRect kLeftPart{0, 0, 96, 64}, kRightPart{160, 0, 96, 64}, kEverything{0, 0, 256, 64};

TEST_F(SceneRenderTest, EachViewItsOwnTankSteppedTogetherAndTheGapBlack) {
    scene.Options().FishCount = 12;
    scene.Options().BubbleCount = 10;
    scene.BuildScene();
    scene.SetViews({{kLeftPart, kLeftPart, 0}, {kRightPart, kRightPart, 1}});
    scene.PrepareFirstFrame(window.width, window.height);
    scene.InitDrawing(window, true);
    scene.ResetDrawing();
    ASSERT_EQ(scene.TankCount(), 2);
    const Vector first = scene.Tank(0).Fishes(0).Items[0].Position;
    const TTank& other = scene.Tank(1);
    const Vector second = other.Fishes(0).Items[0].Position;
    const std::int32_t count = other.Fishes(0).Count + other.Fishes(1).Count + other.Fishes(2).Count;
    EXPECT_EQ(count, 12);  // the dialog's count in every tank
    EXPECT_FALSE(first.x == second.x && first.y == second.y && first.z == second.z);  // not a copy

    clock.now += 40;
    scene.DrawFrame();
    clock.now += 40;
    scene.DrawFrame();
    EXPECT_EQ(scene.FishDrawn(), 24);
    const float step = scene.Tank(1).Bubbles().TimeStep;
    EXPECT_EQ(step, scene.Tank(0).Bubbles().TimeStep);
    EXPECT_NEAR(step, 0.04f, 1e-5f);
    for (const int x : {0, 95, 160, 255})
        for (const int y : {0, 63}) {
            const Rgb8 water = Pixel(x, y);
            EXPECT_GT(water.r + water.g + water.b, 30) << x << "," << y;
        }
    ExpectNear(Pixel(128, 32), {0, 0, 0}, 0, "the gap");

    // A third monitor while frames are drawn: the tanks there keep their fish, the new one is
    // stocked at once.
    const Vector kept = scene.Tank(1).Fishes(0).Items[0].Position;
    scene.SetViews({{kLeftPart, kLeftPart, 0}, {kRightPart, kRightPart, 1}, {{96, 0, 64, 64}, {0, 0, 64, 64}, 2}});
    ASSERT_EQ(scene.TankCount(), 3);
    ASSERT_GT(scene.Tank(1).Fishes(0).Count, 0);
    const Vector still = scene.Tank(1).Fishes(0).Items[0].Position;
    EXPECT_TRUE(kept.x == still.x && kept.y == still.y && kept.z == still.z);
    const TTank& added = scene.Tank(2);
    EXPECT_EQ(added.Fishes(0).Count + added.Fishes(1).Count + added.Fishes(2).Count, 12);
    scene.DrawFrame();
    EXPECT_EQ(scene.FishDrawn(), 36);

    // Back to one tank filling the window.
    scene.SetViews({});
    EXPECT_EQ(scene.TankCount(), 1);
    scene.DrawFrame();
    EXPECT_EQ(scene.FishDrawn(), 12);
}

TEST_F(SceneRenderTest, OneTankAcrossTheViewsLooksAsTheWholeWindowWouldThroughThem) {
    scene.Options().FishCount = 0;
    scene.Options().BubbleCount = 0;
    Start();
    scene.DrawFrame();
    const std::vector<std::uint8_t> whole = pixels;
    scene.SetViews({{kLeftPart, kEverything, 0}, {kRightPart, kEverything, 0}});
    EXPECT_EQ(scene.TankCount(), 1);
    scene.DrawFrame();
    for (const int x : {0, 50, 95, 160, 200, 255})
        for (const int y : {0, 11, 30, 63}) {
            const std::size_t i = (static_cast<std::size_t>(y) * window.width + x) * 4;
            ExpectNear(Pixel(x, y), {whole[i], whole[i + 1], whole[i + 2]}, 3,
                       "pixel " + std::to_string(x) + "," + std::to_string(y));
        }
    ExpectNear(Pixel(128, 30), {0, 0, 0}, 0, "the gap");

    // Side by side with no gap: the one clear of the window serves both views.
    scene.SetViews({{{0, 0, 128, 64}, kEverything, 0}, {{128, 0, 128, 64}, kEverything, 0}});
    scene.DrawFrame();
    for (const int x : {0, 127, 128, 255})
        for (const int y : {0, 30, 63}) {
            const std::size_t i = (static_cast<std::size_t>(y) * window.width + x) * 4;
            ExpectNear(Pixel(x, y), {whole[i], whole[i + 1], whole[i + 2]}, 3,
                       "pixel " + std::to_string(x) + "," + std::to_string(y));
        }
}

}  // namespace
