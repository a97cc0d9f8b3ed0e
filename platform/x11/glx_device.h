#pragma once
// The engine's device on Linux/X11: an X window drawn with GLX. The engine's pixel-format
// request maps onto a GLX framebuffer configuration of the window's visual.
#include <memory>
#include <vector>

#include "gl/gl_device.h"

typedef struct _XDisplay Display;

class GlxDevice final : public IGLDevice {
public:
    // Neither the display connection nor the window is owned.
    GlxDevice(Display* display, unsigned long window);
    ~GlxDevice() override;
    GlxDevice(const GlxDevice&) = delete;
    GlxDevice& operator=(const GlxDevice&) = delete;

    Display* XDisplay() const { return display_; }
    unsigned long XWindow() const { return window_; }

    // A visual id fitting the request on the screen, for creating a window that a GlxDevice can
    // draw into; 0 when the server has none.
    static unsigned long ChooseVisualId(Display* display, int screen, const TPixelFormatDescriptor& request);

    std::uint32_t ObjectType() override;
    int ChoosePixelFormat(const TPixelFormatDescriptor& request) override;
    bool SetPixelFormat(int format, const TPixelFormatDescriptor& request) override;
    bool DescribePixelFormat(int format, TPixelFormatDescriptor& described) override;
    std::unique_ptr<IGLPalette> CreatePalette(const std::vector<TPaletteEntry>& entries) override;
    void SelectPalette(IGLPalette& palette) override;
    std::unique_ptr<IGLRenderContext> CreateContext() override;
    bool SwapBuffers() override;
    TGLLibrary Library() override { return {nullptr, "libGL.so.1", "libGLU.so.1"}; }

private:
    void DestroySpareContext();

    Display* display_;
    unsigned long window_;
    std::vector<void*> configs_;  // GLXFBConfig
    int format_ = 0;
    // The context DescribePixelFormat made to ask for the renderer: kept for CreateContext on the
    // same format, since a software renderer's context is slow to make.
    void* spareContext_ = nullptr;  // GLXContext
    int spareFormat_ = 0;
    bool spareIsSoftware_ = false;
};
