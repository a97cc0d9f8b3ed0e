#include "platform/x11/x11_window_system.h"

#include <X11/Xlib.h>
#include <X11/Xproto.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xrandr.h>
#include <X11/extensions/Xrender.h>
#include <X11/extensions/dpms.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

#include "app/exception.h"
#include "platform/x11/glx_preload.h"
#include "platform/x11/x11_wallpaper.h"

namespace {

bool xErrorSeen = false;
int NoteXError(Display*, XErrorEvent*) {
    xErrorSeen = true;
    return 0;
}

// Runs an X request whose failure is an answer, not a fatal error.
template <typename F>
bool Trapped(Display* display, F request) {
    XSync(display, False);
    xErrorSeen = false;
    const auto previous = XSetErrorHandler(NoteXError);
    const bool ok = request();
    XSync(display, False);
    XSetErrorHandler(previous);
    return ok && !xErrorSeen;
}

// A hack's window belongs to xscreensaver, which may destroy it while a frame is drawn into it.
// Requests on a window that is gone are no reason to end: its DestroyNotify ends the run.
// GLX reports the same as errors of its own (GLXBadDrawable 2, GLXBadCurrentWindow 5,
// GLXBadCurrentDrawable 11, GLXBadWindow 12), numbered from its first error.
XErrorHandler defaultErrorHandler = nullptr;
int glxFirstError = -1;
XID adoptedWindow = 0;
int ForgiveGoneWindows(Display* display, XErrorEvent* event) {
    bool gone = event->error_code == BadWindow || event->error_code == BadDrawable;
    if (glxFirstError >= 0)
        for (const int glxError : {2, 5, 11, 12}) gone = gone || event->error_code == glxFirstError + glxError;
    // Mesa's software driver asks the window's size and uses the answer unchecked: past a
    // failed X_GetGeometry it would draw into memory it never had. The run ends here, as it
    // would with the window.
    if (gone && event->request_code == X_GetGeometry && event->resourceid == adoptedWindow && adoptedWindow != 0)
        _exit(0);
    if (gone) return 0;
    // A context made while the window went has graphics contexts that never came to be.
    if (event->error_code == BadGC && event->request_code == X_FreeGC) return 0;
    return defaultErrorHandler ? defaultErrorHandler(display, event) : 0;
}

void SleepMilliseconds(long ms) {
    const timespec pause{0, ms * 1000000L};
    nanosleep(&pause, nullptr);
}

}  // namespace

class TX11WindowSystem::Window final : public ISaverWindow {
public:
    Window(TX11WindowSystem& system, ::Window window, bool saver, int width, int height, bool adopted = false)
        : system_(system), window_(window), saver_(saver), adopted_(adopted), width_(width), height_(height) {
        system_.windows_[window_] = this;
    }
    ~Window() override {
        system_.windows_.erase(window_);
        if (coverage_ && system_.coverage_ == coverage_.get()) system_.coverage_ = nullptr;
        coverage_.reset();
        Display* d = system_.display_;
        for (const auto& entry : ancestors_) {
            const ::Window ancestor = entry.first;
            const auto watcher = system_.ancestors_.find(ancestor);
            if (watcher == system_.ancestors_.end() || watcher->second != this) continue;
            system_.ancestors_.erase(watcher);
            // Our interest only: the window is another's, and may be gone already.
            Trapped(d, [&] { return XSelectInput(d, ancestor, NoEventMask) != 0; });
        }
        if (adopted_) {
            // Our interest in the window ends; the window is its owner's.
            if (!destroyed_) Trapped(d, [&] { return XSelectInput(d, window_, NoEventMask) != 0; });
            return;
        }
        if (!destroyed_) {
            Release();
            XDestroyWindow(d, window_);
        }
        XFlush(d);
    }

    std::intptr_t NativeHandle() override { return static_cast<std::intptr_t>(window_); }
    int Width() override { return width_; }
    int Height() override { return height_; }
    bool Visible() override { return visible_ && !destroyed_; }
    bool Unseen() override {
        if (destroyed_ || unmapped_ || obscured_ || (coverage_ && coverage_->Covered())) return true;
        for (const auto& [ancestor, unmapped] : ancestors_)
            if (unmapped) return true;
        return false;
    }
    void Show() override {
        if (destroyed_) return;
        if (adopted_) {
            visible_ = true;
            return;
        }
        Display* d = system_.display_;
        XMapRaised(d, window_);
        XSync(d, False);
        visible_ = true;
        if (saver_) Grab();
    }
    void Hide() override {
        if (destroyed_) return;
        if (adopted_) {
            visible_ = false;
            return;
        }
        Release();
        XUnmapWindow(system_.display_, window_);
        XFlush(system_.display_);
        visible_ = false;
    }
    void Paint() override {
        if (OnPaint && !destroyed_) OnPaint();
    }
    bool Place(int left, int top, int width, int height) override {
        if (adopted_ || destroyed_) return false;
        XMoveResizeWindow(system_.display_, window_, left, top, static_cast<unsigned>(width), static_cast<unsigned>(height));
        XFlush(system_.display_);
        return true;
    }
    // Windows over this one are watched from now on; the system hands it every event.
    void WatchCoverage(bool rootWindow) {
        coverage_ = std::make_unique<TX11Coverage>(system_.display_, window_, rootWindow);
        system_.coverage_ = coverage_.get();
    }
    bool Gone() override {
        if (destroyed_ || !adopted_) return destroyed_;
        XWindowAttributes attributes{};
        return !Trapped(system_.display_, [&] { return XGetWindowAttributes(system_.display_, window_, &attributes) != 0; });
    }

    // The system's, shown while the pointer is grabbed.
    void SetCursor(Cursor cursor) { cursor_ = cursor; }

    // A window inside another program's (the dialog's panel, the desktop's preview): that
    // program's windows up to the root are watched, since a minimised top-level window is
    // unmapped by the window manager and our window hears nothing of it.
    void WatchAncestors() {
        Display* d = system_.display_;
        ::Window current = window_;
        while (true) {
            ::Window root = 0, parent = 0, *children = nullptr;
            unsigned count = 0;
            if (!Trapped(d, [&] { return XQueryTree(d, current, &root, &parent, &children, &count) != 0; })) break;
            if (children) XFree(children);
            if (parent == 0 || parent == root) break;
            XWindowAttributes attributes{};
            if (!Trapped(d, [&] {
                    return XSelectInput(d, parent, StructureNotifyMask) != 0 &&
                           XGetWindowAttributes(d, parent, &attributes) != 0;
                }))
                break;
            ancestors_[parent] = attributes.map_state == IsUnmapped;
            system_.ancestors_[parent] = this;
            current = parent;
        }
    }
    // A map state known before its events come: an adopted window may be unmapped already.
    void SetUnmapped(bool unmapped) { unmapped_ = unmapped; }
    void DispatchAncestor(XEvent& event) {
        const auto it = ancestors_.find(event.xany.window);
        if (it == ancestors_.end()) return;
        if (event.type == UnmapNotify || event.type == MapNotify) it->second = event.type == UnmapNotify;
    }

    void Dispatch(XEvent& event) {
        switch (event.type) {
            case Expose:
                if (event.xexpose.count == 0) Paint();
                break;
            // Handlers run from a copy: a stop request may destroy this window.
            case KeyPress:
                if (auto handler = OnKey) handler();
                break;
            case ButtonPress:
                if (auto handler = OnMouseButton) handler();
                break;
            case MotionNotify:
                if (auto handler = OnMouseMove) handler(event.xmotion.x, event.xmotion.y);
                break;
            // The root window's children's structure reaches it too (the wallpaper watches them).
            case ConfigureNotify:
                if (event.xconfigure.window != window_) break;
                width_ = event.xconfigure.width;
                height_ = event.xconfigure.height;
                break;
            // A change back to viewable comes as a visibility event too; becoming unviewable
            // (a parent unmapped) does not, hence the watched ancestors below.
            case VisibilityNotify:
                obscured_ = event.xvisibility.state == VisibilityFullyObscured;
                break;
            case UnmapNotify:
            case MapNotify:
                if ((event.type == UnmapNotify ? event.xunmap.window : event.xmap.window) != window_) break;
                unmapped_ = event.type == UnmapNotify;
                break;
            case DestroyNotify:
                if (event.xdestroywindow.window != window_) break;
                destroyed_ = true;
                visible_ = false;
                system_.windows_.erase(window_);
                if (auto handler = OnDestroyed) handler();
                break;
            default: break;
        }
    }

private:
    void Grab() {
        Display* d = system_.display_;
        // A freshly mapped window may not be viewable yet: try for a short while.
        for (int attempt = 0; attempt < 50 && !grabbed_; ++attempt) {
            const int pointer = XGrabPointer(d, window_, True, ButtonPressMask | PointerMotionMask, GrabModeAsync,
                                             GrabModeAsync, window_, cursor_, CurrentTime);
            const int keyboard = XGrabKeyboard(d, window_, True, GrabModeAsync, GrabModeAsync, CurrentTime);
            grabbed_ = pointer == GrabSuccess && keyboard == GrabSuccess;
            if (!grabbed_) SleepMilliseconds(10);
        }
        XSetInputFocus(d, window_, RevertToParent, CurrentTime);
        XFlush(d);
    }
    void Release() {
        if (!grabbed_) return;
        XUngrabPointer(system_.display_, CurrentTime);
        XUngrabKeyboard(system_.display_, CurrentTime);
        grabbed_ = false;
    }

    TX11WindowSystem& system_;
    ::Window window_;
    bool saver_;
    bool adopted_;
    int width_, height_;
    Cursor cursor_ = 0;
    bool visible_ = false;
    bool grabbed_ = false;
    bool destroyed_ = false;
    bool unmapped_ = false;
    bool obscured_ = false;
    std::map<::Window, bool> ancestors_;  // watched ancestor: unmapped
    std::unique_ptr<TX11Coverage> coverage_;
};

TX11WindowSystem::TX11WindowSystem(const std::string& displayName) {
    // The driver loader sends requests on this connection from its own thread. libX11 1.8 and
    // later lock every connection anyway; older ones only after this call.
    XInitThreads();
    display_ = XOpenDisplay(displayName.empty() ? nullptr : displayName.c_str());
    if (display_) return;
    const std::string name = displayName.empty() ? XDisplayName(nullptr) : displayName;
    throw Exception((name.empty() ? std::string("no display (DISPLAY is not set)") : "cannot open display '" + name + "'") +
                    ": run it inside an X session, or under Xvfb (xvfb-run 3dtidewell /s)");
}

TX11WindowSystem::~TX11WindowSystem() {
    FinishPreparingDrawing();
    if (!display_) return;
    if (blankCursor_) XFreeCursor(display_, blankCursor_);
    XCloseDisplay(display_);
}

unsigned long TX11WindowSystem::BlankCursor() {
    if (blankCursor_) return blankCursor_;
    blankCursor_ = BlankRenderCursor();
    if (blankCursor_) return blankCursor_;
    static const char blank[1] = {0};
    const Pixmap bitmap = XCreateBitmapFromData(display_, DefaultRootWindow(display_), blank, 1, 1);
    XColor black{};
    blankCursor_ = XCreatePixmapCursor(display_, bitmap, bitmap, &black, &black, 0, 0);
    XFreePixmap(display_, bitmap);
    return blankCursor_;
}

// A transparent 1x1 RENDER cursor; 0 when the server has no RENDER. Unlike a pixmap cursor it
// loads no library: libX11 dlopens libXcursor for the first pixmap cursor, and a dlopen waits
// for one in progress, which the driver loader's would be for most of its run.
unsigned long TX11WindowSystem::BlankRenderCursor() {
    int eventBase = 0, errorBase = 0;
    if (!XRenderQueryExtension(display_, &eventBase, &errorBase)) return 0;
    XRenderPictFormat* format = XRenderFindStandardFormat(display_, PictStandardARGB32);
    if (!format) return 0;
    const Pixmap pixmap = XCreatePixmap(display_, DefaultRootWindow(display_), 1, 1, 32);
    XRenderPictureAttributes attributes{};
    const Picture picture = XRenderCreatePicture(display_, pixmap, format, 0, &attributes);
    const XRenderColor transparent{0, 0, 0, 0};
    XRenderFillRectangle(display_, PictOpSrc, picture, &transparent, 0, 0, 1, 1);
    const Cursor cursor = XRenderCreateCursor(display_, picture, 0, 0);
    XRenderFreePicture(display_, picture);
    XFreePixmap(display_, pixmap);
    return cursor;
}

void TX11WindowSystem::PrepareDrawing() {
    if (driverLoader_.joinable()) return;
    driverLoader_ = std::thread(PreloadGlxDriver, display_);
}

void TX11WindowSystem::FinishPreparingDrawing() {
    if (driverLoader_.joinable()) driverLoader_.join();
}

bool TX11WindowSystem::QuitSignalled() { return QuitSignalSeen(); }

void TX11WindowSystem::WatchQuitSignals(std::function<void()> onQuit) {
    onQuit_ = std::move(onQuit);
    WatchQuitSignalsFromNow();
}

bool TX11WindowSystem::ProcessOne() {
    if (onQuit_ && TakeQuitSignal()) {
        // Once: the handler ends the run.
        auto handler = std::move(onQuit_);
        onQuit_ = nullptr;
        handler();
        return true;
    }
    if (XPending(display_) == 0) return false;
    XEvent event;
    XNextEvent(display_, &event);
    if (coverage_) coverage_->Handle(event);
    if (randrEventBase_ >= 0 &&
        (event.type == randrEventBase_ + RRScreenChangeNotify || event.type == randrEventBase_ + RRNotify)) {
        XRRUpdateConfiguration(&event);
        if (auto handler = OnMonitorsChanged) handler();
        return true;
    }
    const auto it = windows_.find(event.xany.window);
    if (it != windows_.end()) {
        it->second->Dispatch(event);
    } else {
        const auto watcher = ancestors_.find(event.xany.window);
        if (watcher != ancestors_.end()) watcher->second->DispatchAncestor(event);
    }
    return true;
}

bool TX11WindowSystem::DisplayAsleep() {
    if (dpms_ == Dpms::Absent) return false;
    const auto now = std::chrono::steady_clock::now();
    if (dpms_ == Dpms::Present && now - dpmsAskedAt_ < std::chrono::seconds(1)) return displayAsleep_;
    dpmsAskedAt_ = now;
    if (dpms_ == Dpms::Unknown) {
        // Xvfb and many nested servers have no DPMS: their display never sleeps.
        int eventBase = 0, errorBase = 0;
        dpms_ = DPMSQueryExtension(display_, &eventBase, &errorBase) && DPMSCapable(display_) ? Dpms::Present
                                                                                               : Dpms::Absent;
        if (dpms_ == Dpms::Absent) return false;
    }
    CARD16 level = DPMSModeOn;
    BOOL enabled = False;
    displayAsleep_ = DPMSInfo(display_, &level, &enabled) && enabled && level != DPMSModeOn;
    return displayAsleep_;
}

void TX11WindowSystem::WaitForMessage() {
    // XPending reads what the server sent; poll waits for the server or a quit signal, the pipe
    // only while a stop waits for it (it stays readable after). DPMS sends no event when the
    // display wakes: while it sleeps the wait ends each second so that the loop asks again.
    while (XPending(display_) == 0 && !(onQuit_ && QuitSignalPending())) {
        pollfd fds[2] = {{ConnectionNumber(display_), POLLIN, 0}, {QuitSignalPipe(), POLLIN, 0}};
        if (poll(fds, onQuit_ && fds[1].fd >= 0 ? 2 : 1, displayAsleep_ ? 1000 : -1) == 0) break;
    }
}

std::unique_ptr<ISaverWindow> TX11WindowSystem::CreateSaverWindow(const std::string& title, int left, int top, int width,
                                                                   int height) {
    return MakeTopWindow(title, left, top, width, height, true);
}

std::unique_ptr<ISaverWindow> TX11WindowSystem::CreateCoverWindow(int left, int top, int width, int height) {
    return MakeTopWindow("", left, top, width, height, false);
}

std::unique_ptr<ISaverWindow> TX11WindowSystem::MakeTopWindow(const std::string& title, int left, int top, int width,
                                                              int height, bool grab) {
    const int screen = DefaultScreen(display_);
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    attributes.background_pixel = BlackPixel(display_, screen);
    attributes.event_mask =
        ExposureMask | KeyPressMask | ButtonPressMask | PointerMotionMask | StructureNotifyMask | VisibilityChangeMask;
    const ::Window window = XCreateWindow(display_, RootWindow(display_, screen), left, top, static_cast<unsigned>(width),
                                          static_cast<unsigned>(height), 0, CopyFromParent, InputOutput, CopyFromParent,
                                          CWOverrideRedirect | CWBackPixel | CWEventMask, &attributes);
    XStoreName(display_, window, title.c_str());
    // A blank cursor: the saver shows none.
    const Cursor cursor = BlankCursor();
    XDefineCursor(display_, window, cursor);
    auto result = std::make_unique<Window>(*this, window, grab, width, height);
    result->SetCursor(cursor);
    return result;
}

std::unique_ptr<ISaverWindow> TX11WindowSystem::CreateChildWindow(std::intptr_t parent) {
    XWindowAttributes parentAttributes{};
    const auto parentWindow = static_cast<::Window>(parent);
    if (parent <= 0 || !Trapped(display_, [&] { return XGetWindowAttributes(display_, parentWindow, &parentAttributes) != 0; }))
        return nullptr;
    XSetWindowAttributes attributes{};
    attributes.background_pixel = BlackPixel(display_, DefaultScreen(display_));
    attributes.event_mask = ExposureMask | StructureNotifyMask | VisibilityChangeMask;
    ::Window window = 0;
    if (!Trapped(display_, [&] {
            window = XCreateWindow(display_, parentWindow, 0, 0, static_cast<unsigned>(parentAttributes.width),
                                   static_cast<unsigned>(parentAttributes.height), 0, CopyFromParent, InputOutput,
                                   CopyFromParent, CWBackPixel | CWEventMask, &attributes);
            return window != 0;
        }))
        return nullptr;
    auto child = std::make_unique<Window>(*this, window, false, parentAttributes.width, parentAttributes.height);
    child->WatchAncestors();
    return child;
}

std::unique_ptr<ISaverWindow> TX11WindowSystem::AdoptWindow(std::intptr_t id) {
    const ::Window window = id == -1 ? DefaultRootWindow(display_) : static_cast<::Window>(id);
    if (id == 0 || id < -1) return nullptr;
    if (!defaultErrorHandler) {
        int opcode = 0, firstEvent = 0, firstError = 0;
        if (XQueryExtension(display_, "GLX", &opcode, &firstEvent, &firstError)) glxFirstError = firstError;
        defaultErrorHandler = XSetErrorHandler(ForgiveGoneWindows);
    }
    if (id != -1) adoptedWindow = window;
    XWindowAttributes attributes{};
    // Size changes, the window's end, its unmapping and covering; a foreign window's other
    // clients keep their own masks. The map state is read after the selection, so that no
    // change falls between the two.
    if (!Trapped(display_, [&] {
            return XGetWindowAttributes(display_, window, &attributes) != 0 &&
                   XSelectInput(display_, window,
                                attributes.your_event_mask | ExposureMask | StructureNotifyMask | VisibilityChangeMask) !=
                       0 &&
                   XGetWindowAttributes(display_, window, &attributes) != 0;
        }))
        return nullptr;
    auto adopted = std::make_unique<Window>(*this, window, false, attributes.width, attributes.height, true);
    adopted->SetUnmapped(attributes.map_state == IsUnmapped);
    return adopted;
}

std::unique_ptr<ISaverWindow> TX11WindowSystem::CreateWallpaperWindow(int left, int top, int width, int height) {
    // Monitors switched off or on, unplugged or plugged: the wallpaper is arranged again.
    int errorBase = 0;
    if (randrEventBase_ < 0 && XRRQueryExtension(display_, &randrEventBase_, &errorBase))
        XRRSelectInput(display_, DefaultRootWindow(display_),
                       RRScreenChangeNotifyMask | RRCrtcChangeNotifyMask | RROutputChangeNotifyMask);
    if (!WindowManagerRuns(display_)) {
        // Nobody would keep a window of ours below the others: the root window is the desktop.
        auto root = AdoptWindow(-1);
        if (root) static_cast<Window&>(*root).WatchCoverage(true);
        return root;
    }
    const ::Window id = CreateDesktopWindow(display_, left, top, width, height);
    auto window = std::make_unique<Window>(*this, id, false, width, height);
    // Unseen until the window manager has mapped it.
    window->SetUnmapped(true);
    window->WatchCoverage(false);
    return window;
}
