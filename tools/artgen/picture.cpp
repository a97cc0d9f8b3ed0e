#include "tools/artgen/picture.h"

#include <algorithm>
#include <cmath>

namespace art {

namespace {

constexpr int kWidth = 150, kHeight = 110;
constexpr int kHorizon = 62;

// Draws an image with a coverage (alpha) source into a box of the picture, supersampled.
template <typename Alpha>
void Sprite(Image& out, const Image& source, Alpha alphaAt, float left, float top, float width, float height,
            bool mirror, Rgb tint, float fog, Rgb fogColour) {
    const int x0 = std::max(0, static_cast<int>(left)), x1 = std::min(kWidth - 1, static_cast<int>(left + width) + 1);
    const int y0 = std::max(0, static_cast<int>(top)), y1 = std::min(kHeight - 1, static_cast<int>(top + height) + 1);
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            Rgb colour;
            float alpha = 0;
            for (int s = 0; s < 16; ++s) {
                const float fx = ((x + ((s & 3) + 0.5f) / 4) - left) / width;
                const float fy = ((y + ((s >> 2) + 0.5f) / 4) - top) / height;
                if (fx < 0 || fx >= 1 || fy < 0 || fy >= 1) continue;
                const float u = mirror ? 1 - fx : fx;
                const int sx = std::min(source.Width() - 1, static_cast<int>(u * source.Width()));
                const int sy = std::min(source.Height() - 1, static_cast<int>(fy * source.Height()));
                const float a = alphaAt(sx, sy);
                colour = colour + source.At(sx, sy) * a;
                alpha += a;
            }
            if (alpha <= 0) continue;
            Rgb c = colour * (1.0f / alpha) * tint;
            c = Mix(c, fogColour, fog);
            out.At(x, y) = Mix(out.At(x, y), c, alpha / 16);
        }
    }
}

}  // namespace

Image MakeDialogPicture(const std::vector<FishArt>& fishes, const Image& sand, const Image& caustics,
                        const Image& bubbleColour, const Image& bubbleAlpha) {
    Image out(kWidth, kHeight);
    const Rgb upper = Hex(0x2C8CD2), lower = Hex(0x005890), far = Hex(0x0A6AA0);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            Rgb c;
            if (y < kHorizon) {
                const float t = static_cast<float>(y) / kHorizon;
                c = Mix(upper, far, t);
                // Shafts of light from the surface, slanting a little.
                const float shaft = 0.5f + 0.5f * std::sin((x + y * 0.35f) * 0.16f + std::sin(x * 0.05f) * 2);
                c = c + Rgb{0.1f, 0.14f, 0.16f} * (std::pow(shaft, 6.0f) * (1 - t));
            } else {
                // The sand in perspective, fading into the water colour toward the horizon.
                const float depth = 1400.0f / (y - kHorizon + 0.5f);
                const float wx = (x - kWidth * 0.5f) * depth / 60.0f;
                const float sx = wx * sand.Width() / 900.0f, sy = depth * sand.Height() / 900.0f * 20;
                Rgb ground = sand.SampleWrapped(sx, sy);
                ground = ground + caustics.SampleWrapped(sx * 0.6f + 40, sy * 0.6f) * 0.35f;
                ground = ground * Rgb{0.82f, 0.92f, 0.98f};
                const float fog = SmoothStep(6.0f, 160.0f, depth);
                c = Mix(ground, Mix(lower, far, 0.5f + 0.5f * fog), 0.25f + 0.75f * fog);
            }
            out.At(x, y) = c;
        }
    }
    // Bubble streams rising from the sand.
    const float streams[][3] = {{22, 98, 1.0f}, {118, 86, 0.8f}, {132, 92, 0.9f}};
    for (const auto& st : streams) {
        for (int k = 0; k < 7; ++k) {
            const float size = (7.5f + k * 0.8f) * st[2];
            const float y = st[1] - k * 13.0f - (k % 2) * 3;
            const float x = st[0] + std::sin(k * 1.7f) * 2.0f;
            Sprite(out, bubbleColour, [&](int sx, int sy) { return bubbleAlpha.At(sx, sy).r; }, x, y, size, size,
                   false, Rgb{0.85f, 0.95f, 1.0f}, 0, {});
        }
    }
    // One fish of each species, far to near.
    struct Placement {
        std::size_t species;
        float left, top, width;
        bool mirror;
        float fog;
    };
    const Placement placements[] = {
        {1, 92, 10, 46, true, 0.25f},
        {0, 12, 18, 44, false, 0.1f},
        {2, 62, 44, 58, false, 0.0f},
    };
    for (const Placement& p : placements) {
        if (p.species >= fishes.size()) continue;
        const FishArt& fish = fishes[p.species];
        const Image& tex = fish.texture;
        const float height = p.width * fish.aspect;
        Sprite(out, tex,
               [&](int sx, int sy) {
                   const float c = fish.coverage[static_cast<std::size_t>(sy) * tex.Width() + sx];
                   return c >= 1 ? 1.0f : c * 1.6f;
               },
               p.left, p.top, p.width, height, p.mirror, Rgb{0.95f, 0.97f, 1.0f}, p.fog, far);
    }
    return out;
}

}  // namespace art
