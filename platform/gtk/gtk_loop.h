#pragma once
// GLib's main loop as the program's loop once the settings dialog exists: the X11 window
// system's connection, the quit-signal pipe and the application's idle turns become sources of
// the default main context. The program's window system hands its pump over to it (platform/x11).
#include "platform/gtk/gtk_module.h"

struct _GSource;

class TGtkLoop final : public IGtkLoop {
public:
    // GTK must be running; x11 and display outlive this loop. quitPipe (-1: none) as in
    // IGtkModule::CreateLoop.
    TGtkLoop(IWindowSystem& x11, _XDisplay* display, int quitPipe);
    ~TGtkLoop() override;
    TGtkLoop(const TGtkLoop&) = delete;
    TGtkLoop& operator=(const TGtkLoop&) = delete;

    // One X event of the saver windows or one GLib dispatch; a C++ exception kept by a GTK
    // callback is raised here.
    bool ProcessOne() override;
    void WaitForMessage() override;
    void RunLoop(TApplication& application) override;

    // For the GLib sources.
    void DispatchX();
    void DispatchQuit();
    bool IdleReady() const;
    void DispatchIdle();
    void WantIdle() { idleWanted_ = true; }

private:
    IWindowSystem& x11_;
    _XDisplay* display_;
    _GSource* xSource_ = nullptr;
    _GSource* idleSource_ = nullptr;
    _GSource* quitSource_ = nullptr;
    TApplication* application_ = nullptr;  // while RunLoop runs
    bool idleWanted_ = true;
    unsigned idleTurns_ = 0;  // dispatches of the idle source
    // Inside ProcessOne and WaitForMessage the caller runs the idle turns itself.
    int pumping_ = 0;
};
