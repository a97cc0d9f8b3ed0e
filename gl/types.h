#pragma once
// Value types handed straight to OpenGL's client-array calls: packed, 32-bit floats.
#include <array>
#include <cstdint>

struct Vector {
    float x, y, z;
};

struct Colour {
    float r, g, b, a;
};

struct TexCoord {
    float s, t;
};

using Index = std::int32_t;

// Sixteen floats in OpenGL order; elements 12, 13 and 14 hold the translation.
using Matrix = std::array<float, 16>;

static_assert(sizeof(Vector) == 12 && sizeof(Colour) == 16 && sizeof(TexCoord) == 8);
static_assert(sizeof(Index) == 4 && sizeof(Matrix) == 64);

inline Vector MakeVector(float x, float y, float z) { return {x, y, z}; }
inline Colour MakeColour(float r, float g, float b, float a) { return {r, g, b, a}; }
