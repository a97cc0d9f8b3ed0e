#pragma once
// The settings dialog as the form's logic sees it. The native dialog (a Win32 dialog, a GTK 3
// window) implements ISettingsView; the form fills and reads it through these calls and gets the
// user's changes back through ISettingsViewEvents. Nothing here knows a toolkit.
#include <cstdint>
#include <string>
#include <vector>

// The dialog's controls that the logic talks to, by their names in the form's layout.
enum class TDialogControl : std::uint8_t {
    ComboBoxDepth,
    ComboBoxResolution,
    CheckBoxDesktop,
    ButtonDefault,
    CheckBoxRunAsEXE,
    TrackBarFishCount,
    LabelFishCount,
    TrackBarBubblesCount,
    LabelBubblesCount,
    ComboBoxThemes,
    CheckBoxSound,
    ComboBoxMonitors,
    CheckBoxSessionStart,
    ComboBoxIdleTime,
    CheckBoxWallpaperSessionStart,
    ButtonPreview,
    ButtonAbout,
    ButtonHelp,
    ButtonOk,
    ButtonCancel,
};

// A picture for the About box: rows top to bottom, 3 bytes (red, green, blue) per pixel.
struct TDialogPicture {
    int Width = 0;
    int Height = 0;
    std::vector<std::uint8_t> Rgb;
};

// What the About box shows.
struct TAboutInfo {
    std::string Caption;      // "About 3D Tidewell Screen Saver"
    std::string ProductName;  // "3D Tidewell Screen Saver"
    std::string Version;      // "Version 1.5"
    std::string Comments;     // the OpenGL summary, three lines; empty before any context
    std::string LinkText;     // the link label's caption
    std::string LinkTarget;   // what a click on the link opens (a web address or a local file)
    TDialogPicture Picture;
};

// The user's actions, raised by the view on the loop's thread. Setting a control from the
// logic (SelectListItem, SetPosition, SetChecked) must not raise ControlChanged.
class ISettingsViewEvents {
public:
    virtual ~ISettingsViewEvents() = default;
    // A list selection, a track bar move, a check box or button click.
    virtual void ControlChanged(TDialogControl control) = 0;
    // The close box or Escape: as Cancel.
    virtual void CloseRequested() = 0;
};

class ISettingsView {
public:
    virtual ~ISettingsView() = default;

    virtual void SetEvents(ISettingsViewEvents* events) = 0;
    // Shows the dialog centred on the desktop; with an owner window (a handle from /c), the
    // dialog is owned by and modal to it.
    virtual void Show(std::intptr_t owner) = 0;
    // Hides the dialog and gives the owner back its input.
    virtual void Hide() = 0;
    virtual void SetCaption(const std::string& text) = 0;

    // Drop-down lists: all items at once, the selection by index (-1: none).
    virtual void SetListItems(TDialogControl list, const std::vector<std::string>& items) = 0;
    virtual void SelectListItem(TDialogControl list, int index) = 0;
    virtual int SelectedListItem(TDialogControl list) = 0;
    // Track bars.
    virtual void SetPosition(TDialogControl trackBar, int position) = 0;
    virtual int Position(TDialogControl trackBar) = 0;
    // Check boxes.
    virtual void SetChecked(TDialogControl checkBox, bool checked) = 0;
    virtual bool Checked(TDialogControl checkBox) = 0;
    // Any control.
    virtual void SetEnabled(TDialogControl control, bool enabled) = 0;
    // Replaces the control's hint (its tooltip).
    virtual void SetHint(TDialogControl control, const std::string& text) = 0;
    // Labels.
    virtual void SetText(TDialogControl label, const std::string& text) = 0;

    // A modal message box over the dialog with an error icon.
    virtual void ShowMessage(const std::string& text, const std::string& caption) = 0;
    // The About box, modal; returns when it is closed (OK, Enter, Escape or the close box).
    virtual void ShowAbout(const TAboutInfo& about) = 0;
    // The native window of the preview panel's drawing area (the platform's window id), 316 x 236 at
    // the layout's design font and larger with a larger font: the scene's preview window
    // becomes its child.
    virtual std::intptr_t PreviewPanel() = 0;
};
