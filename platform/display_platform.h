#pragma once
// A display platform: the window system with its loop, the drawing windows on it, its monitors,
// display modes, the settings dialog's view, error boxes and the desktop's opener. The OS-wide
// services (clock, files, options, sound, ...) stay in platform/services.h. A program holds a
// list of display platforms (DisplayPlatforms()) and starts one when it runs
// (platform/platform_choice.h); the pieces of one platform meet inside its folder, so nothing
// native (a display connection, a window handle type, a library file) crosses this interface.
#include <memory>
#include <string>
#include <vector>

#include "app/message_loop.h"
#include "app/screen_saver_app.h"
#include "display/video_modes.h"
#include "form/monitor_list.h"
#include "form/settings_view.h"
#include "scene/drawing_window.h"

class IDisplayPlatform {
public:
    virtual ~IDisplayPlatform() = default;
    // As --platform names it: "x11", "null", "win32".
    virtual std::string Name() const = 0;
    // Connects to the display server; raises an exception saying why (one line, no platform
    // name) when it cannot. The factories below need a connected platform; the platform outlives
    // what they make.
    virtual void Connect() = 0;

    // The saver windows and the message pump. On X11 it also adopts a hack's window
    // (AdoptWindow) and turns SIGTERM, SIGINT and SIGHUP into a stop run by the loop
    // (WatchQuitSignals); on Windows WM_CLOSE and the session's end do the same.
    virtual IWindowSystem& Windows() = 0;
    // The rendering side of a saver window: a device for the engine on it (GLX on X11, WGL on
    // Windows). The first time a context is made current on it, a swap interval of 1 is requested
    // when the driver advertises swap control, unless TIDEWELL_UNPACED=1 is set. Where the driver
    // has none, a timer at the display's refresh rate (60 Hz when unknown) paces the swaps;
    // LimitFrameRate adds a cap of its own (a hack's -delay), the lower rate counting.
    virtual std::unique_ptr<IDrawingWindow> CreateDrawingWindow(ISaverWindow& window) = 0;
    // The desktop's monitors; empty when the system cannot tell.
    virtual std::unique_ptr<IMonitorList> CreateMonitorList() = 0;
    virtual std::unique_ptr<IDisplayModeDriver> CreateDisplayModeDriver() = 0;
    // The cursor, the foreground window, window sizes and the desktop's password libraries.
    virtual std::unique_ptr<ISaverSystem> CreateSaverSystem() = 0;
    // The settings dialog's native view (a Win32 dialog; GTK 3 on X11, which from then on runs
    // the window system's loop). Raises Exception when it cannot be made.
    virtual std::unique_ptr<ISettingsView> CreateSettingsView() = 0;

    // These two work before Connect as well.
    // Opens a local file or a web address with the desktop's handler. False when nothing took it.
    virtual bool OpenWithDesktop(const std::string& target) = 0;
    // A message box with an error icon; on Linux the text goes to the standard error stream first.
    virtual void ShowErrorMessage(const std::string& text, const std::string& caption) = 0;
};

// One entry of a program's list of display platforms, as SDL lists its video drivers.
struct TDisplayPlatformEntry {
    const char* Name;
    // Whether the automatic choice tries it (its server's variable is set, say); nullptr: only
    // when asked for by name.
    bool (*Offered)();
    std::unique_ptr<IDisplayPlatform> (*Create)();
};
