#include "gl/pixel_format.h"

#include <algorithm>
#include <cctype>
#include <string>

#include "gl/gl_api.h"

TPixelFormatDescriptor BuildPixelFormatDescriptor(const TPixelFormatRequest& request,
                                                  std::uint32_t deviceObjectType) {
    TPixelFormatDescriptor pfd{};
    pfd.nSize = sizeof(TPixelFormatDescriptor);
    pfd.nVersion = 1;
    pfd.dwFlags = kPfdSupportOpenGL;
    const bool bitmap =
        deviceObjectType == kObjMetaDC || deviceObjectType == kObjMemDC || deviceObjectType == kObjEnhMetaDC;
    pfd.dwFlags |= bitmap ? kPfdDrawToBitmap : kPfdDrawToWindow;
    pfd.dwFlags |= request.doubleBuffered ? kPfdDoubleBuffer : kPfdSupportGdi;
    if (request.genericFormat) pfd.dwFlags |= kPfdGenericFormat;
    pfd.iPixelType = kPfdTypeRgba;
    pfd.cColorBits = static_cast<std::uint8_t>(request.colorBits);
    pfd.cDepthBits = static_cast<std::uint8_t>(request.depthBits);
    pfd.cStencilBits = static_cast<std::uint8_t>(request.stencilBits);
    pfd.cAlphaBits = static_cast<std::uint8_t>(request.alphaBits);
    pfd.cAccumBits = static_cast<std::uint8_t>(request.accumBits);
    pfd.cAuxBuffers = 0;
    pfd.iLayerType = kPfdMainPlane;
    return pfd;
}

namespace {

std::uint8_t Component(std::uint32_t index, std::uint8_t bits, std::uint8_t shift) {
    if (bits == 0) return 0;  // no such component: a mask of 0 would divide by zero
    const std::uint32_t mask = (1u << std::min<std::uint8_t>(bits, 31)) - 1u;
    const std::uint32_t shifted = shift >= 32 ? 0 : index >> shift;
    return static_cast<std::uint8_t>((shifted & mask) * 255u / mask);
}

}  // namespace

std::vector<TPaletteEntry> BuildPaletteEntries(const TPixelFormatDescriptor& d) {
    // A palette format has at most 8 colour bits; larger counts would not be palette-based.
    const std::uint32_t count = 1u << std::min<std::uint8_t>(d.cColorBits, 16);
    std::vector<TPaletteEntry> entries(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        entries[i] = {Component(i, d.cRedBits, d.cRedShift), Component(i, d.cGreenBits, d.cGreenShift),
                      Component(i, d.cBlueBits, d.cBlueShift), 0};
    }
    return entries;
}

bool IsSoftwareRenderer(std::string_view renderer) {
    std::string lower(renderer);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    for (const char* name : {"llvmpipe", "softpipe", "swrast", "software rasterizer", "gdi generic"}) {
        if (lower.find(name) != std::string::npos) return true;
    }
    return false;
}

bool CurrentRendererIsSoftware() {
    if (!gl.GetString) return false;
    const auto* renderer = reinterpret_cast<const char*>(gl.GetString(GL_RENDERER));
    return renderer != nullptr && IsSoftwareRenderer(renderer);
}
