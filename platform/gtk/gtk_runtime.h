#pragma once
// GTK 3 for the settings dialog, started on demand on its X11 backend, and the hand-over of C++
// exceptions across GTK's C frames: a signal handler keeps the first one and the window
// system's pump raises it again after the dispatch.
#include <exception>
#include <string>
#include <utility>

struct _GtkWidget;
struct _GtkWindow;

// Starts GTK on the X display in $DISPLAY once; false when it cannot open it.
bool StartGtk();
bool GtkRunning();

// The desktop's handler for a file or a web address: gtk_show_uri_on_window while GTK runs,
// else xdg-open. False when nothing took it.
bool GtkOpenWithDesktop(const std::string& target);

// A modal message box with the error icon (GTK 3 no longer draws one itself), not yet shown.
_GtkWidget* NewErrorBox(_GtkWindow* parent, const std::string& text, const std::string& caption);

// Moves a window not yet shown to the centre of one monitor: the one with the pointer, else the
// primary; wholly on it when it fits.
void PlaceOnOneMonitor(_GtkWindow* window);

// The program's quit-signal pipe (-1: none), readable from the first quit signal on; given with
// the loop.
void SetGtkQuitPipe(int quitPipe);
int GtkQuitPipe();
// gtk_dialog_run, except that a quit signal, come before the box or while it is up, closes it as
// Cancel does: the program's stop must not wait for someone to click.
int RunModalBox(_GtkWidget* dialog, int quitPipe = GtkQuitPipe());

void GtkDefer(std::exception_ptr error);
// Raises the kept exception, if any, and forgets it.
void GtkRaiseDeferred();

// Runs f from a GTK callback: an exception is kept for GtkRaiseDeferred instead of unwinding
// through C code. Returns false when f threw.
template <typename F>
bool GtkGuarded(F&& f) noexcept {
    try {
        std::forward<F>(f)();
        return true;
    } catch (...) {
        GtkDefer(std::current_exception());
        return false;
    }
}
