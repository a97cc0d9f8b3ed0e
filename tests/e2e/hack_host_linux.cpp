// A plain X window with no children and no drawing of its own, as xscreensaver gives its hacks:
// the end-to-end run hands its id to the hack. Runs until killed or the window is closed.
//   tidewell_hack_host <title> <width> <height>
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s title width height\n", argv[0]);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) return 1;
    const int screen = DefaultScreen(display);
    const Window window =
        XCreateSimpleWindow(display, RootWindow(display, screen), 40, 40, static_cast<unsigned>(std::atoi(argv[2])),
                            static_cast<unsigned>(std::atoi(argv[3])), 0, 0, BlackPixel(display, screen));
    XStoreName(display, window, argv[1]);
    XSelectInput(display, window, StructureNotifyMask);
    XMapWindow(display, window);
    XEvent event;
    while (true) {
        XNextEvent(display, &event);
        if (event.type == DestroyNotify) break;
    }
    XCloseDisplay(display);
    return 0;
}
