#include "tools/artgen/fish.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <utility>

namespace art {

Vec3 EngineToFile(Vec3 e) { return {e.x, -e.z, e.y}; }

namespace {

constexpr float kPi = 3.14159265358979f;

// A smooth profile through control points: monotone cubic (no overshoot between points),
// constant beyond the ends.
class Curve {
public:
    Curve(std::initializer_list<std::pair<float, float>> points) : points_(points) {
        const std::size_t n = points_.size();
        slopes_.assign(n, 0.0f);
        std::vector<float> secant(n > 1 ? n - 1 : 0);
        for (std::size_t k = 0; k + 1 < n; ++k) {
            secant[k] = (points_[k + 1].second - points_[k].second) / (points_[k + 1].first - points_[k].first);
        }
        for (std::size_t k = 0; k < n; ++k) {
            if (k == 0) {
                slopes_[k] = secant.empty() ? 0 : secant[0];
            } else if (k == n - 1) {
                slopes_[k] = secant[k - 1];
            } else if (secant[k - 1] * secant[k] <= 0) {
                slopes_[k] = 0;
            } else {
                slopes_[k] = 2.0f / (1.0f / secant[k - 1] + 1.0f / secant[k]);
            }
        }
    }
    float operator()(float x) const {
        if (x <= points_.front().first) return points_.front().second;
        if (x >= points_.back().first) return points_.back().second;
        std::size_t k = 0;
        while (x > points_[k + 1].first) ++k;
        const float h = points_[k + 1].first - points_[k].first;
        const float t = (x - points_[k].first) / h;
        const float t2 = t * t, t3 = t2 * t;
        return (2 * t3 - 3 * t2 + 1) * points_[k].second + (t3 - 2 * t2 + t) * h * slopes_[k] +
               (-2 * t3 + 3 * t2) * points_[k + 1].second + (t3 - t2) * h * slopes_[k + 1];
    }

private:
    std::vector<std::pair<float, float>> points_;
    std::vector<float> slopes_;
};

struct MedianFin {
    float from, to;  // along the body, 0 snout .. 1 end of the tail stalk
    Curve height;    // height beyond the body outline
    float rake;      // how far the fin's outer edge sweeps back per unit of height
};

struct PairedFin {
    float at;      // position along the body
    float y;       // height of the base centre (pectoral) or ignored (pelvic: on the belly)
    float length;  // fin length
    float base;    // half length of the base
};

// Body coordinates: u runs from the snout (0) to the end of the tail stalk (1), y up, z to the
// fish's left; all in units of the body length. The engine's x is -u: the head points to +x.
struct Species {
    std::string baseName, textureName;
    float scale;  // engine units per body length
    int textureWidth, textureHeight;
    Curve top, bottom, width;
    MedianFin dorsal, anal;
    float caudalLength, caudalSpan, caudalShape;  // shape < 0 rounded, > 0 forked
    PairedFin pectoral, pelvic;
    float swim;  // tail-beat strength
    std::function<Rgb(const Species&, float u, float y)> paint;
    Rgb pairedFin, pairedEdge;  // the clear paired fins, painted in a corner of the image

};

// ---------------------------------------------------------------------------------------------
// Geometry

constexpr int kRing = 16;      // vertices around the body
constexpr int kStations = 24;  // rings along the body

// The corner patch in texture coordinates: a across the fin's base, b from root to edge.
constexpr float kPatchS0 = 0.875f, kPatchS1 = 0.98f, kPatchT0 = 0.85f, kPatchT1 = 0.98f;
Vec2 PatchUv(float a, float b) {
    return {kPatchS0 + 0.01f + a * (kPatchS1 - kPatchS0 - 0.02f), kPatchT1 - 0.01f - b * (kPatchT1 - kPatchT0 - 0.02f)};
}

struct Builder {
    const Species& sp;
    float phase;      // radians of the swim cycle
    float amplitude;  // 0: the rest pose used for texture mapping
    std::vector<Vec3> positions;
    std::vector<Vec2> patchUv;  // for paired-fin vertices: where in the corner patch they sit
    std::vector<char> onPatch;
    struct Tri {
        int a, b, c, material;
        Vec3 hint;  // a direction the front face should look to
        bool patch = false;
    };
    std::vector<Tri> tris;

    float TotalLength() const { return 1.0f + sp.caudalLength; }

    // Lateral offset of the travelling wave. Deep-bodied reef fish keep the front of the body
    // nearly still and beat with the rear and the tail, so the amplitude rises steeply toward
    // the tail and the wave is longer than the fish.
    float Wave(float u) const {
        const float xi = std::clamp(u / TotalLength(), 0.0f, 1.0f);
        const float a = 0.006f + 0.105f * std::pow(xi, 3.0f);
        return amplitude * sp.swim * a * std::sin(2 * kPi * xi * 0.75f - phase);
    }

    Vec3 ToEngine(float u, float y, float z) const {
        const float centre = 0.5f * TotalLength();
        return {sp.scale * (centre - u), sp.scale * y, sp.scale * z};
    }

    int Add(float u, float y, float z, float waveU) {
        patchUv.push_back({});
        onPatch.push_back(0);
        positions.push_back(ToEngine(u, y, z + Wave(waveU)));
        return static_cast<int>(positions.size()) - 1;
    }
    int Add(float u, float y, float z) { return Add(u, y, z, u); }

    void Triangle(int a, int b, int c, int material, Vec3 hint) { tris.push_back({a, b, c, material, hint, false}); }

    Vec3 Centroid(const Tri& t) const {
        return (positions[t.a] + positions[t.b] + positions[t.c]) * (1.0f / 3.0f);
    }

    void BuildBody() {
        std::vector<float> stations;
        for (int i = 1; i <= kStations; ++i) {
            const float s = static_cast<float>(i) / kStations;
            stations.push_back(0.75f * s + 0.25f * (0.5f - 0.5f * std::cos(kPi * s)));
        }
        const float tipY = 0.5f * (sp.top(0) + sp.bottom(0));
        const int tip = Add(0, tipY, 0);
        std::vector<int> previous;
        for (std::size_t i = 0; i < stations.size(); ++i) {
            const float u = stations[i];
            const float hi = sp.top(u), lo = sp.bottom(u);
            const float mid = 0.5f * (hi + lo), half = 0.5f * (hi - lo), w = sp.width(u);
            std::vector<int> ring;
            for (int j = 0; j < kRing; ++j) {
                const float th = 2 * kPi * static_cast<float>(j) / kRing;
                const float c = std::cos(th), s = std::sin(th);
                // Flat sides, thin back: fish are laterally compressed.
                const float side = std::copysign(std::pow(std::fabs(c), 0.7f), c) * (1.0f - 0.35f * s);
                ring.push_back(Add(u, mid + half * s, w * side));
            }
            const Vec3 axis = ToEngine(u, mid, 0);
            for (int j = 0; j < kRing; ++j) {
                const int j1 = (j + 1) % kRing;
                if (previous.empty()) {
                    Triangle(tip, ring[j], ring[j1], 1, {});
                    tris.back().hint = Centroid(tris.back()) - ToEngine(u + 0.05f, mid, 0);
                } else {
                    Triangle(previous[j], ring[j], ring[j1], 1, {});
                    tris.back().hint = Centroid(tris.back()) - axis;
                    Triangle(previous[j], ring[j1], previous[j1], 1, {});
                    tris.back().hint = Centroid(tris.back()) - axis;
                }
            }
            previous = std::move(ring);
        }
        const float endMid = 0.5f * (sp.top(1) + sp.bottom(1));
        const int cap = Add(1.015f, endMid, 0);
        for (int j = 0; j < kRing; ++j) {
            Triangle(previous[j], cap, previous[(j + 1) % kRing], 1, {});
            tris.back().hint = Centroid(tris.back()) - ToEngine(0.9f, endMid, 0);
        }
    }

    // A fin as a grid of columns (along its base) and rows (outward), built twice: one layer
    // facing the fish's left and one its right, with their own vertices so that each side gets
    // its own normals. fn(i, j) gives body coordinates and the point whose wave the vertex
    // follows.
    struct FinPoint {
        float u, y, z, waveU, extraZ;
    };
    // Paired fins (patch) take their texture from a corner of the image that the side view
    // leaves empty (above the snout) instead of the body colour behind them.
    void Sheet(int columns, int rows, const std::function<FinPoint(float, float)>& fn, float side,
               bool patch = false) {
        for (int layer = 0; layer < 2; ++layer) {
            const float facing = layer == 0 ? 1.0f : -1.0f;
            std::vector<int> index((columns + 1) * (rows + 1));
            for (int i = 0; i <= columns; ++i) {
                for (int j = 0; j <= rows; ++j) {
                    const float a = static_cast<float>(i) / columns, b = static_cast<float>(j) / rows;
                    const FinPoint p = fn(a, b);
                    const float thickness = 0.0025f * (1.0f - b) * facing;
                    const int v = Add(p.u, p.y, p.z + thickness + p.extraZ, p.waveU);
                    index[i * (rows + 1) + j] = v;
                    if (patch) {
                        onPatch[v] = 1;
                        patchUv[v] = PatchUv(a, b);
                    }
                }
            }
            const Vec3 hint{0, 0, facing * (side == 0 ? 1.0f : side)};
            for (int i = 0; i < columns; ++i) {
                for (int j = 0; j < rows; ++j) {
                    const int p00 = index[i * (rows + 1) + j], p01 = index[i * (rows + 1) + j + 1];
                    const int p10 = index[(i + 1) * (rows + 1) + j], p11 = index[(i + 1) * (rows + 1) + j + 1];
                    Triangle(p00, p10, p11, 2, hint);
                    tris.back().patch = patch;
                    Triangle(p00, p11, p01, 2, hint);
                    tris.back().patch = patch;
                }
            }
        }
    }

    void BuildFins() {
        const float flutter = amplitude * 0.012f;
        auto median = [&](const MedianFin& fin, float sign) {
            Sheet(11, 3,
                  [&, sign](float a, float b) {
                      const float u = fin.from + (fin.to - fin.from) * a;
                      const float h = fin.height(u);
                      const float edge = sign > 0 ? sp.top(u) : sp.bottom(u);
                      const float root = edge - sign * 0.25f * sp.width(u);
                      const float y = root + sign * b * (h + 0.25f * sp.width(u));
                      const float uu = u + fin.rake * h * b;
                      const float ripple = flutter * b * std::sin(4 * kPi * u - phase - (sign > 0 ? 0.6f : 1.4f));
                      return FinPoint{uu, y, 0, uu, ripple};
                  },
                  0);
        };
        median(sp.dorsal, 1);
        median(sp.anal, -1);

        // Tail fin: a fan behind the stalk, rows from its root to the trailing edge.
        const float endMid = 0.5f * (sp.top(1) + sp.bottom(1)), endHalf = 0.5f * (sp.top(1) - sp.bottom(1));
        Sheet(9, 4,
              [&](float a, float b) {
                  const float s = 2 * a - 1;
                  const float reach = sp.caudalLength * (1.0f + sp.caudalShape * (s * s - 0.35f));
                  const float rootY = endMid + s * endHalf * 0.85f;
                  const float tipY = endMid + s * sp.caudalSpan;
                  const float u = 0.97f + b * (reach + 0.03f);
                  const float y = rootY + (tipY - rootY) * std::pow(b, 0.8f);
                  const float flex = flutter * 1.5f * b * b * std::sin(phase + 2.2f);
                  return FinPoint{u, y, 0, u, flex};
              },
              0);

        // Pectoral fins: small fans behind the gills that open and close with the stroke.
        for (float side : {1.0f, -1.0f}) {
            const PairedFin& f = sp.pectoral;
            const float open = 0.45f + amplitude * 0.28f * std::sin(phase + (side > 0 ? 0.0f : kPi));
            Sheet(3, 3,
                  [&, side, open](float a, float b) {
                      const float s = 2 * a - 1;
                      const float reach = f.length * (1.0f - 0.45f * s * s) * b;
                      const float baseZ = side * sp.width(f.at) * 0.8f;
                      const float u = f.at + reach * std::cos(open);
                      const float y = f.y + s * f.base * (1.0f + 0.6f * b);
                      return FinPoint{u, y, baseZ + side * reach * std::sin(open), f.at, 0};
                  },
                  side, true);
        }
        // Pelvic fins: hang from the belly, pointing down and back.
        for (float side : {1.0f, -1.0f}) {
            const PairedFin& f = sp.pelvic;
            const float sway = amplitude * 0.05f * std::sin(phase + 1.0f);
            Sheet(2, 3,
                  [&, side, sway](float a, float b) {
                      const float s = 2 * a - 1;
                      const float baseU = f.at + s * f.base;
                      const float reach = f.length * b * (1.0f - 0.4f * s * s + 0.3f * s);
                      const float u = baseU + reach * 0.75f;
                      const float y = sp.bottom(f.at) + 0.3f * sp.width(f.at) - reach * 0.7f;
                      const float z = side * (0.4f * sp.width(f.at) + reach * (0.25f + sway));
                      return FinPoint{u, y, z, f.at, 0};
                  },
                  side, true);
        }
    }
};

Builder Build(const Species& sp, float phase, float amplitude) {
    Builder b{sp, phase, amplitude, {}, {}, {}, {}};
    b.BuildBody();
    b.BuildFins();
    return b;
}

// ---------------------------------------------------------------------------------------------
// Painting helpers, all in body coordinates.

float Band(float x, float centre, float halfWidth, float soft) {
    return 1.0f - SmoothStep(halfWidth - soft, halfWidth + soft, std::fabs(x - centre));
}

float Disc(float u, float y, float cu, float cy, float r, float soft) {
    return 1.0f - SmoothStep(r - soft, r + soft, std::hypot(u - cu, y - cy));
}

// Fraction of the way from the body outline to the fin's outer edge (above 1: beyond it).
float FinHeightFraction(const Species& sp, const MedianFin& fin, float u, float y, float sign) {
    const float edge = sign > 0 ? sp.top(u) : sp.bottom(u);
    const float beyond = sign * (y - edge);
    const float uRoot = u - fin.rake * beyond;  // undo the sweep
    const float h = fin.height(std::clamp(uRoot, fin.from, fin.to));
    return h > 1e-4f ? beyond / h : 2.0f;
}

// Beyond the body outline where a median fin actually grows (elsewhere the body colour goes
// on, so that the body's edge never picks up a fin's margin).
bool OnFin(const Species& sp, const MedianFin& fin, float u, float y, float sign) {
    return FinHeightFraction(sp, fin, u, y, sign) < 1.5f;
}

float Grain(float u, float y, std::uint32_t seed) {
    return PeriodicFbm(u * 40, y * 40, 4096, 3, seed);
}

// ----- Centropyge: flame-red oval, thin dark bars, dark-blue fin edges.
Rgb PaintCentropyge(const Species& sp, float u, float y) {
    const Rgb red = Hex(0xF0200C), flame = Hex(0xFF5A0A), gold = Hex(0xFF9A1E), bar = Hex(0x2A0610);
    const Rgb navy = Hex(0x1A1A78), blue = Hex(0x3050E0);
    const float hi = sp.top(std::clamp(u, 0.0f, 1.0f)), lo = sp.bottom(std::clamp(u, 0.0f, 1.0f));
    const float mid = 0.5f * (hi + lo);
    Rgb c;
    if (u > 0.985f) {  // tail fin
        const float t = Clamp01((u - 1.0f) / sp.caudalLength);
        c = Mix(red, flame, 0.4f + 0.3f * std::sin(y * 60));
        c = Mix(c, Hex(0xFF7A3A), 0.35f * t);
        return c * (1.0f + 0.05f * Grain(u, y, 7));
    }
    // Warm centre, deeper red toward the back, head top and tail.
    const float glow = Clamp01(1.0f - std::hypot((u - 0.45f) * 1.6f, (y - mid + 0.05f) * 2.6f));
    c = Mix(red, flame, glow);
    c = Mix(c, gold, 0.35f * glow * glow);
    if (y > hi - 0.005f && OnFin(sp, sp.dorsal, u, y, 1)) {  // dorsal fin
        const float f = FinHeightFraction(sp, sp.dorsal, u, y, 1);
        c = Mix(red, flame, 0.3f);
        c = Mix(c, blue, Band(f, 0.78f, 0.05f, 0.03f) * SmoothStep(0.55f, 0.8f, u));
        c = Mix(c, navy, SmoothStep(0.84f, 0.9f, f));
    } else if (y < lo + 0.005f && OnFin(sp, sp.anal, u, y, -1)) {  // anal fin and belly fins
        const float f = FinHeightFraction(sp, sp.anal, u, y, -1);
        c = Mix(red, flame, 0.45f);
        const float stripes = 0.5f + 0.5f * std::sin(f * 18.0f);
        c = Mix(c, blue, 0.6f * SmoothStep(0.75f, 0.95f, stripes) * SmoothStep(0.3f, 0.6f, f) *
                             SmoothStep(0.6f, 0.75f, u));
        c = Mix(c, navy, SmoothStep(0.82f, 0.9f, f));
    } else {
        // Thin dark bars, strongest on the upper body, fading toward the belly.
        const float up = SmoothStep(lo, hi, y);
        const float wobble = 0.006f * std::sin(y * 45.0f + u * 8);
        for (float at : {0.35f, 0.47f, 0.59f, 0.71f, 0.83f}) {
            const float strength = (0.25f + 0.75f * up) * (at > 0.8f ? 0.7f : 1.0f);
            c = Mix(c, bar, 0.85f * strength * Band(u + wobble, at, 0.008f, 0.004f));
        }
        // Gill cover edge and a faint blue rim.
        const float gill = 0.27f + 0.05f * (y - mid) * (y - mid) * 20;
        c = Mix(c, Hex(0xB0100A), 0.6f * Band(u, gill, 0.006f, 0.004f));
        // Eye: dark pupil, blue-black ring.
        const float eyeU = 0.15f, eyeY = mid + 0.06f;
        c = Mix(c, Hex(0x182060), Disc(u, y, eyeU, eyeY, 0.038f, 0.005f));
        c = Mix(c, Hex(0xE0C040), Disc(u, y, eyeU, eyeY, 0.028f, 0.004f));
        c = Mix(c, Hex(0x050505), Disc(u, y, eyeU, eyeY, 0.020f, 0.004f));
        c = Mix(c, Hex(0xFFFFFF), 0.8f * Disc(u, y, eyeU - 0.006f, eyeY + 0.007f, 0.005f, 0.003f));
        // Blue edge on the snout's lips.
        c = Mix(c, Hex(0x602040), 0.5f * Band(u, 0.02f, 0.015f, 0.01f));
    }
    return c * (1.0f + 0.06f * Grain(u, y, 3));
}

// ----- Chelmon: white, copper bands edged in black, long snout, eye-spot on the soft dorsal.
Rgb PaintChelmon(const Species& sp, float u, float y) {
    const Rgb white = Hex(0xF6F6F0), copper = Hex(0xFF8418), black = Hex(0x141010);
    const float uc = std::clamp(u, 0.0f, 1.0f);
    const float hi = sp.top(uc), lo = sp.bottom(uc), mid = 0.5f * (hi + lo);
    Rgb c = white;
    auto band = [&](float centre, float half, float slant) {
        const float x = u - centre - slant * (y - mid);
        const float core = Band(x, 0, half, 0.004f);
        const float outer = Band(x, 0, half + 0.011f, 0.003f);
        c = Mix(c, black, outer);
        c = Mix(c, copper, core);
    };
    if (u > 0.985f) {  // tail fin: clear with a thin dark line
        const float t = (u - 1.0f) / sp.caudalLength;
        c = Mix(white, Hex(0xE8EEF0), t);
        c = Mix(c, black, 0.8f * Band(t, 0.25f, 0.035f, 0.015f));
        c = Mix(c, Hex(0xF8D060), 0.4f * Band(t, 0.15f, 0.06f, 0.03f));
        return c;
    }
    // Snout: pale yellow with a copper stripe along the top.
    if (u < 0.2f) {
        c = Mix(Hex(0xF8EED0), copper, 0.75f * SmoothStep(mid, hi, y));
    }
    band(0.315f, 0.022f, -0.20f);  // through the eye
    band(0.48f, 0.03f, -0.15f);
    band(0.655f, 0.036f, -0.10f);
    band(0.825f, 0.028f, -0.05f);
    band(0.965f, 0.012f, 0.0f);  // on the tail stalk
    if (y > hi - 0.005f && OnFin(sp, sp.dorsal, u, y, 1)) {  // dorsal fin
        const float f = FinHeightFraction(sp, sp.dorsal, u, y, 1);
        c = Mix(c, white, 0.45f * SmoothStep(0.3f, 1.0f, f));
        // Eye-spot on the rear soft dorsal: black with a white ring.
        const float su = 0.925f, sy = hi + 0.075f;
        const float ring = Disc(u, y, su, sy, 0.05f, 0.004f);
        c = Mix(c, white, ring);
        c = Mix(c, black, Disc(u, y, su, sy, 0.04f, 0.004f));
        c = Mix(c, Hex(0x303848), 0.5f * Disc(u, y, su - 0.008f, sy + 0.008f, 0.012f, 0.006f));
    } else if (y < lo + 0.005f && OnFin(sp, sp.anal, u, y, -1)) {  // anal fin
        const float f = FinHeightFraction(sp, sp.anal, u, y, -1);
        c = Mix(c, white, 0.45f * SmoothStep(0.3f, 1.0f, f));
        c = Mix(c, black, 0.6f * Band(f, 0.86f, 0.025f, 0.015f) * SmoothStep(0.6f, 0.7f, u));
    } else {
        const float eyeU = 0.315f, eyeY = mid + 0.045f;
        c = Mix(c, Hex(0x101010), Disc(u, y, eyeU, eyeY, 0.024f, 0.004f));
        c = Mix(c, Hex(0xFFFFFF), 0.8f * Disc(u, y, eyeU - 0.005f, eyeY + 0.006f, 0.005f, 0.003f));
        c = Mix(c, Hex(0x202020), 0.7f * Band(u, 0.003f, 0.004f, 0.003f));  // mouth
    }
    return c * (1.0f + 0.04f * Grain(u, y, 5));
}

// ----- Zebrasoma: bright yellow disc, tall fins, small pointed snout, white tail spine.
Rgb PaintZebrasoma(const Species& sp, float u, float y) {
    const Rgb yellow = Hex(0xFFD808), deep = Hex(0xF8B800), light = Hex(0xFFEE50);
    const float uc = std::clamp(u, 0.0f, 1.0f);
    const float hi = sp.top(uc), lo = sp.bottom(uc), mid = 0.5f * (hi + lo);
    Rgb c;
    if (u > 0.985f) {
        const float t = (u - 1.0f) / sp.caudalLength;
        c = Mix(yellow, deep, 0.3f + 0.3f * t);
        return c * (1.0f + 0.05f * Grain(u, y, 9));
    }
    const float glow = Clamp01(1.0f - std::hypot((u - 0.45f) * 1.8f, (y - mid) * 2.2f));
    c = Mix(deep, yellow, 0.5f + 0.5f * glow);
    c = Mix(c, light, 0.35f * glow * glow);
    // Fine horizontal streaks on the flank.
    c = c * (1.0f - 0.05f * (0.5f + 0.5f * std::sin(y * 110.0f + 4 * std::sin(u * 9))));
    if (y > hi - 0.005f && OnFin(sp, sp.dorsal, u, y, 1)) {
        const float f = FinHeightFraction(sp, sp.dorsal, u, y, 1);
        c = Mix(yellow, deep, 0.25f + 0.2f * (0.5f + 0.5f * std::sin(u * 120.0f)));
        c = Mix(c, light, 0.4f * SmoothStep(0.85f, 1.0f, f));
    } else if (y < lo + 0.005f && OnFin(sp, sp.anal, u, y, -1)) {
        const float f = FinHeightFraction(sp, sp.anal, u, y, -1);
        c = Mix(yellow, deep, 0.25f + 0.2f * (0.5f + 0.5f * std::sin(u * 120.0f)));
        c = Mix(c, light, 0.4f * SmoothStep(0.85f, 1.0f, f));
    } else {
        // The white scalpel on the tail stalk, in a slightly darker socket.
        const float su = 0.895f, sy = mid + 0.005f;
        const float spine = 1.0f - SmoothStep(0.8f, 1.05f, std::hypot((u - su) / 0.045f, (y - sy) / 0.016f));
        c = Mix(c, Hex(0xC89000), Clamp01(1.0f - SmoothStep(0.9f, 1.35f, std::hypot((u - su) / 0.05f, (y - sy) / 0.022f))) * 0.7f);
        c = Mix(c, Hex(0xFFFFFF), spine);
        // Eye high on the head, dark with a yellow ring.
        const float eyeU = 0.19f, eyeY = mid + 0.09f;
        c = Mix(c, Hex(0x503010), Disc(u, y, eyeU, eyeY, 0.036f, 0.005f));
        c = Mix(c, Hex(0x080808), Disc(u, y, eyeU, eyeY, 0.024f, 0.004f));
        c = Mix(c, Hex(0xFFFFFF), 0.8f * Disc(u, y, eyeU - 0.006f, eyeY + 0.006f, 0.006f, 0.003f));
        // Small snout: darker lip.
        c = Mix(c, Hex(0xC08000), 0.6f * Band(u, 0.008f, 0.01f, 0.006f));
    }
    return c * (1.0f + 0.05f * Grain(u, y, 11));
}

// Paired fins: clear membrane with faint rays, tinted toward the edge.
Rgb PaintPatch(const Species& sp, float s, float t) {
    const float a = Clamp01((s - kPatchS0 - 0.01f) / (kPatchS1 - kPatchS0 - 0.02f));
    const float b = Clamp01((kPatchT1 - 0.01f - t) / (kPatchT1 - kPatchT0 - 0.02f));
    const float rays = 0.5f + 0.5f * std::cos(a * 2 * kPi * 5);
    Rgb c = sp.pairedFin * (1.0f - 0.12f * rays * b);
    return Mix(c, sp.pairedEdge, SmoothStep(0.6f, 0.95f, b));
}

std::vector<Species> AllSpecies() {
    std::vector<Species> all;
    all.push_back(Species{
        "centropyge", "centropyge.jpg", 190.0f, 256, 128,
        Curve{{0, 0.0f}, {0.035f, 0.07f}, {0.12f, 0.165f}, {0.25f, 0.245f}, {0.42f, 0.28f}, {0.58f, 0.265f},
              {0.75f, 0.2f}, {0.9f, 0.12f}, {1, 0.1f}},
        Curve{{0, -0.02f}, {0.035f, -0.075f}, {0.12f, -0.15f}, {0.25f, -0.225f}, {0.42f, -0.26f}, {0.58f, -0.245f},
              {0.75f, -0.18f}, {0.9f, -0.11f}, {1, -0.09f}},
        Curve{{0, 0.0f}, {0.05f, 0.05f}, {0.2f, 0.085f}, {0.4f, 0.095f}, {0.6f, 0.08f}, {0.8f, 0.05f}, {1, 0.03f}},
        MedianFin{0.3f, 0.99f,
                  Curve{{0.3f, 0.0f}, {0.36f, 0.09f}, {0.5f, 0.12f}, {0.7f, 0.15f}, {0.86f, 0.17f}, {0.95f, 0.11f},
                        {0.99f, 0.0f}},
                  0.35f},
        MedianFin{0.56f, 0.99f,
                  Curve{{0.56f, 0.0f}, {0.62f, 0.1f}, {0.8f, 0.15f}, {0.92f, 0.13f}, {0.99f, 0.0f}}, 0.4f},
        0.28f, 0.16f, -0.25f,
        PairedFin{0.31f, -0.03f, 0.15f, 0.035f},
        PairedFin{0.37f, 0, 0.14f, 0.025f},
        1.0f, PaintCentropyge, Hex(0xFF6A28), Hex(0xFFA050)});
    all.push_back(Species{
        "chelton", "chelton.jpg", 240.0f, 256, 256,
        Curve{{0, 0.012f}, {0.15f, 0.028f}, {0.21f, 0.075f}, {0.3f, 0.21f}, {0.42f, 0.33f}, {0.56f, 0.37f},
              {0.72f, 0.32f}, {0.87f, 0.18f}, {1, 0.085f}},
        Curve{{0, -0.008f}, {0.15f, -0.018f}, {0.21f, -0.055f}, {0.3f, -0.16f}, {0.42f, -0.26f}, {0.56f, -0.3f},
              {0.72f, -0.25f}, {0.87f, -0.14f}, {1, -0.075f}},
        Curve{{0, 0.008f}, {0.15f, 0.014f}, {0.25f, 0.045f}, {0.45f, 0.07f}, {0.65f, 0.06f}, {0.85f, 0.04f},
              {1, 0.025f}},
        MedianFin{0.4f, 0.99f,
                  Curve{{0.4f, 0.0f}, {0.46f, 0.1f}, {0.56f, 0.13f}, {0.7f, 0.15f}, {0.82f, 0.17f}, {0.93f, 0.15f},
                        {0.99f, 0.0f}},
                  0.35f},
        MedianFin{0.55f, 0.99f,
                  Curve{{0.55f, 0.0f}, {0.62f, 0.11f}, {0.76f, 0.14f}, {0.9f, 0.12f}, {0.99f, 0.0f}}, 0.4f},
        0.22f, 0.14f, -0.15f,
        PairedFin{0.42f, -0.04f, 0.13f, 0.03f},
        PairedFin{0.45f, 0, 0.16f, 0.02f},
        0.9f, PaintChelmon, Hex(0xF4F0E0), Hex(0xF8D890)});
    all.push_back(Species{
        "zebrasoma", "zebrasoma.jpg", 235.0f, 256, 256,
        Curve{{0, 0.0f}, {0.05f, 0.022f}, {0.1f, 0.05f}, {0.17f, 0.13f}, {0.26f, 0.25f}, {0.38f, 0.325f},
              {0.52f, 0.345f}, {0.68f, 0.3f}, {0.84f, 0.19f}, {1, 0.08f}},
        Curve{{0, -0.012f}, {0.05f, -0.032f}, {0.12f, -0.08f}, {0.25f, -0.21f}, {0.38f, -0.295f}, {0.52f, -0.325f},
              {0.68f, -0.28f}, {0.84f, -0.17f}, {1, -0.07f}},
        Curve{{0, 0.01f}, {0.1f, 0.04f}, {0.3f, 0.075f}, {0.5f, 0.075f}, {0.75f, 0.055f}, {1, 0.03f}},
        MedianFin{0.24f, 0.98f,
                  Curve{{0.24f, 0.0f}, {0.3f, 0.1f}, {0.45f, 0.17f}, {0.6f, 0.21f}, {0.75f, 0.21f}, {0.88f, 0.16f},
                        {0.98f, 0.0f}},
                  0.25f},
        MedianFin{0.4f, 0.98f,
                  Curve{{0.4f, 0.0f}, {0.46f, 0.12f}, {0.6f, 0.19f}, {0.75f, 0.19f}, {0.88f, 0.14f}, {0.98f, 0.0f}},
                  0.28f},
        0.24f, 0.18f, 0.15f,
        PairedFin{0.33f, -0.03f, 0.15f, 0.035f},
        PairedFin{0.38f, 0, 0.12f, 0.02f},
        0.9f, PaintZebrasoma, Hex(0xFFE030), Hex(0xFFF080)});
    return all;
}

// Texture coordinates: the rest pose seen from the side, its bounding box filling the image.
struct SideView {
    float minX, maxX, minY, maxY;
    Vec2 Map(Vec3 p) const { return {(p.x - minX) / (maxX - minX), (p.y - minY) / (maxY - minY)}; }
};

SideView MakeSideView(const std::vector<Vec3>& rest) {
    SideView v{1e9f, -1e9f, 1e9f, -1e9f};
    for (const Vec3& p : rest) {
        v.minX = std::min(v.minX, p.x);
        v.maxX = std::max(v.maxX, p.x);
        v.minY = std::min(v.minY, p.y);
        v.maxY = std::max(v.maxY, p.y);
    }
    const float mx = 0.02f * (v.maxX - v.minX), my = 0.02f * (v.maxY - v.minY);
    return {v.minX - mx, v.maxX + mx, v.minY - my, v.maxY + my};
}

// Marks the texels the rest pose's triangles cover (body 1, fins 0.5).
std::vector<float> Coverage(const Builder& rest, const std::vector<Vec2>& uv, int width, int height) {
    std::vector<float> cover(static_cast<std::size_t>(width) * height, 0.0f);
    for (const auto& t : rest.tris) {
        const Vec2 a = uv[t.a], b = uv[t.b], c = uv[t.c];
        auto px = [&](Vec2 p) { return Vec2{p.s * width, (1.0f - p.t) * height}; };
        const Vec2 pa = px(a), pb = px(b), pc = px(c);
        const int x0 = std::max(0, static_cast<int>(std::floor(std::min({pa.s, pb.s, pc.s}))));
        const int x1 = std::min(width - 1, static_cast<int>(std::ceil(std::max({pa.s, pb.s, pc.s}))));
        const int y0 = std::max(0, static_cast<int>(std::floor(std::min({pa.t, pb.t, pc.t}))));
        const int y1 = std::min(height - 1, static_cast<int>(std::ceil(std::max({pa.t, pb.t, pc.t}))));
        const float area = (pb.s - pa.s) * (pc.t - pa.t) - (pc.s - pa.s) * (pb.t - pa.t);
        if (std::fabs(area) < 1e-9f) continue;
        if (t.patch) continue;
        const float value = t.material == 1 ? 1.0f : 0.5f;
        for (int y = y0; y <= y1; ++y) {
            for (int x = x0; x <= x1; ++x) {
                const float qx = x + 0.5f, qy = y + 0.5f;
                const float w0 = ((pb.s - qx) * (pc.t - qy) - (pc.s - qx) * (pb.t - qy)) / area;
                const float w1 = ((pc.s - qx) * (pa.t - qy) - (pa.s - qx) * (pc.t - qy)) / area;
                const float w2 = 1 - w0 - w1;
                if (w0 >= -1e-4f && w1 >= -1e-4f && w2 >= -1e-4f) {
                    float& cell = cover[static_cast<std::size_t>(y) * width + x];
                    cell = std::max(cell, value);
                }
            }
        }
    }
    return cover;
}

}  // namespace

std::vector<FishArt> MakeFishes() {
    std::vector<FishArt> fishes;
    for (const Species& sp : AllSpecies()) {
        FishArt art{sp.baseName, sp.textureName, {}, Image(sp.textureWidth, sp.textureHeight), {}};
        const Builder rest = Build(sp, 0, 0);
        // Winding from the rest pose, where every hint is reliable; all poses share it.
        std::vector<std::array<int, 3>> faces;
        std::vector<int> materials;
        for (const auto& t : rest.tris) {
            const Vec3 n = Cross(rest.positions[t.b] - rest.positions[t.a], rest.positions[t.c] - rest.positions[t.a]);
            faces.push_back(Dot(n, t.hint) >= 0 ? std::array<int, 3>{t.a, t.b, t.c} : std::array<int, 3>{t.a, t.c, t.b});
            materials.push_back(t.material);
        }
        const SideView view = MakeSideView(rest.positions);
        std::vector<Vec2> uv;
        for (std::size_t i = 0; i < rest.positions.size(); ++i) {
            uv.push_back(rest.onPatch[i] ? rest.patchUv[i] : view.Map(rest.positions[i]));
        }
        for (int k = 0; k < kPoseCount; ++k) {
            // Pose k is phase k/5 of the cycle, so the last pose repeats the first.
            const float phase = 2 * kPi * static_cast<float>(k % (kPoseCount - 1)) / (kPoseCount - 1);
            const Builder pose = Build(sp, phase, 1);
            art.poses.push_back(Mesh{pose.positions, uv, faces, materials});
        }
        // Paint the side view: each texel shows what lies at its place on the rest pose.
        const float centre = 0.5f * rest.TotalLength();
        for (int y = 0; y < art.texture.Height(); ++y) {
            for (int x = 0; x < art.texture.Width(); ++x) {
                Rgb sum;
                for (int sy = 0; sy < 4; ++sy) {
                    for (int sx = 0; sx < 4; ++sx) {
                        const float s = (x + 0.125f + 0.25f * sx) / art.texture.Width();
                        const float t = 1.0f - (y + 0.125f + 0.25f * sy) / art.texture.Height();
                        const float ex = view.minX + s * (view.maxX - view.minX);
                        const float ey = view.minY + t * (view.maxY - view.minY);
                        sum = sum + (s > kPatchS0 && t > kPatchT0 ? PaintPatch(sp, s, t)
                                                                   : sp.paint(sp, centre - ex / sp.scale, ey / sp.scale));
                    }
                }
                art.texture.At(x, y) = sum * (1.0f / 16);
            }
        }
        art.aspect = (view.maxY - view.minY) / (view.maxX - view.minX);
        art.coverage = Coverage(rest, uv, art.texture.Width(), art.texture.Height());
        fishes.push_back(std::move(art));
    }
    return fishes;
}

}  // namespace art
