// Looks at the saver's settings dialog from outside, as the end-to-end run needs it: finds the
// dialog by its caption ("3D Tidewell Screen Saver", or the program's path and " FPS: n" while the
// preview runs), its preview panel and the preview window inside, and prints them:
//   dialog <hwnd> owner <hwnd> caption <text>
//   panel <width>x<height>
//   preview <width>x<height>
// Exit status 0 when the dialog and its panel were found.
#include <windows.h>

#include <cstdio>
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

}  // namespace

int main() {
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
    if (const HWND preview = GetWindow(panel, GW_CHILD)) {
        GetClientRect(preview, &rect);
        std::printf("preview %ldx%ld\n", rect.right, rect.bottom);
    }
    return 0;
}
