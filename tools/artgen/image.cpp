#include "tools/artgen/image.h"

#include <png.h>

#include <cmath>
#include <cstdio>
#include <stdexcept>

#include <jpeglib.h>

namespace art {

Rgb Hex(std::uint32_t rgb) {
    return {((rgb >> 16) & 255) / 255.0f, ((rgb >> 8) & 255) / 255.0f, (rgb & 255) / 255.0f};
}

float Clamp01(float v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }

float SmoothStep(float edge0, float edge1, float x) {
    const float t = Clamp01((x - edge0) / (edge1 - edge0));
    return t * t * (3 - 2 * t);
}

float Fract(float v) { return v - std::floor(v); }

Image::Image(int width, int height)
    : width_(width), height_(height), pixels_(static_cast<std::size_t>(width) * height) {}

Rgb Image::SampleWrapped(float x, float y) const {
    const float fx = std::floor(x), fy = std::floor(y);
    const float tx = x - fx, ty = y - fy;
    auto wrap = [](int v, int n) { return ((v % n) + n) % n; };
    const int x0 = wrap(static_cast<int>(fx), width_), y0 = wrap(static_cast<int>(fy), height_);
    const int x1 = (x0 + 1) % width_, y1 = (y0 + 1) % height_;
    return Mix(Mix(At(x0, y0), At(x1, y0), tx), Mix(At(x0, y1), At(x1, y1), tx), ty);
}

std::vector<std::uint8_t> ToBytes(const Image& image) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(static_cast<std::size_t>(image.Width()) * image.Height() * 3);
    for (int y = 0; y < image.Height(); ++y) {
        for (int x = 0; x < image.Width(); ++x) {
            const Rgb& p = image.At(x, y);
            for (float c : {p.r, p.g, p.b}) {
                bytes.push_back(static_cast<std::uint8_t>(std::lround(Clamp01(c) * 255.0f)));
            }
        }
    }
    return bytes;
}

void WriteJpeg(const std::string& path, const Image& image, int quality) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) throw std::runtime_error("cannot write " + path);
    const std::vector<std::uint8_t> bytes = ToBytes(image);
    jpeg_compress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, file);
    cinfo.image_width = static_cast<JDIMENSION>(image.Width());
    cinfo.image_height = static_cast<JDIMENSION>(image.Height());
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    cinfo.dct_method = JDCT_ISLOW;
    cinfo.optimize_coding = TRUE;
    // Full-resolution chroma: the fish patterns are thin coloured bars.
    for (int i = 0; i < 3; ++i) {
        cinfo.comp_info[i].h_samp_factor = 1;
        cinfo.comp_info[i].v_samp_factor = 1;
    }
    jpeg_start_compress(&cinfo, TRUE);
    const int stride = image.Width() * 3;
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(&bytes[static_cast<std::size_t>(cinfo.next_scanline) * stride]);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::fclose(file);
}

Image ReadJpeg(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) throw std::runtime_error("cannot read " + path);
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_decompress(&cinfo);
    jpeg_stdio_src(&cinfo, file);
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    Image image(static_cast<int>(cinfo.output_width), static_cast<int>(cinfo.output_height));
    std::vector<std::uint8_t> row(static_cast<std::size_t>(image.Width()) * 3);
    while (cinfo.output_scanline < cinfo.output_height) {
        const int y = static_cast<int>(cinfo.output_scanline);
        JSAMPROW rows[] = {row.data()};
        jpeg_read_scanlines(&cinfo, rows, 1);
        for (int x = 0; x < image.Width(); ++x) {
            image.At(x, y) = {row[x * 3] / 255.0f, row[x * 3 + 1] / 255.0f, row[x * 3 + 2] / 255.0f};
        }
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    std::fclose(file);
    return image;
}

void WritePng(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgb) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) throw std::runtime_error("cannot write " + path);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        throw std::runtime_error("PNG error writing " + path);
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y) {
        png_write_row(png, &rgb[static_cast<std::size_t>(y) * width * 3]);
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
}

std::uint64_t Rng::Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

double Rng::Uniform() { return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0); }

std::uint32_t Hash(std::int32_t x, std::int32_t y, std::uint32_t seed) {
    std::uint32_t h = static_cast<std::uint32_t>(x) * 0x8DA6B343u ^ static_cast<std::uint32_t>(y) * 0xD8163841u ^
                      seed * 0xCB1AB31Fu;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return h;
}

namespace {

int Wrap(int v, int n) { return ((v % n) + n) % n; }

float Gradient(int ix, int iy, int period, std::uint32_t seed, float dx, float dy) {
    const std::uint32_t h = Hash(Wrap(ix, period), Wrap(iy, period), seed);
    const float angle = static_cast<float>(h & 0xFFFF) * (6.2831853f / 65536.0f);
    return std::cos(angle) * dx + std::sin(angle) * dy;
}

float Fade(float t) { return t * t * t * (t * (t * 6 - 15) + 10); }

}  // namespace

float PeriodicNoise(float x, float y, int period, std::uint32_t seed) {
    const float fx = std::floor(x), fy = std::floor(y);
    const int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
    const float dx = x - fx, dy = y - fy;
    const float n00 = Gradient(ix, iy, period, seed, dx, dy);
    const float n10 = Gradient(ix + 1, iy, period, seed, dx - 1, dy);
    const float n01 = Gradient(ix, iy + 1, period, seed, dx, dy - 1);
    const float n11 = Gradient(ix + 1, iy + 1, period, seed, dx - 1, dy - 1);
    const float u = Fade(dx), v = Fade(dy);
    const float a = n00 + (n10 - n00) * u, b = n01 + (n11 - n01) * u;
    return (a + (b - a) * v) * 1.41421356f;
}

float PeriodicFbm(float x, float y, int period, int octaves, std::uint32_t seed, float gain) {
    float sum = 0, amplitude = 1, norm = 0;
    for (int i = 0; i < octaves; ++i) {
        sum += amplitude * PeriodicNoise(x, y, period, seed + 101u * static_cast<std::uint32_t>(i));
        norm += amplitude;
        amplitude *= gain;
        x *= 2;
        y *= 2;
        period *= 2;
    }
    return sum / norm;
}

Cells PeriodicCells(float x, float y, int period, std::uint32_t seed) {
    const int ix = static_cast<int>(std::floor(x)), iy = static_cast<int>(std::floor(y));
    float f1 = 1e9f, f2 = 1e9f;
    for (int j = -2; j <= 2; ++j) {
        for (int i = -2; i <= 2; ++i) {
            const int cx = ix + i, cy = iy + j;
            const std::uint32_t h = Hash(Wrap(cx, period), Wrap(cy, period), seed);
            const float px = static_cast<float>(cx) + 0.1f + 0.8f * static_cast<float>(h & 0xFFFF) / 65535.0f;
            const float py = static_cast<float>(cy) + 0.1f + 0.8f * static_cast<float>(h >> 16) / 65535.0f;
            const float d = std::hypot(px - x, py - y);
            if (d < f1) {
                f2 = f1;
                f1 = d;
            } else if (d < f2) {
                f2 = d;
            }
        }
    }
    return {f1, f2};
}

}  // namespace art
