#pragma once
// The Wayland display platform and its pieces, which share the window system's connection.
#include <memory>

#include "platform/display_platform.h"

class TWaylandWindowSystem;

// Not connected yet (IDisplayPlatform::Connect opens $WAYLAND_DISPLAY).
std::unique_ptr<IDisplayPlatform> CreateWaylandPlatform();
// Whether the automatic choice tries Wayland: WAYLAND_DISPLAY is set, or the session is a
// Wayland one with the default socket in place.
bool WaylandOffered();
// EGL surfaces on the window's surfaces, paced by their frame callbacks; nullptr for a window
// that is not the window system's.
std::unique_ptr<IDrawingWindow> CreateWaylandDrawingWindow(TWaylandWindowSystem& system, ISaverWindow& window);
// The settings dialog's view on a Wayland session (wayland_settings_view.cpp).
std::unique_ptr<ISettingsView> CreateWaylandSettingsView(TWaylandWindowSystem& system);
