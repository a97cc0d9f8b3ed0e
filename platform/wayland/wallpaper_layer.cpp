// The live wallpaper on a Wayland compositor: a window of background-layer surfaces, one per
// output it meets (anchored to every edge, exclusive zone -1, no keyboard, an empty input
// region), drawn and paced as the saver's windows are; an output whose frame callbacks stop (a
// full-screen window over it) gets no frames. Without the layer shell (GNOME's Mutter, Weston)
// there is no place behind the windows that a client may take: it says so and ends.
#include "app/exception.h"
#include "platform/wayland/wayland_window_system.h"

std::unique_ptr<ISaverWindow> TWaylandWindowSystem::CreateWallpaperWindow(int left, int top, int width, int height) {
    if (!layerShell_)
        throw Exception(
            "The wallpaper needs a Wayland compositor with the layer-shell protocol (sway, KDE Plasma, Hyprland, "
            "river); this one has none (GNOME). Under X11 it runs as a desktop window.");
    auto window =
        std::make_unique<TWaylandWindow>(*this, false, TMonitor{left, top, width, height, false}, "3D Tidewell wallpaper");
    window->Background = true;
    return window;
}
