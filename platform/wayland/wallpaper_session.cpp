// The wallpaper's start with the session (its XDG autostart entry), and the settings dialog's
// look whether this session can show the wallpaper at all.
#include <wayland-client.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "platform/posix/autostart.h"
#include "platform/services.h"

std::function<void(bool)> WallpaperSessionStartSetter(const std::string& program) {
    if (program.empty()) return {};
    return [program](bool on) {
        if (on)
            WriteAutostartEntry(kWallpaperAutostart, UserConfigHome(), program);
        else
            RemoveAutostartEntry(kWallpaperAutostart, UserConfigHome());
    };
}

std::string WallpaperUnavailable() {
    const char* name = std::getenv("WAYLAND_DISPLAY");
    if (!name || !*name) return {};  // X11: a desktop window, always
    wl_display* display = wl_display_connect(nullptr);
    if (!display) return {};  // not known here; the wallpaper says so itself when it starts
    bool layerShell = false;
    wl_registry* registry = wl_display_get_registry(display);
    static const wl_registry_listener listener{
        [](void* found, wl_registry*, std::uint32_t, const char* kind, std::uint32_t) {
            if (std::strcmp(kind, "zwlr_layer_shell_v1") == 0) *static_cast<bool*>(found) = true;
        },
        [](void*, wl_registry*, std::uint32_t) {}};
    wl_registry_add_listener(registry, &listener, &layerShell);
    const bool answered = wl_display_roundtrip(display) >= 0;
    wl_registry_destroy(registry);
    wl_display_disconnect(display);
    if (!answered || layerShell) return {};
    return "The wallpaper cannot run in this session: its Wayland compositor offers no layer shell";
}
