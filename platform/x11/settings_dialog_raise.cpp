#include "platform/x11/settings_dialog_raise.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <memory>

namespace {

struct DisplayCloser {
    void operator()(Display* display) const { XCloseDisplay(display); }
};

// Another client's window may be gone between the search and the requests: its errors are no
// failure here.
int IgnoreErrors(Display*, XErrorEvent*) { return 0; }

bool IsDialog(Display* display, Window window, Atom marker) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    const bool marked = XGetWindowProperty(display, window, marker, 0, 1, False, XA_CARDINAL, &type, &format, &count, &after,
                                           &data) == Success &&
                        type == XA_CARDINAL && count == 1;
    if (data) XFree(data);
    if (!marked) return false;
    XWindowAttributes attributes{};
    return XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable;
}

// The root's children and, under a reparenting window manager, their children (the frames'
// clients).
Window FindDialog(Display* display, Window parent, Atom marker, int depth) {
    Window root = 0, up = 0, found = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, parent, &root, &up, &children, &count)) return 0;
    for (unsigned i = 0; i < count && !found; ++i)
        if (IsDialog(display, children[i], marker)) found = children[i];
    for (unsigned i = 0; i < count && !found && depth > 0; ++i) found = FindDialog(display, children[i], marker, depth - 1);
    if (children) XFree(children);
    return found;
}

}  // namespace

bool RaiseSettingsDialog() {
    std::unique_ptr<Display, DisplayCloser> display(XOpenDisplay(nullptr));
    if (!display) return false;
    Display* d = display.get();
    const Atom marker = XInternAtom(d, kSettingsDialogAtom, True);
    if (marker == None) return false;  // no dialog ever marked a window on this server
    const Window root = DefaultRootWindow(d);
    // Windows looked at in the search may go before they are asked about, too.
    const auto previous = XSetErrorHandler(IgnoreErrors);
    const Window dialog = FindDialog(d, root, marker, 1);
    if (!dialog) {
        XSetErrorHandler(previous);
        return false;
    }
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = dialog;
    event.xclient.message_type = XInternAtom(d, "_NET_ACTIVE_WINDOW", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = 2;  // a request on the user's behalf
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(d, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
    XRaiseWindow(d, dialog);
    XSetInputFocus(d, dialog, RevertToParent, CurrentTime);
    XSync(d, False);
    XSetErrorHandler(previous);
    return true;
}
