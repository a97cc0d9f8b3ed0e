#include "platform/gtk/settings_view.h"

#include <gdk/gdkx.h>
#include <gtk/gtk.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <utility>

#include "form/dialog_layout.h"
#include "platform/gtk/gtk_runtime.h"
#include "platform/x11/settings_dialog_raise.h"

namespace {

// The idle watch's controls show on a Wayland session (the dialog itself runs through XWayland).
bool WaylandSession() {
    const char* display = std::getenv("WAYLAND_DISPLAY");
    return display && *display;
}

using C = TDialogControl;

// The theme's own font at its own size; the form's compact controls; its colours (the class
// "tidewell-colours") only where the theme is not a high-contrast one.
const char kCss[] = R"(
.tidewell-colours { background-color: rgb(92, 175, 224); }
.tidewell button { padding: 0 4px; min-height: 0; min-width: 0; }
.tidewell combobox button { padding: 0 2px 0 4px; }
.tidewell combobox arrow { min-width: 12px; min-height: 12px; }
.tidewell checkbutton { padding: 0; min-height: 0; }
.tidewell check { min-width: 13px; min-height: 13px; margin: 0 4px 0 0; }
.tidewell scale { padding: 0 4px; min-height: 0; }
.tidewell scale trough { min-height: 4px; margin-top: 3px; }
.tidewell scale slider { min-width: 9px; min-height: 14px; margin: -7px -3px; border-radius: 2px; }
.tidewell scale marks { margin: 0; }
.tidewell scale marks indicator { min-height: 4px; }
.tidewell-colours frame > border { border: 1px solid rgb(60, 120, 160); border-radius: 0; }
#PanelPreview { background-color: black; border: 1px solid; border-color: rgb(64, 64, 64) white white rgb(64, 64, 64);
                box-shadow: inset 1px 1px white, inset -1px -1px rgb(128, 128, 128); }
#PreviewArea { background-color: black; }
#PreviewArea label { color: red; font-weight: bold; font-size: larger; }
#ProductName, #LabelVersion { font-weight: bold; font-size: larger; }
#LinkLabel { font-size: larger; }
.tidewell-colours #LinkLabel link, .tidewell-colours #LinkLabel link:hover { color: blue; }
.tidewell-colours separator { background-color: rgb(60, 120, 160); min-height: 1px; }
)";

// GTK's own high-contrast themes are "HighContrast" and "HighContrastInverse"; others follow
// the same naming. GTK_THEME, when set, overrides the desktop's setting.
bool HighContrastTheme() {
    if (const char* forced = g_getenv("GTK_THEME"); forced && *forced) return g_strstr_len(forced, -1, "HighContrast");
    gchar* theme = nullptr;
    g_object_get(gtk_settings_get_default(), "gtk-theme-name", &theme, nullptr);
    const bool high = theme && g_strstr_len(theme, -1, "HighContrast");
    g_free(theme);
    return high;
}

void AddStyleClasses(GtkWidget* window) {
    GtkStyleContext* style = gtk_widget_get_style_context(window);
    gtk_style_context_add_class(style, "tidewell");
    if (!HighContrastTheme()) gtk_style_context_add_class(style, "tidewell-colours");
}

// The layout units of the window's font.
TDialogUnits FontUnits(GtkWidget* window) {
    PangoLayout* layout = gtk_widget_create_pango_layout(window, kAverageCharSample);
    int width = 0, height = 0;
    pango_layout_get_pixel_size(layout, &width, &height);
    g_object_unref(layout);
    return TDialogUnits::FromFont(width, height);
}

void InstallStyle() {
    static bool installed = false;
    if (installed) return;
    GtkCssProvider* provider = gtk_css_provider_new();
    gtk_css_provider_load_from_data(provider, kCss, -1, nullptr);
    gtk_style_context_add_provider_for_screen(gdk_screen_get_default(), GTK_STYLE_PROVIDER(provider),
                                              GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    g_object_unref(provider);
    installed = true;
}

// Each control carries its layout item.
const char kItemKey[] = "tidewell-item";

const TDialogItem* ItemOf(gpointer widget) {
    return static_cast<const TDialogItem*>(g_object_get_data(G_OBJECT(widget), kItemKey));
}

bool IsPushButton(GtkWidget* widget) {
    const TDialogItem* item = widget ? ItemOf(widget) : nullptr;
    return item && (item->Kind == TDialogItemKind::PushButton || item->Kind == TDialogItemKind::DefaultPushButton);
}

void Put(GtkWidget* fixed, GtkWidget* widget, int x, int y, int width = -1, int height = -1) {
    gtk_widget_set_size_request(widget, width, height);
    gtk_fixed_put(GTK_FIXED(fixed), widget, x, y);
}

// A label is as high as its text, drawn from the top of its rectangle as on Windows. The
// rectangle is in layout units.
void Put(GtkWidget* fixed, GtkWidget* widget, const TDialogUnits& units, const TDialogRect& rect, bool label = false) {
    const TDialogRect at = units.Scaled(rect);
    Put(fixed, widget, at.Left, at.Top, at.Width, label ? -1 : at.Height);
}

// Where GTK draws inside a widget's rectangle differs from the common controls the layout was
// made with: a scale draws its trough at its top, where a track bar leaves room above its
// channel, and a label is as high as its text. The scales and the numbers under them move up to
// look as on Windows, and the end numbers line up with the trough's ends (the scale's padding,
// in the style above, in from its sides).
const int kScaleRaise = 8, kNumberRaise = 4, kScalePadding = 4;

TDialogRect GtkRect(const TDialogItem& item) {
    TDialogRect rect = item.Placed();
    if (item.Kind == TDialogItemKind::TrackBar) rect.Top -= kScaleRaise;
    if (item.Kind != TDialogItemKind::NumberLabel) return rect;
    rect.Top -= kNumberRaise;
    for (const TDialogItem& bar : kSettingsLayout) {
        const bool sameGroup = bar.Group.Left == item.Group.Left && bar.Group.Top == item.Group.Top;
        if (bar.Kind != TDialogItemKind::TrackBar || !sameGroup) continue;
        const TDialogRect scale = bar.Placed();
        if (item.Align == TDialogAlign::Left) rect.Left = scale.Left + kScalePadding;
        if (item.Align == TDialogAlign::Right) rect.Left = scale.Left + scale.Width - kScalePadding - rect.Width;
    }
    return rect;
}

GtkWidget* Label(const char* text, TDialogAlign align = TDialogAlign::Left, bool mnemonic = false) {
    GtkWidget* label = mnemonic ? gtk_label_new_with_mnemonic(text) : gtk_label_new(text);
    gtk_label_set_xalign(GTK_LABEL(label), align == TDialogAlign::Left ? 0.0f : align == TDialogAlign::Centre ? 0.5f : 1.0f);
    return label;
}

void SetPointerCursor(GtkWidget* button, gpointer) {
    GdkWindow* window = gtk_button_get_event_window(GTK_BUTTON(button));
    if (!window) return;
    GdkCursor* cursor = gdk_cursor_new_from_name(gtk_widget_get_display(button), "pointer");
    gdk_window_set_cursor(window, cursor);
    if (cursor) g_object_unref(cursor);
}

GtkWidget* HandButton(const char* caption) {
    GtkWidget* button = gtk_button_new_with_mnemonic(WithUnderscoreKey(caption).c_str());
    g_signal_connect_after(button, "realize", G_CALLBACK(SetPointerCursor), nullptr);
    return button;
}

void OnChanged(GtkWidget* widget, gpointer view) { static_cast<TGtkSettingsView*>(view)->Raise(*ItemOf(widget)->Control); }

gboolean OnDelete(GtkWidget*, GdkEvent*, gpointer view) {
    static_cast<TGtkSettingsView*>(view)->RaiseClose();
    return TRUE;  // the logic decides whether the dialog goes
}

gboolean OnKey(GtkWidget* window, GdkEventKey* event, gpointer view) {
    auto* self = static_cast<TGtkSettingsView*>(view);
    switch (event->keyval) {
        case GDK_KEY_Escape: self->RaiseClose(); return TRUE;
        case GDK_KEY_F1: self->ActivateHelp(); return TRUE;
        case GDK_KEY_Return:
        case GDK_KEY_KP_Enter:
        case GDK_KEY_ISO_Enter:
            // A focused push button takes Enter itself; anywhere else Enter means OK.
            if (IsPushButton(gtk_window_get_focus(GTK_WINDOW(window)))) return FALSE;
            self->ActivateDefault();
            return TRUE;
        default: return FALSE;
    }
}

struct WidgetDeleter {
    void operator()(GtkWidget* widget) const { gtk_widget_destroy(widget); }
};
using OwnedWidget = std::unique_ptr<GtkWidget, WidgetDeleter>;

}  // namespace

TGtkSettingsView::TGtkSettingsView() {
    InstallStyle();
    window_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    g_object_ref_sink(window_);
    AddStyleClasses(window_);
    units_ = FontUnits(window_);
    gtk_window_set_resizable(GTK_WINDOW(window_), FALSE);
    gtk_window_set_position(GTK_WINDOW(window_), GTK_WIN_POS_CENTER);
    GtkWidget* fixed = gtk_fixed_new();
    gtk_widget_set_size_request(fixed, units_.Horizontal(kSettingsDialogWidth), units_.Vertical(kSettingsDialogHeight));
    gtk_container_add(GTK_CONTAINER(window_), fixed);

    // The frames first: each is drawn under its controls.
    std::array<GtkWidget*, std::size(kSettingsLayout)> widgets{};
    for (std::size_t i = 0; i < widgets.size(); ++i)
        if (kSettingsLayout[i].Kind == TDialogItemKind::GroupBox) widgets[i] = Add(fixed, kSettingsLayout[i]);
    for (std::size_t i = 0; i < widgets.size(); ++i)
        if (kSettingsLayout[i].Kind != TDialogItemKind::GroupBox) widgets[i] = Add(fixed, kSettingsLayout[i]);
    // A control without a caption of its own is named by the one before it (a label or a group's
    // frame): its access key moves there, and screen readers read it as the control's name.
    for (std::size_t i = 1; i < widgets.size(); ++i) {
        const TDialogItem& item = kSettingsLayout[i];
        if (!item.Control || !LabelOf(*item.Control)) continue;
        GtkWidget* caption = widgets[i - 1];
        if (GTK_IS_FRAME(caption)) caption = gtk_frame_get_label_widget(GTK_FRAME(caption));
        gtk_label_set_mnemonic_widget(GTK_LABEL(caption), widgets[i]);
        atk_object_set_name(gtk_widget_get_accessible(widgets[i]), WithoutAccessKey(LabelOf(*item.Control)).c_str());
    }

    g_signal_connect(window_, "delete-event", G_CALLBACK(OnDelete), this);
    g_signal_connect(window_, "key-press-event", G_CALLBACK(OnKey), this);
    gtk_widget_show_all(fixed);
}

GtkWidget* TGtkSettingsView::Add(GtkWidget* fixed, const TDialogItem& item) {
    using K = TDialogItemKind;
    const std::string caption = WithoutAccessKey(item.Caption);
    const std::string keyed = WithUnderscoreKey(item.Caption);
    const TDialogRect rect = GtkRect(item);
    GtkWidget* widget = nullptr;
    const char* signal = nullptr;
    switch (item.Kind) {
        case K::Label: widget = Label(keyed.c_str(), item.Align, true); break;
        case K::NumberLabel: widget = Label(caption.c_str(), item.Align); break;
        case K::ComboBox:
            widget = gtk_combo_box_text_new();
            signal = "changed";
            break;
        case K::CheckBox:
            widget = gtk_check_button_new_with_mnemonic(keyed.c_str());
            signal = "toggled";
            break;
        case K::PushButton:
        case K::DefaultPushButton:
            widget = HandButton(item.Caption);
            signal = "clicked";
            break;
        case K::TrackBar: {
            const TTrackBarRange& range = item.Range;
            widget = gtk_scale_new_with_range(GTK_ORIENTATION_HORIZONTAL, 0, range.Max, range.Line);
            gtk_scale_set_draw_value(GTK_SCALE(widget), FALSE);
            gtk_range_set_increments(GTK_RANGE(widget), range.Line, range.Page);
            gtk_range_set_round_digits(GTK_RANGE(widget), 0);
            for (int mark = 0; mark <= range.Max; mark += range.Tick)
                gtk_scale_add_mark(GTK_SCALE(widget), mark, GTK_POS_BOTTOM, nullptr);
            signal = "value-changed";
            break;
        }
        case K::GroupBox:
            widget = gtk_frame_new(nullptr);
            gtk_frame_set_label_widget(GTK_FRAME(widget), Label(keyed.c_str(), TDialogAlign::Left, true));
            break;
        case K::PreviewPanel: {
            // A bevelled black panel whose inner area is a native X window.
            widget = gtk_event_box_new();
            GtkWidget* inside = gtk_fixed_new();
            gtk_container_add(GTK_CONTAINER(widget), inside);
            previewArea_ = gtk_event_box_new();
            gtk_widget_set_name(previewArea_, "PreviewArea");
            const TDialogRect at = units_.Scaled(rect);
            Put(inside, previewArea_, kPreviewPanelBevel, kPreviewPanelBevel, at.Width - 2 * kPreviewPanelBevel,
                at.Height - 2 * kPreviewPanelBevel);
            gtk_container_add(GTK_CONTAINER(previewArea_), gtk_label_new(caption.c_str()));
            break;
        }
    }
    if (item.Name) gtk_widget_set_name(widget, item.Name);
    if (item.Hint) gtk_widget_set_tooltip_text(widget, item.Hint);
    g_object_set_data(G_OBJECT(widget), kItemKey, const_cast<TDialogItem*>(&item));
    if (item.Control) controls_[static_cast<std::size_t>(*item.Control)] = widget;
    if (signal) g_signal_connect(widget, signal, G_CALLBACK(OnChanged), this);
    // Kept for the presenter's reads and writes, but out of sight: it does nothing here.
    if (item.WindowsOnly || (item.WaylandOnly && !WaylandSession())) gtk_widget_set_no_show_all(widget, TRUE);
    Put(fixed, widget, units_, rect, item.Kind == K::Label || item.Kind == K::NumberLabel);
    if (item.Kind == K::DefaultPushButton) {
        gtk_widget_set_can_default(widget, TRUE);
        gtk_window_set_default(GTK_WINDOW(window_), widget);
    }
    return widget;
}

TGtkSettingsView::~TGtkSettingsView() {
    events_ = nullptr;
    ++setting_;
    g_signal_handlers_disconnect_by_data(window_, this);
    gtk_widget_destroy(window_);
    g_object_unref(window_);
}

GtkWidget* TGtkSettingsView::Control(TDialogControl control) const {
    return controls_[static_cast<std::size_t>(control)];
}

void TGtkSettingsView::Raise(TDialogControl control) {
    if (setting_ > 0 || !events_) return;
    GtkGuarded([&] { events_->ControlChanged(control); });
}

void TGtkSettingsView::RaiseClose() {
    if (!events_) return;
    GtkGuarded([&] { events_->CloseRequested(); });
}

void TGtkSettingsView::ActivateDefault() { gtk_button_clicked(GTK_BUTTON(Control(C::ButtonOk))); }

void TGtkSettingsView::ActivateHelp() { gtk_button_clicked(GTK_BUTTON(Control(C::ButtonHelp))); }

void TGtkSettingsView::Show(std::intptr_t owner) {
    gtk_widget_realize(window_);
    // Marked for a second start of the program, which brings this dialog forward instead.
    const gulong pid = static_cast<gulong>(getpid());
    gdk_property_change(gtk_widget_get_window(window_), gdk_atom_intern_static_string(kSettingsDialogAtom),
                        gdk_atom_intern_static_string("CARDINAL"), 32, GDK_PROP_MODE_REPLACE,
                        reinterpret_cast<const guchar*>(&pid), 1);
    if (owner > 0) {
        GdkWindow* foreign =
            gdk_x11_window_foreign_new_for_display(gtk_widget_get_display(window_), static_cast<::Window>(owner));
        if (foreign) {
            gdk_window_set_transient_for(gtk_widget_get_window(window_), foreign);
            gtk_window_set_modal(GTK_WINDOW(window_), TRUE);
            g_object_unref(foreign);
        }
    }
    if (!gtk_widget_get_visible(window_)) PlaceOnOneMonitor(GTK_WINDOW(window_));
    gtk_widget_show(window_);
    gtk_widget_grab_focus(Control(C::ButtonOk));
    gtk_window_present(GTK_WINDOW(window_));
    gdk_display_flush(gtk_widget_get_display(window_));
}

void TGtkSettingsView::Hide() {
    gtk_window_set_modal(GTK_WINDOW(window_), FALSE);
    gtk_widget_hide(window_);
    gdk_display_flush(gtk_widget_get_display(window_));
}

void TGtkSettingsView::SetCaption(const std::string& text) { gtk_window_set_title(GTK_WINDOW(window_), text.c_str()); }

void TGtkSettingsView::SetListItems(TDialogControl list, const std::vector<std::string>& items) {
    auto* combo = GTK_COMBO_BOX_TEXT(Control(list));
    ++setting_;
    gtk_combo_box_text_remove_all(combo);
    for (const auto& item : items) gtk_combo_box_text_append_text(combo, item.c_str());
    --setting_;
}

void TGtkSettingsView::SelectListItem(TDialogControl list, int index) {
    ++setting_;
    gtk_combo_box_set_active(GTK_COMBO_BOX(Control(list)), index);
    --setting_;
}

int TGtkSettingsView::SelectedListItem(TDialogControl list) { return gtk_combo_box_get_active(GTK_COMBO_BOX(Control(list))); }

void TGtkSettingsView::SetPosition(TDialogControl trackBar, int position) {
    ++setting_;
    gtk_range_set_value(GTK_RANGE(Control(trackBar)), position);
    --setting_;
}

int TGtkSettingsView::Position(TDialogControl trackBar) {
    return static_cast<int>(std::lround(gtk_range_get_value(GTK_RANGE(Control(trackBar)))));
}

void TGtkSettingsView::SetChecked(TDialogControl checkBox, bool checked) {
    ++setting_;
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(Control(checkBox)), checked);
    --setting_;
}

bool TGtkSettingsView::Checked(TDialogControl checkBox) {
    return gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(Control(checkBox)));
}

void TGtkSettingsView::SetEnabled(TDialogControl control, bool enabled) { gtk_widget_set_sensitive(Control(control), enabled); }

void TGtkSettingsView::SetHint(TDialogControl control, const std::string& text) {
    gtk_widget_set_tooltip_text(Control(control), text.c_str());
}

void TGtkSettingsView::SetText(TDialogControl label, const std::string& text) {
    GtkWidget* widget = Control(label);
    if (GTK_IS_LABEL(widget)) gtk_label_set_text(GTK_LABEL(widget), text.c_str());
    else if (GTK_IS_BUTTON(widget)) gtk_button_set_label(GTK_BUTTON(widget), text.c_str());
}

void TGtkSettingsView::ShowMessage(const std::string& text, const std::string& caption) {
    GtkWindow* parent = gtk_widget_get_visible(window_) ? GTK_WINDOW(window_) : nullptr;
    OwnedWidget box(NewErrorBox(parent, text, caption));
    // A quit signal closes the box too: it stays signalled for every box still to come.
    RunModalBox(box.get());
}

namespace {

gboolean OnLink(GtkLabel*, gchar*, gpointer target) {
    // Our own opener, not GTK's: the same one the help button uses.
    GtkGuarded([target] { GtkOpenWithDesktop(*static_cast<const std::string*>(target)); });
    return TRUE;
}

void OnAboutOk(GtkWidget*, gpointer dialog) { gtk_dialog_response(GTK_DIALOG(dialog), GTK_RESPONSE_OK); }

}  // namespace

void TGtkSettingsView::ShowAbout(const TAboutInfo& about) {
    OwnedWidget box(gtk_dialog_new());
    GtkWidget* dialog = box.get();
    gtk_widget_set_name(dialog, "AboutBox");
    AddStyleClasses(dialog);
    const TDialogUnits units = FontUnits(dialog);
    gtk_window_set_title(GTK_WINDOW(dialog), about.Caption.c_str());
    gtk_window_set_resizable(GTK_WINDOW(dialog), FALSE);
    gtk_window_set_modal(GTK_WINDOW(dialog), TRUE);
    gtk_window_set_keep_above(GTK_WINDOW(dialog), TRUE);
    gtk_window_set_position(GTK_WINDOW(dialog), GTK_WIN_POS_CENTER);
    if (gtk_widget_get_visible(window_)) gtk_window_set_transient_for(GTK_WINDOW(dialog), GTK_WINDOW(window_));
    gtk_container_set_border_width(GTK_CONTAINER(dialog), 0);
    GtkWidget* content = gtk_dialog_get_content_area(GTK_DIALOG(dialog));
    gtk_container_set_border_width(GTK_CONTAINER(content), 0);
    gtk_box_set_spacing(GTK_BOX(content), 0);
    GtkWidget* fixed = gtk_fixed_new();
    gtk_box_pack_start(GTK_BOX(content), fixed, TRUE, TRUE, 0);

    GtkWidget* bevel = gtk_frame_new(nullptr);
    gtk_frame_set_shadow_type(GTK_FRAME(bevel), GTK_SHADOW_ETCHED_IN);
    Put(fixed, bevel, units, kAboutLayout.Logo);
    const TDialogPicture& picture = about.Picture;
    if (picture.Width > 0 && picture.Height > 0 &&
        picture.Rgb.size() >= static_cast<std::size_t>(picture.Width) * static_cast<std::size_t>(picture.Height) * 3) {
        GdkPixbuf* view = gdk_pixbuf_new_from_data(picture.Rgb.data(), GDK_COLORSPACE_RGB, FALSE, 8, picture.Width,
                                                   picture.Height, picture.Width * 3, nullptr, nullptr);
        // Drawn at the layout's size in the font's units; a copy, as the box must not depend on
        // the caller's bytes.
        const TDialogRect at = units.Scaled(kAboutLayout.Picture);
        GdkPixbuf* copy = gdk_pixbuf_scale_simple(view, at.Width, at.Height, GDK_INTERP_BILINEAR);
        g_object_unref(view);
        GtkWidget* image = gtk_image_new_from_pixbuf(copy);
        g_object_unref(copy);
        gtk_widget_set_name(image, "ImageBackground");
        Put(fixed, image, units, kAboutLayout.Picture);
    }

    GtkWidget* product = Label(about.ProductName.c_str());
    gtk_widget_set_name(product, "ProductName");
    gtk_label_set_line_wrap(GTK_LABEL(product), TRUE);
    Put(fixed, product, units, kAboutLayout.ProductName, true);
    GtkWidget* version = Label(about.Version.c_str());
    gtk_widget_set_name(version, "LabelVersion");
    Put(fixed, version, units, kAboutLayout.Version, true);

    GtkWidget* link = gtk_label_new(nullptr);
    gtk_widget_set_name(link, "LinkLabel");
    gchar* markup = g_markup_printf_escaped("<a href=\"%s\">%s</a>", about.LinkTarget.c_str(), about.LinkText.c_str());
    gtk_label_set_markup(GTK_LABEL(link), markup);
    g_free(markup);
    gtk_label_set_track_visited_links(GTK_LABEL(link), FALSE);
    g_signal_connect(link, "activate-link", G_CALLBACK(OnLink), const_cast<std::string*>(&about.LinkTarget));
    const TDialogRect linkAt = units.Scaled(kAboutLayout.Link);
    Put(fixed, link, linkAt.Left, linkAt.Top);  // only its text takes the click

    GtkWidget* comments = Label(about.Comments.c_str());
    gtk_widget_set_name(comments, "LabelComments");
    gtk_label_set_line_wrap(GTK_LABEL(comments), TRUE);
    gtk_label_set_yalign(GTK_LABEL(comments), 0.0f);
    // The OpenGL summary wraps to as many lines as it needs: what lies below moves down for them.
    const TDialogRect summary = units.Scaled(kAboutLayout.Comments);
    gtk_label_set_max_width_chars(GTK_LABEL(comments), 1);  // its width is the layout's, not its text's
    int needed = 0;
    gtk_widget_get_preferred_height_for_width(comments, summary.Width, nullptr, &needed);
    const int grown = std::max(0, needed - summary.Height);
    Put(fixed, comments, summary.Left, summary.Top, summary.Width, summary.Height + grown);

    const TDialogRect line = units.Scaled(kAboutLayout.Line);
    Put(fixed, gtk_separator_new(GTK_ORIENTATION_HORIZONTAL), line.Left, line.Top + grown, line.Width);

    GtkWidget* ok = HandButton(kAboutLayout.OkCaption);
    gtk_widget_set_name(ok, "OKButton");
    const TDialogRect okAt = units.Scaled(kAboutLayout.OkButton);
    Put(fixed, ok, okAt.Left, okAt.Top + grown, okAt.Width, okAt.Height);
    gtk_widget_set_size_request(fixed, units.Horizontal(kAboutLayout.Width), units.Vertical(kAboutLayout.Height) + grown);
    g_signal_connect(ok, "clicked", G_CALLBACK(OnAboutOk), dialog);
    gtk_widget_set_can_default(ok, TRUE);

    gtk_widget_show_all(fixed);
    gtk_widget_grab_default(ok);
    gtk_widget_grab_focus(ok);
    RunModalBox(dialog);
}

std::intptr_t TGtkSettingsView::PreviewPanel() {
    // Realizing the window lays it out, so the area has its size before it is shown.
    gtk_widget_realize(window_);
    gtk_widget_realize(previewArea_);
    GdkWindow* area = gtk_widget_get_window(previewArea_);
    if (!area || !gdk_window_ensure_native(area)) return 0;
    gdk_display_sync(gtk_widget_get_display(window_));
    return static_cast<std::intptr_t>(gdk_x11_window_get_xid(area));
}
