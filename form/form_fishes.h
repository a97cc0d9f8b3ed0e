#pragma once
// TFormFishes: the program's main form, as owner and event wiring. It owns the screen-saver
// component, the display control, the process launcher, the options, the sound and the
// aquarium, and hands its events to the role that handles them: the saver run (saver_run.h:
// windows, covers, cursor, stop), the settings dialog (settings_presenter.h), the stored options
// (saver_options.h) and the hand-over to the ".exe" copy (run_as_program.h).
#include <functional>
#include <memory>
#include <string>

#include "app/application.h"
#include "app/execute_pro.h"
#include "app/message_loop.h"
#include "app/screen_saver_app.h"
#include "display/display_control.h"
#include "form/dialog_layout.h"
#include "form/help_page.h"
#include "form/monitor_list.h"
#include "form/saver_options.h"
#include "form/saver_run.h"
#include "form/settings_presenter.h"
#include "form/settings_view.h"
#include "form/sound.h"
#include "scene/aquarium.h"
#include "scene/drawing_window.h"
#include "scene/preview_picture.h"

// The product's version, as the About box and --version give it.
inline constexpr int kMajorVersion = 1;
inline constexpr int kMinorVersion = 5;

// Everything the form needs from outside: the platform's services and the scene. Build it with
// designated initializers.
struct TFormServices {
    TApplication& Application;
    IApplicationHost& Host;
    IRegistryStore& Registry;
    IInstanceGuard& Guard;
    ISaverSystem& SaverSystem;
    IProcessLauncher& Launcher;
    IDisplayModeDriver& DisplayDriver;
    ISoundPlayer& SoundPlayer;
    IWindowSystem& Windows;
    // The aquarium, made once the form knows where the program runs from.
    std::function<std::unique_ptr<IAquarium>(TAquariumHost host)> MakeAquarium;
    // The rendering side of a saver window (a GLX or WGL device on it).
    std::function<std::unique_ptr<IDrawingWindow>(ISaverWindow&)> MakeDrawingWindow;
    // A message box owned by the form: text, caption, error icon.
    std::function<void(const std::string& text, const std::string& caption)> ShowError;
    // Where the scene description file is looked for.
    std::function<std::string(const std::string& installPath, const std::string& exeBaseName)> SceneDescriptionFile;
    // The still picture of the desktop's preview; none leaves the preview black.
    IPreviewPicture* PreviewPicture = nullptr;

    // The settings dialog: its native view, made when the dialog is shown.
    std::function<std::unique_ptr<ISettingsView>()> MakeSettingsView;
    // Opens a file or web address with the desktop's handler; false when nothing took it.
    std::function<bool(const std::string& target)> OpenDocument;
    // The package's documents folder for an install path (trailing separator; empty for none).
    std::function<std::string(const std::string& installPath)> DocumentFolder;
    // Where the help page is written when no copy is installed: see THelpPage.
    std::function<std::string(const std::string& name, const std::string& content)> WritePrivateFile;
    // The help page's HTML, embedded in the program.
    std::function<std::string()> HelpPage;
    // The dialog picture for the About box.
    std::function<TDialogPicture()> DialogPicture;
    // The product's home page for the About box's link; empty opens the help page instead.
    std::string HomePage;
    // The desktop's monitors; none puts the saver at (0, 0) and covers nothing else.
    IMonitorList* Monitors = nullptr;
    // The idle watch's start with the session (see TSettingsPresenterServices); empty for none.
    std::function<void(bool)> SetSessionStart;
    // The wallpaper's start with the session and why it cannot run here (see
    // TSettingsPresenterServices); empty for none.
    std::function<void(bool)> SetWallpaperSessionStart;
    std::function<std::string()> WallpaperUnavailable;
    // "Preview..." as a process of its own (see TSettingsPresenterServices); empty for none.
    TSeparatePreview SeparatePreview;
    // Whether the machine runs on battery (the wallpaper's pace); none: never.
    IPowerSource* Power = nullptr;
};

class TFormFishes final : private IRunStarts {
public:
    // Creates the components, loads them (run mode, single-instance guard, display modes) and
    // raises the form's create event. Raises what the loading raises (a bad parent handle).
    explicit TFormFishes(TFormServices services);
    ~TFormFishes() override;
    TFormFishes(const TFormFishes&) = delete;
    TFormFishes& operator=(const TFormFishes&) = delete;

    // What the message loop does before its first turn: shows the form when the application
    // wants it shown (in a preview that is the still picture inside the desktop's window).
    void Show();
    // Destruction of the form's components: the stop event (once), the saver flags cleared.
    // Separate from the destructor so that its errors can be reported; the destructor calls it.
    void Destroy();

    void Close();
    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetBounds(int left, int top, int width, int height);

    TScreenSaverApp& ScreenSaver() { return *screenSaver_; }
    TDisplayControl& DisplayControl() { return *displayControl_; }
    TSound& Sound() { return *sound_; }
    TSaverRun& Run() { return *run_; }
    TSettingsPresenter& Dialog() { return *presenter_; }
    const TSaverOptions& Options() const { return options_; }

    const std::string& Caption() const { return caption_; }
    const std::string& InstallPath() const { return installPath_; }
    bool Visible() const { return visible_; }
    bool Inert() const { return inert_; }
    std::intptr_t ParentWindow() const { return parent_; }
    // An error was reported to the user: the program should end with a failure status.
    bool ErrorReported() const { return errorReported_; }

private:
    // Sets the form up as the frame found the run: another instance, or the mode's stance.
    void FollowTheFrame();
    // Handlers of the screen-saver component.
    void ScreenSaverStart();
    void ScreenSaverStop();
    void ScreenSaverIdle(bool& done);
    void ScreenSaverException(const std::exception& e);
    // The options through the frame's store: one load, one save.
    void LoadOptions();
    void SaveOptions();
    // How the run modes start (run_modes.h).
    void ShowSettingsDialog() override;
    void ShowStillPicture() override;
    void StartSettingsDialog() override;
    void StartSaverWindow() override;
    void StartHackWindow() override;
    void StartWallpaper() override;
    // Form events.
    void FormCreate();
    void FormShow();
    bool FormCloseQuery();

    void SetDefaults();
    void MakeAquarium();

    TFormServices services_;
    std::unique_ptr<TScreenSaverApp> screenSaver_;
    std::unique_ptr<TDisplayControl> displayControl_;
    std::unique_ptr<TExecutePro> executePro_;
    TSaverOptions options_;
    std::unique_ptr<TSound> sound_;
    // After the sound: releasing the scene stops it.
    std::unique_ptr<IAquarium> aquarium_;
    std::unique_ptr<TSaverRun> run_;
    std::unique_ptr<TSettingsPresenter> presenter_;

    std::string caption_;
    std::string installPath_;
    // Why the ".exe" copy could not take over, for the log once it is open.
    std::string handOverFailure_;
    int left_ = 0, top_ = 0, width_ = kSettingsDialogWidth, height_ = kSettingsDialogHeight;
    std::intptr_t parent_ = 0;
    bool eventsConnected_ = true;
    bool visible_ = false;
    bool inert_ = false;
    bool closing_ = false;
    bool destroyed_ = false;
    bool errorReported_ = false;
};
