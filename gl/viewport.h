#pragma once
// TGLViewport: the window rectangle, the projection and the global rasterisation switches,
// all sent on every Apply.
#include <cstdint>

enum class TGLPolygonMode : std::uint8_t { Fill = 0, Line = 1, Point = 2 };
enum class TGLShadeModel : std::uint8_t { FlatShading = 0, SmoothShading = 1 };

struct TGLClipBox {
    double left, right, bottom, top, zNear, zFar;
};

class TGLViewport {
public:
    TGLViewport();

    bool Perspective = true;
    bool PerspectiveCorrection = true;
    bool Lighting = false;
    TGLPolygonMode PolygonMode = TGLPolygonMode::Fill;
    bool Dither = false;
    TGLShadeModel ShadeModel = TGLShadeModel::SmoothShading;
    bool Antialias = false;

    std::int32_t Left() const { return left_; }
    std::int32_t Top() const { return top_; }
    std::int32_t Width() const { return width_; }
    std::int32_t Height() const { return height_; }
    const TGLClipBox& Ortho() const { return ortho_; }
    const TGLClipBox& Frustum() const { return frustum_; }

    void SetBounds(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height);
    void SetFrustum(double left, double right, double bottom, double top, double zNear, double zFar);
    void SetOrtho(double left, double right, double bottom, double top, double zNear, double zFar);
    // Frustum from a vertical field of view in degrees and a width-to-height ratio; a zero
    // height gives an infinite aspect, which OpenGL reports at the next CheckError.
    void SetPerspective(double fovY, double aspect, double zNear, double zFar);
    // Sends everything; leaves the matrix mode at model-view without touching that matrix.
    void Apply() const;

private:
    std::int32_t left_ = 0, top_ = 0, width_ = 100, height_ = 100;
    TGLClipBox ortho_{};
    TGLClipBox frustum_{};
};
