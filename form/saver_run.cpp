#include "form/saver_run.h"

#include <chrono>
#include <cstdio>

#include "app/exception.h"
#include "form/guarded.h"
#include "form/wallpaper.h"
#include "model/resource_finder.h"

TSaverRun::TSaverRun(TSaverRunServices services, TScreenSaverApp& saver, TDisplayControl& display, IAquarium& aquarium,
                     TSaverOptions& options, TSound& sound, std::function<void()> closeForm,
                     std::function<std::string()> stopLogLine)
    : services_(std::move(services)),
      saver_(saver),
      display_(display),
      aquarium_(aquarium),
      options_(options),
      sound_(sound),
      closeForm_(std::move(closeForm)),
      frameGate_(services_.Windows, aquarium) {
    input_ = std::make_unique<TSaverInput>(saver_, TStopActions{[this] { sound_.StopSound(); },
                                                                [this] { HideSaverWindows(); },
                                                                std::move(stopLogLine),
                                                                [this] { closeForm_(); }});
}

void TSaverRun::AttachAquarium(std::unique_ptr<ISaverWindow> window, const TAttachment& how) {
    drawingWindow_ = std::move(window);
    frameGate_.Reset();
    // The loop asks the gate before each paint it requests; a paint the system asks for (an
    // expose) follows the gate's last answer rather than asking again (on Windows the question
    // walks the windows above ours).
    drawingWindow_->OnPaint = [this] {
        if (!frameGate_.Paused()) aquarium_.DrawFrame();
    };
    drawingWindow_->Show();
    // The first frame's work that needs no context is done while the driver still loads.
    if (how.FullScreen) aquarium_.PrepareFirstFrame(drawingWindow_->Width(), drawingWindow_->Height());
    drawingSurface_ = services_.MakeDrawingWindow(*drawingWindow_);
    if (how.FrameRateLimit > 0) drawingSurface_->LimitFrameRate(how.FrameRateLimit);
    if (how.WatchQuitSignals) services_.Windows.WatchQuitSignals([this] { input_->Quit(); });
    if (how.FreeImagesAfterUpload) aquarium_.FreeImagesAfterUpload();
    aquarium_.InitDrawing(*drawingSurface_, how.FullScreen);
    if (how.AfterContext) how.AfterContext();
    aquarium_.ResetDrawing();
    // Everything this run draws has been read from the resources by now.
    if (how.FreeImagesAfterUpload) ResourceFinder().ReleaseMemory();
    fullScreenDrawing_ = how.FullScreen;
    sound_.ApplySound(options_.SoundEnabled);
}

void TSaverRun::StartSaverWindow(const TRunNeeds* run) {
    aquarium_.ReleaseDrawing();
    FreeDrawingWindow();
    aquarium_.AdvanceAutoTheme();
    display_.SetFullScreen(!options_.DesktopOnly);

    const TMonitorArrangement arrangement = Arrange();
    const TSaverLayout& layout = arrangement.Layout;
    const TMonitor& place = layout.Saver;
    auto window =
        services_.Windows.CreateSaverWindow(services_.Application.Title, place.Left, place.Top, place.Width, place.Height);
    if (!window) throw Exception("The screen saver window cannot be created!");
    window->OnKey = [this] { input_->Key(); };
    window->OnMouseButton = [this] { input_->MouseButton(); };
    window->OnMouseMove = [this](int x, int y) { input_->MouseMove(x, y); };
    ShowCoverWindows(layout);

    services_.SaverSystem.ShowCursor(false);
    cursorHidden_ = true;
    aquarium_.SetViews(arrangement.Views);
    // Where the system tells of monitors added or removed, the saver lays itself out anew;
    // elsewhere one added later stays the desktop's until the next run.
    services_.Windows.OnMonitorsChanged = [this] { Rearrange(); };
    // Only the dialog's "Preview..." comes back to draw into another context.
    AttachAquarium(std::move(window), TAttachment{.FullScreen = true,
                                                  .FreeImagesAfterUpload = run && run->DrawsOnce,
                                                  .WatchQuitSignals = run && run->EndsOnQuitSignal});
    input_->Start();
}

TMonitorArrangement TSaverRun::Arrange() {
    // The mode in use, not the one asked for: a refused switch leaves the desktop's. The monitors
    // are asked after the switch, which may have moved them.
    const TScreenMode& mode = display_.CurrentMode();
    return ArrangeMonitors(services_.Monitors ? services_.Monitors->Monitors() : std::vector<TMonitor>{}, mode.Width(),
                           mode.Height(), display_.FullScreen(), options_.Monitors);
}

void TSaverRun::Rearrange() {
    if (!drawingWindow_ || adopted_) return;
    const TMonitorArrangement arrangement = Arrange();
    const TMonitor& place = arrangement.Layout.Saver;
    drawingWindow_->Place(place.Left, place.Top, place.Width, place.Height);
    covers_.clear();
    ShowCoverWindows(arrangement.Layout);
    aquarium_.SetViews(arrangement.Views);
}

void TSaverRun::ShowCoverWindows(const TSaverLayout& layout) {
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

void TSaverRun::HideSaverWindows() {
    if (drawingWindow_) drawingWindow_->Hide();
    for (auto& cover : covers_) cover->Hide();
}

void TSaverRun::StartHackWindow(const TRunNeeds& run) {
    const THackOptions& hack = saver_.HackOptions();
    aquarium_.AdvanceAutoTheme();
    auto window = services_.Windows.AdoptWindow(hack.Window);
    if (!window) {
        char id[32];
        std::snprintf(id, sizeof id, "0x%lx", static_cast<unsigned long>(hack.Window));
        throw Exception(std::string("The window ") + (hack.Window == THackOptions::kRootWindow ? "root" : id) +
                        " does not exist.");
    }
    aquarium_.SetViews({});  // xscreensaver starts a hack on each monitor itself
    // xscreensaver ends its hack when it destroys the window, if not before.
    window->OnDestroyed = [this] { input_->Quit(); };
    adopted_ = true;
    AttachAquarium(std::move(window),
                   TAttachment{.FullScreen = true,
                               .FreeImagesAfterUpload = run.DrawsOnce,
                               .WatchQuitSignals = run.EndsOnQuitSignal,
                               .FrameRateLimit = run.Pacing == TPacing::HackDelay ? hack.FrameRateLimit() : 0});
}

TMonitorArrangement TSaverRun::WallpaperArrangement() {
    // The desktop's own mode: the wallpaper never switches it.
    const TScreenMode& mode = display_.DesktopMode();
    return ArrangeMonitors(services_.Monitors ? services_.Monitors->Monitors() : std::vector<TMonitor>{}, mode.Width(),
                           mode.Height(), false, options_.Monitors);
}

// The black covers the saver puts over monitors it does not draw on are left out: those keep
// the desktop's own background.
void TSaverRun::ArrangeWallpaper() {
    if (!drawingWindow_) return;
    const TMonitorArrangement arrangement = WallpaperArrangement();
    const TMonitor& place = arrangement.Layout.Saver;
    aquarium_.SetViews(WallpaperViews(arrangement, drawingWindow_->Place(place.Left, place.Top, place.Width, place.Height)));
}

void TSaverRun::StartWallpaper(const TRunNeeds& run, const TWallpaperOptions& wallpaper) {
    aquarium_.AdvanceAutoTheme();
    options_.SoundEnabled = false;
    const TMonitorArrangement arrangement = WallpaperArrangement();
    const TMonitor& place = arrangement.Layout.Saver;
    auto window = services_.Windows.CreateWallpaperWindow(place.Left, place.Top, place.Width, place.Height);
    if (!window) throw Exception("The wallpaper window cannot be created!");
    aquarium_.SetViews(WallpaperViews(arrangement, window->Place(place.Left, place.Top, place.Width, place.Height)));
    const auto seconds = [] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
    };
    wallpaperPace_ = std::make_unique<TWallpaperPace>(wallpaper, services_.Power);
    wallpaperRate_ = wallpaperPace_->Rate(seconds());
    AttachAquarium(std::move(window), TAttachment{.FullScreen = true,
                                                  .FreeImagesAfterUpload = run.DrawsOnce,
                                                  .WatchQuitSignals = run.EndsOnQuitSignal,
                                                  .FrameRateLimit = wallpaperRate_});
    services_.Windows.OnMonitorsChanged = [this] { ArrangeWallpaper(); };
    // The pace changes when the machine goes on or off its battery: asked before each frame.
    drawingWindow_->OnPaint = [this, seconds, draw = std::move(drawingWindow_->OnPaint)] {
        const double rate = wallpaperPace_->Rate(seconds());
        if (rate != wallpaperRate_ && drawingSurface_) drawingSurface_->LimitFrameRate(wallpaperRate_ = rate);
        if (draw) draw();
    };
}

bool TSaverRun::FrameWanted() { return drawingWindow_ && frameGate_.Open(*drawingWindow_); }

bool TSaverRun::HackWindowGone() {
    return adopted_ && drawingWindow_ && drawingWindow_->Gone();
}

void TSaverRun::StartDialogPreview(std::intptr_t panel, std::function<void()> afterContext) {
    aquarium_.ReleaseDrawing();
    display_.SetFullScreen(false);
    fullScreenDrawing_ = false;
    FreeDrawingWindow();
    auto window = services_.Windows.CreateChildWindow(panel);
    if (!window) throw Exception("The preview window cannot be created!");
    aquarium_.SetViews({});
    AttachAquarium(std::move(window), TAttachment{.AfterContext = std::move(afterContext)});
}

void TSaverRun::ShowDesktopPreview(std::intptr_t parent, const std::string& installPath, bool endOnQuitSignal) {
    // Watched before the window exists: whoever sees the window may send the signal at once.
    if (endOnQuitSignal) services_.Windows.WatchQuitSignals([this] { closeForm_(); });
    previewWindow_ = services_.Windows.CreateChildWindow(parent);
    if (!previewWindow_) {
        closeForm_();
        return;
    }
    previewWindow_->OnDestroyed = [this] { closeForm_(); };
    previewWindow_->Show();
    if (!services_.PreviewPicture) return;
    // A picture that cannot be drawn leaves the preview black: the desktop's settings page is
    // no place for an error box.
    try {
        previewSurface_ = services_.MakeDrawingWindow(*previewWindow_);
        services_.PreviewPicture->Start(*previewSurface_, installPath);
        previewWindow_->OnPaint = [this] {
            try {
                services_.PreviewPicture->Paint();
            } catch (const std::exception&) {
                ReleaseDesktopPreview();
            }
        };
        previewWindow_->Paint();
    } catch (const std::exception&) {
        ReleaseDesktopPreview();
    }
}

void TSaverRun::ReleaseDesktopPreview() {
    if (!previewSurface_) return;
    if (previewWindow_) previewWindow_->OnPaint = nullptr;
    if (services_.PreviewPicture) Guarded([this] { services_.PreviewPicture->Release(); });
    previewSurface_.reset();
}

void TSaverRun::Destroy() {
    ReleaseDesktopPreview();
    previewWindow_.reset();
}

void TSaverRun::FreeDrawingWindow() {
    services_.Windows.OnMonitorsChanged = nullptr;
    for (auto& cover : covers_) cover->Hide();
    covers_.clear();
    if (!drawingWindow_) return;
    drawingWindow_->Hide();
    drawingSurface_.reset();
    drawingWindow_.reset();
}

void TSaverRun::ShowHiddenCursor() {
    if (!cursorHidden_) return;
    cursorHidden_ = false;
    services_.SaverSystem.ShowCursor(true);
}

void TSaverRun::ShowErrorBox(const std::string& text, bool restoreCursor) {
    // The saver hid the cursor once at loading and once for its window: one show is not enough.
    const int shows = ShowCursorUntilVisible(services_.SaverSystem);
    if (services_.ShowError) services_.ShowError(text, services_.Application.Title + " Screen Saver Error!");
    if (restoreCursor)
        for (int i = 0; i < shows; ++i) services_.SaverSystem.ShowCursor(false);
}
