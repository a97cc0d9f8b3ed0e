#pragma once
// Saver windows and the message pump on X11. The saver window is an override-redirect window
// (no window manager frame or taskbar entry) over the whole screen, with a blank cursor, that
// grabs the pointer and the keyboard while shown. A preview window is a child of a foreign
// window id and ends when that window is destroyed. An adopted window (an xscreensaver hack's,
// or the root window) is drawn into as it is. The quit signals reach the loop through a pipe
// watched with the X connection.
#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <thread>

#include "app/message_loop.h"
#include "platform/posix/quit_signals.h"

struct _XDisplay;
class TX11Coverage;


class TX11WindowSystem final : public IWindowSystem {
public:
    // Raises Exception when the display cannot be opened.
    explicit TX11WindowSystem(const std::string& displayName = {});
    ~TX11WindowSystem() override;
    TX11WindowSystem(const TX11WindowSystem&) = delete;
    TX11WindowSystem& operator=(const TX11WindowSystem&) = delete;

    bool ProcessOne() override;
    void WaitForMessage() override;
    std::unique_ptr<ISaverWindow> CreateSaverWindow(const std::string& title, int left, int top, int width,
                                                    int height) override;
    std::unique_ptr<ISaverWindow> CreateCoverWindow(int left, int top, int width, int height) override;
    std::unique_ptr<ISaverWindow> CreateChildWindow(std::intptr_t parent) override;
    std::unique_ptr<ISaverWindow> AdoptWindow(std::intptr_t window) override;
    // A desktop-type window where an EWMH window manager runs (platform/x11/x11_wallpaper.h),
    // else the root window; both watch what covers them, and RandR's notices run OnMonitorsChanged.
    std::unique_ptr<ISaverWindow> CreateWallpaperWindow(int left, int top, int width, int height) override;
    void WatchQuitSignals(std::function<void()> onQuit) override;
    bool QuitSignalled() override;
    // DPMS says the monitor is in standby, suspend or off; asked at most once a second.
    bool DisplayAsleep() override;
    // Loads the GL driver for this connection on a thread of its own, joined by
    // FinishPreparingDrawing before the first context, or at the latest by the destructor.
    void PrepareDrawing() override;
    void FinishPreparingDrawing() override;
    // The connection, for the other pieces of the X11 platform (drawing windows, monitors, GTK's loop).
    _XDisplay* Connection() { return display_; }

    class Window;

private:
    friend class Window;
    // An override-redirect black window with a blank cursor; grab: takes pointer and keyboard when shown.
    std::unique_ptr<ISaverWindow> MakeTopWindow(const std::string& title, int left, int top, int width, int height,
                                                bool grab);
    // The invisible cursor every top window shows, made once.
    unsigned long BlankCursor();
    unsigned long BlankRenderCursor();

    _XDisplay* display_ = nullptr;
    std::map<unsigned long, Window*> windows_;
    // Other programs' windows above a child window of ours, and that child.
    std::map<unsigned long, Window*> ancestors_;
    enum class Dpms { Unknown, Present, Absent } dpms_ = Dpms::Unknown;
    std::chrono::steady_clock::time_point dpmsAskedAt_{};
    bool displayAsleep_ = false;
    std::function<void()> onQuit_;
    std::thread driverLoader_;
    unsigned long blankCursor_ = 0;
    // The wallpaper's watch over the windows above it, which hears every event.
    TX11Coverage* coverage_ = nullptr;
    int randrEventBase_ = -1;
};
