#include "scene/aquarium_scene.h"

#include <algorithm>
#include <cstdio>

#include "gl/gl_api.h"
#include "scene/fps_overlay.h"
#include "scene/layer_math.h"
#include "scene/scene_description.h"

namespace {

// The stencil is never used, but clearing it with the depth lets a combined depth-stencil buffer
// be filled whole instead of masked word by word (a fifth of llvmpipe's frame).
constexpr GLbitfield kWholeClear = GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT;

std::unique_ptr<TGLPrimitive> CopyOf(const TGLPrimitive& source) {
    TGLPrimitive* copy = nullptr;
    source.AssignTo(copy);
    return std::unique_ptr<TGLPrimitive>(copy);
}

// A layer copy with one colour entry per vertex (white until the first fade).
std::unique_ptr<TGLPrimitive> FadeCopyOf(const TGLPrimitive& source) {
    auto fade = CopyOf(source);
    fade->Colors.SetCount(fade->Vertices.Count());
    for (auto& c : fade->Colors.View()) c = {1.0f, 1.0f, 1.0f, 1.0f};
    return fade;
}

template <typename T>
void Free(std::unique_ptr<T>& item) {
    item.reset();
}

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
    : assets_(assets),
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

    assets_.PointAt(host_.InstallPath);

    engine_ = std::make_unique<TOpenGLEngine>(libraries_);
    viewport_ = std::make_unique<TGLViewport>();
    light_ = std::make_unique<TGLLight>();
    material_ = std::make_unique<TGLMaterial>();

    bubbleModel_ = assets_.Load3DMPrimitive(settings_.BubbleModelName);
    bottomModel_ = assets_.Load3DMPrimitive(settings_.BottomModelName);
    if (!bubbleModel_) throw Exception("BuildScene: no model in " + settings_.BubbleModelName);
    if (!bottomModel_) throw Exception("BuildScene: no model in " + settings_.BottomModelName);

    bottomCaustics_ = CopyOf(*bottomModel_);
    bottomFade_ = FadeCopyOf(*bottomModel_);

    surfaceModel_ = CopyOf(*bottomModel_);
    surfaceModel_->RotateZ(180.0f);
    surfaceModel_->CalcNormals();
    surfaceCaustics_ = CopyOf(*surfaceModel_);
    surfaceFade_ = FadeCopyOf(*surfaceModel_);

    backdrop_ = std::make_unique<TGLPrimitive>();
    backdrop_->SetType(ptTriangles);
    backdrop_->Colors.SetCount(1);
    backdrop_->Colors.Items()[0] = {1.0f, 1.0f, 1.0f, 1.0f};
    const Vector corners[4] = {{-1, 1, 0}, {-1, -1, 0}, {1, -1, 0}, {1, 1, 0}};
    backdrop_->Vertices.SetCount(4);
    std::copy(corners, corners + 4, backdrop_->Vertices.Items());
    const Index triangles[6] = {0, 1, 2, 0, 2, 3};
    backdrop_->Indices.SetFromArray(triangles);
    const TexCoord coords[4] = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};
    backdrop_->TexCoords.SetCount(4);
    std::copy(coords, coords + 4, backdrop_->TexCoords.Items());
    backdrop_->Normals.SetCount(1);
    backdrop_->Normals.Items()[0] = {0, 1, 0};

    shineTexture_ = assets_.TextureFromFile(settings_.ShineTextureName);

    builtSpecies_ = std::clamp(settings_.SpeciesCount, 0, kMaxSpecies);
    for (int i = 0; i < builtSpecies_; ++i) {
        const TFishSpecies& slot = settings_.Species[static_cast<std::size_t>(i)];
        TSpeciesObjects& species = species_[static_cast<std::size_t>(i)];
        species.Texture = assets_.TextureFromFile(slot.TextureFile);
        // The fish use the species texture and the scene material, not the model's own.
        std::unique_ptr<TGLTextureList> textures;
        std::unique_ptr<TGLMaterialList> materials;
        assets_.LoadMFL(slot.FrameListFile, textures, materials, species.Animations, species.Primitives);
        textures.reset();
        materials.reset();
        species.Fishes = std::make_unique<TFishes>(windowSize_);
        species.Fishes->Ranges() = {.DepthMin = slot.DepthMin,
                                    .SpeedMax = slot.SpeedMax,
                                    .FieldOfView = settings_.FieldOfView,
                                    .DepthMax = slot.DepthMax,
                                    .HeightMin = slot.HeightMin,
                                    .SpeedMin = slot.SpeedMin,
                                    .HeightMax = slot.HeightMax,
                                    .SpeciesShare = 100.0f / static_cast<float>(builtSpecies_)};
    }
    // Every frame hands the containers to the count logic: gathered once, so a frame allocates nothing.
    fishContainers_.clear();
    for (int i = 0; i < builtSpecies_; ++i) fishContainers_.push_back(species_[static_cast<std::size_t>(i)].Fishes.get());

    bubbleTexture_ = assets_.TextureWithAlphaFromFiles(settings_.BubbleTextureName, settings_.BubbleAlphaName);


    bubbles_ = std::make_unique<TBubbles>(windowSize_);
    bubbles_->Ranges() = {.DepthMin = settings_.BubbleDepthMin,
                          .SpeedMax = settings_.BubbleSpeedMax,
                          .SpeedMin = settings_.BubbleSpeedMin,
                          .DepthMax = settings_.BubbleDepthMax,
                          .SurfaceY = settings_.SurfaceY,
                          .BottomY = settings_.BottomY,
                          .FieldOfView = settings_.FieldOfView};
    appliedFishCount_ = kNothingApplied;
    warmedUp_ = false;
    MakeExtraTanks();
}

void TAquarium::SetViews(std::vector<TTankView> views) {
    views_ = std::move(views);
    windowSize_.TankWidth = windowSize_.TankHeight = 0;
    for (const TTankView& view : views_)
        if (view.Tank == 0) {
            windowSize_.TankWidth = std::max<std::int32_t>(view.Whole.Width, 1);
            windowSize_.TankHeight = std::max<std::int32_t>(view.Whole.Height, 1);
            break;
        }
    MakeExtraTanks();
}

void TAquarium::MakeExtraTanks() {
    std::size_t tanks = 1;
    for (const TTankView& view : views_) tanks = std::max(tanks, static_cast<std::size_t>(std::max(view.Tank, 0)) + 1);
    if (!engine_ || !bubbles_) {
        extraTanks_.clear();
        return;
    }
    if (extraTanks_.size() != tanks - 1) {
        extraTanks_.clear();
        // Built like the first tank's; their own warm-up draws other numbers, so no shoal is a copy.
        for (std::size_t t = 1; t < tanks; ++t) {
            auto tank = std::make_unique<TExtraTank>();
            for (int i = 0; i < builtSpecies_; ++i) {
                auto fishes = std::make_unique<TFishes>(tank->Size);
                fishes->Ranges() = species_[static_cast<std::size_t>(i)].Fishes->Ranges();
                tank->Containers.push_back(fishes.get());
                tank->Fishes[static_cast<std::size_t>(i)] = std::move(fishes);
            }
            tank->Bubbles = std::make_unique<TBubbles>(tank->Size);
            tank->Bubbles->Ranges() = bubbles_->Ranges();
            extraTanks_.push_back(std::move(tank));
        }
        warmedUp_ = false;
    }
    for (const TTankView& view : views_)
        if (view.Tank > 0 && static_cast<std::size_t>(view.Tank) <= extraTanks_.size()) {
            TFixedWindowSize& size = extraTanks_[static_cast<std::size_t>(view.Tank - 1)]->Size;
            size.Width = view.Whole.Width;
            size.Height = std::max<std::int32_t>(view.Whole.Height, 1);
        }
}

void TAquarium::SwapTank(TExtraTank& tank) {
    for (int i = 0; i < builtSpecies_; ++i)
        std::swap(species_[static_cast<std::size_t>(i)].Fishes, tank.Fishes[static_cast<std::size_t>(i)]);
    std::swap(fishContainers_, tank.Containers);
    std::swap(bubbles_, tank.Bubbles);
    std::swap(appliedFishCount_, tank.AppliedFishCount);
}

template <typename F>
void TAquarium::ForEachTank(F&& f) {
    f();
    for (std::int32_t tank = 1; tank <= ExtraTanks(); ++tank) InTank(tank, f);
}

template <typename F>
void TAquarium::ForEachTexture(F&& f) {
    for (auto& species : species_)
        if (species.Texture) f(*species.Texture);
    if (shineTexture_) f(*shineTexture_);
    if (bubbleTexture_) f(*bubbleTexture_);
    for (auto& theme : themes_)
        for (auto* texture : {theme.CausticsTexture.get(), theme.BottomTexture.get(), theme.WaterTexture.get()})
            if (texture) f(*texture);
}

void TAquarium::ReleaseTextureObjects() {
    ForEachTexture([](TGLTexture& texture) { texture.DeleteName(); });
}

void TAquarium::FreeImagesAfterUpload() {
    freeImagesAfterUpload_ = true;
    ForEachTexture([](TGLTexture& texture) { texture.SetKeepPixels(false); });
}

void TAquarium::ReleaseScene() {
    extraTanks_.clear();
    Free(bubbles_);
    frameRate_.reset();
    Free(frameClock_);
    Free(rateClock_);
    for (auto& species : species_) {
        Free(species.Texture);
        Free(species.Animations);  // before the primitives they point at
        Free(species.Primitives);
        Free(species.Fishes);
    }
    builtSpecies_ = 0;
    fishContainers_.clear();
    if (host_.StopSound) host_.StopSound();
    Free(backdrop_);
    Free(bubbleModel_);
    Free(bottomModel_);
    Free(surfaceModel_);
    Free(bottomCaustics_);
    Free(surfaceCaustics_);
    Free(bottomFade_);
    Free(surfaceFade_);
    Free(bubbleTexture_);
    Free(shineTexture_);
    for (auto& theme : themes_) {
        Free(theme.CausticsTexture);
        Free(theme.BottomTexture);
        Free(theme.WaterTexture);
        theme.Loaded = false;
    }
    freeImagesAfterUpload_ = false;
    Free(material_);
    Free(light_);
    Free(viewport_);
    Free(engine_);
    window_ = nullptr;
    windowSize_.Window = nullptr;
}

void TAquarium::InitDrawing(IDrawingWindow& window, bool fullScreen) {
    if (!engine_) throw Exception("InitDrawing: the scene is not built!");
    ReleaseDrawing();
    window_ = &window;
    windowSize_.Window = &window;
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

    light_->SetAmbient({0, 0, 0, 1});
    light_->SetDiffuse(settings_.LightColor);
    light_->SetSpecular({0, 0, 0, 1});
    light_->SetLightIndex(0);
    light_->SetLocalViewer(false);
    light_->SetDirectional(true);
    light_->SetSpotDirection({0, -1, -1});
    light_->SetPosition({0, 0, 0});

    material_->SetAmbient({1, 1, 1, 1});
    material_->SetDiffuse({1, 1, 1, 1});
    material_->SetSpecular({1, 1, 1, 1});
    material_->SetShininess(10);

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
    for (int i = 0; i < builtSpecies_; ++i) {
        auto& animations = species_[static_cast<std::size_t>(i)].Animations;
        if (animations) animations->Start(frameClock_->Elapsed().AsSeconds());
    }
}

void TAquarium::ReleaseDrawing() {
    if (!engine_) return;
    ReleaseTextureObjects();
    engine_->Deactivate();
    engine_->DestroyRC();
    if (IGLDevice* device = engine_->DC()) {
        if (window_) window_->ReleaseDevice(device);
        engine_->SetDC(nullptr);
    }
    // Nothing is drawn into a window without a context, and the window may go now.
    window_ = nullptr;
    windowSize_.Window = nullptr;
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
    ForEachTank([this] {
        WarmUpBubbles(*bubbles_, options_.BubbleCount);
        WarmUpFishes(fishContainers_, options_.FishCount, appliedFishCount_);
    });
}

void TAquarium::PrepareFirstFrame(std::int32_t width, std::int32_t height) {
    if (!engine_) return;
    CurrentThemeTextures();
    windowSize_.PlannedWidth = width;
    windowSize_.PlannedHeight = height;
    WarmUp();
    warmedUp_ = true;
}

TThemeTextures& TAquarium::CurrentThemeTextures() {
    const int index = std::clamp(options_.ThemeIndex, 0, kThemeCount - 1);
    LoadThemeTextures(index);
    return themes_[static_cast<std::size_t>(index)];
}

const TThemeTextures& TAquarium::LoadThemeTextures(int index) {
    TThemeTextures& textures = themes_.at(static_cast<std::size_t>(index));
    if (textures.Loaded || !engine_) return textures;
    const TWaterTheme& theme = settings_.Themes[static_cast<std::size_t>(index)];
    textures.CausticsTexture = assets_.TextureFromFile(theme.CausticsTextureName);
    textures.BottomTexture = assets_.TextureFromFile(theme.BottomTextureName);
    textures.WaterTexture = assets_.TextureFromFile(theme.WaterTextureName);
    textures.Loaded = true;
    for (auto* texture : {textures.CausticsTexture.get(), textures.BottomTexture.get(), textures.WaterTexture.get()})
        if (texture) texture->SetKeepPixels(!freeImagesAfterUpload_);
    return textures;
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
        ApplyFishCount(fishContainers_, options_.FishCount, appliedFishCount_);
        ApplyBubbleCount(*bubbles_, options_.BubbleCount);
        tankWidth_ = width;
        tankHeight_ = height;
        RenderScene();
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
        tankWidth_ = view.Whole.Width;
        tankHeight_ = view.Whole.Height;
        InTank(view.Tank, [this] {
            ApplyFishCount(fishContainers_, options_.FishCount, appliedFishCount_);
            ApplyBubbleCount(*bubbles_, options_.BubbleCount);
            DrawTank();
        });
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
    ScrollTextureCoords(surfaceCaustics_->TexCoords, -0.1f * dt, 0.1f * dt);
    ScrollTextureCoords(bottomCaustics_->TexCoords, 0.1f * dt, 0.1f * dt);
    for (int i = 0; i < builtSpecies_; ++i) {
        TSpeciesObjects& species = species_[static_cast<std::size_t>(i)];
        if (species.Animations) {
            species.Animations->SetTime(frameClock_->Elapsed().AsSeconds());
            // Every animated part (body and fins) is lit by the normals of its current pose.
            for (std::int32_t a = 0; a < species.Animations->Count(); ++a) {
                auto* animated = dynamic_cast<TGLPrimiteveItemsAnimation*>(species.Animations->Get(a));
                if (animated && animated->Primitive) animated->Primitive->CalcNormals();
            }
        }
    }
    // One step of the same length for every tank.
    ForEachTank([this, dt] {
        bubbles_->Update(dt);
        for (int i = 0; i < builtSpecies_; ++i) species_[static_cast<std::size_t>(i)].Fishes->Update(dt);
    });
}

void TAquarium::StartFrame() {
    timeStep_ = ReadFrameClock() - lastTime_;
    lastTime_ = ReadFrameClock();
    fishDrawn_ = 0;
    shinePasses_ = 0;
}

void TAquarium::RenderScene() {
    StartFrame();
    DrawTank();
}

void TAquarium::DrawTank() {
    DrawBackground();
    for (int i = 0; i < builtSpecies_; ++i) {
        species_[static_cast<std::size_t>(i)].Fishes->Sort();
        DrawSpecies(species_[static_cast<std::size_t>(i)], 0);
    }
    for (int i = 0; i < builtSpecies_; ++i) DrawSpecies(species_[static_cast<std::size_t>(i)], 1);
    DrawBubbles();
}
