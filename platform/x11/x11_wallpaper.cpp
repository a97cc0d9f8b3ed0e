#include "platform/x11/x11_wallpaper.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/shape.h>

#include <algorithm>

namespace {

bool errorSeen = false;
int NoteError(Display*, XErrorEvent*) {
    errorSeen = true;
    return 0;
}

// Another program's window may go at any moment: its requests fail without ending ours.
template <typename F>
bool Trapped(Display* display, F request) {
    XSync(display, False);
    errorSeen = false;
    const auto previous = XSetErrorHandler(NoteError);
    const bool ok = request();
    XSync(display, False);
    XSetErrorHandler(previous);
    return ok && !errorSeen;
}

// A property of 32-bit items (windows, atoms, cardinals).
std::vector<unsigned long> Property(Display* display, Window window, Atom property, Atom type) {
    std::vector<unsigned long> items;
    Atom actualType = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    const bool read = Trapped(display, [&] {
        return XGetWindowProperty(display, window, property, 0, 4096, False, type, &actualType, &format, &count, &after,
                                  &data) == Success;
    });
    if (read && data && actualType == type && format == 32) {
        const auto* values = reinterpret_cast<const unsigned long*>(data);
        items.assign(values, values + count);
    }
    if (data) XFree(data);
    return items;
}

Atom Intern(Display* display, const char* name) { return XInternAtom(display, name, False); }

}  // namespace

bool WindowManagerRuns(Display* display) {
    const Atom check = Intern(display, "_NET_SUPPORTING_WM_CHECK");
    const auto fromRoot = Property(display, DefaultRootWindow(display), check, XA_WINDOW);
    if (fromRoot.empty() || fromRoot[0] == None) return false;
    const auto fromItself = Property(display, fromRoot[0], check, XA_WINDOW);
    return !fromItself.empty() && fromItself[0] == fromRoot[0];
}

Window CreateDesktopWindow(Display* display, int left, int top, int width, int height) {
    const int screen = DefaultScreen(display);
    XSetWindowAttributes attributes{};
    attributes.background_pixel = BlackPixel(display, screen);
    attributes.event_mask = ExposureMask | StructureNotifyMask | VisibilityChangeMask;
    const Window window = XCreateWindow(display, RootWindow(display, screen), left, top, static_cast<unsigned>(width),
                                        static_cast<unsigned>(height), 0, CopyFromParent, InputOutput, CopyFromParent,
                                        CWBackPixel | CWEventMask, &attributes);
    XStoreName(display, window, "3D Tidewell wallpaper");
    XClassHint classHint{const_cast<char*>("3dtidewell"), const_cast<char*>("3D Tidewell")};
    XSetClassHint(display, window, &classHint);
    XWMHints hints{};
    hints.flags = InputHint;
    hints.input = False;
    XSetWMHints(display, window, &hints);
    XSizeHints size{};
    size.flags = USPosition | USSize;
    size.x = left;
    size.y = top;
    size.width = width;
    size.height = height;
    XSetWMNormalHints(display, window, &size);

    const Atom type = Intern(display, "_NET_WM_WINDOW_TYPE_DESKTOP");
    XChangeProperty(display, window, Intern(display, "_NET_WM_WINDOW_TYPE"), XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&type), 1);
    const Atom states[] = {Intern(display, "_NET_WM_STATE_BELOW"), Intern(display, "_NET_WM_STATE_SKIP_TASKBAR"),
                           Intern(display, "_NET_WM_STATE_SKIP_PAGER"), Intern(display, "_NET_WM_STATE_STICKY")};
    XChangeProperty(display, window, Intern(display, "_NET_WM_STATE"), XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(states), 4);
    const unsigned long everyDesktop = 0xFFFFFFFFul;
    XChangeProperty(display, window, Intern(display, "_NET_WM_DESKTOP"), XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&everyDesktop), 1);
    // No rectangle takes input: a click falls through to whatever is under the wallpaper.
    XShapeCombineRectangles(display, window, ShapeInput, 0, 0, nullptr, 0, ShapeSet, Unsorted);
    return window;
}

TX11Coverage::TX11Coverage(Display* display, Window ours, bool rootWindow)
    : display_(display),
      ours_(ours),
      root_(DefaultRootWindow(display)),
      rootWindow_(rootWindow),
      stacking_(Intern(display, "_NET_CLIENT_LIST_STACKING")),
      state_(Intern(display, "_NET_WM_STATE")),
      fullscreen_(Intern(display, "_NET_WM_STATE_FULLSCREEN")),
      hidden_(Intern(display, "_NET_WM_STATE_HIDDEN")) {
    XWindowAttributes attributes{};
    XGetWindowAttributes(display_, root_, &attributes);
    // The root's own mask keeps what it had (the adopted root window's structure and exposure).
    XSelectInput(display_, root_,
                 attributes.your_event_mask | (rootWindow_ ? SubstructureNotifyMask : PropertyChangeMask));
    Rescan();
}

TX11Coverage::~TX11Coverage() {
    for (const Window client : watched_) Trapped(display_, [&] { return XSelectInput(display_, client, NoEventMask) != 0; });
}

bool TX11Coverage::Handle(const XEvent& event) {
    bool changes = false;
    switch (event.type) {
        case PropertyNotify:
            changes = (event.xproperty.window == root_ && event.xproperty.atom == stacking_) ||
                      (watched_.count(event.xproperty.window) && event.xproperty.atom == state_);
            break;
        // The root's children (no window manager), or a watched client, appear, go or move.
        case MapNotify:
        case UnmapNotify:
        case ConfigureNotify:
        case DestroyNotify:
            changes = (rootWindow_ && event.xany.window == root_) || watched_.count(event.xany.window) != 0;
            break;
        default: break;
    }
    if (changes) Rescan();
    return changes;
}

TScreenRect TX11Coverage::Area() {
    XWindowAttributes attributes{};
    int x = 0, y = 0;
    Window child = None;
    if (!Trapped(display_, [&] {
            return XGetWindowAttributes(display_, ours_, &attributes) != 0 &&
                   XTranslateCoordinates(display_, ours_, root_, 0, 0, &x, &y, &child) != 0;
        }))
        return {};
    return {x, y, x + attributes.width, y + attributes.height};
}

void TX11Coverage::Rescan() {
    const auto covers = rootWindow_ ? TopLevelWindows() : FullScreenClients();
    covered_ = !covers.empty() && WhollyCovered(Area(), covers);
}

std::vector<TScreenRect> TX11Coverage::FullScreenClients() {
    std::vector<TScreenRect> covers;
    const auto clients = Property(display_, root_, stacking_, XA_WINDOW);
    // Clients that left the list are no longer watched (they may be gone already).
    for (auto it = watched_.begin(); it != watched_.end();) {
        if (std::find(clients.begin(), clients.end(), *it) == clients.end()) {
            const Window gone = *it;
            Trapped(display_, [&] { return XSelectInput(display_, gone, NoEventMask) != 0; });
            it = watched_.erase(it);
        } else {
            ++it;
        }
    }
    for (const unsigned long client : clients) {
        if (client == ours_) continue;
        if (!watched_.count(client) &&
            Trapped(display_, [&] { return XSelectInput(display_, client, PropertyChangeMask | StructureNotifyMask) != 0; }))
            watched_.insert(client);
        const auto states = Property(display_, client, state_, XA_ATOM);
        const bool fullscreen = std::find(states.begin(), states.end(), fullscreen_) != states.end();
        const bool hidden = std::find(states.begin(), states.end(), hidden_) != states.end();
        if (!fullscreen || hidden) continue;
        XWindowAttributes attributes{};
        int x = 0, y = 0;
        Window child = None;
        if (!Trapped(display_, [&] {
                return XGetWindowAttributes(display_, client, &attributes) != 0 &&
                       XTranslateCoordinates(display_, client, root_, 0, 0, &x, &y, &child) != 0;
            }))
            continue;
        if (attributes.map_state == IsViewable) covers.push_back({x, y, x + attributes.width, y + attributes.height});
    }
    return covers;
}

std::vector<TScreenRect> TX11Coverage::TopLevelWindows() {
    std::vector<TScreenRect> covers;
    Window root = None, parent = None, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display_, root_, &root, &parent, &children, &count)) return covers;
    for (unsigned i = 0; i < count; ++i) {
        XWindowAttributes attributes{};
        if (!Trapped(display_, [&] { return XGetWindowAttributes(display_, children[i], &attributes) != 0; })) continue;
        if (attributes.map_state != IsViewable || attributes.c_class != InputOutput) continue;
        covers.push_back({attributes.x, attributes.y, attributes.x + attributes.width + 2 * attributes.border_width,
                          attributes.y + attributes.height + 2 * attributes.border_width});
    }
    if (children) XFree(children);
    return covers;
}
