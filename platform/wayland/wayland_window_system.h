#pragma once
// Saver windows and the message pump on a Wayland compositor. A saver window is one surface per
// output it covers: a layer-shell overlay surface where the compositor offers the layer shell
// (sway, KWin, Hyprland), else a fullscreen xdg_toplevel (Mutter, Weston). Listeners only note
// what happened; the notes run as messages of the loop, so that a handler may destroy windows
// freely. The quit signals reach the loop through a pipe polled with the connection.
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/message_loop.h"
#include "platform/wayland/wayland_layout.h"

struct wl_display;
struct wl_registry;
struct wl_compositor;
struct wl_shm;
struct wl_surface;
struct wl_output;
struct wl_seat;
struct wl_pointer;
struct wl_keyboard;
struct wl_touch;
struct wl_callback;
struct wl_buffer;
struct wl_egl_window;
struct xdg_wm_base;
struct xdg_surface;
struct xdg_toplevel;
struct zwlr_layer_shell_v1;
struct zwlr_layer_surface_v1;
struct wp_viewporter;
struct wp_viewport;
struct zxdg_output_manager_v1;
struct zxdg_output_v1;

class TWaylandWindowSystem;

// One output's surface of a window, with what the drawing side keeps on it.
struct TSurfacePiece {
    TWaylandWindowSystem& System;
    std::uint32_t Output = 0;
    TMonitor InWindow;              // device pixels in the window
    int OriginX = 0, OriginY = 0;   // the output's top left corner in the window
    wl_surface* Surface = nullptr;
    zwlr_layer_surface_v1* Layer = nullptr;
    xdg_surface* XdgSurface = nullptr;
    xdg_toplevel* Toplevel = nullptr;
    wp_viewport* Viewport = nullptr;
    wl_buffer* Black = nullptr;     // a cover's one-colour buffer
    bool Configured = false;
    bool Closed = false;
    // Drawing: an EGL window surface on it, and the frame callback of its last swap.
    wl_egl_window* EglWindow = nullptr;
    void* EglSurface = nullptr;
    int EglWidth = 0, EglHeight = 0;
    wl_callback* Frame = nullptr;
    bool Unseen = false;            // its last frame callback did not come in time

    explicit TSurfacePiece(TWaylandWindowSystem& system) : System(system) {}
    ~TSurfacePiece();
    TSurfacePiece(const TSurfacePiece&) = delete;
    TSurfacePiece& operator=(const TSurfacePiece&) = delete;
};

class TWaylandWindow final : public ISaverWindow {
public:
    TWaylandWindow(TWaylandWindowSystem& system, bool cover, const TMonitor& place, std::string title);
    ~TWaylandWindow() override;

    std::intptr_t NativeHandle() override { return id_; }
    int Width() override { return place_.Width; }
    int Height() override { return place_.Height; }
    bool Visible() override { return shown_; }
    void Show() override;
    void Hide() override;
    void Paint() override {
        if (OnPaint) OnPaint();
    }
    // No surface shows: none is configured yet, or the compositor sent no frame callback.
    bool Unseen() override;
    bool Place(int left, int top, int width, int height) override;

    // The surfaces, in the outputs' order. Changes when outputs come and go or the window moves.
    const std::vector<std::unique_ptr<TSurfacePiece>>& Pieces() const { return pieces_; }
    // Counts changes of Pieces() and of the window's size.
    unsigned Generation() const { return generation_; }
    // Makes the surfaces on the outputs the window meets now, keeping those that stay.
    void UpdatePieces();
    TSurfacePiece* PieceOf(wl_surface* surface);
    bool Cover() const { return cover_; }
    // Run when the surfaces or the window's size changed (the drawing side binds anew).
    std::function<void()> PiecesChanged;
    // The live wallpaper's: its surfaces go on the background layer, without keyboard or pointer
    // (platform/wayland/wallpaper_layer.cpp). Set before it is shown.
    bool Background = false;

private:
    std::unique_ptr<TSurfacePiece> MakePiece(std::uint32_t output);

    TWaylandWindowSystem& system_;
    std::intptr_t id_;
    bool cover_;
    TMonitor place_;
    bool shown_ = false;
    unsigned generation_ = 0;
    std::vector<std::unique_ptr<TSurfacePiece>> pieces_;
    std::string title_;
};

class TWaylandWindowSystem final : public IWindowSystem {
public:
    // Connects to $WAYLAND_DISPLAY; raises Exception with the reason when it cannot.
    TWaylandWindowSystem();
    ~TWaylandWindowSystem() override;
    TWaylandWindowSystem(const TWaylandWindowSystem&) = delete;
    TWaylandWindowSystem& operator=(const TWaylandWindowSystem&) = delete;

    bool ProcessOne() override;
    void WaitForMessage() override;
    std::unique_ptr<ISaverWindow> CreateSaverWindow(const std::string& title, int left, int top, int width,
                                                    int height) override;
    std::unique_ptr<ISaverWindow> CreateCoverWindow(int left, int top, int width, int height) override;
    // Background-layer surfaces on every output it meets; raises Exception saying what it needs
    // where the compositor has no layer shell (GNOME).
    std::unique_ptr<ISaverWindow> CreateWallpaperWindow(int left, int top, int width, int height) override;
    // No foreign windows on Wayland.
    std::unique_ptr<ISaverWindow> CreateChildWindow(std::intptr_t) override { return nullptr; }
    void WatchQuitSignals(std::function<void()> onQuit) override;
    bool QuitSignalled() override;

    // The outputs fully described so far, in the order the compositor announced them.
    std::vector<TOutputPlace> Outputs() const;
    wl_display* Display() { return display_; }
    // The EGL display on the connection, made on first use (nullptr when EGL has none).
    void* EglDisplay();
    // Reads and dispatches events for up to timeoutMs (0: what is there now). Listeners only
    // note; nothing runs a handler. False on a broken connection.
    bool ReadEvents(int timeoutMs);
    // Ends a wait for messages (a frame callback made an unseen window seen again).
    void Wake() {
        Post([] {});
    }

private:
    friend class TWaylandWindow;
    friend struct TSurfacePiece;
    struct Output;
    struct Seat;
    class Listeners;

    void Post(std::function<void()> note) { notes_.push_back(std::move(note)); }
    void OutputsChanged();
    void Quit(std::intptr_t window);
    TWaylandWindow* WindowOf(wl_surface* surface, TSurfacePiece** piece = nullptr);
    void Roundtrip();
    wl_buffer* BlackBuffer(int width, int height);
    const Output* FindOutput(std::uint32_t id) const;

    wl_display* display_ = nullptr;
    wl_registry* registry_ = nullptr;
    wl_compositor* compositor_ = nullptr;
    wl_shm* shm_ = nullptr;
    xdg_wm_base* wmBase_ = nullptr;
    zwlr_layer_shell_v1* layerShell_ = nullptr;
    wp_viewporter* viewporter_ = nullptr;
    zxdg_output_manager_v1* outputManager_ = nullptr;
    std::vector<std::unique_ptr<Output>> outputs_;
    std::vector<std::unique_ptr<Seat>> seats_;
    std::map<std::intptr_t, TWaylandWindow*> windows_;
    std::intptr_t nextId_ = 1;
    std::intptr_t keyboardFocus_ = 0;
    std::deque<std::function<void()>> notes_;
    bool outputsChangePosted_ = false;
    bool started_ = false;
    bool lost_ = false;
    void* eglDisplay_ = nullptr;
    std::function<void()> onQuit_;
};
