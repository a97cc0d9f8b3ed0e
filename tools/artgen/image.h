#pragma once
// Pictures in linear float RGB, the deterministic noise the art is painted with, and the
// writers for JPEG (system libjpeg, fixed settings) and PNG (previews only).
#include <cstdint>
#include <string>
#include <vector>

namespace art {

struct Rgb {
    float r = 0, g = 0, b = 0;
};

inline Rgb operator+(Rgb a, Rgb b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
inline Rgb operator-(Rgb a, Rgb b) { return {a.r - b.r, a.g - b.g, a.b - b.b}; }
inline Rgb operator*(Rgb a, float k) { return {a.r * k, a.g * k, a.b * k}; }
inline Rgb operator*(Rgb a, Rgb b) { return {a.r * b.r, a.g * b.g, a.b * b.b}; }
inline Rgb Mix(Rgb a, Rgb b, float t) { return a + (b - a) * t; }
Rgb Hex(std::uint32_t rgb);

float Clamp01(float v);
float SmoothStep(float edge0, float edge1, float x);
float Fract(float v);

class Image {
public:
    Image(int width, int height);
    int Width() const { return width_; }
    int Height() const { return height_; }
    // Row 0 is the top row of the picture, as in the JPEG file.
    Rgb& At(int x, int y) { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }
    const Rgb& At(int x, int y) const { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }
    // Bilinear sample with coordinates in pixels, wrapping at the edges.
    Rgb SampleWrapped(float x, float y) const;

private:
    int width_, height_;
    std::vector<Rgb> pixels_;
};

// Fixed settings (quality, integer DCT, 4:2:0 off) so the bytes depend only on the pixels.
void WriteJpeg(const std::string& path, const Image& image, int quality);
Image ReadJpeg(const std::string& path);
std::vector<std::uint8_t> ToBytes(const Image& image);  // RGB8, top row first
void WritePng(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgb);

// A small fixed-seed generator (SplitMix64): the same numbers on every machine.
class Rng {
public:
    explicit Rng(std::uint64_t seed) : state_(seed) {}
    std::uint64_t Next();
    double Uniform();  // [0, 1)
    double Range(double lo, double hi) { return lo + (hi - lo) * Uniform(); }

private:
    std::uint64_t state_;
};

std::uint32_t Hash(std::int32_t x, std::int32_t y, std::uint32_t seed);

// Gradient noise on a lattice that repeats every `period` cells: tileable by construction.
// Output roughly in [-1, 1].
float PeriodicNoise(float x, float y, int period, std::uint32_t seed);
// Octaves of periodic noise; the period doubles with the frequency so the sum still tiles.
float PeriodicFbm(float x, float y, int period, int octaves, std::uint32_t seed, float gain = 0.5f);

// Cellular distances to the nearest and second nearest feature point, one jittered point per
// cell, cells repeating every `period`.
struct Cells {
    float f1, f2;
};
Cells PeriodicCells(float x, float y, int period, std::uint32_t seed);

}  // namespace art
