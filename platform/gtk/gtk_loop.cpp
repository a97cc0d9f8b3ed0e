#include "platform/gtk/gtk_loop.h"

#include <X11/Xlib.h>
#include <glib-unix.h>
#include <gtk/gtk.h>

#include "platform/gtk/gtk_runtime.h"

namespace {

// The window system's own X connection as a source of GLib's main context.
struct XSource {
    GSource base;
    TGtkLoop* owner;
    Display* display;
    GPollFD fd;
};

gboolean XPrepare(GSource* source, gint* timeout) {
    *timeout = -1;
    // Also flushes our requests before GLib blocks in poll.
    return XPending(reinterpret_cast<XSource*>(source)->display) > 0;
}
gboolean XCheck(GSource* source) { return XPending(reinterpret_cast<XSource*>(source)->display) > 0; }
gboolean XDispatch(GSource* source, GSourceFunc, gpointer) {
    reinterpret_cast<XSource*>(source)->owner->DispatchX();
    return G_SOURCE_CONTINUE;
}
GSourceFuncs xFuncs{XPrepare, XCheck, XDispatch, nullptr, nullptr, nullptr};

// The application's idle turns: ready while the application wants more of them.
struct IdleSource {
    GSource base;
    TGtkLoop* owner;
};

gboolean IdlePrepare(GSource* source, gint* timeout) {
    *timeout = -1;
    return reinterpret_cast<IdleSource*>(source)->owner->IdleReady();
}
gboolean IdleCheck(GSource* source) { return reinterpret_cast<IdleSource*>(source)->owner->IdleReady(); }
gboolean IdleDispatch(GSource* source, GSourceFunc, gpointer) {
    reinterpret_cast<IdleSource*>(source)->owner->DispatchIdle();
    return G_SOURCE_CONTINUE;
}
GSourceFuncs idleFuncs{IdlePrepare, IdleCheck, IdleDispatch, nullptr, nullptr, nullptr};

// The quit-signal pipe stays readable from the first signal on, and the window system runs its
// stop once: one dispatch is all it takes.
gboolean QuitReadable(gint, GIOCondition, gpointer owner) {
    static_cast<TGtkLoop*>(owner)->DispatchQuit();
    return G_SOURCE_REMOVE;
}

// The system whose idle turns GDK's events wake; GDK keeps one handler for the process.
TGtkLoop* eventOwner = nullptr;

// Every GDK event may change what the idle turns have to do.
void NoteGdkEvent(GdkEvent* event, gpointer data) {
    static_cast<TGtkLoop*>(data)->WantIdle();
    gtk_main_do_event(event);
}

void DestroySource(GSource*& source) {
    if (!source) return;
    g_source_destroy(source);
    g_source_unref(source);
    source = nullptr;
}

struct PumpScope {
    int& depth;
    explicit PumpScope(int& d) : depth(d) { ++depth; }
    ~PumpScope() { --depth; }
};

}  // namespace

TGtkLoop::TGtkLoop(IWindowSystem& x11, Display* display, int quitPipe) : x11_(x11), display_(display) {
    auto* x = reinterpret_cast<XSource*>(g_source_new(&xFuncs, sizeof(XSource)));
    x->owner = this;
    x->display = display;
    x->fd.fd = ConnectionNumber(display);
    x->fd.events = G_IO_IN | G_IO_HUP | G_IO_ERR;
    x->fd.revents = 0;
    g_source_add_poll(&x->base, &x->fd);
    g_source_set_priority(&x->base, G_PRIORITY_DEFAULT);
    g_source_set_name(&x->base, "Tidewell X windows");
    g_source_attach(&x->base, nullptr);
    xSource_ = &x->base;

    auto* idle = reinterpret_cast<IdleSource*>(g_source_new(&idleFuncs, sizeof(IdleSource)));
    idle->owner = this;
    // Below GTK's redraw and layout, so that the dialog stays responsive while frames run.
    g_source_set_priority(&idle->base, G_PRIORITY_DEFAULT_IDLE);
    g_source_set_name(&idle->base, "Tidewell idle turns");
    g_source_attach(&idle->base, nullptr);
    idleSource_ = &idle->base;

    // A quit signal ends the dialog without a poll for it, from nested loops (a box, "Preview...")
    // too.
    if (quitPipe >= 0) {
        quitSource_ = g_unix_fd_source_new(quitPipe, G_IO_IN);
        g_source_set_callback(quitSource_, G_SOURCE_FUNC(QuitReadable), this, nullptr);
        g_source_set_name(quitSource_, "Tidewell quit signal");
        g_source_attach(quitSource_, nullptr);
    }

    gdk_event_handler_set(NoteGdkEvent, this, nullptr);
    eventOwner = this;
}

TGtkLoop::~TGtkLoop() {
    if (eventOwner == this) {
        gdk_event_handler_set([](GdkEvent* event, gpointer) { gtk_main_do_event(event); }, nullptr, nullptr);
        eventOwner = nullptr;
    }
    DestroySource(xSource_);
    DestroySource(idleSource_);
    DestroySource(quitSource_);
}

void TGtkLoop::DispatchX() {
    GtkGuarded([this] {
        while (x11_.ProcessOne()) {
        }
    });
    idleWanted_ = true;
}

void TGtkLoop::DispatchQuit() {
    // The window system's pump takes the signal first and runs the stop it was given.
    GtkGuarded([this] { x11_.ProcessOne(); });
    idleWanted_ = true;
}

bool TGtkLoop::IdleReady() const {
    return application_ && idleWanted_ && pumping_ == 0 && !application_->Terminated();
}

void TGtkLoop::DispatchIdle() {
    g_source_set_ready_time(idleSource_, -1);
    ++idleTurns_;
    if (!application_ || application_->Terminated()) return;
    if (pumping_ > 0) {
        idleWanted_ = true;  // the pump's caller runs its own turns; ours resume after it
        return;
    }
    // A failing turn waits like a finished one rather than failing again at once.
    if (!GtkGuarded([this] { idleWanted_ = !application_->Idle(); })) idleWanted_ = false;
    // Done: another source's dispatch wakes the turns (RunLoop, the event handler, DispatchX).
    // The display's waking up is no event (DPMS): while it sleeps the turns come back each
    // second to ask, as the X11 pump does. Nothing else wakes an idle dialog.
    if (!idleWanted_ && x11_.DisplayAsleep())
        g_source_set_ready_time(idleSource_, g_get_monotonic_time() + G_USEC_PER_SEC);
}

bool TGtkLoop::ProcessOne() {
    if (x11_.ProcessOne()) {
        idleWanted_ = true;
        return true;
    }
    bool dispatched;
    {
        PumpScope scope(pumping_);
        dispatched = g_main_context_iteration(nullptr, FALSE);
    }
    GtkRaiseDeferred();
    return dispatched;
}

void TGtkLoop::WaitForMessage() {
    if (XPending(display_) > 0) return;
    {
        PumpScope scope(pumping_);
        g_main_context_iteration(nullptr, TRUE);
    }
    GtkRaiseDeferred();
}

void TGtkLoop::RunLoop(TApplication& application) {
    application.ProcessMessagesHook = [this, &application] {
        while (true) {
            try {
                if (!ProcessOne()) break;
            } catch (const std::exception& e) {
                application.HandleException(e);
            }
        }
    };
    struct Scope {
        TGtkLoop& system;
        TApplication& application;
        TApplication* outer;
        ~Scope() {
            system.application_ = outer;
            application.ProcessMessagesHook = nullptr;
        }
    } scope{*this, application, application_};
    application_ = &application;
    idleWanted_ = true;
    while (!application.Terminated()) {
        // Whatever ran besides the idle turns may have left them work: GTK's own idle callbacks,
        // such as a window's close, bypass the event handler.
        const unsigned turns = idleTurns_;
        if (g_main_context_iteration(nullptr, TRUE) && idleTurns_ == turns) idleWanted_ = true;
        try {
            GtkRaiseDeferred();
        } catch (const std::exception& e) {
            idleWanted_ = true;
            application.HandleException(e);
        }
    }
}
