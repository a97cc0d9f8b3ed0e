#include "platform/win32/wgl_device.h"

#include <cstring>

#include "gl/gl_api.h"
#include "platform/win32/wide_text.h"

static_assert(sizeof(PIXELFORMATDESCRIPTOR) == sizeof(TPixelFormatDescriptor));
static_assert(offsetof(PIXELFORMATDESCRIPTOR, cDepthBits) == offsetof(TPixelFormatDescriptor, cDepthBits));
static_assert(offsetof(PIXELFORMATDESCRIPTOR, dwDamageMask) == offsetof(TPixelFormatDescriptor, dwDamageMask));

namespace {

PIXELFORMATDESCRIPTOR ToWindows(const TPixelFormatDescriptor& d) {
    PIXELFORMATDESCRIPTOR pfd;
    std::memcpy(&pfd, &d, sizeof pfd);
    return pfd;
}

class WglPalette final : public IGLPalette {
public:
    explicit WglPalette(HPALETTE palette) : palette_(palette) {}
    ~WglPalette() override { DeleteObject(palette_); }
    HPALETTE Handle() const { return palette_; }

private:
    HPALETTE palette_;
};

class WglContext final : public IGLRenderContext {
public:
    explicit WglContext(void* rc) : rc_(rc) {}
    ~WglContext() override {
        if (wgl.DeleteContext) wgl.DeleteContext(rc_);
    }
    bool MakeCurrent(IGLDevice& device) override {
        auto* wglDevice = dynamic_cast<WglDevice*>(&device);
        return wglDevice && wgl.MakeCurrent && wgl.MakeCurrent(wglDevice->DC(), rc_);
    }
    bool ReleaseCurrent() override { return wgl.MakeCurrent && wgl.MakeCurrent(nullptr, nullptr); }
    std::string LastErrorText() override { return Win32ErrorText(GetLastError()); }

private:
    void* rc_;
};

}  // namespace

std::string Win32ErrorText(DWORD code) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                            FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::string text =
        length && buffer ? Utf8Text(std::wstring(buffer, length)) : "System error " + std::to_string(code);
    if (buffer) LocalFree(buffer);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
    return text;
}

std::uint32_t WglDevice::ObjectType() { return GetObjectType(dc_); }

int WglDevice::ChoosePixelFormat(const TPixelFormatDescriptor& request) {
    const PIXELFORMATDESCRIPTOR pfd = ToWindows(request);
    return ::ChoosePixelFormat(dc_, &pfd);
}

bool WglDevice::SetPixelFormat(int format, const TPixelFormatDescriptor& request) {
    const PIXELFORMATDESCRIPTOR pfd = ToWindows(request);
    return ::SetPixelFormat(dc_, format, &pfd) != FALSE;
}

bool WglDevice::DescribePixelFormat(int format, TPixelFormatDescriptor& described) {
    PIXELFORMATDESCRIPTOR pfd{};
    if (::DescribePixelFormat(dc_, format, sizeof pfd, &pfd) == 0) return false;
    std::memcpy(&described, &pfd, sizeof pfd);
    return true;
}

std::unique_ptr<IGLPalette> WglDevice::CreatePalette(const std::vector<TPaletteEntry>& entries) {
    // LOGPALETTE holds one entry inline; the rest follow it in the same block.
    std::vector<std::uint8_t> block(sizeof(LOGPALETTE) + entries.size() * sizeof(PALETTEENTRY));
    auto* logical = reinterpret_cast<LOGPALETTE*>(block.data());
    logical->palVersion = 0x300;
    logical->palNumEntries = static_cast<WORD>(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        logical->palPalEntry[i] = {entries[i].red, entries[i].green, entries[i].blue, entries[i].flags};
    }
    HPALETTE palette = ::CreatePalette(logical);
    if (!palette) return nullptr;
    return std::make_unique<WglPalette>(palette);
}

void WglDevice::SelectPalette(IGLPalette& palette) {
    ::SelectPalette(dc_, static_cast<WglPalette&>(palette).Handle(), FALSE);
    RealizePalette(dc_);
}

std::unique_ptr<IGLRenderContext> WglDevice::CreateContext() {
    if (!wgl.CreateContext) return nullptr;
    void* rc = wgl.CreateContext(dc_);
    if (!rc) return nullptr;
    return std::make_unique<WglContext>(rc);
}

bool WglDevice::SwapBuffers() { return ::SwapBuffers(dc_) != FALSE; }
