#pragma once
// The settings dialog on Windows: a dialog box of plain Win32 and common controls in the system's
// message font at the DPI of the monitor it is on, laid out in units of that font.
// The window system's pump hands it the keyboard (Tab, Enter, Escape). OK and Enter raise
// ControlChanged(ButtonOk); the Cancel button, Escape and the close box raise CloseRequested.
#include <windows.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "form/dialog_layout.h"
#include "form/settings_view.h"

struct TDialogColours;
struct TFontSources;
// The stored message font before and after a change the system's answer does not show yet.
struct TFontChange {
    LOGFONTW Before{};
    LOGFONTW After{};
};

// The window property that marks the settings dialog, for a second start to find it.
inline constexpr wchar_t kSettingsDialogProperty[] = L"TidewellSettingsDialog";
class TWin32WindowSystem;
// Opens the About box's link: the desktop's handler (OpenWithDesktop), or a test's.
using TLinkOpener = bool (*)(const std::string& target);

class TWin32SettingsView final : public ISettingsView {
public:
    // Creates the dialog hidden, its keyboard handled by the pump of `windows`, which also raises
    // what a handler throws. Raises Exception when it cannot be made.
    explicit TWin32SettingsView(TWin32WindowSystem& windows);
    ~TWin32SettingsView() override;
    TWin32SettingsView(const TWin32SettingsView&) = delete;
    TWin32SettingsView& operator=(const TWin32SettingsView&) = delete;

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
    std::intptr_t PreviewPanel() override { return reinterpret_cast<std::intptr_t>(panel_); }
    void SetLinkOpener(TLinkOpener open) { openLink_ = open; }

    HWND Dialog() const { return dialog_; }
    HWND Control(TDialogControl control) const { return controls_[static_cast<std::size_t>(control)]; }
    // Places every control and sizes the dialog for this DPI (also on WM_DPICHANGED).
    void Relayout(UINT dpi);
    UINT Dpi() const { return dpi_; }
    // Device pixels per layout unit at the dialog's font.
    TDialogUnits Units() const { return units_; }

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void CreateControls();
    // The layout item a child window was made from; none for other windows.
    const TDialogItem* ItemOf(HWND control) const;
    void Raise(TDialogControl control);
    void ReleaseOwner();
    // The message font changed: notes a change that only the stored value shows.
    void FollowFontChange();

    TWin32WindowSystem& windows_;
    HWND dialog_ = nullptr;
    HWND panel_ = nullptr;
    HWND tooltip_ = nullptr;
    HWND owner_ = nullptr;  // disabled by us while the dialog is shown
    std::unique_ptr<TDialogColours> colours_;
    std::unique_ptr<TFontSources> fontSources_;  // at the last change the system's answer showed
    TFontChange fontChange_;
    bool fontChanged_ = false;
    HFONT font_ = nullptr;
    HFONT panelFont_ = nullptr;
    UINT dpi_ = 96;
    TDialogUnits units_;
    ISettingsViewEvents* events_ = nullptr;
    std::array<HWND, static_cast<std::size_t>(TDialogControl::ButtonCancel) + 1> controls_{};
    std::vector<HWND> items_;  // every item of the layout, in its order
    std::array<int, 2> positions_{};  // the track bars' last positions, to report moves only
    TLinkOpener openLink_;
};
