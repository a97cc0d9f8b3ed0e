#include "form/form_fishes.h"

#include <utility>

#include "app/exception.h"
#include "form/guarded.h"
#include "form/run_as_program.h"
#include "scene/scene_settings.h"
#include "sim/random.h"

TFormFishes::TFormFishes(TFormServices services) : services_(std::move(services)) {
    TApplication& application = services_.Application;
    screenSaver_ = std::make_unique<TScreenSaverApp>(
        application, TAppServices{services_.Host, services_.Registry, services_.Guard}, services_.SaverSystem);
    TScreenSaverApp& saver = *screenSaver_;
    saver.Title = "3D Tidewell";
    saver.Company = kCompanyName;
    saver.MajorVersion = kMajorVersion;
    saver.MinorVersion = kMinorVersion;
    saver.SetLogFile(false);
    saver.Debug = false;
    saver.OnStart = [this] { ScreenSaverStart(); };
    saver.OnStop = [this] { ScreenSaverStop(); };
    saver.OnException = [this](const std::exception& e) { ScreenSaverException(e); };
    saver.OnIdle = [this](bool& done) { ScreenSaverIdle(done); };

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
    sound_->ShowError = [this](const std::string& message) { run_->ShowErrorBox(message, true); };

    // The components' loaded notifications, in creation order, then the form's create event.
    saver.Loaded();
    FollowTheFrame();
    displayControl_->PropertiesLoaded();
    if (eventsConnected_) FormCreate();
    MakeAquarium();
}

void TFormFishes::FollowTheFrame() {
    TScreenSaverApp& saver = *screenSaver_;
    if (saver.AnotherInstanceRuns()) {
        eventsConnected_ = false;
        visible_ = false;
        return;
    }
    switch (saver.Needs().Form) {
        case TFormStance::OutOfSight:
            // Still the application's main window, but nobody sees it: the saver window comes later.
            inert_ = true;
            SetBounds(-width_, -height_, 0, 0);
            break;
        case TFormStance::InParentWindow:
            parent_ = saver.ParentHandle();
            inert_ = true;
            if (const auto size = saver.ParentWindowSize()) SetBounds(0, 0, size->first, size->second);
            break;
        case TFormStance::Dialog:
        case TFormStance::NotShown: break;
    }
}

void TFormFishes::MakeAquarium() {
    if (aquarium_) return;
    TScreenSaverApp& saver = *screenSaver_;
    aquarium_ = services_.MakeAquarium(TAquariumHost{
        .InstallPath = installPath_,
        .ExeName = saver.ExeName(),
        .WriteLog = [this](const std::string& text) { screenSaver_->WriteLog(text); },
        .ShowCaption = [this](const std::string& text) { presenter_->ShowCaption(text); },
        .StopSound = [this] { sound_->StopSound(); },
        .ShowFps = saver.Needs().UsesHackOptions && saver.HackOptions().ShowFps,
        .Options = &options_,
    });
    run_ = std::make_unique<TSaverRun>(
        TSaverRunServices{.Application = services_.Application,
                          .SaverSystem = services_.SaverSystem,
                          .Windows = services_.Windows,
                          .MakeDrawingWindow = services_.MakeDrawingWindow,
                          .ShowError = services_.ShowError,
                          .PreviewPicture = services_.PreviewPicture,
                          .Monitors = services_.Monitors,
                          .Power = services_.Power},
        saver, *displayControl_, *aquarium_, options_, *sound_,
        [this] {
            // "Preview..." returns to the dialog instead of ending.
            if (!presenter_->InFullScreenPreview()) Close();
        },
        [this] {
            const TScreenMode& mode = displayControl_->CurrentMode();
            return FullScreenLogLine(mode.Width(), mode.Height(), mode.ColorDepth, aquarium_->FrameRate());
        });
    presenter_ = std::make_unique<TSettingsPresenter>(
        TSettingsPresenterServices{.Application = services_.Application,
                                   .Host = services_.Host,
                                   .Windows = services_.Windows,
                                   .Launcher = &services_.Launcher,
                                   .MakeSettingsView = services_.MakeSettingsView,
                                   .HomePage = services_.HomePage,
                                   .DialogPicture = services_.DialogPicture,
                                   .Help = THelpPage{.InstallPath = installPath_,
                                                     .DocumentFolder = services_.DocumentFolder
                                                                           ? services_.DocumentFolder(installPath_)
                                                                           : std::string(),
                                                     .WritePrivateFile = services_.WritePrivateFile,
                                                     .EmbeddedPage = services_.HelpPage,
                                                     .OpenDocument = services_.OpenDocument},
                                   .RunAsExePath = [this] { return installPath_ + screenSaver_->ExeBaseName() + ".exe"; },
                                   .SetDefaults = [this] { SetDefaults(); },
                                   .Close = [this] { Close(); },
                                   .SaveOptions = [this] { SaveOptions(); },
                                   .SetSessionStart = services_.SetSessionStart,
                                   .SetWallpaperSessionStart = services_.SetWallpaperSessionStart,
                                   .WallpaperUnavailable = services_.WallpaperUnavailable,
                                   .SeparatePreview = services_.SeparatePreview},
        saver, *displayControl_, *aquarium_, options_, *sound_, *run_);
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
    Guarded([this] { aquarium_->ReleaseDrawing(); });
    // Ended from outside (the session ends, the loop was left): the desktop gets its mode back
    // here, before the windows go.
    Guarded([this] { displayControl_->SetFullScreen(false); });
    Guarded([this] { run_->FreeDrawingWindow(); });
    run_->Destroy();
    presenter_->Destroy();
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
    if (run_) run_->ReleaseDesktopPreview();
    if (presenter_) presenter_->Hide();
    if (eventsConnected_) FormCloseQuery();
}

void TFormFishes::FormCreate() {
    TScreenSaverApp& saver = *screenSaver_;
    caption_ = services_.Application.Title + " Screen Saver";
    installPath_ = ReadInstallPath(saver);
    // The hand-over below may close the form: everything Close needs exists from here.
    MakeAquarium();
    options_.RunAsExe = ReadRunAsExe(saver);
    saver.ReleaseOptions();
    const int left = left_, top = top_, width = width_, height = height_;
    const THandOverForm form{.MoveOutOfSight = [this, width, height] { SetBounds(-width, -height, 0, 0); },
                             .PutBack = [=, this] { SetBounds(left, top, width, height); },
                             .Close = [this] { Close(); }};
    handOverFailure_ =
        RunAsProgramLaunch(options_.RunAsExe, saver, *executePro_, services_.Launcher, form, installPath_).Failure;
}

void TFormFishes::FormShow() {
    const TRunMode& run = screenSaver_->Run();
    IRunStarts& starts = *this;
    if (run.AtShow) (starts.*run.AtShow)();
}

void TFormFishes::ShowSettingsDialog() { presenter_->ShowDialog(caption_); }

void TFormFishes::ShowStillPicture() {
    run_->ShowDesktopPreview(parent_, installPath_, screenSaver_->Needs().EndsOnQuitSignal);
}

void TFormFishes::ScreenSaverStart() {
    TScreenSaverApp& saver = *screenSaver_;
    const TRunMode& run = saver.Run();
    if (!run.Needs.BuildsScene) return;
    // From the first moment: an error box about the scene may come before any window watches them.
    if (run.Needs.EndsOnQuitSignal) services_.Windows.WatchQuitSignals([this] { Close(); });
    const TScreenMode& desktop = displayControl_->DesktopMode();
    if ((desktop.ColorDepth != 16 && desktop.ColorDepth != 32) || displayControl_->ColorDepthModes().Count() == 0)
        throw Exception(ColorDepthWarning(displayControl_->DesktopName()));
    // Every mode from here on draws: the driver loads while the scene is built.
    services_.Windows.PrepareDrawing();
    IAquarium& aquarium = *aquarium_;
    aquarium.SetSceneDefaults();
    RandomSeed = 7;
    SetDefaults();
    LoadOptions();
    bool logFile = saver.LogFile();
    const std::string description =
        services_.SceneDescriptionFile ? services_.SceneDescriptionFile(installPath_, saver.ExeBaseName())
                                       : installPath_ + saver.ExeBaseName() + ".ini";
    aquarium.ReadSceneDescription(description, logFile);
    saver.SetLogFile(logFile);
    if (!handOverFailure_.empty()) saver.WriteLog(std::exchange(handOverFailure_, std::string()));
    aquarium.BuildScene();
    IRunStarts& starts = *this;
    if (run.AtStart) (starts.*run.AtStart)();
}

void TFormFishes::StartSettingsDialog() {
    presenter_->ShowDialog(caption_);
    if (!presenter_->View()) throw Exception("The settings dialog cannot be shown.");
    presenter_->Start();
}

void TFormFishes::StartSaverWindow() { run_->StartSaverWindow(&screenSaver_->Needs()); }

void TFormFishes::StartHackWindow() { run_->StartHackWindow(screenSaver_->Needs()); }

void TFormFishes::StartWallpaper() { run_->StartWallpaper(screenSaver_->Needs(), screenSaver_->WallpaperOptions()); }

void TFormFishes::SetDefaults() { SetDefaultOptions(options_, *displayControl_); }

void TFormFishes::ScreenSaverStop() { StoreAutoTheme(*screenSaver_, options_); }

void TFormFishes::ScreenSaverIdle(bool& done) {
    ISaverWindow* window = run_->DrawingWindow();
    if (window && window->Visible() && run_->FrameWanted()) {
        window->Paint();
        return;
    }
    // Nothing to draw (a preview, the saver window already closed, or nobody to see a frame):
    // wait for messages instead of spinning.
    done = true;
}

void TFormFishes::LoadOptions() {
    TScreenSaverApp& saver = *screenSaver_;
    saver.UseOptions([&] { LoadSaverOptions(saver, options_, *displayControl_); });
    if (saver.Needs().UsesHackOptions) ApplyHackOptions(saver.HackOptions(), options_);
}

void TFormFishes::SaveOptions() {
    screenSaver_->UseOptions([this] { SaveSaverOptions(*screenSaver_, options_, *displayControl_); });
}

void TFormFishes::ScreenSaverException(const std::exception& e) {
    // xscreensaver may destroy its hack's window while the hack starts: GL then fails in it.
    const bool windowGone = run_->HackWindowGone();
    const bool silent = windowGone || dynamic_cast<const EAbort*>(&e) != nullptr;
    Guarded([this] { displayControl_->SetFullScreen(false); });
    Guarded([this] { aquarium_->ReleaseDrawing(); });
    Guarded([this] { run_->FreeDrawingWindow(); });
    Guarded([this] { sound_->StopSound(); });
    run_->ForgetHiddenCursor();
    if (!silent) {
        errorReported_ = true;
        Guarded([this, &e] { run_->ShowErrorBox(e.what(), false); });
    } else if (!windowGone) {
        Guarded([this] { ShowCursorUntilVisible(services_.SaverSystem); });
    }
    // This runs inside the message loop's error path: nothing may escape from here.
    Guarded([this] { Close(); });
    services_.Application.Terminate();
}

bool TFormFishes::FormCloseQuery() {
    IAquarium& aquarium = *aquarium_;
    aquarium.ReleaseDrawing();
    displayControl_->SetFullScreen(false);
    aquarium.ReleaseScene();
    sound_->StopSound();
    run_->FreeDrawingWindow();
    return true;
}
