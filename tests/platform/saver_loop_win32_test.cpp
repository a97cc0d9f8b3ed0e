// A whole saver run on the real Windows pieces, without the scene: a key ends it.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/message_loop.h"
#include "form/saver_input.h"
#include "platform/win32/registry_store.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_window_system.h"

namespace {

TEST(SaverLoop, AKeyEndsAFullScreenRun) {
    TApplication application;
    TWin32Host host({"tests_app.exe", "/s"});
    TWinRegistryStore store;
    TSemaphoreGuard guard;
    TWin32SaverSystem system;
    TWin32WindowSystem windows;
    auto app = std::make_unique<TScreenSaverApp>(application, TAppServices{host, store, guard}, system);
    app->Title = "3D Tidewell";
    app->SetLogFile(true);

    std::unique_ptr<ISaverWindow> saverWindow;
    int frames = 0, stops = 0;
    TSaverInput input(*app, {[] {}, [&] { saverWindow.reset(); },
                             [&] { return FullScreenLogLine(320, 240, 32, frames); }, [&] { application.Terminate(); }});
    app->OnStart = [&] {
        saverWindow = windows.CreateSaverWindow(application.Title, 0, 0, 320, 240);
        saverWindow->OnKey = [&] { input.Key(); };
        saverWindow->Show();
        input.Start();
    };
    app->OnIdle = [&](bool&) {
        if (!saverWindow) return;
        saverWindow->Paint();
        if (++frames == 5) PostMessageA(reinterpret_cast<HWND>(saverWindow->NativeHandle()), WM_KEYDOWN, VK_SPACE, 0);
        if (frames > 5000) application.Terminate();  // the key never arrived
    };
    app->OnStop = [&] { ++stops; };
    app->Loaded();
    EXPECT_EQ(app->SaverMode(), smSaver);
    RunMessageLoop(application, windows);
    app->Notification(TOperation::opRemove);
    const std::string logName = app->LogFileName();
    app.reset();

    EXPECT_EQ(stops, 1);
    EXPECT_LT(frames, 5000);
    EXPECT_EQ(saverWindow, nullptr);
    std::ifstream log(logName, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(log), {}};
    log.close();
    EXPECT_EQ(text.size(), 16384u);
    EXPECT_EQ(text.rfind("Full Screen mode: 320X240X32  FPS:", 0), 0u);
    std::filesystem::remove(logName);
}

}  // namespace
