#include "tools/artgen/textures.h"

#include <algorithm>
#include <cmath>

namespace art {

namespace {

constexpr float kTau = 6.2831853f;

// Height of the sand at a point of the tile (0..1 both ways): asymmetric ripples whose crests
// wander, plus low bumps.
float SandHeight(const SandStyle& s, float x, float y) {
    const float warp = 1.0f * PeriodicFbm(x * 3, y * 3, 3, 3, s.seed + 1);
    const float phase = kTau * (s.rippleX * x + s.rippleY * y) + kTau * warp;
    // Steep lee side, gentle stoss side.
    const float ripple = std::sin(phase) + 0.35f * std::sin(2 * phase) + 0.1f * std::sin(3 * phase);
    const float fade = 0.55f + 0.6f * PeriodicFbm(x * 2, y * 2, 2, 2, s.seed + 2);
    const float bumps = 0.8f * PeriodicFbm(x * 4, y * 4, 4, 4, s.seed + 3);
    return ripple * fade * 0.4f + bumps;
}

}  // namespace

Image MakeSand(const SandStyle& s, int size) {
    Image image(size, size);
    const float d = 1.0f / size;
    for (int py = 0; py < size; ++py) {
        for (int px = 0; px < size; ++px) {
            const float x = (px + 0.5f) * d, y = (py + 0.5f) * d;
            // Light from the upper left of the picture: the slope toward it brightens.
            const float slope = (SandHeight(s, x, y) - SandHeight(s, x + d, y + d)) * size / 40.0f;
            float shade = 0.82f + 0.6f * slope;
            const float tone = PeriodicFbm(x * 6, y * 6, 6, 4, s.seed + 4);
            Rgb c = Mix(s.dark, s.light, Clamp01(0.55f + 0.45f * tone));
            // Grains: a speckle per texel plus a few darker and lighter specks.
            const std::uint32_t h = Hash(px, py, s.seed);
            const float grain = (static_cast<float>(h & 0xFF) / 255.0f - 0.5f) * 0.16f;
            const Cells cells = PeriodicCells(x * 48, y * 48, 48, s.seed + 5);
            const std::uint32_t kind = Hash(static_cast<int>(std::floor(x * 48)), static_cast<int>(std::floor(y * 48)),
                                            s.seed + 6);
            const float speck = 1.0f - SmoothStep(0.08f, 0.2f, cells.f1);
            if ((kind & 7) == 0) c = Mix(c, s.dark * 0.55f, 0.7f * speck);
            if ((kind & 7) == 1) c = Mix(c, Hex(0xFFF8E8), 0.5f * speck);
            shade = std::clamp(shade + grain, 0.45f, 1.25f);
            image.At(px, py) = c * shade;
        }
    }
    return image;
}

Image MakeWaterSurface(const WaterStyle& s, int size) {
    Image image(size, size);
    for (int py = 0; py < size; ++py) {
        for (int px = 0; px < size; ++px) {
            const float x = (px + 0.5f) / size, y = (py + 0.5f) / size;
            const float wx = 0.35f * PeriodicFbm(x * 2, y * 2, 2, 3, s.seed + 1);
            const float wy = 0.35f * PeriodicFbm(x * 2, y * 2, 2, 3, s.seed + 2);
            const float v = PeriodicFbm((x + wx) * 3, (y + wy) * 3, 3, 5, s.seed + 3);
            const float patches = SmoothStep(-0.05f, 0.55f, v);
            const Cells cells = PeriodicCells((x + wx) * 7, (y + wy) * 7, 7, s.seed + 4);
            const float web = std::exp(-(cells.f2 - cells.f1) * 9.0f);
            Rgb c = Mix(s.deep, s.bright, Clamp01(0.15f + 0.75f * patches + 0.25f * web));
            image.At(px, py) = c;
        }
    }
    return image;
}

Image MakeCaustics(std::uint32_t seed, Rgb tint, int size) {
    Image image(size, size);
    for (int py = 0; py < size; ++py) {
        for (int px = 0; px < size; ++px) {
            const float x = (px + 0.5f) / size, y = (py + 0.5f) / size;
            float light = 0;
            const int periods[] = {5, 8};
            const float weights[] = {1.0f, 0.55f};
            for (int layer = 0; layer < 2; ++layer) {
                const int p = periods[layer];
                const std::uint32_t k = seed + 10u * static_cast<std::uint32_t>(layer);
                const float wx = 0.45f * PeriodicFbm(x * 3, y * 3, 3, 3, k + 1);
                const float wy = 0.45f * PeriodicFbm(x * 3, y * 3, 3, 3, k + 2);
                const Cells cells = PeriodicCells((x + wx / p * 2) * p, (y + wy / p * 2) * p, p, k + 3);
                const float e = cells.f2 - cells.f1;
                // Light gathers along the cell borders: thin bright filaments, softer halo.
                const float width = 0.045f * (1.0f + 0.6f * PeriodicFbm(x * 4, y * 4, 4, 2, k + 4));
                light += weights[layer] * (std::exp(-e * e / (width * width)) + 0.25f * std::exp(-e / 0.12f));
            }
            light = 1.0f - std::exp(-1.3f * light);
            image.At(px, py) = tint * light;
        }
    }
    return image;
}

Image MakeShine(int size) {
    const Image net = MakeCaustics(900, Rgb{1, 1, 1}, size);
    Image image(size, size);
    for (int py = 0; py < size; ++py) {
        for (int px = 0; px < size; ++px) {
            const float x = (px + 0.5f) / size * 2 - 1, y = (py + 0.5f) / size * 2 - 1;
            const float r = std::hypot(x, y);
            const float sky = Clamp01(1.0f - std::hypot(x + 0.25f, y + 0.35f) * 1.4f);
            const float v = 0.25f * sky + 0.75f * net.At(px, py).r * (1.0f - SmoothStep(0.7f, 1.0f, r));
            image.At(px, py) = Rgb{0.85f, 0.95f, 1.0f} * Clamp01(v + 0.6f * sky * sky);
        }
    }
    return image;
}

namespace {

// The bubble fills the middle of its square: a 200-unit square shows a bubble of about 110
// units, small beside a fish of 250.
constexpr float kBubbleRadius = 0.55f;

struct BubbleLook {
    float colourR, colourG, colourB, alpha;
};

BubbleLook BubbleAt(float x, float y) {
    const float r = std::hypot(x, y);
    if (r > 1.0f) return {1, 1, 1, 0};
    // A thin bright shell: seen edge-on near the rim, so the rim is the most opaque.
    const float rim = std::pow(r, 6.0f);
    const float edge = 1.0f - SmoothStep(0.92f, 1.0f, r);
    const float highlight = std::exp(-std::pow(std::hypot(x + 0.38f, y - 0.42f) / 0.17f, 2.0f));
    const float glint = 0.6f * std::exp(-std::pow(std::hypot(x - 0.42f, y + 0.45f) / 0.1f, 2.0f));
    const float inner = 0.18f + 0.1f * (0.5f - 0.5f * y);
    const float alpha = Clamp01((inner + 0.8f * rim + highlight + glint) * edge);
    const float bright = Clamp01(0.72f + 0.28f * rim + highlight + glint);
    return {bright * 0.9f, bright * 0.96f, bright, alpha};
}

template <typename Pick>
Image BubbleImage(int size, Pick pick) {
    Image image(size, size);
    for (int py = 0; py < size; ++py) {
        for (int px = 0; px < size; ++px) {
            Rgb sum;
            for (int s = 0; s < 16; ++s) {
                const float x = ((px + ((s & 3) + 0.5f) / 4) / size) * 2 - 1;
                const float y = 1 - ((py + ((s >> 2) + 0.5f) / 4) / size) * 2;
                sum = sum + pick(BubbleAt(x / kBubbleRadius, y / kBubbleRadius));
            }
            image.At(px, py) = sum * (1.0f / 16);
        }
    }
    return image;
}

}  // namespace

Image MakeBubbleColour(int size) {
    return BubbleImage(size, [](const BubbleLook& b) { return Rgb{b.colourR, b.colourG, b.colourB}; });
}

Image MakeBubbleAlpha(int size) {
    return BubbleImage(size, [](const BubbleLook& b) { return Rgb{b.alpha, b.alpha, b.alpha}; });
}

}  // namespace art
