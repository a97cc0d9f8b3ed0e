#pragma once
// The settings dialog and its About box in GTK 3 (X11 backend): the layout table's positions in
// units of the theme's font on a GtkFixed, the form's colour from a CSS provider (not under a
// high-contrast theme), and the preview panel's drawing area as a
// native X window that the GLX preview window becomes a child of.
#include <array>

#include "form/dialog_layout.h"
#include "form/settings_view.h"

struct _GtkWidget;

class TGtkSettingsView final : public ISettingsView {
public:
    // GTK must be running (StartGtk).
    TGtkSettingsView();
    ~TGtkSettingsView() override;
    TGtkSettingsView(const TGtkSettingsView&) = delete;
    TGtkSettingsView& operator=(const TGtkSettingsView&) = delete;

    void SetEvents(ISettingsViewEvents* events) override { events_ = events; }
    void Show(std::intptr_t owner) override;
    void Hide() override;
    void SetCaption(const std::string& text) override;

    void SetListItems(TDialogControl list, const std::vector<std::string>& items) override;
    void SelectListItem(TDialogControl list, int index) override;
    int SelectedListItem(TDialogControl list) override;
    void SetPosition(TDialogControl trackBar, int position) override;
    int Position(TDialogControl trackBar) override;
    void SetChecked(TDialogControl checkBox, bool checked) override;
    bool Checked(TDialogControl checkBox) override;
    void SetEnabled(TDialogControl control, bool enabled) override;
    void SetHint(TDialogControl control, const std::string& text) override;
    void SetText(TDialogControl label, const std::string& text) override;

    void ShowMessage(const std::string& text, const std::string& caption) override;
    void ShowAbout(const TAboutInfo& about) override;
    std::intptr_t PreviewPanel() override;

    // The top-level GtkWindow; each control carries its name (gtk_widget_set_name).
    _GtkWidget* Window() const { return window_; }

    // For the signal handlers.
    void Raise(TDialogControl control);
    void RaiseClose();
    void ActivateDefault();
    void ActivateHelp();

private:
    _GtkWidget* Control(TDialogControl control) const;
    // Makes the item's widget and puts it on the dialog.
    _GtkWidget* Add(_GtkWidget* fixed, const TDialogItem& item);

    ISettingsViewEvents* events_ = nullptr;
    _GtkWidget* window_ = nullptr;
    _GtkWidget* previewArea_ = nullptr;
    TDialogUnits units_;  // the theme font's pixels per layout unit
    std::array<_GtkWidget*, static_cast<std::size_t>(TDialogControl::ButtonCancel) + 1> controls_{};
    // While above zero the logic is setting controls: no events.
    int setting_ = 0;
};
