// The GTK settings dialog under the X server in DISPLAY: its widgets driven as a user would,
// the events the logic gets, the preview panel's native window and the loop GLib runs.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <X11/Xlib.h>
#include <gdk/gdkx.h>
#include <gtk/gtk.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/exception.h"
#include "form/dialog_layout.h"
#include "form/help_page.h"
#include "gl/gl_api.h"
#include "gl/opengl_engine.h"
#include "platform/services.h"
#include "platform/x11/linux_window_system.h"
#include "platform/x11/x11_platform.h"
#include "platform/x11/xrandr_driver.h"
#include "support/temp_dir.h"

namespace {

// The X11 platform, connected, as the program starts it.
std::unique_ptr<IDisplayPlatform> X11() {
    auto platform = CreateX11Platform();
    platform->Connect();
    return platform;
}
bool OpenWithDesktop(const std::string& target) { return CreateX11Platform()->OpenWithDesktop(target); }

using C = TDialogControl;

class RecordingEvents final : public ISettingsViewEvents {
public:
    std::vector<C> changed;
    int closes = 0;
    std::function<void(C)> onChange;
    std::function<void()> onClose;
    void ControlChanged(C control) override {
        changed.push_back(control);
        if (onChange) onChange(control);
    }
    void CloseRequested() override {
        ++closes;
        if (onClose) onClose();
    }
};

GtkWidget* FindNamed(GtkWidget* root, const std::string& name) {
    if (name == gtk_widget_get_name(root)) return root;
    if (!GTK_IS_CONTAINER(root)) return nullptr;
    GtkWidget* found = nullptr;
    GList* children = gtk_container_get_children(GTK_CONTAINER(root));
    for (GList* item = children; item && !found; item = item->next) found = FindNamed(GTK_WIDGET(item->data), name);
    g_list_free(children);
    return found;
}

std::vector<std::string> Texts(GtkWidget* root, GType type, const char* property) {
    std::vector<std::string> texts;
    std::function<void(GtkWidget*)> walk = [&](GtkWidget* widget) {
        if (G_TYPE_CHECK_INSTANCE_TYPE(widget, type)) {
            gchar* text = nullptr;
            g_object_get(widget, property, &text, nullptr);
            if (text) {
                std::string shown = text;  // without the access key's marker
                std::erase(shown, '_');
                texts.push_back(shown);
            }
            g_free(text);
        }
        if (!GTK_IS_CONTAINER(widget)) return;
        GList* children = gtk_container_get_children(GTK_CONTAINER(widget));
        for (GList* item = children; item; item = item->next) walk(GTK_WIDGET(item->data));
        g_list_free(children);
    };
    walk(root);
    return texts;
}

bool Contains(const std::vector<std::string>& texts, const std::string& text) {
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

// Handles events until `done`; a generous bound keeps a fault from hanging the run.
template <typename F>
bool PumpUntil(IWindowSystem& windows, F done) {
    for (int turn = 0; turn < 5000 && !done(); ++turn)
        if (!windows.ProcessOne()) g_usleep(1000);
    return done();
}

void SendKey(GtkWidget* window, guint keyval) {
    GdkEvent* event = gdk_event_new(GDK_KEY_PRESS);
    event->key.window = GDK_WINDOW(g_object_ref(gtk_widget_get_window(window)));
    event->key.keyval = keyval;
    // Key bindings (a dialog's Escape) look at the hardware code.
    GdkKeymapKey* keys = nullptr;
    gint count = 0;
    if (gdk_keymap_get_entries_for_keyval(gdk_keymap_get_for_display(gtk_widget_get_display(window)), keyval, &keys, &count) &&
        count > 0)
        event->key.hardware_keycode = static_cast<guint16>(keys[0].keycode);
    g_free(keys);
    GdkSeat* seat = gdk_display_get_default_seat(gtk_widget_get_display(window));
    gdk_event_set_device(event, gdk_seat_get_keyboard(seat));
    gtk_widget_event(window, event);
    gdk_event_free(event);
}

// The settings dialog's top-level window, found through GTK: the view's class is the module's
// own, not the test's to name.
GtkWidget* SettingsWindow() {
    GList* toplevels = gtk_window_list_toplevels();
    GtkWidget* found = nullptr;
    for (GList* item = toplevels; item; item = item->next) {
        GtkWidget* widget = GTK_WIDGET(item->data);
        if (!GTK_IS_DIALOG(widget) && gtk_style_context_has_class(gtk_widget_get_style_context(widget), "tidewell"))
            found = widget;
    }
    g_list_free(toplevels);
    return found;
}

// The dialog's layout units, as its size shows them.
TDialogUnits UnitsOf(GtkWidget* window) {
    int width = 0, height = 0;
    gtk_window_get_size(GTK_WINDOW(window), &width, &height);
    return {static_cast<double>(width) / kSettingsDialogWidth, static_cast<double>(height) / kSettingsDialogHeight};
}

// One of GTK's own settings (the desktop's font, its theme) for one test.
struct GtkSetting {
    const char* name;
    gchar* saved = nullptr;
    GtkSetting(const char* setting, const char* value) : name(setting) {
        {  // GTK runs once a dialog has been made
            X11()->CreateSettingsView();
        }
        g_object_get(gtk_settings_get_default(), name, &saved, nullptr);
        g_object_set(gtk_settings_get_default(), name, value, nullptr);
    }
    ~GtkSetting() {
        g_object_set(gtk_settings_get_default(), name, saved, nullptr);
        g_free(saved);
    }
};

// A view over the program's own window system, shown, with the events recorded.
struct Dialog {
    std::unique_ptr<IDisplayPlatform> platform = X11();
    IWindowSystem* windows = &platform->Windows();
    std::unique_ptr<ISettingsView> view = platform->CreateSettingsView();
    RecordingEvents events;
    GtkWidget* window = SettingsWindow();

    Dialog() {
        view->SetEvents(&events);
        view->SetCaption("3D Tidewell Screen Saver");
        view->Show(0);
    }
    GtkWidget* Widget(const std::string& name) {
        GtkWidget* widget = FindNamed(window, name);
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
};

#define NEED_DISPLAY() \
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display"

TEST(GtkSettingsView, CarriesTheFormsControlsTextsAndHints) {
    NEED_DISPLAY();
    Dialog dialog;
    EXPECT_STREQ(gtk_window_get_title(GTK_WINDOW(dialog.window)), "3D Tidewell Screen Saver");
    EXPECT_FALSE(gtk_window_get_resizable(GTK_WINDOW(dialog.window)));
    int width = 0, height = 0;
    gtk_window_get_size(GTK_WINDOW(dialog.window), &width, &height);
    EXPECT_GE(width, 511);
    EXPECT_GE(height, 387);
    for (const char* name : {"ComboBoxDepth", "ComboBoxResolution", "CheckBoxDesktop", "ButtonDefault", "CheckBoxRunAsEXE",
                             "TrackBarFishCount", "LabelFishCount", "TrackBarBubblesCount", "LabelBubblesCount",
                             "ComboBoxThemes", "CheckBoxSound", "ComboBoxMonitors", "ButtonPreview", "ButtonAbout", "ButtonHelp", "ButtonOk",
                             "ButtonCancel", "PanelPreview"})
        dialog.Widget(name);

    const auto frames = Texts(dialog.window, GTK_TYPE_FRAME, "label");
    for (const char* caption : {"Video Modes", "Fish Count", "Bubble Count", "Theme", "Sound"})
        EXPECT_TRUE(Contains(frames, caption)) << caption;
    const auto labels = Texts(dialog.window, GTK_TYPE_LABEL, "label");
    for (const char* text : {"Color Depth", "Resolution", "Downloading...", "0", "100", "200", "Desktop Only", "Run As EXE",
                             "Enable Sound", "Monitors:", "Default", "Preview...", "About...", "Help...", "OK", "Cancel"})
        EXPECT_TRUE(Contains(labels, text)) << text;
    const auto hints = Texts(dialog.window, GTK_TYPE_WIDGET, "tooltip-text");
    for (const char* hint : {"Set 16 bits for speedup", "Set 640x480 for speedup", "Set Color Depth and Resolution from Desktop",
                             "Enable If Screen Saver runs without Acceleration", "Change Underwater Background",
                             "Set how the aquarium fills several monitors"})
        EXPECT_TRUE(Contains(hints, hint)) << hint;

    // The track bars' ranges and steps.
    GtkAdjustment* fish = gtk_range_get_adjustment(GTK_RANGE(dialog.Widget("TrackBarFishCount")));
    GtkAdjustment* bubbles = gtk_range_get_adjustment(GTK_RANGE(dialog.Widget("TrackBarBubblesCount")));
    EXPECT_EQ(gtk_adjustment_get_upper(fish), 100);
    EXPECT_EQ(gtk_adjustment_get_page_increment(fish), 5);
    EXPECT_EQ(gtk_adjustment_get_upper(bubbles), 200);
    EXPECT_EQ(gtk_adjustment_get_step_increment(bubbles), 5);
    EXPECT_EQ(gtk_adjustment_get_page_increment(bubbles), 20);

    // Push buttons show the hand.
    for (const char* name : {"ButtonDefault", "ButtonPreview", "ButtonAbout", "ButtonHelp", "ButtonOk", "ButtonCancel"}) {
        GdkWindow* input = gtk_button_get_event_window(GTK_BUTTON(dialog.Widget(name)));
        ASSERT_NE(input, nullptr) << name;
        EXPECT_NE(gdk_window_get_cursor(input), nullptr) << name;
    }

    // Enter means OK while OK is the default.
    EXPECT_EQ(gtk_window_get_default_widget(GTK_WINDOW(dialog.window)), dialog.Widget("ButtonOk"));
}

// Each item of the layout table is a widget with its caption, hint, place and size in units of
// the desktop's font; GTK may nudge a widget by a few pixels to look as the Windows control
// does, never out of its group. At one and a half times the font the dialog grows with it and
// every text still fits its control.
class GtkSettingsViewAtFont : public ::testing::TestWithParam<const char*> {};

// The idle watch's controls show on a Wayland session only: WAYLAND_DISPLAY set for a test's length.
struct WaylandSession {
    explicit WaylandSession(bool on) : was(std::getenv("WAYLAND_DISPLAY") ? std::getenv("WAYLAND_DISPLAY") : "") {
        if (on)
            setenv("WAYLAND_DISPLAY", "wayland-test", 1);
        else
            unsetenv("WAYLAND_DISPLAY");
    }
    ~WaylandSession() {
        if (was.empty())
            unsetenv("WAYLAND_DISPLAY");
        else
            setenv("WAYLAND_DISPLAY", was.c_str(), 1);
    }
    std::string was;
};
INSTANTIATE_TEST_SUITE_P(Fonts, GtkSettingsViewAtFont, ::testing::Values("Sans 10", "Sans 15"));

TEST_P(GtkSettingsViewAtFont, BuildsEveryItemOfTheLayoutTable) {
    NEED_DISPLAY();
    GtkSetting font("gtk-font-name", GetParam());
    // The larger font on a Wayland session, where the idle watch's controls must fit as well.
    const bool wayland = std::string(GetParam()) == "Sans 15";
    WaylandSession session(wayland);
    Dialog dialog;
    const TDialogUnits units = UnitsOf(dialog.window);
    if (std::string(GetParam()) == "Sans 15") {
        EXPECT_GT(units.X, 1.6);  // to the 10-point font's 1.3
        EXPECT_GT(units.Y, 1.6);
    }
    GtkWidget* fixed = gtk_bin_get_child(GTK_BIN(dialog.window));
    std::vector<GtkWidget*> placed;
    std::function<void(GtkWidget*)> walk = [&](GtkWidget* widget) {
        if (gtk_widget_get_parent(widget) == fixed) placed.push_back(widget);
        if (!GTK_IS_CONTAINER(widget) || GTK_IS_BUTTON(widget) || GTK_IS_FRAME(widget)) return;
        GList* children = gtk_container_get_children(GTK_CONTAINER(widget));
        for (GList* item = children; item; item = item->next) walk(GTK_WIDGET(item->data));
        g_list_free(children);
    };
    walk(fixed);
    const auto captionOf = [](GtkWidget* widget) -> std::string {
        const char* text = GTK_IS_LABEL(widget)    ? gtk_label_get_text(GTK_LABEL(widget))
                           : GTK_IS_FRAME(widget)  ? gtk_frame_get_label(GTK_FRAME(widget))
                           : GTK_IS_BUTTON(widget) ? gtk_button_get_label(GTK_BUTTON(widget))
                                                   : nullptr;
        std::string shown = text ? text : "";
        std::erase(shown, '_');  // a button's access key
        return shown;
    };
    const auto near = [&](int a, int b) { return std::abs(a - b) <= 8 * units.Y + 1; };
    for (const TDialogItem& item : kSettingsLayout) {
        const TDialogRect rect = units.Scaled(item.Placed());
        const TDialogRect group = units.Scaled(item.Group);
        SCOPED_TRACE(item.Name ? item.Name : item.Caption);
        if (item.WindowsOnly || (item.WaylandOnly && !wayland)) {
            GtkWidget* hidden = FindNamed(dialog.window, item.Name);
            ASSERT_NE(hidden, nullptr);
            EXPECT_FALSE(gtk_widget_get_visible(hidden));
            continue;
        }
        GtkWidget* found = nullptr;
        for (GtkWidget* widget : placed) {
            GtkAllocation at{};
            gtk_widget_get_allocation(widget, &at);
            const bool named = item.Name ? std::string(item.Name) == gtk_widget_get_name(widget)
                                         : captionOf(widget) == WithoutAccessKey(item.Caption);
            if (named && near(at.x, rect.Left) && near(at.y, rect.Top)) found = widget;
        }
        ASSERT_NE(found, nullptr);
        GtkAllocation at{};
        gtk_widget_get_allocation(found, &at);
        if (item.Group.Width > 0) {
            EXPECT_GE(at.x, group.Left);
            EXPECT_LE(at.x + at.width, group.Left + group.Width);
            EXPECT_LE(at.y + at.height, group.Top + group.Height);
        } else {
            EXPECT_LE(at.x + at.width, units.Horizontal(kSettingsDialogWidth));
            EXPECT_LE(at.y + at.height, units.Vertical(kSettingsDialogHeight));
        }
        // At least the table's size (a label as high as its text); GTK gives more where a text needs it.
        EXPECT_GE(at.width, rect.Width - 1);  // the units as the dialog's size shows them: to a pixel
        if (item.Kind != TDialogItemKind::Label && item.Kind != TDialogItemKind::NumberLabel) {
            EXPECT_GE(at.height, rect.Height - 1);
        }
        if (item.Kind == TDialogItemKind::PreviewPanel) {
            EXPECT_TRUE(Contains(Texts(found, GTK_TYPE_LABEL, "label"), item.Caption));
        } else if (item.Caption) {
            EXPECT_EQ(captionOf(found), WithoutAccessKey(item.Caption));
        }
        gchar* hint = gtk_widget_get_tooltip_text(found);
        EXPECT_EQ(hint ? std::string(hint) : "", item.Hint ? item.Hint : "");
        g_free(hint);
        if (item.Kind == TDialogItemKind::TrackBar) {
            GtkAdjustment* range = gtk_range_get_adjustment(GTK_RANGE(found));
            EXPECT_EQ(gtk_adjustment_get_upper(range), item.Range.Max);
            EXPECT_EQ(gtk_adjustment_get_step_increment(range), item.Range.Line);
            EXPECT_EQ(gtk_adjustment_get_page_increment(range), item.Range.Page);
        }
    }
}

// Alt and a caption's access key reach its control: a label or a group's caption moves the focus
// to the list or track bar it names, a button or check box is pressed. Each list and track bar
// has its label as its accessible name. F1 asks for help.
TEST(GtkSettingsView, EveryControlAnswersItsAccessKeyAndIsNamedByItsLabel) {
    NEED_DISPLAY();
    WaylandSession session(true);
    Dialog dialog;
    PumpUntil(*dialog.windows, [&] { return gtk_widget_get_mapped(dialog.window); });
    // A list takes the focus once it has items.
    dialog.view->SetListItems(C::ComboBoxDepth, {"32 bits"});
    dialog.view->SetListItems(C::ComboBoxResolution, {"640x480"});
    dialog.view->SetListItems(C::ComboBoxThemes, {"Auto"});
    dialog.view->SetListItems(C::ComboBoxMonitors, {kMonitorItems[0]});
    dialog.view->SetListItems(C::ComboBoxIdleTime, {"10 min"});
    for (const TDialogItem& item : kSettingsLayout) {
        const char key = AccessKey(item.Caption);
        if (!key || item.WindowsOnly) continue;
        SCOPED_TRACE(item.Caption);
        // The control the key reaches: the item itself, or the one a caption names.
        const TDialogItem* target = &item;
        if (!item.Control) {
            target = &item + 1;
            ASSERT_TRUE(target->Control);
            EXPECT_STREQ(LabelOf(*target->Control), item.Caption);
        }
        GtkWidget* control = dialog.Widget(target->Name);
        dialog.events.changed.clear();
        EXPECT_TRUE(gtk_window_mnemonic_activate(GTK_WINDOW(dialog.window), gdk_unicode_to_keyval(key), GDK_MOD1_MASK));
        if (target->Kind == TDialogItemKind::PushButton || target->Kind == TDialogItemKind::DefaultPushButton ||
            target->Kind == TDialogItemKind::CheckBox) {
            // A button pressed from the keyboard shows itself pressed a moment before it clicks.
            EXPECT_TRUE(PumpUntil(*dialog.windows, [&] { return !dialog.events.changed.empty(); }));
            EXPECT_EQ(dialog.events.changed, std::vector<C>{*target->Control});
        } else {
            GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(dialog.window));
            EXPECT_TRUE(focus && (focus == control || gtk_widget_is_ancestor(focus, control))) << gtk_widget_get_name(focus);
            AtkObject* accessible = gtk_widget_get_accessible(control);
            EXPECT_EQ(std::string(atk_object_get_name(accessible)), WithoutAccessKey(item.Caption));
            AtkRelationSet* relations = atk_object_ref_relation_set(accessible);
            EXPECT_TRUE(atk_relation_set_contains(relations, ATK_RELATION_LABELLED_BY));
            g_object_unref(relations);
        }
    }
    dialog.events.changed.clear();
    SendKey(dialog.window, GDK_KEY_F1);
    EXPECT_EQ(dialog.events.changed, std::vector<C>{C::ButtonHelp});
}

// Under a high-contrast theme the dialog keeps the theme's colours.
TEST(GtkSettingsView, AHighContrastThemeKeepsItsOwnColours) {
    NEED_DISPLAY();
    for (const char* theme : {"Adwaita", "HighContrastInverse"}) {
        GtkSetting use("gtk-theme-name", theme);
        Dialog dialog;
        EXPECT_EQ(gtk_style_context_has_class(gtk_widget_get_style_context(dialog.window), "tidewell-colours"),
                  std::string(theme) == "Adwaita")
            << theme;
    }
}

TEST(GtkSettingsView, UserChangesRaiseEventsTheLogicsSettersDoNot) {
    NEED_DISPLAY();
    Dialog dialog;
    ISettingsView& view = *dialog.view;

    view.SetListItems(C::ComboBoxDepth, {"16 bits", "32 bits"});
    view.SetListItems(C::ComboBoxThemes, {"Auto", "Blue Water", "Aquamarine Water", "Green Water"});
    view.SelectListItem(C::ComboBoxDepth, 1);
    view.SelectListItem(C::ComboBoxThemes, 2);
    view.SetPosition(C::TrackBarFishCount, 40);
    view.SetPosition(C::TrackBarBubblesCount, 150);
    view.SetChecked(C::CheckBoxSound, true);
    view.SetChecked(C::CheckBoxDesktop, true);
    view.SetText(C::LabelFishCount, "40");
    view.SetEnabled(C::ComboBoxResolution, false);
    EXPECT_TRUE(dialog.events.changed.empty());
    EXPECT_EQ(view.SelectedListItem(C::ComboBoxDepth), 1);
    EXPECT_EQ(view.SelectedListItem(C::ComboBoxThemes), 2);
    EXPECT_EQ(view.Position(C::TrackBarFishCount), 40);
    EXPECT_EQ(view.Position(C::TrackBarBubblesCount), 150);
    EXPECT_TRUE(view.Checked(C::CheckBoxSound));
    EXPECT_STREQ(gtk_label_get_text(GTK_LABEL(dialog.Widget("LabelFishCount"))), "40");
    EXPECT_FALSE(gtk_widget_get_sensitive(dialog.Widget("ComboBoxResolution")));
    // Filling a list again clears its selection.
    view.SetListItems(C::ComboBoxDepth, {"32 bits"});
    EXPECT_EQ(view.SelectedListItem(C::ComboBoxDepth), -1);
    EXPECT_TRUE(dialog.events.changed.empty());

    gtk_combo_box_set_active(GTK_COMBO_BOX(dialog.Widget("ComboBoxThemes")), 3);
    gtk_range_set_value(GTK_RANGE(dialog.Widget("TrackBarFishCount")), 55);
    gtk_button_clicked(GTK_BUTTON(dialog.Widget("CheckBoxSound")));
    gtk_button_clicked(GTK_BUTTON(dialog.Widget("CheckBoxRunAsEXE")));
    for (const char* name : {"ButtonDefault", "ButtonPreview", "ButtonAbout", "ButtonHelp", "ButtonOk", "ButtonCancel"})
        gtk_button_clicked(GTK_BUTTON(dialog.Widget(name)));
    const std::vector<C> expected{C::ComboBoxThemes, C::TrackBarFishCount, C::CheckBoxSound, C::CheckBoxRunAsEXE,
                                  C::ButtonDefault,  C::ButtonPreview,     C::ButtonAbout,   C::ButtonHelp,
                                  C::ButtonOk,       C::ButtonCancel};
    EXPECT_EQ(dialog.events.changed, expected);
    EXPECT_EQ(view.SelectedListItem(C::ComboBoxThemes), 3);
    EXPECT_EQ(view.Position(C::TrackBarFishCount), 55);
    EXPECT_FALSE(view.Checked(C::CheckBoxSound));
    EXPECT_EQ(dialog.events.closes, 0);

    // Escape and the close box ask to close; Enter anywhere but on a push button means OK.
    dialog.events.changed.clear();
    SendKey(dialog.window, GDK_KEY_Escape);
    EXPECT_EQ(dialog.events.closes, 1);
    gtk_window_close(GTK_WINDOW(dialog.window));
    EXPECT_TRUE(PumpUntil(*dialog.windows, [&] { return dialog.events.closes == 2; }));
    EXPECT_TRUE(gtk_widget_get_visible(dialog.window));  // the logic decides
    gtk_widget_grab_focus(dialog.Widget("CheckBoxSound"));
    SendKey(dialog.window, GDK_KEY_Return);
    EXPECT_EQ(dialog.events.changed, std::vector<C>{C::ButtonOk});

    view.Hide();
    EXPECT_FALSE(gtk_widget_get_visible(dialog.window));
}

TEST(GtkSettingsView, PreviewPanelIsANativeWindowInsideTheDialog) {
    NEED_DISPLAY();
    auto platform = X11();
    auto* windows = &platform->Windows();
    auto view = platform->CreateSettingsView();
    // Asked before the dialog is shown, as the logic may: it has its size already.
    const auto panel = static_cast<::Window>(view->PreviewPanel());
    ASSERT_NE(panel, 0u);
    view->Show(0);
    EXPECT_EQ(static_cast<::Window>(view->PreviewPanel()), panel);

    Display* other = XOpenDisplay(nullptr);
    ASSERT_NE(other, nullptr);
    XWindowAttributes attributes{};
    ASSERT_NE(XGetWindowAttributes(other, panel, &attributes), 0);
    // The panel's rectangle in the dialog's font units, less its bevel.
    const TDialogRect area = UnitsOf(SettingsWindow()).Scaled(kSettingsLayout[0].Rect);
    const int width = area.Width - 2 * kPreviewPanelBevel, height = area.Height - 2 * kPreviewPanelBevel;
    EXPECT_NEAR(attributes.width, width, 2);
    EXPECT_NEAR(attributes.height, height, 2);
    // Its ancestors lead to the dialog's own window.
    const auto dialog = gdk_x11_window_get_xid(gtk_widget_get_window(SettingsWindow()));
    bool inside = false;
    for (::Window window = panel, root = 0, parent = 0; window && !inside; window = parent) {
        ::Window* children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(other, window, &root, &parent, &children, &count)) break;
        if (children) XFree(children);
        inside = parent == dialog;
        if (parent == root) break;
    }
    EXPECT_TRUE(inside);

    // The window system's own connection can put the GL preview window over it.
    auto child = windows->CreateChildWindow(static_cast<std::intptr_t>(panel));
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(child->Width(), attributes.width);
    EXPECT_EQ(child->Height(), attributes.height);
    child->Show();
    EXPECT_TRUE(child->Visible());
    // What GLX draws there is what the dialog shows. The dialog's own connection may not have
    // made everything viewable yet on a slow run (a sanitizer build), and a window of a test
    // running beside this one may pass over the spot: draw again until the colour shows.
    unsigned long pixel = 0;
    for (int attempt = 0; attempt < 40; ++attempt) {
        {
            auto drawing = platform->CreateDrawingWindow(*child);
            IGLDevice* device = drawing->AcquireDevice();
            TOpenGLEngine engine(SystemLibraryLoader());
            engine.SetDC(device);
            engine.ResetDefaults();
            ASSERT_TRUE(engine.Init());
            engine.Activate();
            gl.ClearColor(0.0f, 0.4f, 0.6f, 1.0f);
            gl.Clear(GL_COLOR_BUFFER_BIT);
            engine.Swap(device);
            gl.Finish();
            engine.Deactivate();
            engine.DestroyRC();
            drawing->ReleaseDevice(device);
        }
        XSync(dynamic_cast<TLinuxWindowSystem&>(*windows).X11().Connection(), False);
        int x = 0, y = 0;
        ::Window ignored = 0;
        XTranslateCoordinates(other, panel, DefaultRootWindow(other), 158, 118, &x, &y, &ignored);
        XImage* image = XGetImage(other, DefaultRootWindow(other), x, y, 1, 1, AllPlanes, ZPixmap);
        ASSERT_NE(image, nullptr);
        pixel = XGetPixel(image, 0, 0);
        XDestroyImage(image);
        if (std::abs(static_cast<int>((pixel >> 8) & 0xFF) - 102) <= 2 && std::abs(static_cast<int>(pixel & 0xFF) - 153) <= 2)
            break;
        while (g_main_context_iteration(nullptr, FALSE)) {
        }
        usleep(50000);
    }
    EXPECT_NEAR(static_cast<int>((pixel >> 8) & 0xFF), 102, 2);
    EXPECT_NEAR(static_cast<int>(pixel & 0xFF), 153, 2);
    child.reset();

    // With an owner window (the desktop's /c handle) the dialog is its transient and modal.
    const ::Window owner = XCreateSimpleWindow(other, DefaultRootWindow(other), 0, 0, 200, 100, 0, 0, 0);
    XMapWindow(other, owner);
    XSync(other, False);
    view->Hide();
    view->Show(static_cast<std::intptr_t>(owner));
    ::Window transientFor = 0;
    EXPECT_NE(XGetTransientForHint(other, dialog, &transientFor), 0);
    EXPECT_EQ(transientFor, owner);
    EXPECT_TRUE(gtk_window_get_modal(GTK_WINDOW(SettingsWindow())));
    XDestroyWindow(other, owner);
    XCloseDisplay(other);
}

TEST(GtkSettingsView, AnExceptionInAHandlerComesOutOfThePump) {
    NEED_DISPLAY();
    Dialog dialog;
    dialog.events.onClose = [] { throw Exception("close failed"); };
    dialog.events.onChange = [](C) { throw std::runtime_error("click failed"); };

    // Through GTK's own dispatch of the close box.
    gtk_window_close(GTK_WINDOW(dialog.window));
    std::string caught;
    for (int turn = 0; turn < 5000 && caught.empty(); ++turn) {
        try {
            if (!dialog.windows->ProcessOne()) g_usleep(1000);
        } catch (const Exception& e) {
            caught = e.what();
        }
    }
    EXPECT_EQ(caught, "close failed");

    // Only the first of several is kept; the next pass raises nothing more.
    gtk_button_clicked(GTK_BUTTON(dialog.Widget("ButtonHelp")));
    gtk_button_clicked(GTK_BUTTON(dialog.Widget("ButtonAbout")));
    EXPECT_THROW(dialog.windows->ProcessOne(), std::runtime_error);
    EXPECT_NO_THROW(dialog.windows->ProcessOne());
    EXPECT_EQ(dialog.events.changed.size(), 2u);
}

TEST(LinuxWindowSystem, GLibRunsTheLoopOnceTheDialogExists) {
    NEED_DISPLAY();
    auto platform = X11();
    auto* windows = &platform->Windows();
    auto* system = dynamic_cast<TLinuxWindowSystem*>(windows);
    ASSERT_NE(system, nullptr);
    TApplication application;
    std::unique_ptr<ISettingsView> view;
    RecordingEvents events;
    std::vector<std::string> errors;
    application.OnException = [&](const std::exception& e) { errors.emplace_back(e.what()); };
    int turns = 0, nestedTurns = 0;
    bool closeAsked = false;
    GtkWidget* window = nullptr;
    // A click that runs a nested loop, as "Preview..." runs the saver from its handler.
    events.onChange = [&](C control) {
        if (control != C::ButtonPreview) return;
        const int until = turns + 5;
        while (turns < until) HandleMessage(application, *windows);
        nestedTurns = 5;
    };
    events.onClose = [&] { closeAsked = true; };
    application.OnIdle = [&](bool& done) {
        ++turns;
        done = false;
        if (turns == 1) {
            // The dialog is made by an idle turn of the X11 loop, as the form's start does.
            EXPECT_FALSE(system->GLibRunsLoop());
            view = platform->CreateSettingsView();
            view->SetEvents(&events);
            view->Show(0);
            window = SettingsWindow();
        } else if (turns == 3) {
            throw Exception("frame failed");
        } else if (turns == 5) {
            gtk_button_clicked(GTK_BUTTON(FindNamed(window, "ButtonPreview")));
        } else if (turns == 20) {
            // Nothing more to do: the loop waits until something happens.
            done = true;
            gtk_window_close(GTK_WINDOW(window));
        } else if (turns > 20 && closeAsked) {
            application.Terminate();
        }
    };
    windows->RunLoop(application);
    EXPECT_TRUE(system->GLibRunsLoop());
    EXPECT_TRUE(application.Terminated());
    EXPECT_EQ(errors, std::vector<std::string>{"frame failed"});
    EXPECT_EQ(nestedTurns, 5);
    EXPECT_GT(turns, 20);
    EXPECT_EQ(application.ProcessMessagesHook, nullptr);
}

// Runs `check` on the modal window titled `title` once it is up, from inside its loop.
struct ModalProbe {
    std::string title;
    std::function<void(GtkWindow*)> check;
    bool seen = false;
    static gboolean Poll(gpointer data) {
        auto* self = static_cast<ModalProbe*>(data);
        GList* toplevels = gtk_window_list_toplevels();
        GtkWindow* found = nullptr;
        for (GList* item = toplevels; item; item = item->next) {
            auto* window = GTK_WINDOW(item->data);
            const char* title = gtk_window_get_title(window);
            if (gtk_widget_get_mapped(GTK_WIDGET(window)) && title && self->title == title) found = window;
        }
        g_list_free(toplevels);
        if (!found) return G_SOURCE_CONTINUE;
        self->seen = true;
        self->check(found);
        return G_SOURCE_REMOVE;
    }
    void Arm() { g_timeout_add(10, Poll, this); }
};

TEST(GtkSettingsView, AboutBoxAndMessageBoxAreModalAndClose) {
    NEED_DISPLAY();
    Dialog dialog;
    TempDir folder;
    // The desktop's opener of this test writes down what it was asked to open.
    const auto opened = folder.Path() / "opened";
    const auto opener = folder.Write("xdg-open", "#!/bin/sh\necho \"$1\" >" + opened.string() + "\n");
    std::filesystem::permissions(opener, std::filesystem::perms::owner_all);
    const std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";
    setenv("PATH", (folder.Path().string() + ":" + path).c_str(), 1);

    TAboutInfo about;
    about.Caption = "About 3D Tidewell Screen Saver";
    about.ProductName = "3D Tidewell Screen Saver";
    about.Version = "Version 1.5";
    about.Comments = "Vendor: Mesa\nVideo: llvmpipe (LLVM 15.0.6, 256 bits)\nOpenGL: 4.5 (Compatibility Profile) Mesa 22.3.6 and "
                     "a line long enough to wrap twice in the box";
    about.LinkText = "Korvane Software";
    about.LinkTarget = "tidewell-test:about";
    about.Picture.Width = 150;
    about.Picture.Height = 110;
    about.Picture.Rgb.assign(150 * 110 * 3, 200);

    ModalProbe probe{about.Caption, [&](GtkWindow* box) {
                         GtkWidget* root = GTK_WIDGET(box);
                         EXPECT_TRUE(gtk_window_get_modal(box));
                         int width = 0, height = 0;
                         gtk_window_get_size(box, &width, &height);
                         EXPECT_GE(width, 414);
                         EXPECT_GE(height, 279);
                         // The summary's lines all show: what lies below it moves down.
                         GtkAllocation summary{}, ok{};
                         gtk_widget_get_allocation(FindNamed(root, "LabelComments"), &summary);
                         gtk_widget_get_allocation(FindNamed(root, "OKButton"), &ok);
                         int needed = 0;
                         gtk_widget_get_preferred_height_for_width(FindNamed(root, "LabelComments"), summary.width, nullptr,
                                                                   &needed);
                         EXPECT_GE(summary.height, needed);
                         EXPECT_LE(summary.y + summary.height, ok.y);
                         EXPECT_STREQ(gtk_label_get_text(GTK_LABEL(FindNamed(root, "ProductName"))), "3D Tidewell Screen Saver");
                         EXPECT_STREQ(gtk_label_get_text(GTK_LABEL(FindNamed(root, "LabelVersion"))), "Version 1.5");
                         EXPECT_EQ(gtk_label_get_text(GTK_LABEL(FindNamed(root, "LabelComments"))), about.Comments);
                         GdkPixbuf* picture = gtk_image_get_pixbuf(GTK_IMAGE(FindNamed(root, "ImageBackground")));
                         ASSERT_NE(picture, nullptr);
                         // 150 x 110 at the design font, grown with the box.
                         const TDialogRect at = TDialogUnits{width / 414.0, 1.0}.Scaled(kAboutLayout.Picture);
                         EXPECT_NEAR(gdk_pixbuf_get_width(picture), at.Width, 1);
                         EXPECT_GE(gdk_pixbuf_get_height(picture), 110);
                         gboolean handled = FALSE;
                         g_signal_emit_by_name(FindNamed(root, "LinkLabel"), "activate-link", "ignored", &handled);
                         EXPECT_TRUE(handled);
                         gtk_button_clicked(GTK_BUTTON(FindNamed(root, "OKButton")));
                     }};
    probe.Arm();
    dialog.view->ShowAbout(about);
    EXPECT_TRUE(probe.seen);

    // Escape closes it as well.
    ModalProbe escape{about.Caption, [](GtkWindow* box) { SendKey(GTK_WIDGET(box), GDK_KEY_Escape); }};
    escape.Arm();
    dialog.view->ShowAbout(about);
    EXPECT_TRUE(escape.seen);

    ModalProbe message{"3D Tidewell Screen Saver Error!", [](GtkWindow* box) {
                           EXPECT_TRUE(GTK_IS_MESSAGE_DIALOG(box));
                           GtkMessageType type{};
                           g_object_get(box, "message-type", &type, nullptr);
                           EXPECT_EQ(type, GTK_MESSAGE_ERROR);
                           EXPECT_NE(FindNamed(GTK_WIDGET(box), "ErrorIcon"), nullptr);
                           gtk_dialog_response(GTK_DIALOG(box), GTK_RESPONSE_OK);
                       }};
    message.Arm();
    dialog.view->ShowMessage("Something failed.\r\nTry again.", "3D Tidewell Screen Saver Error!");
    EXPECT_TRUE(message.seen);
    EXPECT_TRUE(dialog.events.changed.empty());

    // The link went to our opener (GTK knows no handler for this scheme), which was not left a zombie.
    for (int turn = 0; turn < 5000 && !std::filesystem::exists(opened); ++turn) g_usleep(1000);
    std::string line;
    std::getline(std::ifstream(opened), line);
    EXPECT_EQ(line, "tidewell-test:about");
    int status = 0;
    EXPECT_EQ(waitpid(-1, &status, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);

    EXPECT_FALSE(OpenWithDesktop(""));
    setenv("PATH", "/nonexistent", 1);
    EXPECT_FALSE(OpenWithDesktop("tidewell-test:nowhere"));
    setenv("PATH", path.c_str(), 1);
}

// A quit signal wakes GLib's loop when nothing else would, and a box opened once the stop was
// taken still gives way by itself: no second signal comes to close it.
TEST(LinuxWindowSystem, AQuitSignalEndsTheLoopAndTheBoxesOpenedAfterIt) {
    NEED_DISPLAY();
    auto platform = X11();
    auto* windows = &platform->Windows();
    TApplication application;
    std::unique_ptr<ISettingsView> view;
    RecordingEvents events;
    int quits = 0;
    application.OnIdle = [&](bool& done) {
        done = true;
        if (view) return;
        view = platform->CreateSettingsView();
        view->SetEvents(&events);
        view->Show(0);
        windows->WatchQuitSignals([&] {
            ++quits;
            application.Terminate();
        });
        raise(SIGTERM);
    };
    // What would wait for ever ends here instead, and says so.
    struct Guard {
        TApplication& application;
        bool fired = false;
    } guard{application};
    const guint timer = g_timeout_add_seconds(
        10,
        [](gpointer data) -> gboolean {
            auto* g = static_cast<Guard*>(data);
            g->fired = true;
            g->application.Terminate();
            GList* toplevels = gtk_window_list_toplevels();
            for (GList* item = toplevels; item; item = item->next)
                if (GTK_IS_DIALOG(item->data)) gtk_dialog_response(GTK_DIALOG(item->data), GTK_RESPONSE_CANCEL);
            g_list_free(toplevels);
            return G_SOURCE_CONTINUE;
        },
        &guard);
    windows->RunLoop(application);
    EXPECT_EQ(quits, 1);
    EXPECT_FALSE(guard.fired) << "the signal did not wake the loop";
    view->ShowMessage("Too late.", "3D Tidewell");
    EXPECT_FALSE(guard.fired) << "a box opened after the stop stayed up";
    g_source_remove(timer);
    // The test program keeps default handling, and no signal waiting, for the next tests.
    windows->WatchQuitSignals({});
    for (const int s : {SIGTERM, SIGINT, SIGHUP}) signal(s, SIG_DFL);
}

TEST(LinuxServices, AnErrorGoesToTheErrorStreamAndAnErrorBox) {
    NEED_DISPLAY();
    ASSERT_NE(X11()->CreateSettingsView(), nullptr);  // GTK is up
    ModalProbe box{"3D Tidewell Screen Saver Error!", [](GtkWindow* window) {
                       EXPECT_TRUE(gtk_window_get_modal(window));
                       EXPECT_NE(FindNamed(GTK_WIDGET(window), "ErrorIcon"), nullptr);
                       gtk_dialog_response(GTK_DIALOG(window), GTK_RESPONSE_OK);
                   }};
    box.Arm();
    testing::internal::CaptureStderr();
    CreateX11Platform()->ShowErrorMessage("Cannot load the scene.\r\nReinstall it.", "3D Tidewell Screen Saver Error!");
    const std::string written = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(box.seen);
    EXPECT_EQ(written, "3D Tidewell Screen Saver Error!\nCannot load the scene.\nReinstall it.\n");
}

// Before anything loads the GTK module (ctest runs each case in a process of its own) the
// program starts xdg-open itself: without a display, as the saver would.
TEST(LinuxServices, OpenWithDesktopStartsXdgOpenWithoutGtk) {
    TempDir folder;
    const auto opened = folder.Path() / "opened";
    const auto opener = folder.Write("xdg-open", "#!/bin/sh\nsleep 0.2\necho \"$1\" >" + opened.string() + ".tmp\nmv " +
                                                     opened.string() + ".tmp " + opened.string() + "\n");
    std::filesystem::permissions(opener, std::filesystem::perms::owner_all);
    const std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";
    setenv("PATH", (folder.Path().string() + ":" + path).c_str(), 1);

    EXPECT_TRUE(OpenWithDesktop("/tmp/a file with spaces.html"));
    // Returned before the opener ended, yet nothing is left for us to wait for.
    int status = 0;
    EXPECT_EQ(waitpid(-1, &status, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
    for (int turn = 0; turn < 5000 && !std::filesystem::exists(opened); ++turn) usleep(1000);
    std::string line;
    std::getline(std::ifstream(opened), line);
    EXPECT_EQ(line, "/tmp/a file with spaces.html");

    EXPECT_FALSE(OpenWithDesktop(""));
    setenv("PATH", "/nonexistent", 1);
    EXPECT_FALSE(OpenWithDesktop("/tmp/anything.html"));
    setenv("PATH", path.c_str(), 1);
}

TEST(LinuxServices, TheColourDepthWarningSpeaksOfTheDesktopNotOfWindows) {
    const std::string warning = ColorDepthWarning(TXRandrDriver().DesktopName());
    EXPECT_EQ(warning.find("Windows"), std::string::npos);
    EXPECT_NE(warning.find("Color Depth of your desktop"), std::string::npos);
}

TEST(LinuxServices, TemporaryDirectoryEndsWithASeparator) {
    const char* saved = std::getenv("TMPDIR");
    const std::string keep = saved ? saved : "";
    setenv("TMPDIR", "/var/tmp/tidewell", 1);
    EXPECT_EQ(TemporaryDirectory(), "/var/tmp/tidewell/");
    unsetenv("TMPDIR");
    EXPECT_EQ(TemporaryDirectory(), "/tmp/");
    if (saved) setenv("TMPDIR", keep.c_str(), 1);
}

// Sets an environment variable (unsets it for nullptr) for the scope.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        const char* old = std::getenv(name);
        had_ = old != nullptr;
        if (had_) old_ = old;
        value ? setenv(name, value, 1) : unsetenv(name);
    }
    ~ScopedEnv() { had_ ? setenv(name_, old_.c_str(), 1) : unsetenv(name_); }

private:
    const char* name_;
    bool had_ = false;
    std::string old_;
};

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(LinuxServices, APrivateFileNeverWritesThroughALinkInTheSharedFolder) {
    TempDir shared;
    ScopedEnv tmp("TMPDIR", shared.Path().c_str()), runtime("XDG_RUNTIME_DIR", nullptr);
    const std::string victim = shared.Write("victim.txt", "precious");
    std::filesystem::create_symlink(victim, shared.Path() / kHelpFileName);

    const std::string page = WritePrivateFile(kHelpFileName, "<html>help</html>");
    ASSERT_FALSE(page.empty());
    EXPECT_EQ(ReadAll(page), "<html>help</html>");
    EXPECT_EQ(ReadAll(victim), "precious");
    // Its folder is this user's alone.
    struct stat folder {};
    ASSERT_EQ(lstat(std::filesystem::path(page).parent_path().c_str(), &folder), 0);
    EXPECT_TRUE(S_ISDIR(folder.st_mode));
    EXPECT_EQ(folder.st_mode & 077, 0u);
}

TEST(LinuxServices, EachUsersHelpPageIsTheirOwn) {
    TempDir shared, first, second;
    ScopedEnv tmp("TMPDIR", shared.Path().c_str());
    // Another user's page at the shared fixed name, which this user cannot write (a folder stands in).
    std::filesystem::create_directory(shared.Path() / kHelpFileName);
    std::string pages[2];
    int i = 0;
    for (const TempDir* home : {&first, &second}) {
        chmod(home->Path().c_str(), 0700);
        ScopedEnv runtime("XDG_RUNTIME_DIR", home->Path().c_str());
        pages[i] = WritePrivateFile(kHelpFileName, "page " + std::to_string(i));
        EXPECT_EQ(pages[i], (home->Path() / kHelpFileName).string());
        ++i;
    }
    EXPECT_EQ(ReadAll(pages[0]), "page 0");
    EXPECT_EQ(ReadAll(pages[1]), "page 1");
    // A runtime folder anyone may write is no place for it.
    chmod(first.Path().c_str(), 0777);
    ScopedEnv runtime("XDG_RUNTIME_DIR", first.Path().c_str());
    const std::string page = WritePrivateFile(kHelpFileName, "page 2");
    EXPECT_NE(std::filesystem::path(page).parent_path(), first.Path());
    EXPECT_EQ(ReadAll(page), "page 2");
}

}  // namespace
