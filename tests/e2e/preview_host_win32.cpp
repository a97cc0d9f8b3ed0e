// Plays the desktop's display settings for a preview: makes a window, starts the saver with
// "/p <window>", checks that the saver keeps running with a child inside the window, destroys
// the window and checks that the saver then ends with status 0. With "settings" after the saver,
// starts it with "/c:<window>" instead: the settings dialog must be owned by the window and keep
// it disabled while shown; closed, the saver ends with status 0 and the window takes input again.
// With "close" or "endsession", starts it with "/s" and ends it from outside as End task or a
// logoff would: it must end with status 0 and the display mode it found. With "hold", keeps the
// window with the preview inside for up to two minutes, until something else ends the preview.
// Exit status 0 when all held.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

void Pump(DWORD milliseconds) {
    const DWORD end = GetTickCount() + milliseconds;
    while (static_cast<LONG>(end - GetTickCount()) > 0) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        Sleep(20);
    }
}

int Fail(const char* what) {
    std::printf("FAIL: %s\n", what);
    return 1;
}

struct OwnedSearch {
    HWND owner;
    HWND found;
};

BOOL CALLBACK FindOwned(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<OwnedSearch*>(param);
    if (!IsWindowVisible(hwnd) || GetWindow(hwnd, GW_OWNER) != search->owner) return TRUE;
    search->found = hwnd;
    return FALSE;
}

// Waits for the process while serving the host window: the saver's calls on it are synchronous.
bool WaitServing(HANDLE process, DWORD milliseconds) {
    const DWORD end = GetTickCount() + milliseconds;
    while (static_cast<LONG>(end - GetTickCount()) > 0) {
        if (WaitForSingleObject(process, 0) == WAIT_OBJECT_0) return true;
        Pump(50);
    }
    return WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
}

int RunSettings(const char* saver, HWND host) {
    std::string commandLine = "\"" + std::string(saver) + "\" /c:" + std::to_string(reinterpret_cast<INT_PTR>(host));
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return Fail("the saver did not start");
    std::printf("started %s\n", commandLine.c_str());
    OwnedSearch search{host, nullptr};
    for (int i = 0; i < 300 && !search.found; ++i) {
        Pump(100);
        EnumWindows(FindOwned, reinterpret_cast<LPARAM>(&search));
        if (WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0) return Fail("the saver ended before its dialog showed");
    }
    if (!search.found) {
        TerminateProcess(process.hProcess, 3);
        return Fail("no dialog owned by the host window");
    }
    char caption[256] = {};
    GetWindowTextA(search.found, caption, sizeof caption);
    std::printf("dialog \"%s\" owned by the host\n", caption);
    Pump(300);
    if (IsWindowEnabled(host)) {
        TerminateProcess(process.hProcess, 3);
        return Fail("the host takes input while the dialog shows");
    }
    PostMessageA(search.found, WM_CLOSE, 0, 0);
    if (!WaitServing(process.hProcess, 20000)) {
        TerminateProcess(process.hProcess, 3);
        return Fail("the saver did not end when its dialog was closed");
    }
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    std::printf("settings ended with status %lu\n", code);
    if (code != 0) return Fail("non-zero exit status");
    if (!IsWindowEnabled(host)) return Fail("the host was left disabled");
    DestroyWindow(host);
    return 0;
}

struct ProcessSearch {
    DWORD process;
    HWND found;
};

BOOL CALLBACK FindShownOf(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<ProcessSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    if (owner != search->process || !IsWindowVisible(hwnd)) return TRUE;
    search->found = hwnd;
    return FALSE;
}

bool SameMode(const DEVMODEA& a, const DEVMODEA& b) {
    return a.dmPelsWidth == b.dmPelsWidth && a.dmPelsHeight == b.dmPelsHeight && a.dmBitsPerPel == b.dmBitsPerPel;
}

int RunEndedFromOutside(const char* saver, bool session) {
    DEVMODEA before{};
    before.dmSize = sizeof before;
    EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &before);
    std::string commandLine = "\"" + std::string(saver) + "\" /s";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return Fail("the saver did not start");
    ProcessSearch search{process.dwProcessId, nullptr};
    for (int i = 0; i < 900 && !search.found; ++i) {
        Pump(100);
        EnumWindows(FindShownOf, reinterpret_cast<LPARAM>(&search));
        if (WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0) return Fail("the saver ended before its window showed");
    }
    if (!search.found) {
        TerminateProcess(process.hProcess, 3);
        return Fail("no saver window");
    }
    Pump(2000);
    if (session) {
        DWORD_PTR answer = 0;
        SendMessageTimeoutA(search.found, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 10000, &answer);
        std::printf("session end query answered %lu\n", static_cast<unsigned long>(answer));
        SendMessageTimeoutA(search.found, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 10000, &answer);
    } else {
        PostMessageA(search.found, WM_CLOSE, 0, 0);
    }
    if (WaitForSingleObject(process.hProcess, 20000) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 3);
        return Fail(session ? "the saver did not end with the session" : "the saver did not end on WM_CLOSE");
    }
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    std::printf("saver ended with status %lu\n", code);
    if (code != 0) return Fail("non-zero exit status");
    DEVMODEA after{};
    after.dmSize = sizeof after;
    EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &after);
    std::printf("display %lux%lux%lu, before %lux%lux%lu\n", after.dmPelsWidth, after.dmPelsHeight, after.dmBitsPerPel,
                before.dmPelsWidth, before.dmPelsHeight, before.dmBitsPerPel);
    return SameMode(before, after) ? 0 : Fail("the display mode was not restored");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Fail("usage: preview_host <saver.scr> [settings|close|endsession]");
    const std::string how = argc > 2 ? argv[2] : "";
    if (how == "close" || how == "endsession") return RunEndedFromOutside(argv[1], how == "endsession");
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = "TidewellPreviewHost";
    RegisterClassA(&windowClass);
    HWND host = CreateWindowExA(0, windowClass.lpszClassName, "Preview host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40,
                                200, 180, nullptr, nullptr, windowClass.hInstance, nullptr);
    if (!host) return Fail("no host window");
    if (argc > 2 && std::string(argv[2]) == "settings") return RunSettings(argv[1], host);

    std::string commandLine = "\"" + std::string(argv[1]) + "\" /p " + std::to_string(reinterpret_cast<INT_PTR>(host));
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return Fail("the saver did not start");
    std::printf("started %s\n", commandLine.c_str());

    // Give the saver time to start and make its child window.
    HWND child = nullptr;
    for (int i = 0; i < 150 && !child; ++i) {
        Pump(100);
        child = GetWindow(host, GW_CHILD);
    }
    if (!child) return Fail("no preview window inside the host");
    RECT hostRect{}, childRect{};
    GetClientRect(host, &hostRect);
    GetClientRect(child, &childRect);
    std::printf("preview child %ldx%ld in a %ldx%ld client area\n", childRect.right, childRect.bottom, hostRect.right,
                hostRect.bottom);
    if (childRect.right != hostRect.right || childRect.bottom != hostRect.bottom)
        return Fail("the preview does not cover the client area");
    Pump(500);
    if (WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0) return Fail("the preview ended by itself");
    const bool hold = how == "hold";
    if (hold) std::printf("holding\n");
    std::fflush(stdout);

    if (!hold) DestroyWindow(host);
    if (!(hold ? WaitServing(process.hProcess, 120000) : WaitForSingleObject(process.hProcess, 10000) == WAIT_OBJECT_0)) {
        TerminateProcess(process.hProcess, 3);
        return Fail(hold ? "the preview was not ended from outside" : "the preview did not end with its window");
    }
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    std::printf("preview ended with status %lu\n", code);
    return code == 0 ? 0 : Fail("non-zero exit status");
}
