#pragma once
// The settings dialog's logic: fills the native view from the options, follows the user's
// changes, runs the live preview in its panel and "Preview...", opens the About box and help.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/execute_pro.h"
#include "app/screen_saver_app.h"
#include "display/display_control.h"
#include "form/about_box.h"
#include "form/help_page.h"
#include "form/saver_options.h"
#include "form/saver_run.h"
#include "form/settings_view.h"
#include "form/sound.h"
#include "scene/aquarium.h"

// Writes the dialog's options (the writer, into a store of the preview's own) and gives the
// command line of a saver process that runs with them.
using TSeparatePreview = std::function<std::string(const std::function<void(IRegistryStore&)>& writeOptions)>;

struct TSettingsPresenterServices {
    TApplication& Application;
    IApplicationHost& Host;
    IWindowSystem& Windows;
    // Starts "Preview..." as a process of its own, where SeparatePreview says so.
    IProcessLauncher* Launcher = nullptr;
    // The native view, made when the dialog is shown.
    std::function<std::unique_ptr<ISettingsView>()> MakeSettingsView;
    // The About box's link, picture and the help page.
    std::string HomePage;
    std::function<TDialogPicture()> DialogPicture;
    THelpPage Help;
    // The ".exe" copy that "Run As EXE" starts; ticking the box says so when it is missing.
    std::function<std::string()> RunAsExePath;
    // The defaults of the options (and the display mode) as the form sets them.
    std::function<void()> SetDefaults;
    // Closes the form: the dialog ends.
    std::function<void()> Close;
    // Stores the options (OK).
    std::function<void()> SaveOptions;
    // Writes (true) or removes the idle watch's start with the session, raising Exception when
    // it cannot; empty where the session has no idle watch (its controls are not shown).
    std::function<void(bool)> SetSessionStart;
    // The same for the wallpaper; empty where it has none (its check box is not shown).
    std::function<void(bool)> SetWallpaperSessionStart;
    // Why this session cannot show the wallpaper, or empty: its check box is disabled with that hint.
    std::function<std::string()> WallpaperUnavailable;
    // "Preview..." as a process of its own, waited for (the Wayland saver from a dialog that runs
    // through XWayland); empty: the saver window in this process.
    TSeparatePreview SeparatePreview;
};

// The idle time list's minutes: these, and a stored value between them.
std::vector<std::int32_t> IdleTimeChoices(std::int32_t stored);
std::string IdleTimeText(std::int32_t minutes);

class TSettingsPresenter final : public ISettingsViewEvents {
public:
    TSettingsPresenter(TSettingsPresenterServices services, TScreenSaverApp& saver, TDisplayControl& display,
                       IAquarium& aquarium, TSaverOptions& options, TSound& sound, TSaverRun& run);

    // Makes and shows the view (once); owned by the handle given on the command line in /c.
    void ShowDialog(const std::string& caption);
    // Fills the lists and controls and starts the preview in the panel.
    void Start();
    void FillDepthList();
    void FillResolutionList(std::int32_t colorDepth);
    void OptionsToControls();
    void ApplyModeSelection();
    void StartDialogPreview();
    // The preview's frame rate in the caption, once a second.
    void ShowCaption(const std::string& text);
    // "Preview...": the full-screen saver from the dialog, back to the dialog when it ends.
    void RunFullScreenPreview();
    // A quit signal (the session ends, the process is asked to end): the dialog ends as Cancel
    // does, after a running "Preview..." has given the display its mode back.
    void Quit();
    void ShowAboutBox();
    // Opens the help page; a page that cannot be shown is said in a message, the dialog goes on.
    void OpenHelp();

    ISettingsView* View() { return view_.get(); }
    bool InFullScreenPreview() const { return fullScreenPreview_; }
    bool ControlsReady() const { return controlsReady_; }
    // Hides the view: Close may run inside one of its own handlers (OK, Cancel).
    void Hide() {
        if (view_) view_->Hide();
    }
    void Destroy() { view_.reset(); }

    // ISettingsViewEvents
    void ControlChanged(TDialogControl control) override;
    void CloseRequested() override { services_.Close(); }

private:
    // The dialog's list items as filled, to find a text again.
    std::vector<std::string>& ListItems(TDialogControl list);
    void SelectListText(TDialogControl list, const std::string& text);
    void ApplySoundFromDialog();
    void RunSeparatePreview();

    TSettingsPresenterServices services_;
    TScreenSaverApp& saver_;
    TDisplayControl& display_;
    IAquarium& aquarium_;
    TSaverOptions& options_;
    TSound& sound_;
    TSaverRun& run_;

    std::unique_ptr<ISettingsView> view_;
    std::vector<std::string> depthItems_;
    std::vector<std::string> resolutionItems_;
    std::vector<std::int32_t> idleChoices_;
    bool controlsReady_ = false;
    bool fullScreenPreview_ = false;
    bool quitAfterPreview_ = false;
    bool softwareWarningShown_ = false;
};
