// The idle monitor on a Wayland connection of its own: ext-idle-notify-v1 where the compositor
// offers it (KWin 5.27, newer sway and Hyprland), else KDE's org_kde_kwin_idle (sway 1.7). Both
// count the compositor's idle inhibitors (a video playing full screen) as activity.
#include <wayland-client.h>

#include <cerrno>
#include <cstring>

#include "ext-idle-notify-v1-client-protocol.h"
#include "idle-client-protocol.h"
#include "platform/wayland/idle_session.h"

namespace {

class TWaylandIdleMonitor final : public IIdleMonitor {
public:
    ~TWaylandIdleMonitor() override {
        Release();
        if (notifier_) ext_idle_notifier_v1_destroy(notifier_);
        if (kdeIdle_) org_kde_kwin_idle_destroy(kdeIdle_);
        if (seat_) wl_seat_destroy(seat_);
        if (registry_) wl_registry_destroy(registry_);
        if (display_) wl_display_disconnect(display_);
    }

    // False, with why, when there is no display or it offers neither protocol.
    bool Connect(std::string& why) {
        display_ = wl_display_connect(nullptr);
        if (!display_) {
            why = "no Wayland display to connect to";
            return false;
        }
        registry_ = wl_display_get_registry(display_);
        static const wl_registry_listener listener{&TWaylandIdleMonitor::Global, [](void*, wl_registry*, std::uint32_t) {}};
        wl_registry_add_listener(registry_, &listener, this);
        if (wl_display_roundtrip(display_) < 0) {
            why = "the Wayland display closed the connection";
            return false;
        }
        if (!seat_ || (!notifier_ && !kdeIdle_)) {
            why = "the compositor offers neither ext-idle-notify-v1 nor org_kde_kwin_idle";
            return false;
        }
        return true;
    }

    std::string Name() const override { return notifier_ ? "ext-idle-notify-v1" : "org_kde_kwin_idle"; }

    void Watch(std::uint32_t idleMs, std::function<void()> onIdle, std::function<void()> onActive) override {
        Release();
        onIdle_ = std::move(onIdle);
        onActive_ = std::move(onActive);
        if (notifier_) {
            notification_ = ext_idle_notifier_v1_get_idle_notification(notifier_, idleMs, seat_);
            static const ext_idle_notification_v1_listener listener{
                [](void* data, ext_idle_notification_v1*) { static_cast<TWaylandIdleMonitor*>(data)->onIdle_(); },
                [](void* data, ext_idle_notification_v1*) { static_cast<TWaylandIdleMonitor*>(data)->onActive_(); }};
            ext_idle_notification_v1_add_listener(notification_, &listener, this);
        } else {
            timeout_ = org_kde_kwin_idle_get_idle_timeout(kdeIdle_, seat_, idleMs);
            static const org_kde_kwin_idle_timeout_listener listener{
                [](void* data, org_kde_kwin_idle_timeout*) { static_cast<TWaylandIdleMonitor*>(data)->onIdle_(); },
                [](void* data, org_kde_kwin_idle_timeout*) { static_cast<TWaylandIdleMonitor*>(data)->onActive_(); }};
            org_kde_kwin_idle_timeout_add_listener(timeout_, &listener, this);
        }
        wl_display_flush(display_);
    }

    TIdleWake Wait() override {
        // Events already read (by a roundtrip) are handled before waiting for more.
        while (wl_display_prepare_read(display_) != 0)
            if (wl_display_dispatch_pending(display_) < 0) return TIdleWake::MonitorLost;
        if (wl_display_flush(display_) < 0 && errno != EAGAIN) {
            wl_display_cancel_read(display_);
            return TIdleWake::MonitorLost;
        }
        const TIdleWake wake = WaitReadableOrSignal(wl_display_get_fd(display_));
        if (wake != TIdleWake::Events) {
            wl_display_cancel_read(display_);
            return wake;
        }
        if (wl_display_read_events(display_) < 0 || wl_display_dispatch_pending(display_) < 0)
            return TIdleWake::MonitorLost;
        return TIdleWake::Events;
    }

private:
    static void Global(void* data, wl_registry* registry, std::uint32_t name, const char* interface, std::uint32_t) {
        auto* self = static_cast<TWaylandIdleMonitor*>(data);
        if (std::strcmp(interface, wl_seat_interface.name) == 0 && !self->seat_)
            self->seat_ = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
        else if (std::strcmp(interface, ext_idle_notifier_v1_interface.name) == 0)
            self->notifier_ = static_cast<ext_idle_notifier_v1*>(
                wl_registry_bind(registry, name, &ext_idle_notifier_v1_interface, 1));
        else if (std::strcmp(interface, org_kde_kwin_idle_interface.name) == 0)
            self->kdeIdle_ =
                static_cast<org_kde_kwin_idle*>(wl_registry_bind(registry, name, &org_kde_kwin_idle_interface, 1));
    }

    void Release() {
        if (notification_) ext_idle_notification_v1_destroy(notification_);
        if (timeout_) org_kde_kwin_idle_timeout_release(timeout_);
        notification_ = nullptr;
        timeout_ = nullptr;
    }

    wl_display* display_ = nullptr;
    wl_registry* registry_ = nullptr;
    wl_seat* seat_ = nullptr;
    ext_idle_notifier_v1* notifier_ = nullptr;
    org_kde_kwin_idle* kdeIdle_ = nullptr;
    ext_idle_notification_v1* notification_ = nullptr;
    org_kde_kwin_idle_timeout* timeout_ = nullptr;
    std::function<void()> onIdle_, onActive_;
};

}  // namespace

std::unique_ptr<IIdleMonitor> CreateWaylandIdleMonitor(std::string& why) {
    auto monitor = std::make_unique<TWaylandIdleMonitor>();
    if (!monitor->Connect(why)) return nullptr;
    return monitor;
}
