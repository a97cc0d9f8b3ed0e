#pragma once
// The Linux window system: the X11 saver windows and pump, and, once the settings dialog exists,
// GLib's main loop as the program's loop. GTK is started only for the dialog: the full-screen
// saver and the preview never load it.
#include <memory>

#include "app/message_loop.h"

struct _GSource;

class TGtkWindowSystem final : public IWindowSystem {
public:
    explicit TGtkWindowSystem(std::unique_ptr<IWindowSystem> x11);
    ~TGtkWindowSystem() override;
    TGtkWindowSystem(const TGtkWindowSystem&) = delete;
    TGtkWindowSystem& operator=(const TGtkWindowSystem&) = delete;

    // With GTK up, one X event of the saver windows or one GLib dispatch; a C++ exception kept
    // by a GTK callback is raised here.
    bool ProcessOne() override;
    void WaitForMessage() override;
    std::unique_ptr<ISaverWindow> CreateSaverWindow(const std::string& title, int left, int top, int width,
                                                    int height) override;
    std::unique_ptr<ISaverWindow> CreateCoverWindow(int left, int top, int width, int height) override;
    std::unique_ptr<ISaverWindow> CreateChildWindow(std::intptr_t parent) override;
    std::unique_ptr<ISaverWindow> AdoptWindow(std::intptr_t window) override { return x11_->AdoptWindow(window); }
    // Watched by the X11 loop: the saver and the hack never start GTK.
    void WatchQuitSignals(std::function<void()> onQuit) override { x11_->WatchQuitSignals(std::move(onQuit)); }
    void PrepareDrawing() override { x11_->PrepareDrawing(); }
    void FinishPreparingDrawing() override { x11_->FinishPreparingDrawing(); }
    void* NativeDisplay() override { return x11_->NativeDisplay(); }
    // The X11 loop until GTK is attached, then GLib's: this system's X connection and the
    // application's idle turns become sources of the default main context.
    void RunLoop(TApplication& application) override;

    // Called once GTK runs (the settings view was made).
    void AttachToGtk();
    bool GtkAttached() const { return xSource_ != nullptr; }

    // For the GLib sources.
    void DispatchX();
    bool IdleReady() const;
    void DispatchIdle();
    void WantIdle() { idleWanted_ = true; }

private:
    std::unique_ptr<IWindowSystem> x11_;
    _GSource* xSource_ = nullptr;
    _GSource* idleSource_ = nullptr;
    TApplication* application_ = nullptr;  // while RunLoop runs
    bool idleWanted_ = true;
    // Inside ProcessOne and WaitForMessage the caller runs the idle turns itself.
    int pumping_ = 0;
};
