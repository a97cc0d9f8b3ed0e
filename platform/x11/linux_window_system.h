#pragma once
// The Linux window system: the X11 saver windows and pump, and once the settings dialog exists
// GLib's main loop from the GTK module as the program's loop. It needs no GTK itself, so the
// saver, the preview and the hack never load it.
#include <memory>

#include "app/message_loop.h"
#include "platform/x11/x11_window_system.h"

class IGtkLoop;
class IGtkModule;

class TLinuxWindowSystem final : public IWindowSystem {
public:
    explicit TLinuxWindowSystem(std::unique_ptr<TX11WindowSystem> x11);
    ~TLinuxWindowSystem() override;
    TLinuxWindowSystem(const TLinuxWindowSystem&) = delete;
    TLinuxWindowSystem& operator=(const TLinuxWindowSystem&) = delete;

    bool ProcessOne() override;
    void WaitForMessage() override;
    std::unique_ptr<ISaverWindow> CreateSaverWindow(const std::string& title, int left, int top, int width,
                                                    int height) override {
        return x11_->CreateSaverWindow(title, left, top, width, height);
    }
    std::unique_ptr<ISaverWindow> CreateCoverWindow(int left, int top, int width, int height) override {
        return x11_->CreateCoverWindow(left, top, width, height);
    }
    std::unique_ptr<ISaverWindow> CreateChildWindow(std::intptr_t parent) override { return x11_->CreateChildWindow(parent); }
    std::unique_ptr<ISaverWindow> AdoptWindow(std::intptr_t window) override { return x11_->AdoptWindow(window); }
    std::unique_ptr<ISaverWindow> CreateWallpaperWindow(int left, int top, int width, int height) override {
        x11_->OnMonitorsChanged = [this] {
            if (auto handler = OnMonitorsChanged) handler();
        };
        return x11_->CreateWallpaperWindow(left, top, width, height);
    }
    // Watched by the X11 pump, which the saver and the hack keep.
    void WatchQuitSignals(std::function<void()> onQuit) override { x11_->WatchQuitSignals(std::move(onQuit)); }
    bool QuitSignalled() override { return x11_->QuitSignalled(); }
    bool DisplayAsleep() override { return x11_->DisplayAsleep(); }
    void PrepareDrawing() override { x11_->PrepareDrawing(); }
    void FinishPreparingDrawing() override { x11_->FinishPreparingDrawing(); }
    // The X11 loop until GLib's takes over (the dialog may be made by one of its idle turns),
    // then GLib's.
    void RunLoop(TApplication& application) override;

    // Called once the settings dialog exists: GTK runs from now on. Once only.
    void HandLoopTo(IGtkModule& module);
    bool GLibRunsLoop() const { return gtk_ != nullptr; }
    TX11WindowSystem& X11() { return *x11_; }

private:
    IMessagePump& Pump();

    std::unique_ptr<TX11WindowSystem> x11_;
    // Declared after x11_: it goes first, and it uses x11_.
    std::unique_ptr<IGtkLoop> gtk_;
};
