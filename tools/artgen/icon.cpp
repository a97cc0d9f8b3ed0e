#include "tools/artgen/icon.h"

#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <stdexcept>

#include "tools/artgen/image.h"

namespace art {
namespace {

struct P {
    float x, y;
};

P operator-(P a, P b) { return {a.x - b.x, a.y - b.y}; }
float Dot(P a, P b) { return a.x * b.x + a.y * b.y; }
float Length(P a) { return std::sqrt(Dot(a, a)); }

// Signed distances in the unit square (x right, y down): negative inside.
float RoundedSquare(P p, float margin, float radius) {
    const float half = 0.5f - margin - radius;
    const float qx = std::fabs(p.x - 0.5f) - half, qy = std::fabs(p.y - 0.5f) - half;
    const float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
    return outside + std::min(std::max(qx, qy), 0.0f) - radius;
}

float Ellipse(P p, P centre, float rx, float ry) {
    const P q = p - centre;
    return (std::hypot(q.x / rx, q.y / ry) - 1.0f) * std::min(rx, ry);
}

float Circle(P p, P centre, float r) { return Length(p - centre) - r; }

template <std::size_t N>
float Polygon(P p, const P (&v)[N]) {
    float d = Dot(p - v[0], p - v[0]), sign = 1.0f;
    for (std::size_t i = 0, j = N - 1; i < N; j = i++) {
        const P e = v[j] - v[i], w = p - v[i];
        const float t = std::clamp(Dot(w, e) / Dot(e, e), 0.0f, 1.0f);
        const P b{w.x - e.x * t, w.y - e.y * t};
        d = std::min(d, Dot(b, b));
        const bool c1 = p.y >= v[i].y, c2 = p.y < v[j].y, c3 = e.x * w.y > e.y * w.x;
        if ((c1 && c2 && c3) || (!c1 && !c2 && !c3)) sign = -sign;
    }
    return sign * std::sqrt(d);
}

struct Rgba {
    Rgb colour;
    float alpha;
};

// The fish's parts, the fins rounded off by a small radius.
constexpr P kDorsal[] = {{0.31f, 0.43f}, {0.37f, 0.27f}, {0.50f, 0.24f}, {0.63f, 0.39f}};
constexpr P kAnal[] = {{0.33f, 0.63f}, {0.40f, 0.78f}, {0.51f, 0.79f}, {0.60f, 0.66f}};
constexpr P kTail[] = {{0.25f, 0.53f}, {0.08f, 0.35f}, {0.14f, 0.53f}, {0.08f, 0.71f}};
constexpr P kBody{0.47f, 0.53f};
constexpr float kBodyRx = 0.27f, kBodyRy = 0.185f;

float Fins(P p) { return std::min({Polygon(p, kDorsal), Polygon(p, kAnal), Polygon(p, kTail)}) - 0.012f; }
float Body(P p) { return Ellipse(p, kBody, kBodyRx, kBodyRy); }

// One sample of the picture at p; size (pixels across the unit square) says which details are
// big enough to show. On the tile the picture ends at the unit square; the setup's side picture
// shows the water above it too, with the bubbles rising to the surface.
Rgba Sample(P p, int size, bool tile) {
    const float pixel = 1.0f / static_cast<float>(size);
    if (tile && RoundedSquare(p, 0.02f, 0.19f) > 0) return {{0, 0, 0}, 0};
    // The water: light near the surface, the first theme's blue below.
    Rgb c = Mix(Hex(0x6CC0EC), Hex(0x0A5E94), SmoothStep(0.0f, 1.0f, p.y));
    if (size >= 32) {
        // Slanted shafts of light from the surface.
        const float shaft = std::sin((p.x + 0.45f * p.y) * 19.0f);
        c = Mix(c, Hex(0xCDEBFF), 0.13f * SmoothStep(0.55f, 1.0f, shaft) * (1.0f - p.y));
    }
    // The sand, with a ripple along its top.
    const float sandTop = 0.85f + 0.02f * std::sin(p.x * 11.0f + 0.6f);
    if (p.y > sandTop) c = Mix(Hex(0xE6DCC0), Hex(0xB8A67E), SmoothStep(sandTop, 1.0f, p.y));

    if (size >= 32) {
        // Bubbles rising above the head: a faint fill, a bright rim, a glint.
        const struct {
            P centre;
            float r;
        } bubbles[] = {{{0.81f, 0.31f}, 0.050f}, {{0.87f, 0.18f}, 0.037f}, {{0.79f, 0.09f}, 0.027f},
                       {{0.84f, -0.05f}, 0.030f}, {{0.77f, -0.22f}, 0.024f}, {{0.83f, -0.41f}, 0.020f},
                       {{0.76f, -0.60f}, 0.017f}, {{0.81f, -0.78f}, 0.014f}};
        const float rim = std::max(0.012f, 1.1f * pixel);
        for (const auto& b : bubbles) {
            if (tile && b.centre.y < 0) continue;
            const float d = Circle(p, b.centre, b.r);
            if (d < 0) c = Mix(c, Hex(0xFFFFFF), 0.18f);
            if (std::fabs(d + rim * 0.5f) < rim * 0.5f) c = Mix(c, Hex(0xF4FAFF), 0.85f);
            if (Circle(p, {b.centre.x + b.r * 0.35f, b.centre.y - b.r * 0.35f}, b.r * 0.25f) < 0) c = Hex(0xFFFFFF);
        }
    }

    // The fish, in a dark outline that keeps it apart from the water at every size.
    const float fins = Fins(p), body = Body(p);
    const float outline = std::max(0.012f, 0.9f * pixel);
    if (std::min(fins, body) < outline) c = Hex(0x0C2C4C);
    if (fins < 0) c = Mix(Hex(0xFFDC20), Hex(0xF0B400), SmoothStep(0.2f, 0.8f, p.y));
    if (body < outline && body >= 0 && fins < 0) c = Hex(0xD89A00);  // the body's edge over the fins
    if (body < 0) {
        c = Mix(Hex(0xFFF070), Hex(0xF8B800), SmoothStep(0.36f, 0.72f, p.y));
        if (size >= 32) {
            // The gill's arc behind the eye.
            const float gill = std::fabs(Circle(p, {0.70f, 0.53f}, 0.12f));
            if (gill < std::max(0.008f, 0.6f * pixel) && p.x < 0.62f) c = Mix(c, Hex(0xD89A00), 0.7f);
        }
        if (size >= 48 && Ellipse(p, {0.25f, 0.535f}, 0.03f, 0.011f) < 0) c = Hex(0xFFFFFF);  // the tail spine
        // The eye, at least two pixels across, with a glint from 32 pixels up.
        const P eye{0.635f, 0.48f};
        if (Circle(p, eye, std::max(0.045f, pixel)) < 0) c = Hex(0x2A1A08);
        if (size >= 32 && Circle(p, eye, 0.030f) < 0) c = Hex(0x050505);
        if (size >= 32 && Circle(p, {eye.x - 0.012f, eye.y - 0.012f}, 0.011f) < 0) c = Hex(0xFFFFFF);
    }
    return {c, 1};
}

void PngToVector(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void Put16(std::vector<std::uint8_t>& out, unsigned v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void Put32(std::vector<std::uint8_t>& out, unsigned v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// BITMAPINFOHEADER (height doubled for the mask), BGRA rows bottom first, then the mask: one bit
// a pixel, set where it is clear, rows padded to 32 bits.
std::vector<std::uint8_t> IconBitmap(int size, const std::vector<std::uint8_t>& rgba) {
    const unsigned maskRow = static_cast<unsigned>((size + 31) / 32 * 4);
    std::vector<std::uint8_t> out;
    Put32(out, 40);
    Put32(out, static_cast<unsigned>(size));
    Put32(out, static_cast<unsigned>(size * 2));
    Put16(out, 1);
    Put16(out, 32);
    Put32(out, 0);
    Put32(out, static_cast<unsigned>(size * size * 4) + maskRow * static_cast<unsigned>(size));
    for (int i = 0; i < 4; ++i) Put32(out, 0);
    for (int y = size - 1; y >= 0; --y) {
        for (int x = 0; x < size; ++x) {
            const std::uint8_t* px = &rgba[(static_cast<std::size_t>(y) * size + x) * 4];
            out.insert(out.end(), {px[2], px[1], px[0], px[3]});
        }
    }
    for (int y = size - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(maskRow, 0);
        for (int x = 0; x < size; ++x)
            if (rgba[(static_cast<std::size_t>(y) * size + x) * 4 + 3] == 0) row[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) throw std::runtime_error("cannot write " + path);
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (std::fclose(file) != 0 || !written) throw std::runtime_error("cannot write " + path);
}

}  // namespace

std::vector<std::uint8_t> DrawIcon(int size) {
    // Supersampled: 8 x 8 samples a pixel for the small sizes, 4 x 4 for the large one.
    const int n = size >= 128 ? 4 : 8;
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(size) * size * 4);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            Rgb sum;
            float alpha = 0;
            for (int j = 0; j < n; ++j) {
                for (int i = 0; i < n; ++i) {
                    const P p{(x + (i + 0.5f) / n) / size, (y + (j + 0.5f) / n) / size};
                    const Rgba s = Sample(p, size, true);
                    sum = sum + s.colour * s.alpha;
                    alpha += s.alpha;
                }
            }
            std::uint8_t* px = &rgba[(static_cast<std::size_t>(y) * size + x) * 4];
            const Rgb c = alpha > 0 ? sum * (1.0f / alpha) : Rgb{};
            px[0] = static_cast<std::uint8_t>(std::lround(Clamp01(c.r) * 255));
            px[1] = static_cast<std::uint8_t>(std::lround(Clamp01(c.g) * 255));
            px[2] = static_cast<std::uint8_t>(std::lround(Clamp01(c.b) * 255));
            px[3] = static_cast<std::uint8_t>(std::lround(alpha / (n * n) * 255));
        }
    }
    return rgba;
}

std::vector<std::uint8_t> EncodePngRgba(int width, int height, const std::vector<std::uint8_t>& rgba) {
    std::vector<std::uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        throw std::runtime_error("PNG error writing the icon");
    }
    png_set_write_fn(png, &out, PngToVector, nullptr);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y) png_write_row(png, &rgba[static_cast<std::size_t>(y) * width * 4]);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

std::vector<std::uint8_t> EncodeIco(const std::vector<int>& sizes) {
    std::vector<std::vector<std::uint8_t>> images;
    for (const int size : sizes) {
        const std::vector<std::uint8_t> rgba = DrawIcon(size);
        images.push_back(size >= 256 ? EncodePngRgba(size, size, rgba) : IconBitmap(size, rgba));
    }
    std::vector<std::uint8_t> out;
    Put16(out, 0);
    Put16(out, 1);  // an icon, not a cursor
    Put16(out, static_cast<unsigned>(sizes.size()));
    unsigned offset = 6 + 16 * static_cast<unsigned>(sizes.size());
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        const std::uint8_t side = sizes[i] >= 256 ? 0 : static_cast<std::uint8_t>(sizes[i]);  // 0 means 256
        out.insert(out.end(), {side, side, 0, 0});
        Put16(out, 1);
        Put16(out, 32);
        Put32(out, static_cast<unsigned>(images[i].size()));
        Put32(out, offset);
        offset += static_cast<unsigned>(images[i].size());
    }
    for (const auto& image : images) out.insert(out.end(), image.begin(), image.end());
    return out;
}

std::vector<std::uint8_t> DrawSetupPicture(int width, int height) {
    // The icon's picture fills the bottom width x width square; the water goes on above it.
    constexpr int n = 4;
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            Rgb sum;
            for (int j = 0; j < n; ++j) {
                for (int i = 0; i < n; ++i) {
                    const P p{(x + (i + 0.5f) / n) / width, (y - (height - width) + (j + 0.5f) / n) / width};
                    sum = sum + Sample(p, width, false).colour;
                }
            }
            const Rgb c = sum * (1.0f / (n * n));
            std::uint8_t* px = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
            px[0] = static_cast<std::uint8_t>(std::lround(Clamp01(c.r) * 255));
            px[1] = static_cast<std::uint8_t>(std::lround(Clamp01(c.g) * 255));
            px[2] = static_cast<std::uint8_t>(std::lround(Clamp01(c.b) * 255));
        }
    }
    return rgb;
}

std::vector<std::uint8_t> EncodeBmp(int width, int height, const std::vector<std::uint8_t>& rgb) {
    const unsigned row = static_cast<unsigned>((width * 3 + 3) / 4 * 4);
    const unsigned pixels = row * static_cast<unsigned>(height);
    std::vector<std::uint8_t> out{'B', 'M'};
    Put32(out, 14 + 40 + pixels);
    Put32(out, 0);
    Put32(out, 14 + 40);
    Put32(out, 40);
    Put32(out, static_cast<unsigned>(width));
    Put32(out, static_cast<unsigned>(height));  // rows bottom first
    Put16(out, 1);
    Put16(out, 24);
    Put32(out, 0);
    Put32(out, pixels);
    for (int i = 0; i < 4; ++i) Put32(out, 0);
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* px = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
            out.insert(out.end(), {px[2], px[1], px[0]});
        }
        out.insert(out.end(), row - static_cast<unsigned>(width) * 3, 0);
    }
    return out;
}

void WriteIcons(const std::string& dir) {
    const std::vector<int> sizes(std::begin(kIconSizes), std::end(kIconSizes));
    WriteBytes(dir + "/3dtidewell.ico", EncodeIco(sizes));
    for (const int size : sizes)
        WriteBytes(dir + "/3dtidewell_" + std::to_string(size) + ".png", EncodePngRgba(size, size, DrawIcon(size)));
    // A .dib, not a .bmp: the program would build a .bmp in resources/ into itself.
    WriteBytes(dir + "/3dtidewell_setup.dib", EncodeBmp(kSetupPictureWidth, kSetupPictureHeight,
                                                         DrawSetupPicture(kSetupPictureWidth, kSetupPictureHeight)));
}

}  // namespace art
