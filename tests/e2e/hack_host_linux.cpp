// A plain X window with no children and no drawing of its own, as xscreensaver gives its hacks:
// the end-to-end run hands its id to the hack. Runs until killed or the window is closed.
//   tidewell_hack_host <title> <width> <height> [fullscreen]
// "fullscreen" asks the window manager for a full-screen window (_NET_WM_STATE before mapping).
// With --pointer it prints the innermost window under the pointer, as input finds it (input
// shapes count), in hex, and ends.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    if (argc == 2 && std::string(argv[1]) == "--pointer") {
        Display* display = XOpenDisplay(nullptr);
        if (!display) return 1;
        Window at = DefaultRootWindow(display), root = None, child = None;
        int rootX = 0, rootY = 0, x = 0, y = 0;
        unsigned mask = 0;
        while (XQueryPointer(display, at, &root, &child, &rootX, &rootY, &x, &y, &mask) && child != None) at = child;
        std::printf("0x%lx\n", at);
        XCloseDisplay(display);
        return 0;
    }
    if (argc != 4 && !(argc == 5 && std::string(argv[4]) == "fullscreen")) {
        std::fprintf(stderr, "usage: %s title width height [fullscreen] | --pointer\n", argv[0]);
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
    if (argc == 5) {
        const Atom fullscreen = XInternAtom(display, "_NET_WM_STATE_FULLSCREEN", False);
        XChangeProperty(display, window, XInternAtom(display, "_NET_WM_STATE", False), XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&fullscreen), 1);
    }
    XMapWindow(display, window);
    XEvent event;
    while (true) {
        XNextEvent(display, &event);
        if (event.type == DestroyNotify) break;
    }
    XCloseDisplay(display);
    return 0;
}
