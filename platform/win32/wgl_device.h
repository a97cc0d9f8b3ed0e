#pragma once
// The engine's device on Windows: a GDI device context with WGL rendering contexts.
#include <windows.h>

#include "gl/gl_device.h"

class WglDevice final : public IGLDevice {
public:
    // The device context is not owned: its window releases it.
    explicit WglDevice(HDC dc) : dc_(dc) {}
    HDC DC() const { return dc_; }

    std::uint32_t ObjectType() override;
    int ChoosePixelFormat(const TPixelFormatDescriptor& request) override;
    bool SetPixelFormat(int format, const TPixelFormatDescriptor& request) override;
    bool DescribePixelFormat(int format, TPixelFormatDescriptor& described) override;
    std::unique_ptr<IGLPalette> CreatePalette(const std::vector<TPaletteEntry>& entries) override;
    void SelectPalette(IGLPalette& palette) override;
    std::unique_ptr<IGLRenderContext> CreateContext() override;
    bool SwapBuffers() override;
    TGLLibrary Library() override { return {nullptr, "OpenGL32.DLL", "GLU32.DLL"}; }

private:
    HDC dc_;
};

// The system's text for a Win32 error code, without the trailing line break.
std::string Win32ErrorText(DWORD code);
