// The settings dialog on a Wayland session: it runs on X11 through XWayland (GTK's live preview
// is a GLX child window), shows the idle watch's controls, and its "Preview..." runs the
// Wayland saver as a process of its own.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/platform_choice.h"
#include "platform/posix/autostart.h"
#include "platform/posix/file_options_store.h"
#include "platform/services.h"

namespace {

bool Set(const char* variable) {
    const char* value = std::getenv(variable);
    return value && *value;
}

// For /bin/sh: in double quotes, with what is special there escaped.
std::string ShellQuoted(const std::string& text) {
    std::string quoted(1, '"');
    for (const char c : text) {
        if (c == '"' || c == '\\' || c == '$' || c == '`') quoted += '\\';
        quoted += c;
    }
    return quoted + '"';
}

// The preview's own config folder, $XDG_RUNTIME_DIR/3dtidewell-preview: made for this user
// alone, or found so; empty when there is none.
std::string PreviewConfigFolder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (!runtime || *runtime != '/') return {};
    const std::string folder = std::string(runtime) + "/3dtidewell-preview";
    mkdir(folder.c_str(), 0700);
    struct stat info {};
    const bool ours = lstat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == geteuid() &&
                      (info.st_mode & (S_IWGRP | S_IWOTH)) == 0;
    return ours ? folder : std::string();
}

}  // namespace

std::string DialogPlatform() {
    if (!Set("WAYLAND_DISPLAY")) return {};
    if (!Set("DISPLAY"))
        throw EPlatformStart("the settings dialog needs XWayland on a Wayland session (DISPLAY is not set)");
    return "x11";
}

std::function<std::string(const std::function<void(IRegistryStore&)>&)> SeparatePreview(const std::string& program,
                                                                                       const std::string& platformName) {
    if (platformName != "x11" || !Set("WAYLAND_DISPLAY") || program.empty()) return {};
    return [program](const std::function<void(IRegistryStore&)>& writeOptions) {
        // The dialog's options in a config folder of the preview's own; without one, the stored.
        std::string command;
        const std::string folder = PreviewConfigFolder();
        if (!folder.empty()) {
            TFileOptionsStore store(folder, std::string());
            writeOptions(store);
            command = "XDG_CONFIG_HOME=" + ShellQuoted(folder) + " ";
        }
        return command + "exec " + ShellQuoted(program) + " --platform wayland /s";
    };
}

std::function<void(bool)> SessionStartSetter(const std::string& program) {
    if (!Set("WAYLAND_DISPLAY")) return {};
    return [program](bool on) {
        if (on)
            WriteAutostartEntry(kIdleWatchAutostart, UserConfigHome(), program);
        else
            RemoveAutostartEntry(kIdleWatchAutostart, UserConfigHome());
    };
}
