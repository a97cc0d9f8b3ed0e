#pragma once
// The scene's pictures: tiling sand, water surface and caustics for each theme, the shine map,
// the bubble's colour and alpha images.
#include <cstdint>

#include "tools/artgen/image.h"

namespace art {

struct SandStyle {
    std::uint32_t seed;
    Rgb light, dark;
    int rippleX, rippleY;  // whole ripple crests across the tile, so it repeats
};
Image MakeSand(const SandStyle& style, int size);

struct WaterStyle {
    std::uint32_t seed;
    Rgb deep, bright;
};
Image MakeWaterSurface(const WaterStyle& style, int size);

Image MakeCaustics(std::uint32_t seed, Rgb tint, int size);
Image MakeShine(int size);

// Colour and alpha images of one bubble; the import takes alpha as the mean of R, G and B.
Image MakeBubbleColour(int size);
Image MakeBubbleAlpha(int size);

}  // namespace art
