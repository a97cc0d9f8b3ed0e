#pragma once
// TFormFishes: the program's main form. It owns the screen-saver component, the display control
// and the process launcher, handles their events, and drives the aquarium: the start event
// builds the scene and opens the saver window, every idle turn paints one frame, input ends the
// run, the close query releases everything. The settings dialog's controls are not part of this
// form yet: settings and plain-program starts only explain how to run the saver.
#include <functional>
#include <memory>
#include <string>

#include "app/application.h"
#include "app/execute_pro.h"
#include "app/message_loop.h"
#include "app/saver_input.h"
#include "app/screen_saver_app.h"
#include "display/display_control.h"
#include "scene/aquarium.h"
#include "scene/drawing_window.h"
#include "scene/preview_picture.h"
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
};

inline constexpr const char* kSettingsUnavailable =
    "The settings dialog is not available in this version.\r\n"
    "Start the screen saver with /s to watch it; its options are kept between runs.";

class TFormFishes final : public IOwnerForm {
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
    void FreeDrawingWindow();

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
    void ShowSettingsUnavailable();
    void ReleasePreview();

    TFormServices services_;
    std::unique_ptr<TScreenSaverApp> screenSaver_;
    std::unique_ptr<TDisplayControl> displayControl_;
    std::unique_ptr<TExecutePro> executePro_;
    std::unique_ptr<TSound> sound_;
    std::unique_ptr<TSaverInput> input_;

    std::unique_ptr<ISaverWindow> drawingWindow_;
    std::unique_ptr<IDrawingWindow> drawingSurface_;
    std::unique_ptr<ISaverWindow> previewWindow_;
    std::unique_ptr<IDrawingWindow> previewSurface_;

    int left_ = 0, top_ = 0, width_ = kDesignWidth, height_ = kDesignHeight;
    std::intptr_t parent_ = 0;
    bool eventsConnected_ = true;
    bool visible_ = false;
    bool inert_ = false;
    bool closing_ = false;
    bool destroyed_ = false;
    bool errorReported_ = false;
};
