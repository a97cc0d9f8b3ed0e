// The core on the null platform. This program links the whole core library and platform/null
// only, so a call from anywhere in the core to a platform function that services.h and the
// display platform's interface do not list fails to link.
#include <gtest/gtest.h>

#include "app/exception.h"
#include "app/screen_saver_app.h"
#include "platform/services.h"
#include "scene/aquarium_scene.h"
#include "scene/model_import_assets.h"

namespace {

TEST(NullPlatform, TheSaverFrameStartsWithNoMarkerNoOptionsNoLogOnTheHeadlessDisplay) {
    TApplication application;
    auto host = CreateApplicationHost({"/opt/tidewell/3dtidewell", "/s"});
    auto store = CreateOptionsStore();
    auto guard = CreateInstanceGuard();
    const auto platforms = DisplayPlatforms();
    ASSERT_EQ(platforms.size(), 1u);
    auto display = platforms[0].Create();
    ASSERT_NO_THROW(display->Connect());
    auto system = display->CreateSaverSystem();
    TScreenSaverApp saver(application, TAppServices{*host, *store, *guard}, *system);
    saver.Loaded();
    EXPECT_EQ(saver.SaverMode(), smSaver);
    EXPECT_FALSE(saver.HasInstanceMarker());
    EXPECT_FALSE(application.Terminated());
    EXPECT_FALSE(saver.OptionsRegistry().HasCurrentKey());
    saver.SetLogFile(true);
    EXPECT_THROW(saver.WriteLog("started"), Exception);
    auto window = display->Windows().CreateSaverWindow("3D Tidewell", 0, 0, 640, 480);
    EXPECT_EQ(display->CreateDrawingWindow(*window)->ClientWidth(), 640);
}

TEST(NullPlatform, TheSceneFindsNoDescriptionNoArtAndNoOpenGLAndItsClockStandsStill) {
    TScopedResourceFinder resources(ProgramResources());
    TAquarium scene(ModelImportAssets(), ProcessPriority(), SystemClock(), SystemLibraryLoader(), OpenProfileFile);
    const float fieldOfView = scene.Settings().FieldOfView;
    bool logFile = false;
    scene.ReadSceneDescription(SceneDescriptionFile("/opt/tidewell/", "3dtidewell"), logFile);
    EXPECT_EQ(scene.Settings().FieldOfView, fieldOfView);
    EXPECT_THROW(scene.BuildScene(), Exception);
    EXPECT_FALSE(LoadOpenGL(SystemLibraryLoader(), "libGL.so.1", "libGLU.so.1"));

    TTimerPro timer(SystemClock());
    timer.Start();
    EXPECT_EQ(timer.Elapsed().Milliseconds(), 0u);
}

}  // namespace
