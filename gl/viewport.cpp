#include "gl/viewport.h"

#include "gl/gl_api.h"
#include "gl/vector_math.h"

TGLViewport::TGLViewport() {
    SetBounds(0, 0, 100, 100);
    SetFrustum(-1, 1, -1, 1, 1, 100);
    SetOrtho(-1, 1, -1, 1, 1, 100);
}

void TGLViewport::SetBounds(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height) {
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
}

void TGLViewport::SetFrustum(double left, double right, double bottom, double top, double zNear, double zFar) {
    frustum_ = {left, right, bottom, top, zNear, zFar};
}

void TGLViewport::SetOrtho(double left, double right, double bottom, double top, double zNear, double zFar) {
    ortho_ = {left, right, bottom, top, zNear, zFar};
}

void TGLViewport::SetPerspective(double fovY, double aspect, double zNear, double zFar) {
    const long double top = Tan(DegToRadL(fovY) / 2) * zNear;
    const long double right = aspect * top;
    SetFrustum(static_cast<double>(-right), static_cast<double>(right), static_cast<double>(-top),
               static_cast<double>(top), zNear, zFar);
}

namespace {

void Smoothing(GLenum hint, GLenum capability, bool on) {
    gl.Hint(hint, on ? GL_NICEST : GL_FASTEST);
    if (on)
        gl.Enable(capability);
    else
        gl.Disable(capability);
}

void Switch(GLenum capability, bool on) {
    if (on)
        gl.Enable(capability);
    else
        gl.Disable(capability);
}

}  // namespace

void TGLViewport::Apply() const {
    gl.Viewport(left_, top_, width_, height_);
    gl.MatrixMode(GL_PROJECTION);
    gl.LoadIdentity();
    const TGLClipBox& box = Perspective ? frustum_ : ortho_;
    if (Perspective)
        gl.Frustum(box.left, box.right, box.bottom, box.top, box.zNear, box.zFar);
    else
        gl.Ortho(box.left, box.right, box.bottom, box.top, box.zNear, box.zFar);
    const GLenum polygonModes[] = {GL_FILL, GL_LINE, GL_POINT};
    const auto mode = static_cast<std::uint8_t>(PolygonMode);
    gl.PolygonMode(GL_FRONT_AND_BACK, mode < 3 ? polygonModes[mode] : GL_FILL);
    gl.ShadeModel(ShadeModel == TGLShadeModel::FlatShading ? GL_FLAT : GL_SMOOTH);
    gl.Hint(GL_PERSPECTIVE_CORRECTION_HINT, PerspectiveCorrection ? GL_NICEST : GL_FASTEST);
    Smoothing(GL_POLYGON_SMOOTH_HINT, GL_POLYGON_SMOOTH, Antialias);
    Smoothing(GL_LINE_SMOOTH_HINT, GL_LINE_SMOOTH, Antialias);
    Smoothing(GL_POINT_SMOOTH_HINT, GL_POINT_SMOOTH, Antialias);
    Switch(GL_LIGHTING, Lighting);
    Switch(GL_DITHER, Dither);
    gl.MatrixMode(GL_MODELVIEW);
}
