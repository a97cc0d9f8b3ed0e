// The settings dialog on a Wayland session: it runs on X11 through XWayland (GTK's live preview
// is a GLX child window), shows the idle watch's controls, and its "Preview..." runs the
// Wayland saver as a process of its own.
#include <cstdlib>

#include "platform/platform_choice.h"
#include "platform/posix/autostart.h"
#include "platform/services.h"

namespace {

bool Set(const char* variable) {
    const char* value = std::getenv(variable);
    return value && *value;
}

}  // namespace

std::string DialogPlatform() {
    if (!Set("WAYLAND_DISPLAY")) return {};
    if (!Set("DISPLAY"))
        throw EPlatformStart("the settings dialog needs XWayland on a Wayland session (DISPLAY is not set)");
    return "x11";
}

std::string SeparatePreviewCommand(const std::string& program, const std::string& platformName) {
    if (platformName != "x11" || !Set("WAYLAND_DISPLAY") || program.empty()) return {};
    // Through /bin/sh: the path in double quotes, with what is special there escaped.
    std::string quoted = "\"";
    for (const char c : program) {
        if (c == '"' || c == '\\' || c == '$' || c == '`') quoted += '\\';
        quoted += c;
    }
    return quoted + "\" --platform wayland /s";
}

std::function<void(bool)> SessionStartSetter(const std::string& program) {
    if (!Set("WAYLAND_DISPLAY")) return {};
    return [program](bool on) {
        if (on)
            WriteAutostartEntry(UserConfigHome(), program);
        else
            RemoveAutostartEntry(UserConfigHome());
    };
}
