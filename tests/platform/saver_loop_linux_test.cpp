// A whole saver run on the real Linux pieces, without the scene: the frame starts, opens the
// saver window, paints on every idle turn, and a key press ends the run with the stop line in
// the log and the stop event raised once.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/message_loop.h"
#include "form/saver_input.h"
#include "platform/posix/file_options_store.h"
#include "platform/posix/flock_guard.h"
#include "platform/posix/posix_host.h"
#include "platform/x11/x11_saver_system.h"
#include "platform/x11/x11_window_system.h"

namespace {

namespace fs = std::filesystem;

TEST(SaverLoop, AKeyEndsAFullScreenRun) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display";
    const fs::path dir = fs::temp_directory_path() / ("tidewell-loop-" + std::to_string(getpid()));
    fs::create_directories(dir / "config");
    const std::string program = (dir / "3dtidewell").string();

    TApplication application;
    TPosixHost host({program, "/s"}, false);
    TFileOptionsStore store((dir / "config").string(), (dir / "etc").string());
    TFlockGuard guard(dir.string());
    TX11SaverSystem system;
    TX11WindowSystem windows;
    auto app = std::make_unique<TScreenSaverApp>(application, TAppServices{host, store, guard}, system);
    app->Title = "3D Tidewell";
    app->Company = "Korvane Software";
    app->SetLogFile(true);

    std::unique_ptr<ISaverWindow> saverWindow;
    int frames = 0, stops = 0;
    Display* other = XOpenDisplay(nullptr);
    ASSERT_NE(other, nullptr);
    TSaverInput input(*app, {[] {}, [&] { saverWindow.reset(); },
                             [&] { return FullScreenLogLine(320, 240, 32, frames); }, [&] { application.Terminate(); }});
    app->OnStart = [&] {
        saverWindow = windows.CreateSaverWindow(application.Title, 0, 0, 320, 240);
        saverWindow->OnKey = [&] { input.Key(); };
        saverWindow->OnMouseButton = [&] { input.MouseButton(); };
        saverWindow->OnMouseMove = [&](int x, int y) { input.MouseMove(x, y); };
        saverWindow->Show();
        input.Start();
    };
    app->OnIdle = [&](bool&) {
        if (!saverWindow) return;
        saverWindow->Paint();
        if (++frames == 5) {
            XEvent event{};
            event.type = KeyPress;
            event.xany.window = static_cast<::Window>(saverWindow->NativeHandle());
            XSendEvent(other, event.xany.window, False, KeyPressMask, &event);
            XFlush(other);
        }
    };
    app->OnStop = [&] { ++stops; };
    app->Loaded();
    EXPECT_EQ(app->SaverMode(), smSaver);
    EXPECT_EQ(app->LogFileName(), (dir / "3dtidewell.log").string());
    RunMessageLoop(application, windows);
    app->Notification(TOperation::opRemove);
    app.reset();
    XCloseDisplay(other);

    EXPECT_EQ(stops, 1);
    EXPECT_GE(frames, 5);
    EXPECT_EQ(saverWindow, nullptr);
    EXPECT_LT(system.CursorCount(), 0);  // hidden for the run
    std::ifstream log(dir / "3dtidewell.log", std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(log), {}};
    EXPECT_EQ(text.size(), 16384u);
    EXPECT_EQ(text.rfind("Full Screen mode: 320X240X32  FPS:", 0), 0u) << text.substr(0, 60);
    fs::remove_all(dir);
}

}  // namespace
