#pragma once
// The idle-driven message loop: handle one waiting message, or when none waits run an idle
// turn; wait for a message only when the idle turn says it is done. Exceptions that escape a
// message or an idle turn go to the application's exception event and the loop goes on.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "app/application.h"
#include "app/exception.h"

class IMessagePump {
public:
    virtual ~IMessagePump() = default;
    // Handles one waiting message; false when none was waiting.
    virtual bool ProcessOne() = 0;
    // Blocks until a message arrives.
    virtual void WaitForMessage() = 0;
};

// Handles every message waiting now, without blocking; what a message raises goes to the
// application's exception event.
void PumpWaitingMessages(TApplication& application, IMessagePump& pump);
// Runs until the application terminates. Also sets the application's ProcessMessagesHook.
void RunMessageLoop(TApplication& application, IMessagePump& pump);
// One pass: a message or an idle turn (with its wait). Exposed for tests.
void HandleMessage(TApplication& application, IMessagePump& pump);

// A window the saver draws into: the full-screen saver window or a preview child window.
// Input and paint reach the handlers below, on the loop's thread.
class ISaverWindow {
public:
    virtual ~ISaverWindow() = default;
    // The platform's id of the window, as a number (see platform/<name>/).
    virtual std::intptr_t NativeHandle() = 0;
    virtual int Width() = 0;
    virtual int Height() = 0;
    virtual bool Visible() = 0;
    virtual void Show() = 0;
    virtual void Hide() = 0;
    // Paints now, synchronously: OnPaint runs before this returns.
    virtual void Paint() = 0;
    // Destroyed by its owner, even when the notice has not arrived yet: another program's window
    // may go at any moment.
    virtual bool Gone() { return false; }
    // Nobody can see the window now: it is unmapped, minimised (or its top-level window is),
    // or wholly covered. The window system's events tell when this changes, so the loop may
    // wait for them instead of drawing.
    virtual bool Unseen() { return false; }
    // Moves and sizes a window of the program's own to (left, top, width, height) of the desktop
    // (the monitors changed while it runs); false for one that is not the program's to move (the
    // root window, from (0, 0)).
    virtual bool Place(int, int, int, int) { return false; }

    std::function<void()> OnPaint;
    std::function<void()> OnMouseButton;
    std::function<void()> OnKey;
    std::function<void(int x, int y)> OnMouseMove;
    // The window is gone (closed, or its parent was destroyed).
    std::function<void()> OnDestroyed;
};

class IWindowSystem : public IMessagePump {
public:
    // Borderless, topmost, no taskbar button, no cursor, at (left, top) of the desktop with the
    // given size; takes the mouse and the keyboard while shown.
    virtual std::unique_ptr<ISaverWindow> CreateSaverWindow(const std::string& title, int left, int top, int width,
                                                            int height) = 0;
    // A black window over another monitor while the saver runs: borderless, topmost, no taskbar
    // button, no cursor, takes nothing away from the saver window; its input reaches its handlers.
    virtual std::unique_ptr<ISaverWindow> CreateCoverWindow(int left, int top, int width, int height) = 0;
    // A child of a foreign window covering its whole client area. nullptr when parent does not exist.
    virtual std::unique_ptr<ISaverWindow> CreateChildWindow(std::intptr_t parent) = 0;
    // Another program's window (an xscreensaver hack's), or the root window for -1, drawn into
    // as it is: never mapped, moved or destroyed here, and no input from it. It follows the
    // window's size. nullptr when the window does not exist or the platform has no such mode.
    virtual std::unique_ptr<ISaverWindow> AdoptWindow(std::intptr_t) { return nullptr; }
    // The live wallpaper's window over (left, top, width, height): below every other window,
    // never taking input or focus, with the cursor the desktop shows there; or, where nobody
    // manages windows, the root window itself. Unseen also while windows cover it. Raises
    // Exception saying what the wallpaper needs where the window system has no such place.
    virtual std::unique_ptr<ISaverWindow> CreateWallpaperWindow(int, int, int, int) {
        throw Exception("The wallpaper needs an X11 desktop or a Wayland compositor with the layer-shell protocol.");
    }
    // From now on SIGTERM, SIGINT and SIGHUP (on Windows WM_CLOSE and the session's end at a saver
    // window) do not end the process where it stands: the loop runs onQuit (once).
    virtual void WatchQuitSignals(std::function<void()>) {}
    // A watched quit signal has arrived: the run ends as the user asked, whatever failed before.
    virtual bool QuitSignalled() { return false; }
    // Starts loading the graphics driver in the background, so that the first rendering context
    // is made sooner; the caller goes on building its scene meanwhile. Nothing where there is no gain.
    virtual void PrepareDrawing() {}
    // Waits for what PrepareDrawing started. Called before the first rendering context is made,
    // so that the driver is never set up from two threads at once.
    virtual void FinishPreparingDrawing() {}
    // The display is asleep (power management turned it off). Where the system has to be asked
    // rather than told, it is asked at most once a second, and a wait for messages while it
    // sleeps ends within a second so that its waking is seen.
    virtual bool DisplayAsleep() { return false; }
    // The program's loop until the application terminates. A toolkit with a main loop of its
    // own (GTK under the settings dialog) runs that one instead, with the idle turns as its source.
    virtual void RunLoop(TApplication& application) { RunMessageLoop(application, *this); }

    // Run by the loop when monitors come or go (a Wayland output added or removed, an X11 RandR
    // change while the wallpaper runs); the saver and the wallpaper lay their windows out again.
    std::function<void()> OnMonitorsChanged;
};
