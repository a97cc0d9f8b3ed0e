#include "support/hidden_window_win32.h"

#include "app/exception.h"
#include "platform/win32/wgl_device.h"

namespace {

const char* WindowClass() {
    static const char* name = [] {
        WNDCLASSA wc{};
        wc.style = CS_OWNDC;
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "TidewellGLTest";
        RegisterClassA(&wc);
        return "TidewellGLTest";
    }();
    return name;
}

}  // namespace

HWND CreateHiddenTestWindow(int width, int height) {
    HWND window = CreateWindowExA(0, WindowClass(), "GL test", WS_POPUP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, 0,
                                  width, height, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!window) throw Exception("GL test: CreateWindowEx failed: " + Win32ErrorText(GetLastError()));
    return window;
}
