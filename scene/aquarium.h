#pragma once
// The aquarium as the settings form drives it: built once per run, drawn into one window at a
// time, released at the end. TAquarium (aquarium_scene.h) is the real one; form logic is
// tested against fakes of this interface.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "scene/drawing_window.h"
#include "scene/scene_settings.h"
#include "scene/tank_view.h"

// The user's options that the aquarium draws with. The form's stored options extend these.
struct TAquariumOptions {
    std::int32_t BubbleCount = 50;
    std::int32_t FishCount = 20;
    std::int32_t ThemeIndex = 0;
    bool AutoTheme = false;
};

// What the aquarium needs from the program around it, known before it is made and fixed for
// its life.
struct TAquariumHost {
    // Program directory: where model import looks when it reads files instead of resources.
    std::string InstallPath;
    // The program file name, in front of the frame rate in the preview's caption.
    std::string ExeName;
    // The log; the OpenGL information goes here once per run.
    std::function<void(const std::string&)> WriteLog;
    // The settings dialog's caption, set once a second while the dialog's preview draws.
    std::function<void(const std::string&)> ShowCaption;
    // Run when the scene is released: the bubbling sound ends with the aquarium.
    std::function<void()> StopSound;
    // The frame rate drawn in a corner (a hack's -fps).
    bool ShowFps = false;
    // The options to draw with, kept by the caller (the form's stored options) for the
    // aquarium's life; none: the aquarium keeps its own.
    TAquariumOptions* Options = nullptr;
};

class IAquarium {
public:
    virtual ~IAquarium() = default;

    // Settings of the scene and the user's options it draws with (fish and bubble counts,
    // theme). The form fills them before BuildScene and may change counts and theme while
    // drawing; changes show on the next frame.
    virtual TSceneSettings& Settings() = 0;
    virtual TAquariumOptions& Options() = 0;

    // Built-in scene values, and the process priority from them.
    virtual void SetSceneDefaults() = 0;
    // The optional description file; logFile receives its log switch.
    virtual void ReadSceneDescription(const std::string& path, bool& logFile) = 0;
    virtual void BuildScene() = 0;
    virtual void ReleaseScene() = 0;

    // Makes the rendering context on window and sets up viewport, light and material.
    // fullScreen tells the saver window from the dialog preview.
    virtual void InitDrawing(IDrawingWindow& window, bool fullScreen) = 0;
    // Counters, time step and the warm-up of bubbles and fish.
    virtual void ResetDrawing() = 0;
    // The run draws into no other context than the next one (the saver, the hack): each texture's
    // image is freed once it is uploaded, as nothing could upload it again.
    virtual void FreeImagesAfterUpload() = 0;
    // The first frame's work that needs no context, done ahead while the driver still loads: the
    // current theme's pictures are read and the bubbles and fish warmed up for a window of this
    // size (the ResetDrawing that follows keeps that warm-up instead of running its own).
    virtual void PrepareFirstFrame(std::int32_t width, std::int32_t height) = 0;
    // Where the next frames go in the window: one view per monitor, each showing a tank (fish and
    // bubbles of its own; the theme is shared) through its part of the tank's view. Empty: one
    // tank fills the window. Set before PrepareFirstFrame; a change of tanks warms them up anew.
    virtual void SetViews(std::vector<TTankView> views) = 0;
    // Releases the rendering context and gives the window's device back; nothing without one.
    virtual void ReleaseDrawing() = 0;
    // One frame into the current window; nothing when there is none.
    virtual void DrawFrame() = 0;
    // No frames for a while (nobody can see them): the scene's clocks stand still until
    // ResumeDrawing, so the fish go on where they were instead of leaping by the time that passed.
    virtual void PauseDrawing() = 0;
    virtual void ResumeDrawing() = 0;
    // Auto theme: the next theme, 2 wrapping to 0.
    virtual void AdvanceAutoTheme() = 0;

    virtual std::int32_t FrameRate() const = 0;
    // The OpenGL summary of the first context of the run, for the About box.
    virtual const std::string& GLInfoText() const = 0;
    // True when the current context renders without hardware acceleration.
    virtual bool SoftwareRendering() const = 0;
};
