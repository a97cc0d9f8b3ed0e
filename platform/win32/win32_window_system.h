#pragma once
// Saver windows and the message pump on Windows. The saver window is a borderless topmost
// popup with the tool-window style (no taskbar button) and no cursor, capturing the mouse while
// shown. A preview window is a disabled child of the desktop's window, covering its client area;
// it is destroyed with that window. The process is made per-monitor DPI aware, so the saver
// covers the whole screen at any scaling.
#include <cstdint>
#include <exception>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/message_loop.h"

class TWin32WindowSystem final : public IWindowSystem {
public:
    TWin32WindowSystem();

    bool ProcessOne() override;
    void WaitForMessage() override;
    std::unique_ptr<ISaverWindow> CreateSaverWindow(const std::string& title, int left, int top, int width,
                                                    int height) override;
    std::unique_ptr<ISaverWindow> CreateCoverWindow(int left, int top, int width, int height) override;
    std::unique_ptr<ISaverWindow> CreateChildWindow(std::intptr_t parent) override;
    // As the last console display notice to a drawing window said (off; on or dimmed is awake).
    bool DisplayAsleep() override { return displayAsleep_; }
    void SetDisplayAsleep(bool asleep) { displayAsleep_ = asleep; }
    // WM_CLOSE, WM_QUERYENDSESSION and WM_ENDSESSION of a saver or cover window (End task, a
    // logoff) run onQuit, once, instead of taking the window alone.
    void WatchQuitSignals(std::function<void()> onQuit) override { onQuit_ = std::move(onQuit); }
    // The quit handler, handed out once; empty when none is watched or it already ran.
    std::function<void()> TakeQuit() { return std::exchange(onQuit_, nullptr); }

    // An exception a handler raised inside a window procedure of this system's windows and
    // dialogs, raised again once the system's frames are left; only the first is kept.
    void Defer(std::exception_ptr error);
    void RaiseDeferred();
    // Dialogs whose keyboard (Tab, Enter, Escape) the pump hands to IsDialogMessageW.
    void AddDialog(std::intptr_t hwnd);
    void RemoveDialog(std::intptr_t hwnd);

private:
    std::exception_ptr deferred_;
    std::function<void()> onQuit_;
    std::vector<std::intptr_t> dialogs_;
    bool displayAsleep_ = false;
};
