#pragma once
// PLACEHOLDER until TAquarium (the real scene) is merged: clears the drawing window to the
// current theme's water colour through the OpenGL engine, so the program and its end-to-end
// tests run. Remove when the program links TAquarium.
#include <memory>

#include "app/timing.h"
#include "gl/opengl_engine.h"
#include "scene/aquarium.h"
#include "scene/frame_rate.h"

class TPlaceholderAquarium final : public IAquarium {
public:
    TPlaceholderAquarium();
    ~TPlaceholderAquarium() override;

    TSceneSettings& Settings() override { return settings_; }
    TSaverOptions& Options() override { return options_; }
    void SetSceneDefaults() override;
    void ReadSceneDescription(const std::string& path, bool& logFile) override;
    void BuildScene() override;
    void ReleaseScene() override;
    void InitDrawing(IDrawingWindow& window, bool fullScreen) override;
    void ResetDrawing() override;
    void ReleaseDrawing() override;
    void DrawFrame() override;
    void AdvanceAutoTheme() override;
    std::int32_t FrameRate() const override { return frameRate_.FrameRate(); }
    const std::string& GLInfoText() const override { return glInfo_; }
    bool SoftwareRendering() const override { return engine_ && engine_->GenericFormat; }

private:
    TSceneSettings settings_{};
    TSaverOptions options_;
    std::unique_ptr<TOpenGLEngine> engine_;
    IDrawingWindow* window_ = nullptr;
    IGLDevice* device_ = nullptr;
    bool fullScreen_ = false;
    TTimerPro rateClock_;
    TFrameRate frameRate_{rateClock_};
    std::string glInfo_;
};
