#pragma once
// The pixel-format request the engine builds and the palette it derives, as pure functions:
// the same 40-byte layout as Windows' PIXELFORMATDESCRIPTOR, read by every context backend.
#include <cstdint>
#include <string_view>
#include <vector>

struct TPixelFormatDescriptor {
    std::uint16_t nSize;
    std::uint16_t nVersion;
    std::uint32_t dwFlags;
    std::uint8_t iPixelType;
    std::uint8_t cColorBits;
    std::uint8_t cRedBits;
    std::uint8_t cRedShift;
    std::uint8_t cGreenBits;
    std::uint8_t cGreenShift;
    std::uint8_t cBlueBits;
    std::uint8_t cBlueShift;
    std::uint8_t cAlphaBits;
    std::uint8_t cAlphaShift;
    std::uint8_t cAccumBits;
    std::uint8_t cAccumRedBits;
    std::uint8_t cAccumGreenBits;
    std::uint8_t cAccumBlueBits;
    std::uint8_t cAccumAlphaBits;
    std::uint8_t cDepthBits;
    std::uint8_t cStencilBits;
    std::uint8_t cAuxBuffers;
    std::uint8_t iLayerType;
    std::uint8_t bReserved;
    std::uint32_t dwLayerMask;
    std::uint32_t dwVisibleMask;
    std::uint32_t dwDamageMask;
};
static_assert(sizeof(TPixelFormatDescriptor) == 40);

constexpr std::uint32_t kPfdDoubleBuffer = 0x01;
constexpr std::uint32_t kPfdStereo = 0x02;
constexpr std::uint32_t kPfdDrawToWindow = 0x04;
constexpr std::uint32_t kPfdDrawToBitmap = 0x08;
constexpr std::uint32_t kPfdSupportGdi = 0x10;
constexpr std::uint32_t kPfdSupportOpenGL = 0x20;
constexpr std::uint32_t kPfdGenericFormat = 0x40;
constexpr std::uint32_t kPfdNeedPalette = 0x80;
constexpr std::uint8_t kPfdTypeRgba = 0;
constexpr std::uint8_t kPfdMainPlane = 0;

// Device kinds as the system's object-type query reports them (GetObjectType on Windows).
constexpr std::uint32_t kObjDC = 3;
constexpr std::uint32_t kObjMetaDC = 4;
constexpr std::uint32_t kObjMemDC = 10;
constexpr std::uint32_t kObjEnhMetaDC = 12;

// What the engine asks for; the bit counts travel as single bytes (low byte only).
struct TPixelFormatRequest {
    bool doubleBuffered = true;
    bool genericFormat = false;
    std::int32_t colorBits = 16;
    std::int32_t depthBits = 16;
    std::int32_t stencilBits = 0;
    std::int32_t alphaBits = 0;
    std::int32_t accumBits = 0;
};

// The zero-filled descriptor with the engine's flags and bit counts for a device of the given
// object type: draw-to-bitmap for metafile and memory devices, else draw-to-window; double
// buffer or GDI support; the generic flag when requested.
TPixelFormatDescriptor BuildPixelFormatDescriptor(const TPixelFormatRequest& request, std::uint32_t deviceObjectType);

struct TPaletteEntry {
    std::uint8_t red, green, blue, flags;
};

// The logical palette of a palette-based format: 2^cColorBits entries, each component
// ((i >> shift) & mask) * 255 / mask with mask = 2^bits - 1 (a component of 0 bits is 0).
std::vector<TPaletteEntry> BuildPaletteEntries(const TPixelFormatDescriptor& described);

// True for renderers that draw in software (Mesa's llvmpipe, softpipe, swrast, Windows' GDI
// Generic): the Linux meaning of a generic pixel format.
bool IsSoftwareRenderer(std::string_view renderer);

// True when a context is current and its GL_RENDERER names a software rasteriser; false when
// OpenGL is not loaded. Context backends use it to report a generic format.
bool CurrentRendererIsSoftware();
