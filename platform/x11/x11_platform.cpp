// The X11 display platform: the pieces below share the window system's X connection, which
// the platform owns; nothing of it leaves this folder.
//
// PLATFORM: X11 (XWayland included): the saver, its preview and the xscreensaver hack draw with
// GLX into X windows; the settings dialog is GTK 3 on its X11 backend, in a module the program
// loads on first need (platform/gtk, platform/x11/gtk_module_loader.h); error boxes too.
// LIMITATIONS: no colour depth changes (RandR sizes only); no swap control under Xvfb and some
// software renderers, where a timer paces the frames instead.
// DEPENDENCIES: libX11, libXext, libXrandr, libXinerama, libXrender, libGLX (libGL and libGLU
// loaded by name at run time by the GLX device); GTK 3 in the module only.
#include "platform/x11/x11_platform.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <iostream>

#include "app/exception.h"
#include "platform/x11/gtk_module_loader.h"
#include "platform/x11/linux_window_system.h"
#include "platform/x11/x11_saver_system.h"
#include "platform/x11/x11_window_system.h"
#include "platform/x11/xrandr_driver.h"

bool StartXdgOpen(const std::string& target) {
    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0) return false;
    const char* argv[] = {"xdg-open", target.c_str(), nullptr};
    const pid_t middle = fork();
    if (middle == 0) {
        const pid_t opener = fork();
        if (opener == 0) {
            const int null = open("/dev/null", O_WRONLY);
            if (null >= 0) dup2(null, STDOUT_FILENO);
            execvp(argv[0], const_cast<char* const*>(argv));
        }
        if (opener <= 0) {
            const int why = errno;
            (void)!write(report[1], &why, sizeof why);
        }
        _exit(opener == 0 ? 127 : 0);
    }
    close(report[1]);
    bool started = false;
    if (middle > 0) {
        while (waitpid(middle, nullptr, 0) < 0 && errno == EINTR) {
        }
        // The pipe closes unread when exec succeeds, or on the failed child's exit.
        int why = 0;
        ssize_t got;
        while ((got = read(report[0], &why, sizeof why)) < 0 && errno == EINTR) {
        }
        started = got == 0;
    }
    close(report[0]);
    return started;
}

namespace {

class TX11Platform final : public IDisplayPlatform {
public:
    std::string Name() const override { return "x11"; }
    void Connect() override {
        // GLib's loop takes over once the settings dialog exists.
        windows_ = std::make_unique<TLinuxWindowSystem>(std::make_unique<TX11WindowSystem>());
    }
    IWindowSystem& Windows() override { return *windows_; }
    std::unique_ptr<IDrawingWindow> CreateDrawingWindow(ISaverWindow& window) override {
        return CreateX11DrawingWindow(windows_->X11(), window);
    }
    std::unique_ptr<IMonitorList> CreateMonitorList() override {
        return CreateX11MonitorList(windows_->X11().Connection());
    }
    std::unique_ptr<IDisplayModeDriver> CreateDisplayModeDriver() override { return std::make_unique<TXRandrDriver>(); }
    std::unique_ptr<ISaverSystem> CreateSaverSystem() override { return std::make_unique<TX11SaverSystem>(); }
    std::unique_ptr<ISettingsView> CreateSettingsView() override {
        std::string error;
        IGtkModule* module = LoadGtkModule(&error);
        if (!module) throw Exception(error + " The settings dialog needs it (and GTK 3); reinstall the program.");
        auto view = module->CreateSettingsView();
        // The program's window system hands its loop to GLib from now on.
        windows_->HandLoopTo(*module);
        return view;
    }
    bool OpenWithDesktop(const std::string& target) override { return LinuxOpenWithDesktop(target); }
    void ShowErrorMessage(const std::string& text, const std::string& caption) override {
        LinuxShowErrorMessage(text, caption);
    }

private:
    std::unique_ptr<TLinuxWindowSystem> windows_;
};

}  // namespace

std::unique_ptr<IDisplayPlatform> CreateX11Platform() { return std::make_unique<TX11Platform>(); }

bool LinuxOpenWithDesktop(const std::string& target) {
    if (target.empty()) return false;
    // GTK's opener once the module runs; loading GTK only to start xdg-open is not worth it.
    if (IGtkModule* module = LoadedGtkModule()) return module->OpenWithDesktop(target);
    return StartXdgOpen(target);
}

void LinuxShowErrorMessage(const std::string& text, const std::string& caption) {
    std::string plain = text;
    std::erase(plain, '\r');
    std::cerr << caption << "\n" << plain << std::endl;
    // GTK opens only an X display; without one the module is not worth loading.
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) return;
    if (IGtkModule* module = LoadGtkModule()) module->ShowErrorBox(text, caption, QuitSignalPipe());
}
