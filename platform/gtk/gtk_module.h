#pragma once
// The contract between the program and its GTK module (3dtidewell-gtk.so), which the program
// loads with dlopen on first need: the saver itself never maps GTK. No GTK type crosses it.
// Both sides are built together from this tree; the version guards against a module of
// another build found in the installed location.
#include <memory>
#include <string>

#include "app/message_loop.h"
#include "form/settings_view.h"

struct _XDisplay;

// Raise it whenever this header or a class whose objects cross it changes.
constexpr int kGtkModuleVersion = 5;
constexpr char kGtkModuleFile[] = "3dtidewell-gtk.so";
constexpr char kGtkModuleEntry[] = "TidewellGtkModule";

// GLib's main loop as the program's loop: the X connection of the window system it was made
// over, the quit-signal pipe and the application's idle turns are sources of the default main
// context.
class IGtkLoop : public IMessagePump {
public:
    // Until the application terminates.
    virtual void RunLoop(TApplication& application) = 0;
};

class IGtkModule {
public:
    // Starts GTK on $DISPLAY; raises Exception when it cannot.
    virtual std::unique_ptr<ISettingsView> CreateSettingsView() = 0;
    // GTK must be running. x11 is the program's X11 window system, display its connection;
    // both outlive the loop. quitPipe (-1: none) is readable from the first quit signal
    // on, and stays so once x11's pump has taken the signal: the loop then runs that pump, and
    // the dialog's boxes close, those opened later too. The loop reads nothing from the pipe.
    virtual std::unique_ptr<IGtkLoop> CreateLoop(IWindowSystem& x11, _XDisplay* display, int quitPipe) = 0;
    // gtk_show_uri_on_window while GTK runs, else xdg-open.
    virtual bool OpenWithDesktop(const std::string& target) = 0;
    // A modal error box when GTK can be started; nothing otherwise. It closes by itself while
    // quitPipe (-1: none, as in CreateLoop) is readable, at once when a quit signal came before.
    virtual void ShowErrorBox(const std::string& text, const std::string& caption, int quitPipe) = 0;

protected:
    ~IGtkModule() = default;
};

// The module's one exported symbol: nullptr when version is not the module's own.
extern "C" IGtkModule* TidewellGtkModule(int version);
using TGtkModuleEntry = IGtkModule* (*)(int version);
