// Where the dialog and the boxes open. GTK centres a window on one of GDK's monitors, and GDK on
// X11 knows only RandR's: on a server with Xinerama alone it sees one monitor as large as the X
// screen, and a dialog centred there straddles two heads or hangs below a smaller one. Xinerama's
// screens fill in for GDK's then.
#include <X11/Xlib.h>
#include <X11/extensions/Xinerama.h>
#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include <algorithm>
#include <vector>

#include "platform/gtk/gtk_runtime.h"

namespace {

// The monitors in GDK's coordinates, the primary first.
std::vector<GdkRectangle> Monitors(GdkDisplay* display) {
    std::vector<GdkRectangle> monitors;
    const int count = gdk_display_get_n_monitors(display);
    for (int i = 0; i < count; ++i) {
        GdkMonitor* monitor = gdk_display_get_monitor(display, i);
        GdkRectangle area{};
        gdk_monitor_get_workarea(monitor, &area);
        monitors.insert(gdk_monitor_is_primary(monitor) ? monitors.begin() : monitors.end(), area);
    }
    if (monitors.size() != 1 || !GDK_IS_X11_DISPLAY(display)) return monitors;
    Display* x11 = GDK_DISPLAY_XDISPLAY(display);
    int eventBase = 0, errorBase = 0, screens = 0;
    if (!XineramaQueryExtension(x11, &eventBase, &errorBase) || !XineramaIsActive(x11)) return monitors;
    XineramaScreenInfo* list = XineramaQueryScreens(x11, &screens);
    if (!list) return monitors;
    // Xinerama counts device pixels, GDK scaled ones; its first screen is the primary.
    const int scale = std::max(1, gdk_monitor_get_scale_factor(gdk_display_get_monitor(display, 0)));
    if (screens > 1) {
        monitors.clear();
        for (int i = 0; i < screens; ++i)
            monitors.push_back({list[i].x_org / scale, list[i].y_org / scale, list[i].width / scale, list[i].height / scale});
    }
    XFree(list);
    return monitors;
}

}  // namespace

void PlaceOnOneMonitor(_GtkWindow* window) {
    GdkDisplay* display = gtk_widget_get_display(GTK_WIDGET(window));
    const std::vector<GdkRectangle> monitors = Monitors(display);
    if (monitors.empty()) return;
    GdkRectangle on = monitors.front();
    if (GdkSeat* seat = gdk_display_get_default_seat(display); seat && gdk_seat_get_pointer(seat)) {
        int x = 0, y = 0;
        gdk_device_get_position(gdk_seat_get_pointer(seat), nullptr, &x, &y);
        for (const GdkRectangle& monitor : monitors)
            if (x >= monitor.x && x < monitor.x + monitor.width && y >= monitor.y && y < monitor.y + monitor.height) on = monitor;
    }
    GtkRequisition size{};
    gtk_widget_get_preferred_size(GTK_WIDGET(window), nullptr, &size);
    // Centred; one larger than the monitor keeps its top left corner on it.
    gtk_window_set_position(window, GTK_WIN_POS_NONE);
    gtk_window_move(window, on.x + std::max(0, (on.width - size.width) / 2), on.y + std::max(0, (on.height - size.height) / 2));
}
