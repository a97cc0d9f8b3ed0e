#pragma once
// The desktop's small preview: the dialog picture stretched over the preview window, drawn
// when the window asks to be painted. No scene is built for it.
#include <memory>
#include <string>

#include "gl/opengl_engine.h"
#include "gl/texture.h"
#include "scene/drawing_window.h"
#include "scene/scene_assets.h"

inline constexpr const char* kPreviewPictureName = "background.jpg";

class IPreviewPicture {
public:
    virtual ~IPreviewPicture() = default;
    virtual void Start(IDrawingWindow& window, const std::string& installPath) = 0;
    virtual void Paint() = 0;
    virtual void Release() = 0;
};

class TPreviewPicture final : public IPreviewPicture {
public:
    TPreviewPicture(ISceneAssets& assets, ILibraryLoader& libraries)
        : assets_(assets), engine_(libraries) {}
    ~TPreviewPicture() override;

    void Start(IDrawingWindow& window, const std::string& installPath) override;
    void Paint() override;
    void Release() override;

private:
    ISceneAssets& assets_;
    TOpenGLEngine engine_;
    std::unique_ptr<TGLTexture> picture_;
    IDrawingWindow* window_ = nullptr;
    IGLDevice* device_ = nullptr;
};
