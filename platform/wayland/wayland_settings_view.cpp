#include "app/exception.h"
#include "platform/wayland/wayland_platform.h"

std::unique_ptr<ISettingsView> CreateWaylandSettingsView(TWaylandWindowSystem&) {
    throw Exception("The settings dialog does not open on the Wayland platform yet: run 3dtidewell --platform x11 "
                    "(through XWayland) to change the settings.");
}
