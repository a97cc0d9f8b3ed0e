#pragma once
// What the engine needs from a platform's OpenGL binding (WGL, GLX, EGL): a device to draw into
// with pixel formats, palettes and buffer swaps, and the rendering contexts made on it.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "gl/pixel_format.h"

class IGLDevice;
class ILibraryLoader;

// How OpenGL is loaded for a device: the files of the GL and GLU libraries its binding goes
// with, opened by its loader (nullptr: the engine's).
struct TGLLibrary {
    ILibraryLoader* Loader = nullptr;
    std::string GL;
    std::string GLU;
};

// A palette object; destroying it deletes the palette.
class IGLPalette {
public:
    virtual ~IGLPalette() = default;
};

// A rendering context; destroying it deletes the context (it must not be current then).
class IGLRenderContext {
public:
    virtual ~IGLRenderContext() = default;
    virtual bool MakeCurrent(IGLDevice& device) = 0;
    // Leaves the calling thread with no current context.
    virtual bool ReleaseCurrent() = 0;
    // The system's text for the last failure.
    virtual std::string LastErrorText() = 0;
};

// The device context drawn into: a window's device context on Windows, an X window on Linux,
// an off-screen surface for tests and tools.
class IGLDevice {
public:
    virtual ~IGLDevice() = default;
    // The kind of device, as kObjDC, kObjMemDC, kObjMetaDC or kObjEnhMetaDC.
    virtual std::uint32_t ObjectType() = 0;
    // The best format for the request, 1-based; 0 when nothing matches.
    virtual int ChoosePixelFormat(const TPixelFormatDescriptor& request) = 0;
    virtual bool SetPixelFormat(int format, const TPixelFormatDescriptor& request) = 0;
    virtual bool DescribePixelFormat(int format, TPixelFormatDescriptor& described) = 0;
    // nullptr when the palette cannot be created.
    virtual std::unique_ptr<IGLPalette> CreatePalette(const std::vector<TPaletteEntry>& entries) = 0;
    // Selects the palette as a foreground palette and realises it.
    virtual void SelectPalette(IGLPalette& palette) = 0;
    // nullptr when no context can be created for the format that was set.
    virtual std::unique_ptr<IGLRenderContext> CreateContext() = 0;
    virtual bool SwapBuffers() = 0;
    // The OpenGL library files that go with this device's binding (named by the platform).
    virtual TGLLibrary Library() = 0;
};
