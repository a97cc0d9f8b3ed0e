// The drawing side of a Windows saver window: WGL devices on the window's device context,
// with swap pacing.
#include <windows.h>

#include <algorithm>

#include "gl/gl_api.h"
#include "platform/paced_device.h"
#include "platform/services.h"
#include "platform/win32/win32_display.h"
#include "platform/win32/wgl_device.h"
#include "platform/win32/wide_text.h"

namespace {

void RequestSwapInterval() {
    if (SwapPacingDisabled() || !wgl.GetProcAddress) return;
    using GetExtensions = const char*(WINAPI*)();
    using SwapInterval = BOOL(WINAPI*)(int);
    const auto getExtensions =
        reinterpret_cast<GetExtensions>(reinterpret_cast<void*>(wgl.GetProcAddress("wglGetExtensionsStringEXT")));
    if (!getExtensions || !HasExtension(getExtensions(), "WGL_EXT_swap_control")) return;
    if (const auto set = reinterpret_cast<SwapInterval>(reinterpret_cast<void*>(wgl.GetProcAddress("wglSwapIntervalEXT"))))
        set(1);
}

class TWin32DrawingWindow final : public IDrawingWindow {
public:
    explicit TWin32DrawingWindow(ISaverWindow& window) : window_(window) {}
    ~TWin32DrawingWindow() override {
        while (!devices_.empty()) ReleaseDevice(devices_.back().get());
    }

    std::int32_t ClientWidth() const override { return window_.Width(); }
    std::int32_t ClientHeight() const override { return window_.Height(); }

    IGLDevice* AcquireDevice() override {
        const HDC dc = GetDC(Hwnd());
        if (!dc) return nullptr;
        devices_.push_back(std::make_unique<TPacedDevice>(std::make_unique<WglDevice>(dc), [] { RequestSwapInterval(); }));
        devices_.back()->LimitRate(frameRateLimit_);
        return devices_.back().get();
    }
    void LimitFrameRate(double framesPerSecond) override {
        frameRateLimit_ = framesPerSecond;
        for (auto& device : devices_) device->LimitRate(framesPerSecond);
    }
    void ReleaseDevice(IGLDevice* device) override {
        const auto it = std::find_if(devices_.begin(), devices_.end(), [device](const auto& held) { return held.get() == device; });
        if (it == devices_.end()) return;
        ReleaseDC(Hwnd(), static_cast<WglDevice&>((*it)->Inner()).DC());
        devices_.erase(it);
    }

private:
    HWND Hwnd() const { return reinterpret_cast<HWND>(window_.NativeHandle()); }

    ISaverWindow& window_;
    std::vector<std::unique_ptr<TPacedDevice>> devices_;
    double frameRateLimit_ = 0;
};

}  // namespace

std::unique_ptr<IDrawingWindow> CreateDrawingWindow(IWindowSystem&, ISaverWindow& window) {
    return std::make_unique<TWin32DrawingWindow>(window);
}

void ShowErrorMessage(const std::string& text, const std::string& caption) {
    MessageBoxW(nullptr, WideText(text).c_str(), WideText(caption).c_str(), MB_OK | MB_ICONERROR | MB_TASKMODAL);
}
