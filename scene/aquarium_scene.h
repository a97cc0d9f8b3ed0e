#pragma once
// TAquarium: what holds the aquarium together. Built once per run from the scene settings into
// the assets every tank is drawn with and one tank per view (one in all when the views share it);
// drawn into one window at a time (one frame per DrawFrame), released at the end.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/timing.h"
#include "gl/opengl_engine.h"
#include "gl/viewport.h"
#include "scene/aquarium.h"
#include "scene/aquarium_assets.h"
#include "scene/frame_rate.h"
#include "scene/profile.h"
#include "scene/scene_assets.h"
#include "scene/tank.h"
#include "scene/tank_drawing.h"

class TAquarium final : public IAquarium {
public:
    // The clock drives both stopwatches; the engine loads OpenGL through libraries; the scene
    // description file is read through openProfile.
    TAquarium(ISceneAssets& assets, IProcessPriority& process, IMillisecondClock& clock, ILibraryLoader& libraries,
              TProfileOpener openProfile, TAquariumHost host = {});
    ~TAquarium() override;
    TAquarium(const TAquarium&) = delete;
    TAquarium& operator=(const TAquarium&) = delete;

    // Called with the finished picture still in the buffer, right before the swap (tools read
    // it back here).
    std::function<void()> BeforeSwap;
    // Called right after the simulation step of a frame (tools time it apart from drawing).
    std::function<void()> AfterUpdate;

    TSceneSettings& Settings() override { return settings_; }
    TAquariumOptions& Options() override { return options_; }

    void SetSceneDefaults() override;
    void ReadSceneDescription(const std::string& path, bool& logFile) override;
    void BuildScene() override;
    void ReleaseScene() override;

    // The window must stay until ReleaseDrawing (or ReleaseScene) has given its device back.
    void InitDrawing(IDrawingWindow& window, bool fullScreen) override;
    void ResetDrawing() override;
    void FreeImagesAfterUpload() override;
    void PrepareFirstFrame(std::int32_t width, std::int32_t height) override;
    void SetViews(std::vector<TTankView> views) override;
    const std::vector<TTankView>& Views() const { return views_; }
    void ReleaseDrawing() override;
    void DrawFrame() override;
    void PauseDrawing() override;
    void ResumeDrawing() override;
    void AdvanceAutoTheme() override;

    std::int32_t FrameRate() const override { return frameRate_ ? frameRate_->FrameRate() : 0; }
    const std::string& GLInfoText() const override { return glInfoText_; }
    bool SoftwareRendering() const override { return engine_ && engine_->GenericFormat; }

    // Read-only views for tests and tools.
    bool Built() const { return engine_ != nullptr; }
    bool FullScreenDrawing() const { return fullScreenDrawing_; }
    // Each water layer, its caustics and its fade are drawn in one pass where the context has
    // three texture units and the combine environment (OpenGL 1.3); else in three passes, the
    // caustics and the fade blended over the layer.
    bool SinglePassLayers() const { return singlePassLayers_; }
    // Off keeps the passes whatever the context offers (for comparing both).
    bool AllowSinglePassLayers = true;
    float TimeStep() const { return timeStep_; }
    float LastTime() const { return lastTime_; }
    TOpenGLEngine* Engine() const { return engine_.get(); }
    TTimerPro* FrameClock() const { return frameClock_.get(); }
    // None until built.
    TAquariumAssets* Assets() const { return assets_.get(); }
    // One per tank the views show (one when they show none), the first filling the window
    // when there are no views; none until built.
    std::int32_t TankCount() const { return static_cast<std::int32_t>(tanks_.size()); }
    TTank& Tank(std::int32_t tank) const { return *tanks_.at(static_cast<std::size_t>(tank)); }
    // Reads the theme's pictures unless they were read already; the scene must be built.
    const TThemeTextures& LoadThemeTextures(int theme);
    // Fish drawn in the last frame, over all species and tanks (pass 0).
    std::int32_t FishDrawn() const { return drawing_.FishDrawn; }
    // Number of sphere-mapped shine passes in the last frame.
    std::int32_t ShinePasses() const { return drawing_.ShinePasses; }

private:
    // One tank per tank number the views name, the first kept; the others are made anew when
    // their number changes, each warmed up on its own.
    void MakeTanks();
    // Each tank spreads over its view's whole; the first, without a view, over the window (or
    // the size planned for it).
    void SizeTanks();
    void UpdateScene();
    void DrawViews(std::int32_t windowWidth, std::int32_t windowHeight);
    // The frame's time step from the frame clock, and the drawing's counters back to zero.
    void StartFrame();
    // Clears clearMask's buffers (none: nothing) to the theme and puts the camera at the origin.
    void BeginView(std::uint32_t clearMask);
    void DrawTank(TTank& tank, std::int32_t width, std::int32_t height);

    float ReadFrameClock() const;
    void WarmUp();
    const TWaterTheme& Theme() const;
    void LogOpenGLInfo();

    ISceneAssets& loader_;
    IProcessPriority& process_;
    IMillisecondClock& clock_;
    ILibraryLoader& libraries_;
    TProfileOpener openProfile_;

    const TAquariumHost host_;
    TSceneSettings settings_{};
    TAquariumOptions ownOptions_{};
    TAquariumOptions& options_;

    std::unique_ptr<TTimerPro> frameClock_;
    std::unique_ptr<TTimerPro> rateClock_;
    std::unique_ptr<TFrameRate> frameRate_;
    std::unique_ptr<TOpenGLEngine> engine_;
    std::unique_ptr<TGLViewport> viewport_;
    std::unique_ptr<TAquariumAssets> assets_;
    TTankRanges ranges_;
    // unique_ptr: the fish and bubbles keep a reference to their tank's size.
    std::vector<std::unique_ptr<TTank>> tanks_;
    TTankDrawing drawing_;

    std::vector<TTankView> views_;
    IDrawingWindow* window_ = nullptr;
    // The size a window about to be drawn into will have, until it is drawn into.
    std::int32_t plannedWidth_ = 0, plannedHeight_ = 0;
    bool fullScreenDrawing_ = false;
    float lastTime_ = 0.0f;
    float timeStep_ = 0.0f;
    bool warmedUp_ = false;  // by PrepareFirstFrame, for the next ResetDrawing
    bool infoLogged_ = false;
    bool singlePassLayers_ = false;
    std::string glInfoText_;
};
