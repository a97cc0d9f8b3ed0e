// The Wayland display platform: the pieces below share the window system's connection, which
// the platform owns; nothing of it leaves this folder.
//
// PLATFORM: Wayland compositors: the saver draws with EGL (desktop OpenGL, compatibility
// profile) on one surface per output, a layer-shell overlay where the compositor offers
// zwlr_layer_shell_v1 (sway, KWin, Hyprland, river), else a fullscreen xdg_toplevel (Mutter,
// Weston). Monitors are the outputs, placed by xdg-output, in device pixels (logical times the
// largest output scale). Error boxes and the desktop's opener are the X11 ones through XWayland
// when DISPLAY is set, else the standard error stream and xdg-open.
// LIMITATIONS: no display modes (the desktop's size is the only one); no preview inside another
// program's window (Wayland has no foreign windows); it does not lock the session: a locker's
// surfaces (ext-session-lock, or a newer overlay surface) are drawn above ours.
// DEPENDENCIES: libwayland-client, libwayland-egl, libEGL (libGL and libGLU loaded by name at
// run time, as on X11).
#include "platform/wayland/wayland_platform.h"

#include <sys/stat.h>

#include <cstdlib>

#include "platform/wayland/wayland_window_system.h"
#include "platform/x11/x11_platform.h"

namespace {

class TWaylandMonitorList final : public IMonitorList {
public:
    explicit TWaylandMonitorList(TWaylandWindowSystem& system) : system_(system) {}
    std::vector<TMonitor> Monitors() override { return OutputMonitors(system_.Outputs()); }

private:
    TWaylandWindowSystem& system_;
};

// No password libraries (locking is the session locker's job) and no foreign windows.
class TWaylandSaverSystem final : public ISaverSystem {
public:
    void SetSystemParameter(std::uint32_t, std::uint32_t) override {}
    int ShowCursor(bool show) override { return cursorCount_ += show ? 1 : -1; }
    TWindowHandle ForegroundWindow() override { return 0; }
    bool WindowSize(TWindowHandle, int&, int&) override { return false; }
    std::string SystemDirectory() override { return "/nonexistent"; }
    TLibraryHandle OpenLibrary(const std::string&) override { return 0; }
    void CloseLibrary(TLibraryHandle) override {}
    bool HasProcedure(TLibraryHandle, const std::string&) override { return false; }
    std::int32_t CallPwdChangePassword(TLibraryHandle, const std::string&, TWindowHandle) override { return 0; }
    std::int32_t CallVerifyScreenSavePwd(TLibraryHandle, TWindowHandle) override { return 1; }

private:
    int cursorCount_ = 0;
};

class TWaylandPlatform final : public IDisplayPlatform {
public:
    std::string Name() const override { return "wayland"; }
    void Connect() override { windows_ = std::make_unique<TWaylandWindowSystem>(); }
    IWindowSystem& Windows() override { return *windows_; }
    std::unique_ptr<IDrawingWindow> CreateDrawingWindow(ISaverWindow& window) override {
        return CreateWaylandDrawingWindow(*windows_, window);
    }
    std::unique_ptr<IMonitorList> CreateMonitorList() override { return std::make_unique<TWaylandMonitorList>(*windows_); }
    std::unique_ptr<IDisplayModeDriver> CreateDisplayModeDriver() override {
        return std::make_unique<TOutputModeDriver>([this] { return windows_->Outputs(); });
    }
    std::unique_ptr<ISaverSystem> CreateSaverSystem() override { return std::make_unique<TWaylandSaverSystem>(); }
    std::unique_ptr<ISettingsView> CreateSettingsView() override { return CreateWaylandSettingsView(*windows_); }
    bool OpenWithDesktop(const std::string& target) override { return LinuxOpenWithDesktop(target); }
    void ShowErrorMessage(const std::string& text, const std::string& caption) override {
        LinuxShowErrorMessage(text, caption);
    }

private:
    std::unique_ptr<TWaylandWindowSystem> windows_;
};

}  // namespace

bool WaylandOffered() {
    const char* display = std::getenv("WAYLAND_DISPLAY");
    if (display && *display) return true;
    const char* session = std::getenv("XDG_SESSION_TYPE");
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (!session || std::string(session) != "wayland" || !runtime || !*runtime) return false;
    struct stat info {};
    return stat((std::string(runtime) + "/wayland-0").c_str(), &info) == 0 && S_ISSOCK(info.st_mode);
}

std::unique_ptr<IDisplayPlatform> CreateWaylandPlatform() { return std::make_unique<TWaylandPlatform>(); }
