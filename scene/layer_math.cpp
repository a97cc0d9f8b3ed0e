#include "scene/layer_math.h"

#include <algorithm>
#include <cmath>

#include "gl/vector_math.h"

namespace {

Colour Blend(Colour clear, Colour full, float f) {
    auto mix = [f](float a, float b) {
        float v = a + (b - a) * f;
        if (v > 1.0f) v = 1.0f;
        if (v < 0.001f) v = 0.0f;
        return v;
    };
    return {mix(clear.r, full.r), mix(clear.g, full.g), mix(clear.b, full.b), mix(clear.a, full.a)};
}

}  // namespace

void FadeColors(const TGLVectorDArray& vertices, TGLColorDArray& colors, Colour clear, Colour full, float nearZ,
                float farZ) {
    if (vertices.Count() != colors.Count() || std::fabs(nearZ - farZ) < 0.01f) return;
    const bool decreasing = nearZ >= farZ;  // depths run toward -z
    const Vector* v = vertices.Items();
    Colour* c = colors.Items();
    for (int i = 0; i < vertices.Count(); ++i) {
        const float z = v[i].z;
        const bool beforeNear = decreasing ? z > nearZ : z < nearZ;
        const bool beyondFar = decreasing ? z <= farZ : z >= farZ;
        if (beforeNear)
            c[i] = clear;
        else if (beyondFar)
            c[i] = full;
        else
            c[i] = Blend(clear, full, std::fabs((z - nearZ) / (farZ - nearZ)));
    }
}

void ScrollTextureCoords(TGLTextureCoordDArray& coords, float ds, float dt) {
    for (auto& c : coords.View()) {
        c.s += ds;
        c.t += dt;
    }
}

std::array<Vector, 4> BackdropVertices(float fieldOfView, float farDistance, int windowWidth, int windowHeight,
                                       float surfaceY, float bottomY) {
    const auto h = static_cast<float>(Tan(DegToRad(fieldOfView) / 2.0f) * farDistance);
    // A zero-height window is treated as one pixel high, like the particle containers do.
    const float w = static_cast<float>(windowWidth) * h / static_cast<float>(windowHeight > 0 ? windowHeight : 1);
    return {{{-w, surfaceY, -farDistance}, {-w, bottomY, -farDistance}, {w, bottomY, -farDistance},
             {w, surfaceY, -farDistance}}};
}

TLayerTiles LayerTiles(const TGLVectorDArray& vertices, float fieldOfView, double aspect) {
    if (vertices.Count() == 0) return {};
    float minX = vertices.Items()[0].x, maxX = minX, depth = 0;
    for (const Vector& v : vertices.View()) {
        minX = std::min(minX, v.x);
        maxX = std::max(maxX, v.x);
        depth = std::max(depth, -v.z);
    }
    const double width = static_cast<double>(maxX) - minX;
    if (!(width > 0) || !(aspect > 0)) return {};
    const double half = Tan(DegToRad(fieldOfView) / 2.0f) * depth * aspect;
    // No view needs more than a few; a nonsense aspect must not loop for ever.
    auto copies = [&](double uncovered) {
        return static_cast<std::int32_t>(std::clamp(std::ceil(uncovered / width), 0.0, 64.0));
    };
    return {static_cast<float>(width), copies(half + minX), copies(half - maxX)};
}
