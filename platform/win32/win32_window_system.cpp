#include "platform/win32/win32_window_system.h"

#include <windows.h>
#include <dwmapi.h>
#include <windowsx.h>

#include <algorithm>
#include <vector>

#include "form/frame_gate.h"
#include "platform/win32/wide_text.h"

namespace {

const wchar_t kWindowClass[] = L"TidewellSaverWindow";

// GUID_CONSOLE_DISPLAY_STATE: the display is off (0), on (1) or dimmed (2).
const GUID kConsoleDisplayState = {0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};

void MakeDpiAware() {
    using SetContext = BOOL(WINAPI*)(HANDLE);
    const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    const auto setContext =
        user32 ? reinterpret_cast<SetContext>(reinterpret_cast<void*>(GetProcAddress(user32, "SetProcessDpiAwarenessContext")))
               : nullptr;
    // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2, else the system-wide awareness of older systems.
    if (!setContext || !setContext(reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-4)))) SetProcessDPIAware();
}

// dwmapi.dll is loaded, not linked: the program starts where the system has none. Null then.
using DwmGetAttribute = HRESULT(WINAPI*)(HWND, DWORD, PVOID, DWORD);
DwmGetAttribute DwmAttribute() {
    static const DwmGetAttribute get = [] {
        const HMODULE dwm = LoadLibraryW(L"dwmapi.dll");
        return dwm ? reinterpret_cast<DwmGetAttribute>(reinterpret_cast<void*>(GetProcAddress(dwm, "DwmGetWindowAttribute")))
                   : nullptr;
    }();
    return get;
}

// Hidden by desktop composition although visible: on another virtual desktop, or a suspended app's.
bool Cloaked(HWND hwnd) {
    DWORD cloaked = 0;
    const DwmGetAttribute get = DwmAttribute();
    return get && SUCCEEDED(get(hwnd, DWMWA_CLOAKED, &cloaked, sizeof cloaked)) && cloaked != 0;
}

// A window that lets what is under it show through: click-through overlays, and layered windows
// that are not wholly opaque (per-pixel alpha, a colour key or a constant alpha below 255).
bool SeeThrough(HWND hwnd) {
    const LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
    if (style & WS_EX_TRANSPARENT) return true;
    if (!(style & WS_EX_LAYERED)) return false;
    COLORREF key = 0;
    BYTE alpha = 0;
    DWORD flags = 0;
    return !GetLayeredWindowAttributes(hwnd, &key, &alpha, &flags) || (flags & LWA_COLORKEY) ||
           ((flags & LWA_ALPHA) && alpha != 255);
}

// What a window hides: without its invisible resize borders where composition tells them.
RECT Bounds(HWND hwnd) {
    RECT rect{};
    const DwmGetAttribute get = DwmAttribute();
    if (!get || FAILED(get(hwnd, DWMWA_EXTENDED_FRAME_BOUNDS, &rect, sizeof rect))) GetWindowRect(hwnd, &rect);
    return rect;
}

// Whether the client area of hwnd, as its ancestors clip it, lies wholly under the windows above
// its top-level window root. Composition gives every window a surface of its own, so GetClipBox
// no longer tells this.
bool Covered(HWND hwnd, HWND root) {
    RECT area{};
    GetClientRect(hwnd, &area);
    MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&area), 2);
    for (HWND ancestor = hwnd; ancestor && ancestor != root;) {
        ancestor = GetAncestor(ancestor, GA_PARENT);
        RECT client{};
        if (ancestor && GetClientRect(ancestor, &client)) {
            MapWindowPoints(ancestor, nullptr, reinterpret_cast<POINT*>(&client), 2);
            IntersectRect(&area, &area, &client);
        }
    }
    std::vector<TScreenRect> covers;
    // The Z order may change during the walk: a bound keeps it from going round for ever.
    int steps = 0;
    for (HWND above = GetWindow(root, GW_HWNDPREV); above && steps < 4096; above = GetWindow(above, GW_HWNDPREV), ++steps) {
        RECT rect{};
        if (!IsWindowVisible(above) || IsIconic(above) || !GetWindowRect(above, &rect) ||
            !IntersectRect(&rect, &rect, &area) || SeeThrough(above) || Cloaked(above))
            continue;
        rect = Bounds(above);
        covers.push_back({rect.left, rect.top, rect.right, rect.bottom});
    }
    return WhollyCovered({area.left, area.top, area.right, area.bottom}, covers);
}

// Under composition nothing tells a window that it was covered or uncovered, nor that its virtual
// desktop came back: while it is so hidden a timer wakes the loop to look again. A tenth of a
// second brings the frames back as soon as the eye expects them, at a fraction of the wake-ups of
// a look at every frame period.
const UINT_PTR kLookAgainTimer = 1;
const UINT kLookAgainMilliseconds = 100;

// A saver window takes the mouse and the foreground; a cover only hides the cursor over it.
enum class Kind { Saver, Cover, Child };

class Window final : public ISaverWindow {
public:
    Window(TWin32WindowSystem& system, HWND hwnd, Kind kind)
        : system_(system), hwnd_(hwnd), saver_(kind == Kind::Saver), blank_(kind != Kind::Child) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        // The drawing windows hear when the display is turned off; a running saver is kept going
        // then, and nobody sees its frames. The first notice, the state now, comes at once.
        if (kind != Kind::Cover)
            powerNotice_ = RegisterPowerSettingNotification(hwnd_, &kConsoleDisplayState, DEVICE_NOTIFY_WINDOW_HANDLE);
    }
    ~Window() override {
        if (powerNotice_) UnregisterPowerSettingNotification(powerNotice_);
        if (!hwnd_) return;
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        if (saver_ && GetCapture() == hwnd_) ReleaseCapture();
        DestroyWindow(hwnd_);
    }

    std::intptr_t NativeHandle() override { return reinterpret_cast<std::intptr_t>(hwnd_); }
    int Width() override { return ClientSize().right; }
    int Height() override { return ClientSize().bottom; }
    bool Visible() override { return hwnd_ && IsWindowVisible(hwnd_); }
    // Hidden with a parent (the desktop's settings window hidden), minimised with its top-level
    // window (the settings dialog), that window on another virtual desktop, or wholly covered.
    bool Unseen() override {
        if (!hwnd_) return true;
        const HWND root = GetAncestor(hwnd_, GA_ROOT);
        if (!IsWindowVisible(hwnd_) || IsIconic(root)) {
            LookAgain(false);
            return true;
        }
        LookAgain(Cloaked(root) || Covered(hwnd_, root));
        return lookingAgain_;
    }
    void Show() override {
        if (!hwnd_) return;
        const bool cover = blank_ && !saver_;
        ShowWindow(hwnd_, cover ? SW_SHOWNA : SW_SHOW);
        if (saver_) {
            SetForegroundWindow(hwnd_);
            SetCapture(hwnd_);
        }
        UpdateWindow(hwnd_);
        system_.RaiseDeferred();
    }
    void Hide() override {
        if (!hwnd_) return;
        if (saver_ && GetCapture() == hwnd_) ReleaseCapture();
        ShowWindow(hwnd_, SW_HIDE);
    }
    void Paint() override {
        if (!hwnd_) return;
        RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        system_.RaiseDeferred();
    }

    TWin32WindowSystem& System() { return system_; }

    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) {
        switch (message) {
            case WM_ERASEBKGND:
                if (OnPaint) return 1;  // the paint handler covers everything
                break;
            case WM_PAINT: {
                PAINTSTRUCT ps;
                BeginPaint(hwnd_, &ps);
                EndPaint(hwnd_, &ps);
                if (OnPaint) OnPaint();
                return 0;
            }
            case WM_SETCURSOR:
                if (blank_) {
                    SetCursor(nullptr);
                    return TRUE;
                }
                break;
            case WM_LBUTTONDOWN:
            case WM_RBUTTONDOWN:
            case WM_MBUTTONDOWN:
            case WM_XBUTTONDOWN:
                // Handlers run from a copy: a stop request may destroy this window.
                if (auto handler = OnMouseButton) handler();
                return 0;
            case WM_KEYDOWN:
            case WM_SYSKEYDOWN:
                if (auto handler = OnKey) handler();
                return 0;
            case WM_MOUSEMOVE:
                if (auto handler = OnMouseMove) handler(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
                return 0;
            case WM_ENDSESSION:
                if (!wParam) return 0;  // the session goes on
                [[fallthrough]];
            case WM_CLOSE:
            case WM_QUERYENDSESSION:
                if (blank_) {
                    // Asked to end from outside: a stop as on a quit signal, so the desktop gets
                    // its mode back and the guard is released, not a process left without windows.
                    // The quit may destroy this window: nothing of it is touched afterwards.
                    if (auto quit = system_.TakeQuit()) {
                        quit();
                        return message == WM_QUERYENDSESSION ? TRUE : 0;
                    }
                }
                break;
            case WM_POWERBROADCAST:
                if (wParam == PBT_POWERSETTINGCHANGE) {
                    const auto* setting = reinterpret_cast<const POWERBROADCAST_SETTING*>(lParam);
                    if (setting && IsEqualGUID(setting->PowerSetting, kConsoleDisplayState) &&
                        setting->DataLength >= sizeof(DWORD))
                        system_.SetDisplayAsleep(*reinterpret_cast<const DWORD*>(setting->Data) == 0);
                    // A sent message need not end the loop's wait: a posted one does.
                    PostMessageA(hwnd_, WM_NULL, 0, 0);
                    return TRUE;
                }
                break;
            case WM_DESTROY: {
                SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
                hwnd_ = nullptr;
                if (auto handler = OnDestroyed) handler();
                return 0;
            }
            default: break;
        }
        return DefWindowProcW(hwnd_, message, wParam, lParam);
    }

private:
    void LookAgain(bool on) {
        if (on == lookingAgain_) return;
        lookingAgain_ = on;
        if (on)
            SetTimer(hwnd_, kLookAgainTimer, kLookAgainMilliseconds, nullptr);
        else
            KillTimer(hwnd_, kLookAgainTimer);
    }

    RECT ClientSize() {
        RECT rect{};
        if (hwnd_) GetClientRect(hwnd_, &rect);
        return rect;
    }

    TWin32WindowSystem& system_;  // outlives its windows
    HWND hwnd_;
    HPOWERNOTIFY powerNotice_ = nullptr;
    bool saver_;
    bool blank_;
    bool lookingAgain_ = false;  // covered or cloaked, with the timer running
};

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* window = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!window) return DefWindowProcW(hwnd, message, wParam, lParam);
    // C++ exceptions must not unwind through the system's frames.
    try {
        return window->Handle(message, wParam, lParam);
    } catch (...) {
        window->System().Defer(std::current_exception());
        return 0;
    }
}

}  // namespace

void TWin32WindowSystem::Defer(std::exception_ptr error) {
    if (!deferred_) deferred_ = error;
}

void TWin32WindowSystem::RaiseDeferred() {
    if (!deferred_) return;
    auto error = deferred_;
    deferred_ = nullptr;
    std::rethrow_exception(error);
}

TWin32WindowSystem::TWin32WindowSystem() {
    MakeDpiAware();
    WNDCLASSW windowClass{};
    windowClass.style = CS_OWNDC | CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = kWindowClass;
    RegisterClassW(&windowClass);  // already registered on a second system: fine
}

void TWin32WindowSystem::AddDialog(std::intptr_t hwnd) { dialogs_.push_back(hwnd); }

void TWin32WindowSystem::RemoveDialog(std::intptr_t hwnd) {
    dialogs_.erase(std::remove(dialogs_.begin(), dialogs_.end(), hwnd), dialogs_.end());
}

// What the system posts to the focused window for a pressed F1; not in the SDK's headers.
constexpr UINT kKeyF1 = 0x004D;

bool TWin32WindowSystem::ProcessOne() {
    // Wide messages: every window of the program is a Unicode window.
    MSG message;
    if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) return false;
    // A copy: a handler may remove a dialog while its message is handled.
    const std::vector<std::intptr_t> open = dialogs_;
    for (const std::intptr_t dialog : open) {
        const auto hwnd = reinterpret_cast<HWND>(dialog);
        const bool inDialog = message.hwnd == hwnd || IsChild(hwnd, message.hwnd);
        // A pressed F1 also makes the system post its own help request (WM_KEYF1, which becomes
        // WM_HELP): the dialog has had its help from the key already.
        if (message.message == kKeyF1 && inDialog) return true;
        // F1 asks the dialog for help, wherever its focus is.
        if (message.message == WM_KEYDOWN && message.wParam == VK_F1 && inDialog) {
            HELPINFO help{};
            help.cbSize = sizeof help;
            help.iContextType = HELPINFO_WINDOW;
            help.hItemHandle = message.hwnd;
            GetCursorPos(&help.MousePos);
            SendMessageW(hwnd, WM_HELP, 0, reinterpret_cast<LPARAM>(&help));
            RaiseDeferred();
            return true;
        }
        if (IsDialogMessageW(hwnd, &message)) {
            RaiseDeferred();
            return true;
        }
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
    RaiseDeferred();
    return true;
}

void TWin32WindowSystem::WaitForMessage() { WaitMessage(); }

std::unique_ptr<ISaverWindow> TWin32WindowSystem::CreateSaverWindow(const std::string& title, int left, int top, int width,
                                                                     int height) {
    const HWND hwnd = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kWindowClass, WideText(title).c_str(), WS_POPUP, left, top,
                                      width, height, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!hwnd) return nullptr;
    return std::make_unique<Window>(*this, hwnd, Kind::Saver);
}

std::unique_ptr<ISaverWindow> TWin32WindowSystem::CreateCoverWindow(int left, int top, int width, int height) {
    // Shown without activation: the saver window keeps the keyboard and the mouse capture.
    const HWND hwnd = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, kWindowClass, L"", WS_POPUP, left,
                                      top, width, height, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!hwnd) return nullptr;
    return std::make_unique<Window>(*this, hwnd, Kind::Cover);
}

std::unique_ptr<ISaverWindow> TWin32WindowSystem::CreateChildWindow(std::intptr_t parent) {
    const HWND parentWindow = reinterpret_cast<HWND>(parent);
    if (!parent || !IsWindow(parentWindow)) return nullptr;
    RECT rect{};
    GetClientRect(parentWindow, &rect);
    const HWND hwnd = CreateWindowExW(0, kWindowClass, L"", WS_CHILD | WS_DISABLED | WS_CLIPSIBLINGS, 0, 0, rect.right,
                                      rect.bottom, parentWindow, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!hwnd) return nullptr;
    return std::make_unique<Window>(*this, hwnd, Kind::Child);
}
