#pragma once
// TFormFishes: the program's main form. It owns the screen-saver component, the display control
// and the process launcher, handles their events, and drives the aquarium: the start event
// builds the scene and opens the saver window, every idle turn paints one frame, input ends the
// run, the close query releases everything. In the settings and plain-program modes it is the
// settings dialog: a native view (ISettingsView) filled from the options, with a live preview of
// the aquarium in its panel; OK stores the options. The dialog's handlers live in
// form_fishes_dialog.cpp.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/execute_pro.h"
#include "app/message_loop.h"
#include "app/saver_input.h"
#include "app/screen_saver_app.h"
#include "display/display_control.h"
#include "scene/aquarium.h"
#include "scene/drawing_window.h"
#include "scene/frame_rate.h"
#include "scene/monitor_list.h"
#include "scene/preview_picture.h"
#include "scene/settings_view.h"
#include "scene/sound.h"

// Everything the form needs from outside: the platform's services and the scene.
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
    IAquarium& Aquarium;
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
    // Where the help page is written when no copy is installed (trailing separator).
    std::function<std::string()> TemporaryDirectory;
    // The help page's HTML, embedded in the program.
    std::function<std::string()> HelpPage;
    // The dialog picture for the About box.
    std::function<TDialogPicture()> DialogPicture;
    // The product's home page for the About box's link; empty opens the help page instead.
    std::string HomePage;
    // The desktop's monitors; none puts the saver at (0, 0) and covers nothing else.
    IMonitorList* Monitors = nullptr;
};

inline constexpr const char* kHelpFileName = "3DTidewell.html";

class TFormFishes final : public IOwnerForm, public ISettingsViewEvents {
public:
    static constexpr int kDesignWidth = 511;
    static constexpr int kDesignHeight = 363;

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

    // Handlers of the screen-saver component.
    void ScreenSaverStart();
    void ScreenSaverStop();
    void ScreenSaverIdle(bool& done);
    void ScreenSaverLoadOptions();
    void ScreenSaverSaveOptions();
    void ScreenSaverException(const std::exception& e);
    // Form events.
    void FormCreate();
    void FormShow();
    bool FormCloseQuery();

    // Operations of the scene's window handling.
    void SetDefaults();
    void StartSaverWindow();
    // The xscreensaver hack: the scene in the window it was given, as that window's size changes.
    void StartHackWindow();
    void FreeDrawingWindow();

    // The settings dialog.
    void FillDepthList();
    void FillResolutionList(std::int32_t colorDepth);
    void OptionsToControls();
    void ApplyModeSelection();
    void StartDialogPreview();
    // The preview's frame rate in the caption, once a second.
    void ShowCaption(const std::string& text);
    // "Preview...": the full-screen saver from the dialog, back to the dialog when it ends.
    void RunFullScreenPreview();
    void ShowAboutBox();
    // Opens the help page: the installed copy, else the embedded page written to a temporary file.
    void OpenHelp();
    // The help page's file: InstallPath's copy, else the embedded page written to the
    // temporary folder. Raises Exception when neither can be had.
    std::string HelpPagePath();
    ISettingsView* View() { return view_.get(); }

    // ISettingsViewEvents
    void ControlChanged(TDialogControl control) override;
    void CloseRequested() override { Close(); }

    // IOwnerForm
    void DisconnectEvents() override { eventsConnected_ = false; }
    void Hide() override { visible_ = false; }
    void Close() override;
    int Width() override { return width_; }
    int Height() override { return height_; }
    void SetBounds(int left, int top, int width, int height) override;
    void MakeInert() override { inert_ = true; }
    void SetParentWindow(std::intptr_t parent) override { parent_ = parent; }

    TScreenSaverApp& ScreenSaver() { return *screenSaver_; }
    TDisplayControl& DisplayControl() { return *displayControl_; }
    TExecutePro& ExecutePro() { return *executePro_; }
    TSound& Sound() { return *sound_; }
    TSaverInput& Input() { return *input_; }
    ISaverWindow* DrawingWindow() { return drawingWindow_.get(); }
    ISaverWindow* PreviewWindow() { return previewWindow_.get(); }
    // The black windows over the other monitors while the saver window is up.
    const std::vector<std::unique_ptr<ISaverWindow>>& CoverWindows() const { return covers_; }

    std::string Caption;
    std::string InstallPath;
    bool ControlsReady = false;
    bool FullScreenDrawing = false;
    bool Visible() const { return visible_; }
    bool Inert() const { return inert_; }
    int Left() const { return left_; }
    int Top() const { return top_; }
    std::intptr_t ParentWindow() const { return parent_; }
    // An error was reported to the user: the program should end with a failure status.
    bool ErrorReported() const { return errorReported_; }

private:
    void ReleasePreview();
    void ShowDialog();
    // Quit signals end the run as a stop request does, without a password.
    void WatchQuitSignals();
    // The dialog's list items as filled, to find a text again.
    std::vector<std::string>& ListItems(TDialogControl list);
    void SelectListText(TDialogControl list, const std::string& text);
    void ApplySoundFromDialog();
    // An error message box with a visible pointer; restoreCursor hides it again afterwards for
    // a run that goes on.
    void ShowErrorBox(const std::string& text, bool restoreCursor);
    void ShowCoverWindows(const TSaverLayout& layout);
    void HideSaverWindows();
    // Undoes the saver window's own cursor hide, once.
    void ShowHiddenCursor();

    TFormServices services_;
    std::unique_ptr<TScreenSaverApp> screenSaver_;
    std::unique_ptr<TDisplayControl> displayControl_;
    std::unique_ptr<TExecutePro> executePro_;
    std::unique_ptr<TSound> sound_;
    std::unique_ptr<TSaverInput> input_;

    std::unique_ptr<ISaverWindow> drawingWindow_;
    std::unique_ptr<IDrawingWindow> drawingSurface_;
    std::vector<std::unique_ptr<ISaverWindow>> covers_;
    bool cursorHidden_ = false;
    std::unique_ptr<ISaverWindow> previewWindow_;
    std::unique_ptr<IDrawingWindow> previewSurface_;

    std::unique_ptr<ISettingsView> view_;
    std::vector<std::string> depthItems_;
    std::vector<std::string> resolutionItems_;
    bool fullScreenPreview_ = false;
    bool softwareWarningShown_ = false;

    int left_ = 0, top_ = 0, width_ = kDesignWidth, height_ = kDesignHeight;
    std::intptr_t parent_ = 0;
    bool eventsConnected_ = true;
    bool visible_ = false;
    bool inert_ = false;
    bool closing_ = false;
    bool destroyed_ = false;
    bool errorReported_ = false;
};
