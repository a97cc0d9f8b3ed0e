// PLATFORM: GTK 3 on its X11 backend, for the settings dialog, the About box and error boxes on
// Linux. It is a module of its own (3dtidewell-gtk.so, platform/gtk/gtk_module.h) that the
// program loads when the dialog is made or an error box is shown: the full-screen saver and the
// small preview never map GTK. Once the dialog exists GLib's main loop is the program's loop,
// with the saver windows' X connection and the application's idle turns as its sources.
//
// LIMITATIONS: X11 only; on a Wayland session it needs XWayland, because the preview is drawn
// by GLX into a native X child window of the dialog. Without an X display the dialog cannot be
// made (an Exception says so) and error messages go to the standard error stream only.
// A window manager decides the final placement; without one the dialog and the boxes open centred
// on one monitor (placement.cpp).
//
// DEPENDENCIES: gtk+-3.0 (GTK, GDK with gdkx.h, GLib, GIO, GdkPixbuf) through pkg-config, Xlib,
// Xinerama; xdg-open as the desktop's opener when GTK is not running. Of the program's own code
// only the application and its message loop (app/) are built in: the module needs nothing else
// from it.
#include <gdk/gdkx.h>
#include <glib-unix.h>
#include <gtk/gtk.h>

#include <cstdlib>
#include <memory>

#include "app/exception.h"
#include "platform/gtk/gtk_loop.h"
#include "platform/gtk/gtk_module.h"
#include "platform/gtk/gtk_runtime.h"
#include "platform/gtk/settings_view.h"

namespace {

enum class TGtkState { NotTried, Running, Failed };
TGtkState gtkState = TGtkState::NotTried;
std::exception_ptr deferred;

std::string DisplayName() {
    const char* name = std::getenv("DISPLAY");
    return name && *name ? name : "(unset)";
}

// The visible top-level window that has the focus, for dialogs and the opener to sit on.
GtkWindow* ActiveWindow() {
    GList* toplevels = gtk_window_list_toplevels();
    GtkWindow* found = nullptr;
    for (GList* item = toplevels; item; item = item->next) {
        auto* window = GTK_WINDOW(item->data);
        if (!gtk_widget_get_visible(GTK_WIDGET(window))) continue;
        if (!found || gtk_window_is_active(window)) found = window;
    }
    g_list_free(toplevels);
    return found;
}

}  // namespace

bool StartGtk() {
    if (gtkState == TGtkState::NotTried) {
        gdk_set_allowed_backends("x11");
        gtkState = gtk_init_check(nullptr, nullptr) ? TGtkState::Running : TGtkState::Failed;
        // Every window of ours (the dialog, the error boxes) shows the program's icon, which the
        // package puts into the desktop's icon theme.
        if (gtkState == TGtkState::Running) gtk_window_set_default_icon_name("3dtidewell");
    }
    return gtkState == TGtkState::Running;
}

bool GtkRunning() { return gtkState == TGtkState::Running; }

void GtkDefer(std::exception_ptr error) {
    if (!deferred) deferred = error;
}

void GtkRaiseDeferred() {
    if (!deferred) return;
    auto error = deferred;
    deferred = nullptr;
    std::rethrow_exception(error);
}

GtkWidget* NewErrorBox(GtkWindow* parent, const std::string& text, const std::string& caption) {
    std::string plain = text;
    std::erase(plain, '\r');
    GtkWidget* box = gtk_message_dialog_new(parent, GTK_DIALOG_MODAL, GTK_MESSAGE_ERROR, GTK_BUTTONS_OK, "%s", plain.c_str());
    gtk_window_set_title(GTK_WINDOW(box), caption.c_str());
    GtkWidget* message = gtk_message_dialog_get_message_area(GTK_MESSAGE_DIALOG(box));
    GtkWidget* row = gtk_widget_get_parent(message);
    if (GTK_IS_BOX(row)) {
        GtkWidget* icon = gtk_image_new_from_icon_name("dialog-error", GTK_ICON_SIZE_DIALOG);
        gtk_widget_set_name(icon, "ErrorIcon");
        gtk_widget_set_valign(icon, GTK_ALIGN_START);
        gtk_box_pack_start(GTK_BOX(row), icon, FALSE, FALSE, 0);
        gtk_box_reorder_child(GTK_BOX(row), icon, 0);
        gtk_widget_show(icon);
    }
    return box;
}

namespace {
int quitPipeOfLoop = -1;
}  // namespace

void SetGtkQuitPipe(int quitPipe) { quitPipeOfLoop = quitPipe; }
int GtkQuitPipe() { return quitPipeOfLoop; }

int RunModalBox(GtkWidget* dialog, int quitPipe) {
    struct QuitWatch {
        GtkWidget* box;
        bool fired = false;
    } watch{dialog};
    const guint quit = quitPipe < 0 ? 0
                                    : g_unix_fd_add(quitPipe, G_IO_IN, [](gint, GIOCondition, gpointer data) -> gboolean {
                                          auto* w = static_cast<QuitWatch*>(data);
                                          w->fired = true;
                                          gtk_dialog_response(GTK_DIALOG(w->box), GTK_RESPONSE_CANCEL);
                                          return G_SOURCE_REMOVE;
                                      }, &watch);
    PlaceOnOneMonitor(GTK_WINDOW(dialog));
    const int response = gtk_dialog_run(GTK_DIALOG(dialog));
    if (quit && !watch.fired) g_source_remove(quit);
    return response;
}

bool GtkOpenWithDesktop(const std::string& target) {
    if (target.empty()) return false;
    if (GtkRunning()) {
        std::string uri = target;
        if (target.find("://") == std::string::npos && target.rfind("mailto:", 0) != 0) {
            gchar* absolute = g_canonicalize_filename(target.c_str(), nullptr);
            gchar* fileUri = g_filename_to_uri(absolute, nullptr, nullptr);
            if (fileUri) uri = fileUri;
            g_free(fileUri);
            g_free(absolute);
        }
        GError* error = nullptr;
        if (gtk_show_uri_on_window(nullptr, uri.c_str(), GDK_CURRENT_TIME, &error)) return true;
        g_clear_error(&error);
    }
    // Without a reap flag GLib starts it through an intermediate child: nothing is left to wait for.
    gchar* argv[] = {const_cast<gchar*>("xdg-open"), const_cast<gchar*>(target.c_str()), nullptr};
    return g_spawn_async(nullptr, argv, nullptr, GSpawnFlags(G_SPAWN_SEARCH_PATH | G_SPAWN_STDOUT_TO_DEV_NULL), nullptr, nullptr,
                         nullptr, nullptr);
}

namespace {

class TGtkModule final : public IGtkModule {
public:
    std::unique_ptr<ISettingsView> CreateSettingsView() override {
        if (!StartGtk())
            throw Exception("Cannot open the X display \"" + DisplayName() +
                            "\" for the settings dialog: it needs GTK 3 on an X11 (or XWayland) display.");
        return std::make_unique<TGtkSettingsView>();
    }
    std::unique_ptr<IGtkLoop> CreateLoop(IWindowSystem& x11, _XDisplay* display, int quitPipe) override {
        SetGtkQuitPipe(quitPipe);
        return std::make_unique<TGtkLoop>(x11, display, quitPipe);
    }
    bool OpenWithDesktop(const std::string& target) override { return GtkOpenWithDesktop(target); }
    void ShowErrorBox(const std::string& text, const std::string& caption, int quitPipe) override {
        if (!StartGtk()) return;
        GtkWidget* box = NewErrorBox(ActiveWindow(), text, caption);
        gtk_window_set_keep_above(GTK_WINDOW(box), TRUE);
        gtk_window_set_position(GTK_WINDOW(box), GTK_WIN_POS_CENTER);
        RunModalBox(box, quitPipe);
        gtk_widget_destroy(box);
    }
};

}  // namespace

extern "C" __attribute__((visibility("default"))) IGtkModule* TidewellGtkModule(int version) {
    static TGtkModule module;
    return version == kGtkModuleVersion ? &module : nullptr;
}
