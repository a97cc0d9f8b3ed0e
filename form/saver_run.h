#pragma once
// The windows of a run and what ends it: the full-screen saver window with a black cover over
// every other monitor, a hack's adopted window, the dialog preview's child window and the
// desktop's still preview; the hidden cursor; the input that stops the run. One function
// attaches the aquarium to any of these windows.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/message_loop.h"
#include "app/screen_saver_app.h"
#include "app/wallpaper.h"
#include "display/display_control.h"
#include "form/frame_gate.h"
#include "form/monitor_arrangement.h"
#include "form/monitor_list.h"
#include "form/saver_input.h"
#include "form/saver_options.h"
#include "form/sound.h"
#include "scene/aquarium.h"
#include "scene/drawing_window.h"
#include "scene/preview_picture.h"

// What the run needs from the platform.
struct TSaverRunServices {
    TApplication& Application;
    ISaverSystem& SaverSystem;
    IWindowSystem& Windows;
    std::function<std::unique_ptr<IDrawingWindow>(ISaverWindow&)> MakeDrawingWindow;
    std::function<void(const std::string& text, const std::string& caption)> ShowError;
    IPreviewPicture* PreviewPicture = nullptr;
    IMonitorList* Monitors = nullptr;
    // Whether the machine runs on battery, for the wallpaper's pace; none: never.
    IPowerSource* Power = nullptr;
};

// How the aquarium is attached to a window: what differs between the saver, a hack and the
// dialog's preview.
struct TAttachment {
    // The saver or a hack (warmed up ahead, counted as full screen), not the dialog's preview.
    bool FullScreen = false;
    // No later context will upload the images again.
    bool FreeImagesAfterUpload = false;
    // SIGTERM and friends end the run.
    bool WatchQuitSignals = false;
    // Frames a second at most (a hack's -delay); 0 leaves the display's refresh as the limit.
    double FrameRateLimit = 0;
    // Once the context exists, before the first frame's reset (the dialog's software warning).
    std::function<void()> AfterContext;
};

class TSaverRun {
public:
    // closeForm ends the program (or returns to the dialog); stopLogLine gives the stop's log line.
    TSaverRun(TSaverRunServices services, TScreenSaverApp& saver, TDisplayControl& display, IAquarium& aquarium,
              TSaverOptions& options, TSound& sound, std::function<void()> closeForm,
              std::function<std::string()> stopLogLine);

    // The aquarium in window, which is shown; the run's drawing window from now on.
    void AttachAquarium(std::unique_ptr<ISaverWindow> window, const TAttachment& how);

    // The full-screen saver: the display mode, the saver window over the monitors the options
    // choose (one view each), covers over the others, the cursor hidden. run: the needs of the
    // mode whose whole run the window is; none for the dialog's "Preview...", which comes back.
    void StartSaverWindow(const TRunNeeds* run = nullptr);
    // The xscreensaver hack: the scene in the window it was given, as that window's size changes.
    void StartHackWindow(const TRunNeeds& run);
    // The live wallpaper: the aquarium behind the desktop's windows over the monitors the options
    // choose, arranged again when they change, silent, at the wallpaper's pace.
    void StartWallpaper(const TRunNeeds& run, const TWallpaperOptions& wallpaper);
    // The dialog's live preview inside its panel.
    void StartDialogPreview(std::intptr_t panel, std::function<void()> afterContext);
    // The desktop's small preview: a still picture inside its window, ending with that window
    // (and on a quit signal when endOnQuitSignal).
    void ShowDesktopPreview(std::intptr_t parent, const std::string& installPath, bool endOnQuitSignal);
    void ReleaseDesktopPreview();

    void FreeDrawingWindow();
    // Undoes the saver window's own cursor hide, once.
    void ShowHiddenCursor();
    // After an error: the cursor is the error box's now.
    void ForgetHiddenCursor() { cursorHidden_ = false; }
    // An error message box with a visible pointer; restoreCursor hides it again afterwards for
    // a run that goes on.
    void ShowErrorBox(const std::string& text, bool restoreCursor);

    TSaverInput& Input() { return *input_; }
    ISaverWindow* DrawingWindow() { return drawingWindow_.get(); }
    // A frame drawn now would be seen: there is a drawing window, and neither it nor the display
    // is out of sight. The scene stands still while this is false.
    bool FrameWanted();
    // The hack's window was destroyed: what failed in it since is the end of the run, no error.
    bool HackWindowGone();
    ISaverWindow* PreviewWindow() { return previewWindow_.get(); }
    // The black windows over the other monitors while the saver window is up.
    const std::vector<std::unique_ptr<ISaverWindow>>& CoverWindows() const { return covers_; }
    bool FullScreenDrawing() const { return fullScreenDrawing_; }
    // Drops the preview's window when the program ends.
    void Destroy();

private:
    // The monitors now, as the options arrange them.
    TMonitorArrangement Arrange();
    // The monitors changed while the saver window is up: the window, the covers and the views
    // follow.
    void Rearrange();
    void ShowCoverWindows(const TSaverLayout& layout);
    void HideSaverWindows();
    TMonitorArrangement WallpaperArrangement();
    void ArrangeWallpaper();

    TSaverRunServices services_;
    TScreenSaverApp& saver_;
    TDisplayControl& display_;
    IAquarium& aquarium_;
    TSaverOptions& options_;
    TSound& sound_;
    std::function<void()> closeForm_;
    std::unique_ptr<TSaverInput> input_;

    std::unique_ptr<ISaverWindow> drawingWindow_;
    std::unique_ptr<IDrawingWindow> drawingSurface_;
    TFrameGate frameGate_;
    std::vector<std::unique_ptr<ISaverWindow>> covers_;
    bool cursorHidden_ = false;
    bool fullScreenDrawing_ = false;
    // The drawing window is another program's (a hack's).
    bool adopted_ = false;
    std::unique_ptr<ISaverWindow> previewWindow_;
    std::unique_ptr<IDrawingWindow> previewSurface_;
    std::unique_ptr<TWallpaperPace> wallpaperPace_;
    double wallpaperRate_ = 0;
};
