// Looks at the saver's settings dialog from outside, as the end-to-end run needs it: finds the
// dialog by its caption ("3D Tidewell Screen Saver", or the program's path and " FPS: n" while the
// preview runs), its preview panel and the preview window inside, and prints them:
//   dialog <hwnd> owner <hwnd> caption <text>
//   panel <width>x<height>
//   preview <width>x<height>
// Exit status 0 when the dialog and its panel were found. "click <caption>" then presses the
// dialog's button of that caption (mnemonic marks ignored) as a click would; "cover <ms>" puts a
// topmost window over the whole dialog for that long, then takes it away, and "cover <ms> strip"
// one that leaves the preview's last row of pixels uncovered. "font" makes the desktop's message
// font half as large again, as its settings would (every window hears of it), prints the
// dialog's client size before and a second after ("font <w>x<h> -> <w>x<h>"), and puts the font back.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwctype>
#include <string>

namespace {

bool IsDialogCaption(const std::wstring& caption) {
    if (caption == L"3D Tidewell Screen Saver") return true;
    const std::size_t at = caption.rfind(L" FPS: ");
    if (at == std::wstring::npos || at + 6 >= caption.size()) return false;
    for (std::size_t i = at + 6; i < caption.size(); ++i)
        if (!std::iswdigit(caption[i])) return false;
    return true;
}

BOOL CALLBACK FindDialog(HWND hwnd, LPARAM result) {
    wchar_t caption[1024] = {};
    GetWindowTextW(hwnd, caption, 1024);
    if (IsWindowVisible(hwnd) && IsDialogCaption(caption)) {
        *reinterpret_cast<HWND*>(result) = hwnd;
        return FALSE;
    }
    return TRUE;
}

struct ButtonSearch {
    std::wstring caption;
    HWND found;
};

BOOL CALLBACK FindButton(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<ButtonSearch*>(param);
    wchar_t text[256] = {};
    GetWindowTextW(hwnd, text, 256);
    std::wstring caption;
    for (const wchar_t* c = text; *c; ++c)
        if (*c != L'&') caption += *c;
    if (caption != search->caption) return TRUE;
    search->found = hwnd;
    return FALSE;
}

void Cover(HWND dialog, HWND preview, DWORD milliseconds, bool strip) {
    RECT rect{}, shown{};
    GetWindowRect(dialog, &rect);
    if (strip && preview && GetWindowRect(preview, &shown)) rect.bottom = shown.bottom - 1;
    const HWND cover = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, L"STATIC", L"", WS_POPUP, rect.left,
                                       rect.top, rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr,
                                       GetModuleHandleW(nullptr), nullptr);
    ShowWindow(cover, SW_SHOWNA);
    std::printf("covered\n");
    std::fflush(stdout);
    const DWORD end = GetTickCount() + milliseconds;
    while (static_cast<LONG>(end - GetTickCount()) > 0) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        Sleep(20);
    }
    DestroyWindow(cover);
}

SIZE ClientSize(HWND hwnd) {
    RECT rect{};
    GetClientRect(hwnd, &rect);
    return {rect.right, rect.bottom};
}

void SetMessageFont(NONCLIENTMETRICSW& metrics) {
    SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof metrics, &metrics, SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);
}

void GrowFont(HWND dialog) {
    NONCLIENTMETRICSW saved{};
    saved.cbSize = sizeof saved;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof saved, &saved, 0);
    NONCLIENTMETRICSW larger = saved;
    larger.lfMessageFont.lfHeight = larger.lfMessageFont.lfHeight * 3 / 2;
    const SIZE before = ClientSize(dialog);
    SetMessageFont(larger);
    Sleep(1000);
    const SIZE after = ClientSize(dialog);
    SetMessageFont(saved);
    std::printf("font %ldx%ld -> %ldx%ld\n", before.cx, before.cy, after.cx, after.cy);
}

}  // namespace

int main(int argc, char** argv) {
    HWND dialog = nullptr;
    EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&dialog));
    if (!dialog) {
        std::printf("no dialog\n");
        return 1;
    }
    wchar_t caption[1024] = {};
    GetWindowTextW(dialog, caption, 1024);
    std::printf("dialog %p owner %p caption %ls\n", static_cast<void*>(dialog), static_cast<void*>(GetWindow(dialog, GW_OWNER)),
                caption);
    std::printf("foreground %s\n", GetForegroundWindow() == dialog ? "dialog" : "other");
    const HWND panel = FindWindowExW(dialog, nullptr, L"TidewellPreviewPanel", nullptr);
    if (!panel) {
        std::printf("no panel\n");
        return 1;
    }
    RECT rect{};
    GetClientRect(panel, &rect);
    std::printf("panel %ldx%ld\n", rect.right, rect.bottom);
    const HWND preview = GetWindow(panel, GW_CHILD);
    if (preview) {
        GetClientRect(preview, &rect);
        std::printf("preview %ldx%ld\n", rect.right, rect.bottom);
    }
    if (argc >= 3 && std::string(argv[1]) == "cover")
        Cover(dialog, preview, static_cast<DWORD>(std::atol(argv[2])), argc == 4 && std::string(argv[3]) == "strip");
    if (argc == 2 && std::string(argv[1]) == "font") GrowFont(dialog);
    if (argc == 3 && std::string(argv[1]) == "click") {
        ButtonSearch search{std::wstring(argv[2], argv[2] + std::strlen(argv[2])), nullptr};
        EnumChildWindows(dialog, FindButton, reinterpret_cast<LPARAM>(&search));
        if (!search.found) {
            std::printf("no button %s\n", argv[2]);
            return 1;
        }
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(search.found), BN_CLICKED),
                     reinterpret_cast<LPARAM>(search.found));
        std::printf("clicked %s\n", argv[2]);
    }
    return 0;
}
