#pragma once
// Per-frame arithmetic of the background layers, on the primitives' own arrays.
#include <array>
#include <cstdint>

#include "gl/arrays.h"

// Colours each vertex by its depth: clear before near, full beyond far, a clamped blend between.
// Does nothing when the counts differ or near and far are (nearly) equal.
void FadeColors(const TGLVectorDArray& vertices, TGLColorDArray& colors, Colour clear, Colour full, float nearZ,
                float farZ);

// Moves every texture coordinate by (ds, dt).
void ScrollTextureCoords(TGLTextureCoordDArray& coords, float ds, float dt);

// The backdrop quad at farDistance, exactly as wide as the view there: top-left, bottom-left,
// bottom-right, top-right.
std::array<Vector, 4> BackdropVertices(float fieldOfView, float farDistance, int windowWidth, int windowHeight,
                                       float surfaceY, float bottomY);

// A layer and the copies of it, each moved by the layer's width, that a view needs on either side
// to see the layer up to its own edges. The view (vertical field of view fieldOfView in degrees,
// width over height aspect) is widest at the layer's far end; a view the layer spans needs none.
struct TLayerTiles {
    float Width = 0;
    std::int32_t Left = 0, Right = 0;
};
TLayerTiles LayerTiles(const TGLVectorDArray& vertices, float fieldOfView, double aspect);
