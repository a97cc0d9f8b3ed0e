#pragma once
// TAquarium: the aquarium scene and its renderer. Built once per run from the scene settings,
// drawn into one window at a time (one frame per DrawFrame), released at the end.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/timing.h"
#include "gl/animation.h"
#include "gl/light.h"
#include "gl/material.h"
#include "gl/opengl_engine.h"
#include "gl/primitive.h"
#include "gl/texture.h"
#include "gl/viewport.h"
#include "scene/aquarium.h"
#include "scene/frame_rate.h"
#include "scene/profile.h"
#include "scene/scene_assets.h"
#include "sim/bubbles.h"
#include "sim/fishes.h"

// What BuildScene makes for one species slot.
struct TSpeciesObjects {
    std::unique_ptr<TGLTexture> Texture;
    std::unique_ptr<TAnimationList> Animations;
    std::unique_ptr<TGLPrimitiveList> Primitives;
    std::unique_ptr<TFishes> Fishes;
};

// The three textures of a water theme, read when the theme is first drawn: a run shows one
// theme, unless the dialog's theme list changes it.
struct TThemeTextures {
    bool Loaded = false;
    std::unique_ptr<TGLTexture> CausticsTexture;
    std::unique_ptr<TGLTexture> BottomTexture;
    std::unique_ptr<TGLTexture> WaterTexture;
};

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
    // DeleteName on every scene texture, so the next context uploads them again.
    void ReleaseTextureObjects();
    template <typename F>
    void ForEachTexture(F&& f);

    // The window must stay until ReleaseDrawing (or ReleaseScene) has given its device back.
    void InitDrawing(IDrawingWindow& window, bool fullScreen) override;
    void ResetDrawing() override;
    void FreeImagesAfterUpload() override;
    void PrepareFirstFrame(std::int32_t width, std::int32_t height) override;
    void SetViews(std::vector<TTankView> views) override;
    const std::vector<TTankView>& Views() const { return views_; }
    // Tanks after the first; their fish and bubbles as the scene's own while stepped or drawn.
    std::int32_t ExtraTanks() const { return static_cast<std::int32_t>(extraTanks_.size()); }
    template <typename F>
    void InTank(std::int32_t tank, F&& f);
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
    TGLLight* Light() const { return light_.get(); }
    TGLMaterial* Material() const { return material_.get(); }
    TBubbles* Bubbles() const { return bubbles_.get(); }
    const TSpeciesObjects& Species(int slot) const { return species_.at(static_cast<std::size_t>(slot)); }
    // As they are: empty until the theme was drawn or loaded.
    const TThemeTextures& ThemeTextures(int theme) const { return themes_.at(static_cast<std::size_t>(theme)); }
    // Reads the theme's pictures unless they were read already; the scene must be built.
    const TThemeTextures& LoadThemeTextures(int theme);
    TGLPrimitive* BottomModel() const { return bottomModel_.get(); }
    TGLPrimitive* SurfaceModel() const { return surfaceModel_.get(); }
    TGLPrimitive* BottomCaustics() const { return bottomCaustics_.get(); }
    TGLPrimitive* SurfaceCaustics() const { return surfaceCaustics_.get(); }
    TGLPrimitive* BottomFade() const { return bottomFade_.get(); }
    TGLPrimitive* SurfaceFade() const { return surfaceFade_.get(); }
    TGLPrimitive* Backdrop() const { return backdrop_.get(); }
    TGLPrimitive* BubbleModel() const { return bubbleModel_.get(); }
    TGLTexture* ShineTexture() const { return shineTexture_.get(); }
    TGLTexture* BubbleTexture() const { return bubbleTexture_.get(); }
    TTimerPro* FrameClock() const { return frameClock_.get(); }
    std::int32_t AppliedFishCount() const { return appliedFishCount_; }
    // Fish drawn in the last frame, over all species (pass 0).
    std::int32_t FishDrawn() const { return fishDrawn_; }
    // Number of sphere-mapped shine passes in the last frame.
    std::int32_t ShinePasses() const { return shinePasses_; }

    // The parts of one frame, public so a tool can time the simulation apart from drawing.
    void UpdateScene();
    void RenderScene();

private:
    // The size of whichever window the scene draws into; fish and bubbles read it.
    class TCurrentWindowSize final : public TDrawingWindowSize {
    public:
        IDrawingWindow* Window = nullptr;
        // The size a window about to be drawn into will have, until it is drawn into.
        std::int32_t PlannedWidth = 0, PlannedHeight = 0;
        // The first tank's size when it is seen through views instead of the whole window.
        std::int32_t TankWidth = 0, TankHeight = 0;
        std::int32_t ClientWidth() const override {
            return TankWidth > 0 ? TankWidth : Window ? Window->ClientWidth() : PlannedWidth;
        }
        std::int32_t ClientHeight() const override {
            return TankHeight > 0 ? TankHeight : Window ? Window->ClientHeight() : PlannedHeight;
        }
    };

    // The fish and bubbles of a tank after the first, swapped with the scene's own containers
    // while it is stepped or drawn, so every pass reads the scene's members as for one tank.
    struct TExtraTank {
        TFixedWindowSize Size{0, 1};
        std::array<std::unique_ptr<TFishes>, kMaxSpecies> Fishes;
        std::vector<TFishes*> Containers;
        std::unique_ptr<TBubbles> Bubbles;
        std::int32_t AppliedFishCount = kNothingApplied;
    };
    void SwapTank(TExtraTank& tank);
    void MakeExtraTanks();
    template <typename F>
    void ForEachTank(F&& f);
    void DrawViews(std::int32_t windowWidth, std::int32_t windowHeight);
    // The frame's time step from the frame clock, and its counters back to zero.
    void StartFrame();
    // Clears clearMask's buffers (none: nothing) to the theme and puts the camera at the origin.
    void BeginView(std::uint32_t clearMask);
    void DrawTank();

    float ReadFrameClock() const;
    void WarmUp();
    const TWaterTheme& Theme() const;
    TThemeTextures& CurrentThemeTextures();
    void LogOpenGLInfo();

    void DrawBackground();
    void DrawLayer(TGLPrimitive& layer, TGLTexture* texture, float height);
    void DrawCaustics(TGLPrimitive& layer, TGLTexture* texture, float opacity, float height);
    // A layer, its caustics and its fade in one pass, on three texture units.
    void DrawWaterLayer(TGLPrimitive& layer, TGLTexture* texture, const TGLPrimitive& caustics,
                        TGLTexture* causticsTexture, float opacity, TGLPrimitive& fade, const Colour& fadeColour,
                        float height);
    void DrawFade(TGLPrimitive& layer, const Colour& colour, float height);
    void DrawBackdrop();
    void DrawSpecies(TSpeciesObjects& species, int pass);
    void DrawFishPass(TSpeciesObjects& species, int pass);
    void DrawEachFish(const TGLPrimitive& primitive, TFishes& fishes);
    void DrawShine(TSpeciesObjects& species);
    void DrawBubbles();

    ISceneAssets& assets_;
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
    std::unique_ptr<TGLLight> light_;
    std::unique_ptr<TGLMaterial> material_;
    std::unique_ptr<TGLPrimitive> bubbleModel_;
    std::unique_ptr<TGLPrimitive> bottomModel_;
    std::unique_ptr<TGLPrimitive> surfaceModel_;
    std::unique_ptr<TGLPrimitive> bottomCaustics_;
    std::unique_ptr<TGLPrimitive> surfaceCaustics_;
    std::unique_ptr<TGLPrimitive> bottomFade_;
    std::unique_ptr<TGLPrimitive> surfaceFade_;
    std::unique_ptr<TGLPrimitive> backdrop_;
    std::unique_ptr<TGLTexture> shineTexture_;
    std::unique_ptr<TGLTexture> bubbleTexture_;
    std::unique_ptr<TBubbles> bubbles_;
    std::array<TSpeciesObjects, kMaxSpecies> species_;
    std::array<TThemeTextures, kThemeCount> themes_;
    int builtSpecies_ = 0;
    bool freeImagesAfterUpload_ = false;

    TCurrentWindowSize windowSize_;
    std::vector<TTankView> views_;
    // unique_ptr: the fish and bubbles keep a reference to their tank's size.
    std::vector<std::unique_ptr<TExtraTank>> extraTanks_;
    // The size of the tank being drawn (the window's, or the view's whole).
    std::int32_t tankWidth_ = 0, tankHeight_ = 0;
    IDrawingWindow* window_ = nullptr;
    bool fullScreenDrawing_ = false;
    float lastTime_ = 0.0f;
    float timeStep_ = 0.0f;
    std::int32_t appliedFishCount_ = kNothingApplied;
    bool warmedUp_ = false;  // by PrepareFirstFrame, for the next ResetDrawing
    std::vector<TFishes*> fishContainers_;  // species_[i].Fishes of the built species
    bool infoLogged_ = false;
    bool singlePassLayers_ = false;
    std::string glInfoText_;

    // Indices of the fade triangles with some opacity; the rest change no pixel.
    TGLIndexDArray visibleFade_;
    std::int32_t fishDrawn_ = 0;
    std::int32_t shinePasses_ = 0;
};

template <typename F>
void TAquarium::InTank(std::int32_t tank, F&& f) {
    if (tank <= 0 || tank > ExtraTanks()) {
        f();
        return;
    }
    TExtraTank& extra = *extraTanks_[static_cast<std::size_t>(tank - 1)];
    SwapTank(extra);
    struct TSwapBack {
        TAquarium& aquarium;
        TExtraTank& tank;
        ~TSwapBack() { aquarium.SwapTank(tank); }
    } back{*this, extra};
    f();
}
