#include "scene/placeholder_aquarium.h"

#include "gl/gl_api.h"
#include "scene/scene_description.h"

TPlaceholderAquarium::TPlaceholderAquarium() = default;

TPlaceholderAquarium::~TPlaceholderAquarium() { ReleaseScene(); }

void TPlaceholderAquarium::SetSceneDefaults() { ::SetSceneDefaults(settings_, ProcessPriority()); }

void TPlaceholderAquarium::ReadSceneDescription(const std::string& path, bool& logFile) {
    ::ReadSceneDescription(path, settings_, logFile, ProcessPriority());
}

void TPlaceholderAquarium::BuildScene() {
    if (!engine_) engine_ = std::make_unique<TOpenGLEngine>();
    rateClock_.Start();
}

void TPlaceholderAquarium::ReleaseScene() {
    ReleaseDrawing();
    engine_.reset();
    window_ = nullptr;
}

void TPlaceholderAquarium::InitDrawing(IDrawingWindow& window, bool fullScreen) {
    if (!engine_) engine_ = std::make_unique<TOpenGLEngine>();
    window_ = &window;
    fullScreen_ = fullScreen;
    device_ = window.AcquireDevice();
    engine_->SetDC(device_);
    engine_->ResetDefaults();
    engine_->Init();
    engine_->Activate();
}

void TPlaceholderAquarium::ResetDrawing() { frameRate_.Reset(); }

void TPlaceholderAquarium::ReleaseDrawing() {
    if (!engine_) return;
    engine_->Deactivate();
    engine_->DestroyRC();
    if (engine_->DC() && window_) {
        window_->ReleaseDevice(engine_->DC());
        engine_->SetDC(nullptr);
    }
    device_ = nullptr;
}

void TPlaceholderAquarium::DrawFrame() {
    if (!window_ || !engine_ || !device_) return;
    engine_->CheckError();
    gl.Viewport(0, 0, window_->ClientWidth(), window_->ClientHeight());
    const int theme = options_.ThemeIndex >= 0 && options_.ThemeIndex < kThemeCount ? options_.ThemeIndex : 0;
    const Colour& clear = settings_.Themes[static_cast<std::size_t>(theme)].ClearColor;
    gl.ClearColor(clear.r, clear.g, clear.b, 1.0f);
    gl.Clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    engine_->CheckError();
    engine_->Swap(device_);
    frameRate_.CountFrame(fullScreen_, "", nullptr);
}

void TPlaceholderAquarium::AdvanceAutoTheme() {
    if (options_.AutoTheme) options_.ThemeIndex = options_.ThemeIndex >= kThemeCount - 1 ? 0 : options_.ThemeIndex + 1;
}
