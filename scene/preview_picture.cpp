#include "scene/preview_picture.h"

#include <algorithm>

#include "gl/gl_api.h"
#include "scene/resampled_picture.h"

namespace {

// The picture as a texture of power-of-two sizes; none when it cannot be read.
std::unique_ptr<TGLTexture> PictureTexture(const std::string& name) {
    std::vector<std::uint8_t> rows;
    std::int32_t width = 0, height = 0;
    if (!ResampledPicture(name, rows, width, height)) return nullptr;
    auto texture = std::make_unique<TGLTexture>();
    texture->SetSize(tfRGB, width, height);
    for (std::int32_t y = 0; y < height; ++y)
        std::copy_n(rows.data() + static_cast<std::size_t>(y) * width * 3, width * 3, texture->ScanLine(y));
    texture->SetRepeat(false);
    return texture;
}

}  // namespace

TPreviewPicture::~TPreviewPicture() {
    try {
        Release();
    } catch (...) {
    }
}

void TPreviewPicture::Start(IDrawingWindow& window, const std::string& installPath) {
    Release();
    assets_.PointAt(installPath);
    picture_ = PictureTexture(kPreviewPictureName);
    window_ = &window;
    device_ = window.AcquireDevice();
    engine_.SetDC(device_);
    engine_.ResetDefaults();
    engine_.Init();
    engine_.Activate();
}

void TPreviewPicture::Paint() {
    if (!device_ || !window_) return;
    gl.Viewport(0, 0, window_->ClientWidth(), window_->ClientHeight());
    gl.ClearColor(0, 0, 0, 1);
    gl.Clear(GL_COLOR_BUFFER_BIT);
    if (picture_) {
        gl.MatrixMode(GL_PROJECTION);
        gl.LoadIdentity();
        gl.MatrixMode(GL_MODELVIEW);
        gl.LoadIdentity();
        picture_->Bind();
        gl.Enable(GL_TEXTURE_2D);
        gl.Color4f(1, 1, 1, 1);
        // Rows are stored bottom first: t = 0 is the bottom of the picture.
        gl.Begin(GL_QUADS);
        gl.TexCoord2f(0, 0);
        gl.Vertex2f(-1, -1);
        gl.TexCoord2f(1, 0);
        gl.Vertex2f(1, -1);
        gl.TexCoord2f(1, 1);
        gl.Vertex2f(1, 1);
        gl.TexCoord2f(0, 1);
        gl.Vertex2f(-1, 1);
        gl.End();
        gl.Disable(GL_TEXTURE_2D);
    }
    engine_.CheckError();
    engine_.Swap(device_);
}

void TPreviewPicture::Release() {
    if (picture_ && engine_.Active()) picture_->DeleteName();
    picture_.reset();
    engine_.Deactivate();
    engine_.DestroyRC();
    if (device_ && window_) window_->ReleaseDevice(device_);
    engine_.SetDC(nullptr);
    device_ = nullptr;
    window_ = nullptr;
}
