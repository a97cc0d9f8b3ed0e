#include "platform/wayland/wayland_window_system.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>
#include <wayland-egl.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <utility>

#include "app/exception.h"
#include "platform/posix/gl_driver_pin.h"
#include "platform/posix/quit_signals.h"
#include "viewporter-client-protocol.h"
// The generated header names a parameter "namespace", a C++ keyword.
#define namespace namespace_
#include "wlr-layer-shell-unstable-v1-client-protocol.h"
#undef namespace
#include "xdg-output-unstable-v1-client-protocol.h"
#include "xdg-shell-client-protocol.h"

namespace {

// A listener entry for an event we do not need.
template <typename F>
struct TIgnore;
template <typename... Args>
struct TIgnore<void (*)(Args...)> {
    static void Call(Args...) {}
};
#define TW_IGNORED(listener, member) TIgnore<decltype(listener::member)>::Call

constexpr std::uint32_t kAllEdges = ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP | ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM |
                                    ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT | ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT;

}  // namespace

struct TWaylandWindowSystem::Output {
    TWaylandWindowSystem& System;
    std::uint32_t Name;
    wl_output* Handle;
    zxdg_output_v1* Xdg = nullptr;
    int X = 0, Y = 0, ModeWidth = 0, ModeHeight = 0, Scale = 1;
    int LogicalX = 0, LogicalY = 0, LogicalWidth = 0, LogicalHeight = 0;
    bool Done = false, XdgDone = false;

    bool Ready() const { return Done && (!Xdg || XdgDone); }
    TOutputPlace Place() const {
        return OutputPlace(Name, X, Y, ModeWidth, ModeHeight, Scale, LogicalX, LogicalY, Xdg ? LogicalWidth : 0,
                           LogicalHeight);
    }
};

struct TWaylandWindowSystem::Seat {
    TWaylandWindowSystem& System;
    std::uint32_t Name;
    wl_seat* Handle;
    wl_pointer* Pointer = nullptr;
    wl_keyboard* Keyboard = nullptr;
    wl_touch* Touch = nullptr;
    wl_surface* PointerFocus = nullptr;
    // A keyboard that came while we run (plugged in, or a virtual one): a key it holds when it
    // first enters was pressed now.
    bool FreshKeyboard = false;
};

// The listeners: each notes what happened and posts what a handler must see.
class TWaylandWindowSystem::Listeners {
public:
    static void Global(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
                       std::uint32_t version) {
        auto& s = *static_cast<TWaylandWindowSystem*>(data);
        const std::string kind = interface;
        const auto bind = [&](const wl_interface* type, std::uint32_t most) {
            return wl_registry_bind(registry, name, type, std::min(version, most));
        };
        if (kind == wl_compositor_interface.name) {
            s.compositor_ = static_cast<wl_compositor*>(bind(&wl_compositor_interface, 4));
        } else if (kind == wl_shm_interface.name) {
            s.shm_ = static_cast<wl_shm*>(bind(&wl_shm_interface, 1));
        } else if (kind == xdg_wm_base_interface.name) {
            s.wmBase_ = static_cast<xdg_wm_base*>(bind(&xdg_wm_base_interface, 2));
            xdg_wm_base_add_listener(s.wmBase_, &wmBase, &s);
        } else if (kind == zwlr_layer_shell_v1_interface.name) {
            s.layerShell_ = static_cast<zwlr_layer_shell_v1*>(bind(&zwlr_layer_shell_v1_interface, 3));
        } else if (kind == wp_viewporter_interface.name) {
            s.viewporter_ = static_cast<wp_viewporter*>(bind(&wp_viewporter_interface, 1));
        } else if (kind == zxdg_output_manager_v1_interface.name) {
            // Version 2: the xdg output's own done event tells when its place is known.
            s.outputManager_ = static_cast<zxdg_output_manager_v1*>(bind(&zxdg_output_manager_v1_interface, 2));
            for (auto& output : s.outputs_) WatchLogical(*output);
        } else if (kind == wl_output_interface.name) {
            auto output = std::make_unique<Output>(Output{s, name, nullptr});
            output->Handle = static_cast<wl_output*>(bind(&wl_output_interface, 2));
            wl_output_add_listener(output->Handle, &output_, output.get());
            WatchLogical(*output);
            s.outputs_.push_back(std::move(output));
        } else if (kind == wl_seat_interface.name) {
            auto seat = std::make_unique<Seat>(Seat{s, name, nullptr});
            seat->Handle = static_cast<wl_seat*>(bind(&wl_seat_interface, 5));
            wl_seat_add_listener(seat->Handle, &seat_, seat.get());
            s.seats_.push_back(std::move(seat));
        }
    }
    static void GlobalRemove(void* data, wl_registry*, std::uint32_t name) {
        auto& s = *static_cast<TWaylandWindowSystem*>(data);
        const auto output = std::find_if(s.outputs_.begin(), s.outputs_.end(), [name](auto& o) { return o->Name == name; });
        if (output != s.outputs_.end()) {
            if ((*output)->Xdg) zxdg_output_v1_destroy((*output)->Xdg);
            wl_output_destroy((*output)->Handle);
            s.outputs_.erase(output);
            s.OutputsChanged();
        }
        const auto seat = std::find_if(s.seats_.begin(), s.seats_.end(), [name](auto& o) { return o->Name == name; });
        if (seat != s.seats_.end()) {
            DropDevices(**seat, 0);
            wl_seat_destroy((*seat)->Handle);
            s.seats_.erase(seat);
        }
    }
    static constexpr wl_registry_listener registry{Global, GlobalRemove};

    static void WatchLogical(Output& output) {
        if (!output.System.outputManager_ || output.Xdg) return;
        output.Xdg = zxdg_output_manager_v1_get_xdg_output(output.System.outputManager_, output.Handle);
        zxdg_output_v1_add_listener(output.Xdg, &xdgOutput, &output);
    }

    static void Ping(void*, xdg_wm_base* base, std::uint32_t serial) { xdg_wm_base_pong(base, serial); }
    static constexpr xdg_wm_base_listener wmBase{Ping};

    // Outputs.
    static void Geometry(void* data, wl_output*, std::int32_t x, std::int32_t y, std::int32_t, std::int32_t,
                         std::int32_t, const char*, const char*, std::int32_t) {
        auto& o = *static_cast<Output*>(data);
        o.X = x;
        o.Y = y;
    }
    static void Mode(void* data, wl_output*, std::uint32_t flags, std::int32_t width, std::int32_t height, std::int32_t) {
        auto& o = *static_cast<Output*>(data);
        if (!(flags & WL_OUTPUT_MODE_CURRENT)) return;
        o.ModeWidth = width;
        o.ModeHeight = height;
    }
    static void OutputDone(void* data, wl_output*) {
        auto& o = *static_cast<Output*>(data);
        o.Done = true;
        if (o.Ready()) o.System.OutputsChanged();
    }
    static void Scale(void* data, wl_output*, std::int32_t scale) { static_cast<Output*>(data)->Scale = std::max(scale, 1); }
    static constexpr wl_output_listener output_{Geometry, Mode, OutputDone, Scale, TW_IGNORED(wl_output_listener, name),
                                                TW_IGNORED(wl_output_listener, description)};

    static void LogicalPosition(void* data, zxdg_output_v1*, std::int32_t x, std::int32_t y) {
        auto& o = *static_cast<Output*>(data);
        o.LogicalX = x;
        o.LogicalY = y;
    }
    static void LogicalSize(void* data, zxdg_output_v1*, std::int32_t width, std::int32_t height) {
        auto& o = *static_cast<Output*>(data);
        o.LogicalWidth = width;
        o.LogicalHeight = height;
    }
    static void XdgDone(void* data, zxdg_output_v1*) {
        auto& o = *static_cast<Output*>(data);
        o.XdgDone = true;
        if (o.Ready()) o.System.OutputsChanged();
    }
    static constexpr zxdg_output_v1_listener xdgOutput{LogicalPosition, LogicalSize, XdgDone,
                                                       TW_IGNORED(zxdg_output_v1_listener, name),
                                                       TW_IGNORED(zxdg_output_v1_listener, description)};

    // Seats and their devices.
    static void DropDevices(Seat& seat, std::uint32_t keep) {
        if (seat.Pointer && !(keep & WL_SEAT_CAPABILITY_POINTER)) {
            wl_pointer_release(seat.Pointer);
            seat.Pointer = nullptr;
            seat.PointerFocus = nullptr;
        }
        if (seat.Keyboard && !(keep & WL_SEAT_CAPABILITY_KEYBOARD)) {
            wl_keyboard_release(seat.Keyboard);
            seat.Keyboard = nullptr;
        }
        if (seat.Touch && !(keep & WL_SEAT_CAPABILITY_TOUCH)) {
            wl_touch_release(seat.Touch);
            seat.Touch = nullptr;
        }
    }
    static void Capabilities(void* data, wl_seat* handle, std::uint32_t caps) {
        auto& seat = *static_cast<Seat*>(data);
        DropDevices(seat, caps);
        if ((caps & WL_SEAT_CAPABILITY_POINTER) && !seat.Pointer) {
            seat.Pointer = wl_seat_get_pointer(handle);
            wl_pointer_add_listener(seat.Pointer, &pointer, &seat);
        }
        if ((caps & WL_SEAT_CAPABILITY_KEYBOARD) && !seat.Keyboard) {
            seat.Keyboard = wl_seat_get_keyboard(handle);
            seat.FreshKeyboard = seat.System.started_;
            wl_keyboard_add_listener(seat.Keyboard, &keyboard, &seat);
        }
        if ((caps & WL_SEAT_CAPABILITY_TOUCH) && !seat.Touch) {
            seat.Touch = wl_seat_get_touch(handle);
            wl_touch_add_listener(seat.Touch, &touch, &seat);
        }
    }
    static constexpr wl_seat_listener seat_{Capabilities, TW_IGNORED(wl_seat_listener, name)};

    // A move in the window's coordinates: the output's place in the window plus the point on
    // its surface in device pixels.
    static void PostMove(TWaylandWindowSystem& s, wl_surface* surface, wl_fixed_t x, wl_fixed_t y) {
        TSurfacePiece* piece = nullptr;
        TWaylandWindow* window = s.WindowOf(surface, &piece);
        if (!window) return;
        const int scale = DeviceScale(s.Outputs());
        const int wx = piece->OriginX + static_cast<int>(wl_fixed_to_double(x) * scale);
        const int wy = piece->OriginY + static_cast<int>(wl_fixed_to_double(y) * scale);
        s.Post([&s, id = window->NativeHandle(), wx, wy] {
            const auto it = s.windows_.find(id);
            if (it == s.windows_.end()) return;
            if (auto handler = it->second->OnMouseMove) handler(wx, wy);
        });
    }
    static void PostButton(TWaylandWindowSystem& s, std::intptr_t id) {
        s.Post([&s, id] {
            const auto it = s.windows_.find(id);
            if (it == s.windows_.end()) return;
            if (auto handler = it->second->OnMouseButton) handler();
        });
    }
    static void Enter(void* data, wl_pointer* handle, std::uint32_t serial, wl_surface* surface, wl_fixed_t x,
                      wl_fixed_t y) {
        auto& seat = *static_cast<Seat*>(data);
        seat.PointerFocus = surface;
        if (!seat.System.WindowOf(surface)) return;
        // No cursor over our surfaces.
        wl_pointer_set_cursor(handle, serial, nullptr, 0, 0);
        PostMove(seat.System, surface, x, y);
    }
    // Our surfaces cover every output: a pointer that leaves them and enters none of ours went
    // to a surface above them, or was taken by an input inhibitor: a screen locker started
    // (swaylock 1.7 on sway 1.7, whose newer overlay surface is drawn below ours, and whose
    // keyboard focus sway hands back to us). The saver ends, as a quit does.
    static void Leave(void* data, wl_pointer*, std::uint32_t, wl_surface* surface) {
        auto& seat = *static_cast<Seat*>(data);
        seat.PointerFocus = nullptr;
        TWaylandWindow* window = seat.System.WindowOf(surface);
        // The wallpaper is below everything: the pointer leaving it says nothing of a locker.
        if (window && !window->Background) CheckFocusLater(seat.System, window->NativeHandle());
    }
    static void CheckFocusLater(TWaylandWindowSystem& s, std::intptr_t window) {
        auto* pending = new std::pair<TWaylandWindowSystem*, std::intptr_t>(&s, window);
        wl_callback_add_listener(wl_display_sync(s.display_), &focusCheck, pending);
    }
    static void Motion(void* data, wl_pointer*, std::uint32_t, wl_fixed_t x, wl_fixed_t y) {
        auto& seat = *static_cast<Seat*>(data);
        if (seat.PointerFocus) PostMove(seat.System, seat.PointerFocus, x, y);
    }
    static void Button(void* data, wl_pointer*, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t state) {
        auto& seat = *static_cast<Seat*>(data);
        if (state != WL_POINTER_BUTTON_STATE_PRESSED) return;
        if (TWaylandWindow* window = seat.System.WindowOf(seat.PointerFocus)) PostButton(seat.System, window->NativeHandle());
    }
    static constexpr wl_pointer_listener pointer{Enter,
                                                 Leave,
                                                 Motion,
                                                 Button,
                                                 TW_IGNORED(wl_pointer_listener, axis),
                                                 TW_IGNORED(wl_pointer_listener, frame),
                                                 TW_IGNORED(wl_pointer_listener, axis_source),
                                                 TW_IGNORED(wl_pointer_listener, axis_stop),
                                                 TW_IGNORED(wl_pointer_listener, axis_discrete),
                                                 TW_IGNORED(wl_pointer_listener, axis_value120)};

    static void Keymap(void*, wl_keyboard*, std::uint32_t, std::int32_t fd, std::uint32_t) { close(fd); }
    static void KeyboardEnter(void* data, wl_keyboard* keyboard, std::uint32_t, wl_surface* surface, wl_array* keys) {
        auto& seat = *static_cast<Seat*>(data);
        auto& s = seat.System;
        TWaylandWindow* window = s.WindowOf(surface);
        if (!window) return;
        s.keyboardFocus_ = window->NativeHandle();
        const bool fresh = std::exchange(seat.FreshKeyboard, false);
        if (fresh && keys && keys->size > 0) Key(data, keyboard, 0, 0, 0, WL_KEYBOARD_KEY_STATE_PRESSED);
    }
    // Another surface took the keyboard from the saver's: on an exclusive overlay that is a
    // screen locker (swaylock's input inhibitor, a session-lock surface), or a newer exclusive
    // surface that sway 1.7 may well draw below ours. The saver ends, as a quit does, unless the
    // focus only moved to another surface of ours (the compositor has answered a sync by then).
    static void KeyboardLeave(void* data, wl_keyboard*, std::uint32_t, wl_surface* surface) {
        auto& seat = *static_cast<Seat*>(data);
        auto& s = seat.System;
        TWaylandWindow* window = s.WindowOf(surface);
        s.keyboardFocus_ = 0;
        if (window && !window->Cover() && !window->Background) CheckFocusLater(s, window->NativeHandle());
    }
    // After a leave, once the compositor has answered: whether a seat's keyboard or pointer is
    // left on none of our surfaces.
    static void FocusChecked(void* data, wl_callback* callback, std::uint32_t) {
        std::unique_ptr<std::pair<TWaylandWindowSystem*, std::intptr_t>> pending(
            static_cast<std::pair<TWaylandWindowSystem*, std::intptr_t>*>(data));
        wl_callback_destroy(callback);
        TWaylandWindowSystem& s = *pending->first;
        if (!s.windows_.count(pending->second)) return;
        bool keyboardLost = false, pointerLost = false;
        for (const auto& seat : s.seats_) {
            keyboardLost |= seat->Keyboard && s.keyboardFocus_ == 0;
            pointerLost |= seat->Pointer && !s.WindowOf(seat->PointerFocus);
        }
        if (keyboardLost || pointerLost) s.Post([&s, id = pending->second] { s.Quit(id); });
    }
    static constexpr wl_callback_listener focusCheck{FocusChecked};
    // Keys held when the focus came are not pressed now: only a press counts, as on X11.
    static void Key(void* data, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t state) {
        auto& s = static_cast<Seat*>(data)->System;
        if (state != WL_KEYBOARD_KEY_STATE_PRESSED) return;
        s.Post([&s] {
            auto it = s.windows_.find(s.keyboardFocus_);
            if (it == s.windows_.end())
                it = std::find_if(s.windows_.begin(), s.windows_.end(), [](auto& w) { return !w.second->Cover(); });
            if (it == s.windows_.end()) return;
            if (auto handler = it->second->OnKey) handler();
        });
    }
    static constexpr wl_keyboard_listener keyboard{Keymap, KeyboardEnter, KeyboardLeave, Key,
                                                   TW_IGNORED(wl_keyboard_listener, modifiers),
                                                   TW_IGNORED(wl_keyboard_listener, repeat_info)};

    static void Down(void* data, wl_touch*, std::uint32_t, std::uint32_t, wl_surface* surface, std::int32_t, wl_fixed_t,
                     wl_fixed_t) {
        auto& s = static_cast<Seat*>(data)->System;
        if (TWaylandWindow* window = s.WindowOf(surface)) PostButton(s, window->NativeHandle());
    }
    static constexpr wl_touch_listener touch{Down,
                                             TW_IGNORED(wl_touch_listener, up),
                                             TW_IGNORED(wl_touch_listener, motion),
                                             TW_IGNORED(wl_touch_listener, frame),
                                             TW_IGNORED(wl_touch_listener, cancel),
                                             TW_IGNORED(wl_touch_listener, shape),
                                             TW_IGNORED(wl_touch_listener, orientation)};

    // Surfaces.
    static void Configured(TSurfacePiece& piece) {
        piece.Configured = true;
        if (!piece.Black) return;
        // A cover shows its black buffer from its first configure on.
        wl_surface_attach(piece.Surface, piece.Black, 0, 0);
        wl_surface_damage(piece.Surface, 0, 0, INT32_MAX, INT32_MAX);
        wl_surface_commit(piece.Surface);
    }
    static void LayerConfigure(void* data, zwlr_layer_surface_v1* layer, std::uint32_t serial, std::uint32_t width,
                               std::uint32_t height) {
        auto& piece = *static_cast<TSurfacePiece*>(data);
        zwlr_layer_surface_v1_ack_configure(layer, serial);
        if (piece.Viewport && width > 0 && height > 0)
            wp_viewport_set_destination(piece.Viewport, static_cast<int>(width), static_cast<int>(height));
        Configured(piece);
    }
    // The compositor closes a layer surface when its output goes, or to end it. Which it was is
    // known once the compositor has answered a sync sent now: by then an output that went has
    // been removed from the registry. A surface closed before its first configure was refused
    // by an output still being set up (sway, just after an output was added): the next change
    // of the outputs makes it anew.
    static void LayerClosed(void* data, zwlr_layer_surface_v1*) {
        auto& piece = *static_cast<TSurfacePiece*>(data);
        piece.Closed = true;
        TWaylandWindowSystem& s = piece.System;
        TWaylandWindow* window = s.WindowOf(piece.Surface);
        if (!window) return;
        if (!piece.Configured) {
            s.Post([&s, id = window->NativeHandle()] {
                const auto it = s.windows_.find(id);
                if (it != s.windows_.end()) it->second->UpdatePieces();
            });
            return;
        }
        auto* pending = new std::pair<TWaylandWindowSystem*, std::pair<std::intptr_t, std::uint32_t>>(
            &s, {window->NativeHandle(), piece.Output});
        wl_callback_add_listener(wl_display_sync(s.display_), &closeCheck, pending);
    }
    static void CloseChecked(void* data, wl_callback* callback, std::uint32_t) {
        std::unique_ptr<std::pair<TWaylandWindowSystem*, std::pair<std::intptr_t, std::uint32_t>>> pending(
            static_cast<std::pair<TWaylandWindowSystem*, std::pair<std::intptr_t, std::uint32_t>>*>(data));
        wl_callback_destroy(callback);
        TWaylandWindowSystem& s = *pending->first;
        const auto [window, output] = pending->second;
        if (s.FindOutput(output)) s.Post([&s, window = window] { s.Quit(window); });
    }
    static constexpr wl_callback_listener closeCheck{CloseChecked};
    static constexpr zwlr_layer_surface_v1_listener layer{LayerConfigure, LayerClosed};

    static void XdgConfigure(void* data, xdg_surface* surface, std::uint32_t serial) {
        xdg_surface_ack_configure(surface, serial);
        Configured(*static_cast<TSurfacePiece*>(data));
    }
    static constexpr xdg_surface_listener xdgSurface{XdgConfigure};
    static void ToplevelClose(void* data, xdg_toplevel*) {
        auto& piece = *static_cast<TSurfacePiece*>(data);
        TWaylandWindowSystem& s = piece.System;
        if (TWaylandWindow* window = s.WindowOf(piece.Surface))
            s.Post([&s, id = window->NativeHandle()] { s.Quit(id); });
    }
    static constexpr xdg_toplevel_listener toplevel{TW_IGNORED(xdg_toplevel_listener, configure), ToplevelClose,
                                                    TW_IGNORED(xdg_toplevel_listener, configure_bounds),
                                                    TW_IGNORED(xdg_toplevel_listener, wm_capabilities)};
};

TSurfacePiece::~TSurfacePiece() {
    if (Frame) wl_callback_destroy(Frame);
    if (EglSurface) {
        EGLDisplay display = System.EglDisplay();
        // A surface that is current goes only once it is not: drawing goes on without one.
        if (eglGetCurrentSurface(EGL_DRAW) == EglSurface)
            eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, eglGetCurrentContext());
        eglDestroySurface(display, EglSurface);
    }
    if (EglWindow) wl_egl_window_destroy(EglWindow);
    if (Viewport) wp_viewport_destroy(Viewport);
    if (Layer) zwlr_layer_surface_v1_destroy(Layer);
    if (Toplevel) xdg_toplevel_destroy(Toplevel);
    if (XdgSurface) xdg_surface_destroy(XdgSurface);
    if (Surface) wl_surface_destroy(Surface);
    if (Black) wl_buffer_destroy(Black);
}

TWaylandWindow::TWaylandWindow(TWaylandWindowSystem& system, bool cover, const TMonitor& place, std::string title)
    : system_(system), id_(system.nextId_++), cover_(cover), place_(place), title_(std::move(title)) {
    system_.windows_[id_] = this;
}

TWaylandWindow::~TWaylandWindow() {
    pieces_.clear();
    system_.windows_.erase(id_);
    if (system_.keyboardFocus_ == id_) system_.keyboardFocus_ = 0;
    wl_display_flush(system_.display_);
}

void TWaylandWindow::Show() {
    if (shown_) return;
    shown_ = true;
    UpdatePieces();
}

void TWaylandWindow::Hide() {
    if (!shown_) return;
    shown_ = false;
    pieces_.clear();
    ++generation_;
    if (PiecesChanged) PiecesChanged();
    wl_display_flush(system_.display_);
}

bool TWaylandWindow::Unseen() {
    for (const auto& piece : pieces_)
        if (piece->Configured && !piece->Unseen) return false;
    return true;
}

bool TWaylandWindow::Place(int left, int top, int width, int height) {
    const TMonitor place{left, top, width, height, false};
    if (place == place_) {
        UpdatePieces();
        return true;
    }
    place_ = place;
    ++generation_;
    UpdatePieces();
    if (PiecesChanged) PiecesChanged();
    return true;
}

TSurfacePiece* TWaylandWindow::PieceOf(wl_surface* surface) {
    for (auto& piece : pieces_)
        if (piece->Surface == surface) return piece.get();
    return nullptr;
}

void TWaylandWindow::UpdatePieces() {
    if (!shown_) return;
    const auto outputs = system_.Outputs();
    const auto split = SplitWindow(place_, outputs);
    const int scale = DeviceScale(outputs);
    bool changed = false;
    // Surfaces on outputs gone, or closed by the compositor, go first.
    changed |= std::erase_if(pieces_, [&](const auto& piece) {
                   return piece->Closed || std::none_of(split.begin(), split.end(), [&](const TWindowPiece& p) {
                              return p.Output == piece->Output;
                          });
               }) > 0;
    std::vector<std::unique_ptr<TSurfacePiece>> ordered;
    bool made = false;
    for (const TWindowPiece& part : split) {
        const auto output = std::find_if(outputs.begin(), outputs.end(), [&](auto& o) { return o.Id == part.Output; });
        const auto held = std::find_if(pieces_.begin(), pieces_.end(), [&](auto& p) { return p && p->Output == part.Output; });
        std::unique_ptr<TSurfacePiece> piece;
        if (held != pieces_.end()) {
            piece = std::move(*held);
        } else {
            piece = MakePiece(part.Output);
            made = changed = true;
        }
        changed |= !(piece->InWindow == part.InWindow);
        piece->InWindow = part.InWindow;
        piece->OriginX = output->Left * scale - place_.Left;
        piece->OriginY = output->Top * scale - place_.Top;
        if (!piece->Viewport && !made) wl_surface_set_buffer_scale(piece->Surface, scale);
        ordered.push_back(std::move(piece));
    }
    pieces_ = std::move(ordered);
    // New surfaces are drawn into only once configured.
    for (int i = 0; made && i < 4 && std::any_of(pieces_.begin(), pieces_.end(), [](auto& p) { return !p->Configured; });
         ++i)
        system_.Roundtrip();
    if (changed) {
        ++generation_;
        if (PiecesChanged) PiecesChanged();
    }
}

std::unique_ptr<TSurfacePiece> TWaylandWindow::MakePiece(std::uint32_t outputId) {
    TWaylandWindowSystem& s = system_;
    const auto* output = s.FindOutput(outputId);
    auto piece = std::make_unique<TSurfacePiece>(s);
    piece->Output = outputId;
    piece->Surface = wl_compositor_create_surface(s.compositor_);
    const TOutputPlace place = output->Place();
    const int scale = DeviceScale(s.Outputs());
    // Opaque: whatever alpha the GL format has, nothing behind shows through.
    wl_region* opaque = wl_compositor_create_region(s.compositor_);
    wl_region_add(opaque, 0, 0, INT32_MAX, INT32_MAX);
    wl_surface_set_opaque_region(piece->Surface, opaque);
    wl_region_destroy(opaque);
    // Buffers in device pixels: the viewport maps them onto the output's logical size, else
    // the buffer scale does.
    if (s.viewporter_) {
        piece->Viewport = wp_viewporter_get_viewport(s.viewporter_, piece->Surface);
        wp_viewport_set_destination(piece->Viewport, place.Width, place.Height);
    } else {
        wl_surface_set_buffer_scale(piece->Surface, scale);
    }
    if (cover_) piece->Black = s.BlackBuffer(s.viewporter_ ? 1 : place.Width * scale, s.viewporter_ ? 1 : place.Height * scale);
    if (s.layerShell_) {
        piece->Layer = zwlr_layer_shell_v1_get_layer_surface(
            s.layerShell_, piece->Surface, output->Handle,
            Background ? ZWLR_LAYER_SHELL_V1_LAYER_BACKGROUND : ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY,
            Background ? "3dtidewell-wallpaper" : "3dtidewell");
        zwlr_layer_surface_v1_set_anchor(piece->Layer, kAllEdges);
        zwlr_layer_surface_v1_set_exclusive_zone(piece->Layer, -1);
        zwlr_layer_surface_v1_set_keyboard_interactivity(piece->Layer, cover_ || Background
                                                                           ? ZWLR_LAYER_SURFACE_V1_KEYBOARD_INTERACTIVITY_NONE
                                                                           : ZWLR_LAYER_SURFACE_V1_KEYBOARD_INTERACTIVITY_EXCLUSIVE);
        // Behind every window, the wallpaper lets the pointer through to what the desktop does there.
        if (Background) {
            wl_region* none = wl_compositor_create_region(s.compositor_);
            wl_surface_set_input_region(piece->Surface, none);
            wl_region_destroy(none);
        }
        zwlr_layer_surface_v1_set_size(piece->Layer, 0, 0);
        zwlr_layer_surface_v1_add_listener(piece->Layer, &TWaylandWindowSystem::Listeners::layer, piece.get());
    } else {
        piece->XdgSurface = xdg_wm_base_get_xdg_surface(s.wmBase_, piece->Surface);
        xdg_surface_add_listener(piece->XdgSurface, &TWaylandWindowSystem::Listeners::xdgSurface, piece.get());
        piece->Toplevel = xdg_surface_get_toplevel(piece->XdgSurface);
        xdg_toplevel_add_listener(piece->Toplevel, &TWaylandWindowSystem::Listeners::toplevel, piece.get());
        xdg_toplevel_set_app_id(piece->Toplevel, "3dtidewell");
        xdg_toplevel_set_title(piece->Toplevel, title_.c_str());
        xdg_toplevel_set_fullscreen(piece->Toplevel, output->Handle);
    }
    wl_surface_commit(piece->Surface);
    return piece;
}

TWaylandWindowSystem::TWaylandWindowSystem() {
    display_ = wl_display_connect(nullptr);
    if (!display_) {
        const char* name = std::getenv("WAYLAND_DISPLAY");
        throw Exception(std::string("cannot connect to Wayland display '") + (name && *name ? name : "wayland-0") + "'");
    }
    registry_ = wl_display_get_registry(display_);
    wl_registry_add_listener(registry_, &Listeners::registry, this);
    // The globals, then what the outputs and seats tell about themselves.
    Roundtrip();
    Roundtrip();
    if (!compositor_ || !shm_ || (!layerShell_ && !wmBase_)) {
        wl_display_disconnect(display_);
        throw Exception("the Wayland compositor offers no shell for full-screen surfaces");
    }
    started_ = true;
    notes_.clear();
    outputsChangePosted_ = false;
}

TWaylandWindowSystem::~TWaylandWindowSystem() {
    notes_.clear();
    if (eglDisplay_) {
        eglMakeCurrent(eglDisplay_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        eglTerminate(eglDisplay_);
    }
    for (auto& seat : seats_) {
        Listeners::DropDevices(*seat, 0);
        wl_seat_destroy(seat->Handle);
    }
    for (auto& output : outputs_) {
        if (output->Xdg) zxdg_output_v1_destroy(output->Xdg);
        wl_output_destroy(output->Handle);
    }
    if (outputManager_) zxdg_output_manager_v1_destroy(outputManager_);
    if (viewporter_) wp_viewporter_destroy(viewporter_);
    if (layerShell_) zwlr_layer_shell_v1_destroy(layerShell_);
    if (wmBase_) xdg_wm_base_destroy(wmBase_);
    if (shm_) wl_shm_destroy(shm_);
    if (compositor_) wl_compositor_destroy(compositor_);
    wl_registry_destroy(registry_);
    wl_display_disconnect(display_);
}

std::vector<TOutputPlace> TWaylandWindowSystem::Outputs() const {
    std::vector<TOutputPlace> places;
    for (const auto& output : outputs_)
        if (output->Ready()) places.push_back(output->Place());
    return places;
}

const TWaylandWindowSystem::Output* TWaylandWindowSystem::FindOutput(std::uint32_t id) const {
    for (const auto& output : outputs_)
        if (output->Name == id) return output.get();
    return nullptr;
}

TWaylandWindow* TWaylandWindowSystem::WindowOf(wl_surface* surface, TSurfacePiece** piece) {
    if (!surface) return nullptr;
    for (auto& [id, window] : windows_)
        if (TSurfacePiece* found = window->PieceOf(surface)) {
            if (piece) *piece = found;
            return window;
        }
    return nullptr;
}

void TWaylandWindowSystem::OutputsChanged() {
    if (!started_ || outputsChangePosted_) return;
    outputsChangePosted_ = true;
    Post([this] {
        outputsChangePosted_ = false;
        // Surfaces on outputs gone go now; the saver lays itself out anew over those there are.
        for (auto& [id, window] : std::map(windows_)) window->UpdatePieces();
        if (auto handler = OnMonitorsChanged) handler();
    });
}

void TWaylandWindowSystem::Quit(std::intptr_t window) {
    if (onQuit_) {
        auto handler = std::move(onQuit_);
        onQuit_ = nullptr;
        handler();
        return;
    }
    // Without watched signals (the dialog's "Preview..."), as a key would.
    const auto it = windows_.find(window);
    if (it == windows_.end()) return;
    if (auto handler = it->second->OnKey) handler();
}

void TWaylandWindowSystem::Roundtrip() {
    if (wl_display_roundtrip(display_) < 0 && onQuit_) Post([this] { Quit(0); });
}

wl_buffer* TWaylandWindowSystem::BlackBuffer(int width, int height) {
    const std::size_t size = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4;
    const int fd = memfd_create("3dtidewell-black", MFD_CLOEXEC);
    if (fd < 0) return nullptr;
    wl_buffer* buffer = nullptr;
    // A fresh file reads as zeros: black in XRGB8888.
    if (ftruncate(fd, static_cast<off_t>(size)) == 0) {
        wl_shm_pool* pool = wl_shm_create_pool(shm_, fd, static_cast<std::int32_t>(size));
        buffer = wl_shm_pool_create_buffer(pool, 0, width, height, width * 4, WL_SHM_FORMAT_XRGB8888);
        wl_shm_pool_destroy(pool);
    }
    close(fd);
    return buffer;
}

void* TWaylandWindowSystem::EglDisplay() {
    if (eglDisplay_) return eglDisplay_;
    auto getPlatformDisplay =
        reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
    EGLDisplay display = getPlatformDisplay ? getPlatformDisplay(EGL_PLATFORM_WAYLAND_KHR, display_, nullptr)
                                            : eglGetDisplay(reinterpret_cast<EGLNativeDisplayType>(display_));
    if (display == EGL_NO_DISPLAY || !eglInitialize(display, nullptr, nullptr)) return nullptr;
    KeepGlDriverLoaded();
    eglDisplay_ = display;
    return eglDisplay_;
}

bool TWaylandWindowSystem::QuitSignalled() { return QuitSignalSeen(); }

void TWaylandWindowSystem::WatchQuitSignals(std::function<void()> onQuit) {
    onQuit_ = std::move(onQuit);
    WatchQuitSignalsFromNow();
}

bool TWaylandWindowSystem::ReadEvents(int timeoutMs) {
    while (wl_display_prepare_read(display_) != 0)
        if (wl_display_dispatch_pending(display_) < 0) return false;
    wl_display_flush(display_);
    pollfd fd{wl_display_get_fd(display_), POLLIN, 0};
    if (poll(&fd, 1, timeoutMs) > 0 && (fd.revents & (POLLIN | POLLHUP | POLLERR))) {
        if (wl_display_read_events(display_) < 0) return false;
    } else {
        wl_display_cancel_read(display_);
    }
    return wl_display_dispatch_pending(display_) >= 0;
}

bool TWaylandWindowSystem::ProcessOne() {
    if (onQuit_ && TakeQuitSignal()) {
        Quit(0);
        return true;
    }
    if (notes_.empty() && !ReadEvents(0) && !lost_) {
        // The compositor is gone: the run ends as a quit does.
        lost_ = true;
        if (onQuit_) Post([this] { Quit(0); });
        else throw Exception("the connection to the Wayland compositor was lost");
    }
    if (notes_.empty()) return false;
    auto note = std::move(notes_.front());
    notes_.pop_front();
    note();
    return true;
}

void TWaylandWindowSystem::WaitForMessage() {
    if (lost_ && notes_.empty()) {
        // Nothing more comes from the compositor: only a quit signal, looked at each second.
        pollfd quit{QuitSignalPipe(), POLLIN, 0};
        poll(&quit, quit.fd >= 0 ? 1 : 0, 1000);
        return;
    }
    while (notes_.empty() && !(onQuit_ && QuitSignalPending()) && !lost_) {
        bool reading = true;
        while (wl_display_prepare_read(display_) != 0) {
            if (wl_display_dispatch_pending(display_) < 0) {
                lost_ = true;
                break;
            }
            if (!notes_.empty()) {
                reading = false;
                break;
            }
        }
        if (lost_ || !reading) return;
        wl_display_flush(display_);
        pollfd fds[2] = {{wl_display_get_fd(display_), POLLIN, 0}, {QuitSignalPipe(), POLLIN, 0}};
        const int ready = poll(fds, onQuit_ && fds[1].fd >= 0 ? 2 : 1, -1);
        if (ready > 0 && (fds[0].revents & (POLLIN | POLLHUP | POLLERR))) {
            if (wl_display_read_events(display_) < 0) lost_ = true;
        } else {
            wl_display_cancel_read(display_);
        }
        if (!lost_ && wl_display_dispatch_pending(display_) < 0) lost_ = true;
    }
}

std::unique_ptr<ISaverWindow> TWaylandWindowSystem::CreateSaverWindow(const std::string& title, int left, int top,
                                                                      int width, int height) {
    return std::make_unique<TWaylandWindow>(*this, false, TMonitor{left, top, width, height, false}, title);
}

std::unique_ptr<ISaverWindow> TWaylandWindowSystem::CreateCoverWindow(int left, int top, int width, int height) {
    return std::make_unique<TWaylandWindow>(*this, true, TMonitor{left, top, width, height, false}, "");
}
