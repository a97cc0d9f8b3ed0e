#include "scene/aquarium_scene.h"

#include <algorithm>
#include <cstdio>

#include "gl/gl_api.h"
#include "scene/fps_overlay.h"
#include "scene/scene_description.h"

namespace {

// The stencil is never used, but clearing it with the depth lets a combined depth-stencil buffer
// be filled whole instead of masked word by word (a fifth of llvmpipe's frame).
constexpr GLbitfield kWholeClear = GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT;

std::string GLString(GLenum name) {
    const GLubyte* text = gl.GetString ? gl.GetString(name) : nullptr;
    return text ? reinterpret_cast<const char*>(text) : std::string();
}

std::int32_t GLInteger(GLenum name) {
    GLint value[2] = {0, 0};
    if (gl.GetIntegerv) gl.GetIntegerv(name, value);
    return value[0];
}

// `units` texture units with the combine environment: OpenGL 1.3 or later, with its entry points.
bool HasCombiningUnits(std::int32_t units) {
    if (!gl.ActiveTexture || !gl.ClientActiveTexture) return false;
    const std::string version = GLString(GL_VERSION);
    int major = 0, minor = 0;
    if (std::sscanf(version.c_str(), "%d.%d", &major, &minor) != 2) return false;
    return (major > 1 || (major == 1 && minor >= 3)) && GLInteger(GL_MAX_TEXTURE_UNITS) >= units;
}

}  // namespace

TAquarium::TAquarium(ISceneAssets& assets, IProcessPriority& process, IMillisecondClock& clock,
                     ILibraryLoader& libraries, TProfileOpener openProfile, TAquariumHost host)
    : loader_(assets),
      process_(process),
      clock_(clock),
      libraries_(libraries),
      openProfile_(std::move(openProfile)),
      host_(std::move(host)),
      options_(host_.Options ? *host_.Options : ownOptions_) {
    // Built-in values from the start; the process priority only when the form asks for them.
    class TLeaveAlone final : public IProcessPriority {
    public:
        void SetNormal() override {}
        void SetHigh() override {}
    } leaveAlone;
    ::SetSceneDefaults(settings_, leaveAlone);
}

TAquarium::~TAquarium() {
    ReleaseDrawing();
    ReleaseScene();
}

void TAquarium::SetSceneDefaults() { ::SetSceneDefaults(settings_, process_); }

void TAquarium::ReadSceneDescription(const std::string& path, bool& logFile) {
    ::ReadSceneDescription(openProfile_, path, settings_, logFile, process_);
}

void TAquarium::BuildScene() {
    if (engine_) ReleaseScene();  // built once per run; a second build replaces the first
    frameClock_ = std::make_unique<TTimerPro>(clock_);
    rateClock_ = std::make_unique<TTimerPro>(clock_);
    frameClock_->Start();
    rateClock_->Start();
    frameRate_ = std::make_unique<TFrameRate>(*rateClock_);

    loader_.PointAt(host_.InstallPath);
    assets_ = std::make_unique<TAquariumAssets>(loader_, settings_);
    engine_ = std::make_unique<TOpenGLEngine>(libraries_);
    viewport_ = std::make_unique<TGLViewport>();
    ranges_ = TankRanges(settings_);
    MakeTanks();
    warmedUp_ = false;
}

void TAquarium::SetViews(std::vector<TTankView> views) {
    views_ = std::move(views);
    MakeTanks();
}

void TAquarium::MakeTanks() {
    if (!assets_) return;
    std::size_t wanted = 1;
    for (const TTankView& view : views_) wanted = std::max(wanted, static_cast<std::size_t>(std::max(view.Tank, 0)) + 1);
    const std::size_t had = tanks_.size();
    if (had != wanted) {
        // Made like the first; their own warm-up draws other numbers, so no shoal is a copy. The
        // tanks there were keep their fish (a monitor added while the saver runs).
        tanks_.resize(std::min(had, wanted));
        while (tanks_.size() < wanted) tanks_.push_back(std::make_unique<TTank>(ranges_));
        warmedUp_ = false;
    }
    SizeTanks();
    // While frames are drawn no reset comes to warm the new tanks up: they are stocked now.
    if (window_)
        for (std::size_t i = had; i < tanks_.size(); ++i) tanks_[i]->WarmUp(options_.FishCount, options_.BubbleCount);
}

void TAquarium::SizeTanks() {
    if (tanks_.empty()) return;
    TTankSize& first = tanks_.front()->Size;
    first.Window = window_;
    first.Width = plannedWidth_;
    first.Height = plannedHeight_;
    // Backwards, so that the first view of a tank decides its size.
    for (auto view = views_.rbegin(); view != views_.rend(); ++view) {
        if (view->Tank < 0 || static_cast<std::size_t>(view->Tank) >= tanks_.size()) continue;
        TTankSize& size = tanks_[static_cast<std::size_t>(view->Tank)]->Size;
        size.Window = nullptr;
        size.Width = std::max<std::int32_t>(view->Whole.Width, 1);
        size.Height = std::max<std::int32_t>(view->Whole.Height, 1);
    }
}

void TAquarium::FreeImagesAfterUpload() {
    if (assets_) assets_->FreeImagesAfterUpload();
}

void TAquarium::ReleaseScene() {
    tanks_.clear();
    frameRate_.reset();
    frameClock_.reset();
    rateClock_.reset();
    if (host_.StopSound) host_.StopSound();
    // The textures give their names back while OpenGL is still loaded.
    assets_.reset();
    viewport_.reset();
    engine_.reset();
    window_ = nullptr;
}

void TAquarium::InitDrawing(IDrawingWindow& window, bool fullScreen) {
    if (!engine_) throw Exception("InitDrawing: the scene is not built!");
    ReleaseDrawing();
    window_ = &window;
    SizeTanks();
    fullScreenDrawing_ = fullScreen;

    engine_->SetDC(window.AcquireDevice());
    engine_->ResetDefaults();
    engine_->Init();
    engine_->Activate();
    singlePassLayers_ = AllowSinglePassLayers && HasCombiningUnits(3);

    viewport_->PerspectiveCorrection = true;
    viewport_->Dither = true;
    viewport_->ShadeModel = TGLShadeModel::SmoothShading;
    viewport_->Lighting = true;
    viewport_->PolygonMode = TGLPolygonMode::Fill;

    assets_->Light->SetAmbient({0, 0, 0, 1});
    assets_->Light->SetDiffuse(settings_.LightColor);
    assets_->Light->SetSpecular({0, 0, 0, 1});
    assets_->Light->SetLightIndex(0);
    assets_->Light->SetLocalViewer(false);
    assets_->Light->SetDirectional(true);
    assets_->Light->SetSpotDirection({0, -1, -1});
    assets_->Light->SetPosition({0, 0, 0});

    assets_->Material->SetAmbient({1, 1, 1, 1});
    assets_->Material->SetDiffuse({1, 1, 1, 1});
    assets_->Material->SetSpecular({1, 1, 1, 1});
    assets_->Material->SetShininess(10);

    if (!infoLogged_) {
        infoLogged_ = true;
        LogOpenGLInfo();
    }
}

void TAquarium::LogOpenGLInfo() {
    GLDriverInfo info;
    info.vendor = GLString(GL_VENDOR);
    info.renderer = GLString(GL_RENDERER);
    info.version = GLString(GL_VERSION);
    info.extensions = GLString(GL_EXTENSIONS);
    info.maxLights = GLInteger(GL_MAX_LIGHTS);
    info.maxModelViewStack = GLInteger(GL_MAX_MODELVIEW_STACK_DEPTH);
    info.maxNameStack = GLInteger(GL_MAX_NAME_STACK_DEPTH);
    info.maxTextureSize = GLInteger(GL_MAX_TEXTURE_SIZE);
    GLint dims[2] = {0, 0};
    if (gl.GetIntegerv) gl.GetIntegerv(GL_MAX_VIEWPORT_DIMS, dims);
    info.maxViewport[0] = dims[0];
    info.maxViewport[1] = dims[1];
    glInfoText_ = ::GLInfoText(info);
    if (host_.WriteLog)
        for (const auto& line : GLInfoLogLines(info)) host_.WriteLog(line);
}

float TAquarium::ReadFrameClock() const { return static_cast<float>(frameClock_->Elapsed().AsSeconds()); }

void TAquarium::PauseDrawing() {
    if (!frameClock_) return;
    frameClock_->Stop();
    rateClock_->Stop();
}

void TAquarium::ResumeDrawing() {
    if (!frameClock_) return;
    frameClock_->Resume();
    rateClock_->Resume();
}

void TAquarium::ResetDrawing() {
    if (!engine_) return;
    // A new start runs the clocks again, whatever paused them.
    ResumeDrawing();
    frameRate_->Reset();
    lastTime_ = ReadFrameClock();
    timeStep_ = 0.0f;
    if (!warmedUp_) WarmUp();
    warmedUp_ = false;
    assets_->StartAnimations(*frameClock_);
}

void TAquarium::ReleaseDrawing() {
    if (!engine_) return;
    assets_->ReleaseTextureObjects();
    engine_->Deactivate();
    engine_->DestroyRC();
    if (IGLDevice* device = engine_->DC()) {
        if (window_) window_->ReleaseDevice(device);
        engine_->SetDC(nullptr);
    }
    // Nothing is drawn into a window without a context, and the window may go now.
    window_ = nullptr;
    SizeTanks();
}

void TAquarium::AdvanceAutoTheme() {
    if (!options_.AutoTheme) return;
    options_.ThemeIndex = options_.ThemeIndex >= kThemeCount - 1 ? 0 : options_.ThemeIndex + 1;
}

const TWaterTheme& TAquarium::Theme() const {
    const int index = std::clamp(options_.ThemeIndex, 0, kThemeCount - 1);
    return settings_.Themes[static_cast<std::size_t>(index)];
}

void TAquarium::WarmUp() {
    for (auto& tank : tanks_) tank->WarmUp(options_.FishCount, options_.BubbleCount);
}

void TAquarium::PrepareFirstFrame(std::int32_t width, std::int32_t height) {
    if (!engine_) return;
    LoadThemeTextures(std::clamp(options_.ThemeIndex, 0, kThemeCount - 1));
    plannedWidth_ = width;
    plannedHeight_ = height;
    SizeTanks();
    WarmUp();
    warmedUp_ = true;
}

const TThemeTextures& TAquarium::LoadThemeTextures(int index) {
    return assets_->LoadThemeTextures(index, settings_.Themes.at(static_cast<std::size_t>(index)));
}

void TAquarium::DrawFrame() {
    if (!window_ || !engine_) return;
    const int width = window_->ClientWidth();
    const int height = window_->ClientHeight();
    // A window with no area (a minimised preview) has no projection; skip until it has one.
    if (width <= 0 || height <= 0) return;

    UpdateScene();
    if (AfterUpdate) AfterUpdate();
    engine_->CheckError();

    if (!views_.empty()) {
        DrawViews(width, height);
    } else {
        viewport_->SetBounds(0, 0, width, height);
        viewport_->SetPerspective(settings_.FieldOfView, static_cast<double>(width) / static_cast<double>(height),
                                  settings_.NearDistance, settings_.FarDistance);
        viewport_->Apply();
        engine_->CheckError();
        BeginView(kWholeClear);
        tanks_.front()->ApplyCounts(options_.FishCount, options_.BubbleCount);
        StartFrame();
        DrawTank(*tanks_.front(), width, height);
        engine_->CheckError();
    }

    if (host_.ShowFps) {
        DrawFpsOverlay(width, height, FrameRate());
        engine_->CheckError();
    }
    if (BeforeSwap) BeforeSwap();
    // The engine's device is the window's own here, for generic and accelerated formats alike.
    engine_->Swap(engine_->DC());
    engine_->CheckError();

    frameRate_->CountFrame(fullScreenDrawing_, host_.ExeName, host_.ShowCaption);
}

void TAquarium::DrawViews(std::int32_t width, std::int32_t height) {
    StartFrame();
    // The views share the theme and never overlap: one clear of the whole window serves them all,
    // and takes the driver's fast path, where a clear inside a scissor rectangle is drawn as a
    // quad (llvmpipe). Only gaps between monitors, which stay black, need each view cleared apart.
    std::int64_t covered = 0;
    for (const TTankView& view : views_) covered += static_cast<std::int64_t>(view.Part.Width) * view.Part.Height;
    const bool gaps = covered < static_cast<std::int64_t>(width) * height;
    if (gaps) {
        gl.ClearColor(0, 0, 0, 1);
        gl.Clear(kWholeClear);
        gl.Enable(GL_SCISSOR_TEST);
    }
    bool cleared = false;
    for (const TTankView& view : views_) {
        const TViewRect& part = view.Part;
        const std::int32_t bottom = height - part.Top - part.Height;  // OpenGL counts rows from the bottom
        viewport_->SetBounds(part.Left, bottom, part.Width, part.Height);
        const TGLClipBox box =
            PartFrustum(settings_.FieldOfView, settings_.NearDistance, settings_.FarDistance, view.Whole, part);
        viewport_->SetFrustum(box.left, box.right, box.bottom, box.top, box.zNear, box.zFar);
        viewport_->Apply();
        if (gaps) gl.Scissor(part.Left, bottom, part.Width, part.Height);
        engine_->CheckError();
        BeginView(gaps ? GL_COLOR_BUFFER_BIT : cleared ? 0 : kWholeClear);
        cleared = true;
        TTank& tank = *tanks_.at(static_cast<std::size_t>(std::max(view.Tank, 0)));
        tank.ApplyCounts(options_.FishCount, options_.BubbleCount);
        DrawTank(tank, view.Whole.Width, view.Whole.Height);
        engine_->CheckError();
    }
    gl.Disable(GL_SCISSOR_TEST);
}

void TAquarium::BeginView(std::uint32_t clearMask) {
    EnableCulling();
    DisableStencil();
    if (clearMask) {
        const Colour& clear = Theme().ClearColor;
        gl.ClearColor(clear.r, clear.g, clear.b, clear.a);
        gl.Clear(clearMask);
    }
    SetAmbientLight(settings_.AmbientColor.r, settings_.AmbientColor.g, settings_.AmbientColor.b);
    engine_->CheckError();

    gl.MatrixMode(GL_MODELVIEW);
    gl.LoadIdentity();
    if (glu.LookAt) glu.LookAt(0, 0, 0, 0, 0, -1, 0, 1, 0);
}

void TAquarium::UpdateScene() {
    const float dt = timeStep_;
    assets_->Advance(dt, *frameClock_);
    // One step of the same length for every tank.
    for (auto& tank : tanks_) tank->Step(dt);
}

void TAquarium::StartFrame() {
    timeStep_ = ReadFrameClock() - lastTime_;
    lastTime_ = ReadFrameClock();
    drawing_.Reset();
}

void TAquarium::DrawTank(TTank& tank, std::int32_t width, std::int32_t height) {
    const int index = std::clamp(options_.ThemeIndex, 0, kThemeCount - 1);
    TThemeTextures& textures = assets_->LoadThemeTextures(index, settings_.Themes[static_cast<std::size_t>(index)]);
    drawing_.Draw(*assets_, tank,
                  TTankLook{.Settings = settings_,
                            .Theme = Theme(),
                            .Textures = textures,
                            .Width = width,
                            .Height = height,
                            .SinglePassLayers = singlePassLayers_});
}
