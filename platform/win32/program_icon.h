#pragma once
// The program's icon (resource 1 of program/saver.rc) on a window's title bar and task bar
// button, in the sizes the system draws there: the window's own, and its class's for whatever
// asks the class (a dialog's class is the process's own copy, shared only by its dialogs and
// message boxes). A module without the icon leaves the window as it was.
#include <windows.h>

inline void SetProgramIcon(HWND window) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    const auto load = [instance](int width, int height) {
        return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON, GetSystemMetrics(width),
                                             GetSystemMetrics(height), LR_SHARED));
    };
    if (const HICON bigIcon = load(SM_CXICON, SM_CYICON)) {
        SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon));
        SetClassLongPtrW(window, GCLP_HICON, reinterpret_cast<LONG_PTR>(bigIcon));
    }
    if (const HICON smallIcon = load(SM_CXSMICON, SM_CYSMICON)) {
        SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon));
        SetClassLongPtrW(window, GCLP_HICONSM, reinterpret_cast<LONG_PTR>(smallIcon));
    }
}
