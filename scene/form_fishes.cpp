#include "scene/form_fishes.h"

#include <cstdio>

#include "app/exception.h"
#include "app/run_as_program.h"
#include "scene/saver_options.h"
#include "scene/scene_settings.h"
#include "sim/random.h"

namespace {

// Runs one release step of the error path; a failing step must not keep the message from
// being shown or the program from closing.
template <typename F>
void Guarded(F step) {
    try {
        step();
    } catch (...) {
    }
}

}  // namespace

TFormFishes::TFormFishes(TFormServices services) : services_(std::move(services)) {
    TApplication& application = services_.Application;
    screenSaver_ = std::make_unique<TScreenSaverApp>(
        application, TAppServices{services_.Host, services_.Registry, services_.Guard}, services_.SaverSystem);
    TScreenSaverApp& saver = *screenSaver_;
    saver.Title = "3D Tidewell";
    saver.Company = "Korvane Software";
    saver.MajorVersion = 1;
    saver.MinorVersion = 5;
    saver.SetLogFile(false);
    saver.Debug = false;
    saver.OnLoadOptions = [this] { ScreenSaverLoadOptions(); };
    saver.OnSaveOptions = [this] { ScreenSaverSaveOptions(); };
    saver.OnStart = [this] { ScreenSaverStart(); };
    saver.OnStop = [this] { ScreenSaverStop(); };
    saver.OnException = [this](const std::exception& e) { ScreenSaverException(e); };
    saver.OnIdle = [this](bool& done) { ScreenSaverIdle(done); };
    saver.SetOwnerForm(this);

    // Design values; the start event replaces the mode with the user's.
    displayControl_ = std::make_unique<TDisplayControl>(services_.DisplayDriver);
    displayControl_->AutoEnumerate = true;
    displayControl_->SetFullScreenMode(TScreenMode(640, 480, 16));
    displayControl_->OnEnumerate = [](std::int32_t depth, std::int32_t, std::int32_t, bool& accept) {
        accept = depth == 16 || depth == 32;
    };

    executePro_ = std::make_unique<TExecutePro>(application, services_.Launcher, &services_.Windows);
    executePro_->Mode = TExecMode::emProcess;
    executePro_->Priority = TExecPriority::epNormal;
    executePro_->WindowStyle = TExecWindowStyle::ewShow;
    executePro_->Wait = true;

    sound_ = std::make_unique<TSound>(services_.SoundPlayer);
    sound_->ShowError = [this](const std::string& message) { ShowErrorBox(message, true); };

    input_ = std::make_unique<TSaverInput>(
        saver, TStopActions{[this] { sound_->StopSound(); },
                            [this] { HideSaverWindows(); },
                            [this] {
                                const TScreenMode& mode = displayControl_->CurrentMode();
                                return FullScreenLogLine(mode.Width(), mode.Height(), mode.ColorDepth,
                                                         services_.Aquarium.FrameRate());
                            },
                            [this] {
                                // "Preview..." returns to the dialog instead of ending.
                                if (!fullScreenPreview_) Close();
                            }});

    // The components' loaded notifications, in creation order, then the form's create event.
    saver.Loaded();
    displayControl_->PropertiesLoaded();
    if (eventsConnected_) FormCreate();
}

TFormFishes::~TFormFishes() {
    Guarded([this] { Destroy(); });
}

void TFormFishes::Destroy() {
    if (destroyed_) return;
    destroyed_ = true;
    // The form goes away only when the program ends; its components see the removal then.
    if (!services_.Application.Terminated()) services_.Application.Terminate();
    std::exception_ptr error;
    try {
        screenSaver_->Notification(TOperation::opRemove);
    } catch (...) {
        error = std::current_exception();
    }
    Guarded([this] { services_.Aquarium.ReleaseDrawing(); });
    // Ended from outside (the session ends, the loop was left): the desktop gets its mode back
    // here, before the windows go.
    Guarded([this] { displayControl_->SetFullScreen(false); });
    Guarded([this] { FreeDrawingWindow(); });
    ReleasePreview();
    previewWindow_.reset();
    view_.reset();
    if (error) std::rethrow_exception(error);
}

void TFormFishes::Show() {
    if (!services_.Application.ShowMainForm || services_.Application.Terminated()) return;
    visible_ = true;
    if (eventsConnected_) FormShow();
}

void TFormFishes::SetBounds(int left, int top, int width, int height) {
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
}

void TFormFishes::Close() {
    if (closing_) return;
    closing_ = true;
    // The application ends even when the close query fails; the failure is reported.
    struct TerminateOnExit {
        TApplication& application;
        ~TerminateOnExit() { application.Terminate(); }
    } terminate{services_.Application};
    visible_ = false;
    ReleasePreview();
    // Only hidden: Close may run inside one of the view's own handlers (OK, Cancel).
    if (view_) view_->Hide();
    if (eventsConnected_) FormCloseQuery();
}

void TFormFishes::FormCreate() {
    TScreenSaverApp& saver = *screenSaver_;
    Caption = services_.Application.Title + " Screen Saver";
    InstallPath = ReadInstallPath(saver);
    TSaverOptions& options = services_.Aquarium.Options();
    options.RunAsExe = ReadRunAsExe(saver);
    saver.ReleaseOptions();
    RunAsProgramLaunch(options.RunAsExe, saver, *executePro_, services_.Launcher, *this, InstallPath);
}

void TFormFishes::FormShow() {
    const TSaverMode mode = screenSaver_->SaverMode();
    if (mode == smSettings || mode == smProgram) {
        ShowDialog();
        return;
    }
    if (mode != smPreview) return;
    // The desktop's small preview: a still picture inside its window, ending with that window.
    previewWindow_ = services_.Windows.CreateChildWindow(parent_);
    if (!previewWindow_) {
        Close();
        return;
    }
    previewWindow_->OnDestroyed = [this] { Close(); };
    previewWindow_->Show();
    if (!services_.PreviewPicture) return;
    // A picture that cannot be drawn leaves the preview black: the desktop's settings page is
    // no place for an error box.
    try {
        previewSurface_ = services_.MakeDrawingWindow(*previewWindow_);
        services_.PreviewPicture->Start(*previewSurface_, InstallPath);
        previewWindow_->OnPaint = [this] {
            try {
                services_.PreviewPicture->Paint();
            } catch (const std::exception&) {
                ReleasePreview();
            }
        };
        previewWindow_->Paint();
    } catch (const std::exception&) {
        ReleasePreview();
    }
}

void TFormFishes::ReleasePreview() {
    if (!previewSurface_) return;
    if (previewWindow_) previewWindow_->OnPaint = nullptr;
    if (services_.PreviewPicture) Guarded([this] { services_.PreviewPicture->Release(); });
    previewSurface_.reset();
}

void TFormFishes::ScreenSaverStart() {
    TScreenSaverApp& saver = *screenSaver_;
    if (saver.SaverMode() == smPreview) return;
    ControlsReady = false;
    const TScreenMode& desktop = displayControl_->DesktopMode();
    if ((desktop.ColorDepth != 16 && desktop.ColorDepth != 32) || displayControl_->ColorDepthModes().Count() == 0)
        throw Exception(kColorDepthWarning);
    // Every mode from here on draws: the driver loads while the scene is built.
    services_.Windows.PrepareDrawing();
    IAquarium& aquarium = services_.Aquarium;
    aquarium.SetSceneDefaults();
    RandomSeed = 7;
    SetDefaults();
    saver.LoadOptions();
    bool logFile = saver.LogFile();
    const std::string description =
        services_.SceneDescriptionFile ? services_.SceneDescriptionFile(InstallPath, saver.ExeBaseName())
                                       : InstallPath + saver.ExeBaseName() + ".ini";
    aquarium.ReadSceneDescription(description, logFile);
    saver.SetLogFile(logFile);
    aquarium.BuildScene();
    if (saver.SaverMode() == smSaver) {
        StartSaverWindow();
        return;
    }
    if (saver.SaverMode() == smHack) {
        StartHackWindow();
        return;
    }
    ShowDialog();
    if (!view_) throw Exception("The settings dialog cannot be shown.");
    FillDepthList();
    FillResolutionList(displayControl_->FullScreenMode().ColorDepth);
    OptionsToControls();
    StartDialogPreview();
}

void TFormFishes::SetDefaults() { SetDefaultOptions(services_.Aquarium.Options(), *displayControl_); }

void TFormFishes::StartSaverWindow() {
    IAquarium& aquarium = services_.Aquarium;
    aquarium.ReleaseDrawing();
    FreeDrawingWindow();
    aquarium.AdvanceAutoTheme();
    TSaverOptions& options = aquarium.Options();
    displayControl_->SetFullScreen(!options.DesktopOnly);

    // The mode in use, not the one asked for: a refused switch leaves the desktop's. The monitors
    // are asked after the switch, which may have moved them.
    const TScreenMode& mode = displayControl_->CurrentMode();
    const TSaverLayout layout =
        LayoutSaver(services_.Monitors ? services_.Monitors->Monitors() : std::vector<TMonitor>{}, mode.Width(),
                    mode.Height(), displayControl_->FullScreen());
    const TMonitor& place = layout.Saver;
    drawingWindow_ =
        services_.Windows.CreateSaverWindow(services_.Application.Title, place.Left, place.Top, place.Width, place.Height);
    if (!drawingWindow_) throw Exception("The screen saver window cannot be created!");
    drawingWindow_->OnPaint = [this] { services_.Aquarium.DrawFrame(); };
    drawingWindow_->OnKey = [this] { input_->Key(); };
    drawingWindow_->OnMouseButton = [this] { input_->MouseButton(); };
    drawingWindow_->OnMouseMove = [this](int x, int y) { input_->MouseMove(x, y); };
    ShowCoverWindows(layout);

    services_.SaverSystem.ShowCursor(false);
    cursorHidden_ = true;
    drawingWindow_->Show();
    aquarium.PrepareFirstFrame(drawingWindow_->Width(), drawingWindow_->Height());
    drawingSurface_ = services_.MakeDrawingWindow(*drawingWindow_);
    if (screenSaver_->SaverMode() == smSaver) {
        WatchQuitSignals();
        // Only the dialog's "Preview..." comes back to draw into another context.
        aquarium.FreeImagesAfterUpload();
    }

    aquarium.InitDrawing(*drawingSurface_, true);
    aquarium.ResetDrawing();
    input_->Start();
    FullScreenDrawing = true;
    sound_->ApplySound(options.SoundEnabled);
}

void TFormFishes::ShowCoverWindows(const TSaverLayout& layout) {
    for (const TMonitor& monitor : layout.Covers) {
        auto cover = services_.Windows.CreateCoverWindow(monitor.Left, monitor.Top, monitor.Width, monitor.Height);
        if (!cover) throw Exception("The screen saver window cannot be created!");
        cover->OnKey = [this] { input_->Key(); };
        cover->OnMouseButton = [this] { input_->MouseButton(); };
        // In the saver window's coordinates, so the move filter compares like with like.
        const int dx = monitor.Left - layout.Saver.Left, dy = monitor.Top - layout.Saver.Top;
        cover->OnMouseMove = [this, dx, dy](int x, int y) { input_->MouseMove(x + dx, y + dy); };
        cover->Show();
        covers_.push_back(std::move(cover));
    }
}

void TFormFishes::HideSaverWindows() {
    if (drawingWindow_) drawingWindow_->Hide();
    for (auto& cover : covers_) cover->Hide();
}

void TFormFishes::StartHackWindow() {
    IAquarium& aquarium = services_.Aquarium;
    const THackOptions& hack = screenSaver_->HackOptions();
    aquarium.AdvanceAutoTheme();
    drawingWindow_ = services_.Windows.AdoptWindow(hack.Window);
    if (!drawingWindow_) {
        char id[32];
        std::snprintf(id, sizeof id, "0x%lx", static_cast<unsigned long>(hack.Window));
        throw Exception(std::string("The window ") + (hack.Window == THackOptions::kRootWindow ? "root" : id) +
                        " does not exist.");
    }
    drawingWindow_->OnPaint = [this] { services_.Aquarium.DrawFrame(); };
    // xscreensaver ends its hack when it destroys the window, if not before.
    drawingWindow_->OnDestroyed = [this] { input_->Quit(); };
    drawingWindow_->Show();
    aquarium.PrepareFirstFrame(drawingWindow_->Width(), drawingWindow_->Height());
    drawingSurface_ = services_.MakeDrawingWindow(*drawingWindow_);
    WatchQuitSignals();
    aquarium.FreeImagesAfterUpload();
    aquarium.InitDrawing(*drawingSurface_, true);
    aquarium.ResetDrawing();
    FullScreenDrawing = true;
    sound_->ApplySound(aquarium.Options().SoundEnabled);
}

void TFormFishes::WatchQuitSignals() {
    services_.Windows.WatchQuitSignals([this] { input_->Quit(); });
}

void TFormFishes::FreeDrawingWindow() {
    for (auto& cover : covers_) cover->Hide();
    covers_.clear();
    if (!drawingWindow_) return;
    drawingWindow_->Hide();
    drawingSurface_.reset();
    drawingWindow_.reset();
}

void TFormFishes::ShowHiddenCursor() {
    if (!cursorHidden_) return;
    cursorHidden_ = false;
    services_.SaverSystem.ShowCursor(true);
}

void TFormFishes::ShowErrorBox(const std::string& text, bool restoreCursor) {
    // The saver hid the cursor once at loading and once for its window: one show is not enough.
    const int shows = ShowCursorUntilVisible(services_.SaverSystem);
    if (services_.ShowError) services_.ShowError(text, services_.Application.Title + " Screen Saver Error!");
    if (restoreCursor)
        for (int i = 0; i < shows; ++i) services_.SaverSystem.ShowCursor(false);
}

void TFormFishes::ScreenSaverStop() { StoreAutoTheme(*screenSaver_, services_.Aquarium.Options()); }

void TFormFishes::ScreenSaverIdle(bool& done) {
    if (drawingWindow_ && drawingWindow_->Visible()) {
        drawingWindow_->Paint();
        return;
    }
    // Nothing to draw (a preview, or the saver window already closed): wait for messages
    // instead of spinning.
    done = true;
}

void TFormFishes::ScreenSaverLoadOptions() {
    LoadSaverOptions(*screenSaver_, services_.Aquarium.Options(), *displayControl_);
    if (screenSaver_->SaverMode() == smHack) ApplyHackOptions(screenSaver_->HackOptions(), services_.Aquarium.Options());
}

void TFormFishes::ScreenSaverSaveOptions() {
    SaveSaverOptions(*screenSaver_, services_.Aquarium.Options(), *displayControl_);
}

void TFormFishes::ScreenSaverException(const std::exception& e) {
    const bool silent = dynamic_cast<const EAbort*>(&e) != nullptr;
    Guarded([this] { displayControl_->SetFullScreen(false); });
    Guarded([this] { services_.Aquarium.ReleaseDrawing(); });
    Guarded([this] { FreeDrawingWindow(); });
    Guarded([this] { sound_->StopSound(); });
    cursorHidden_ = false;
    if (!silent) {
        errorReported_ = true;
        Guarded([this, &e] { ShowErrorBox(e.what(), false); });
    } else {
        Guarded([this] { ShowCursorUntilVisible(services_.SaverSystem); });
    }
    // This runs inside the message loop's error path: nothing may escape from here.
    Guarded([this] { Close(); });
    services_.Application.Terminate();
}

bool TFormFishes::FormCloseQuery() {
    IAquarium& aquarium = services_.Aquarium;
    aquarium.ReleaseDrawing();
    displayControl_->SetFullScreen(false);
    aquarium.ReleaseScene();
    sound_->StopSound();
    FreeDrawingWindow();
    return true;
}
