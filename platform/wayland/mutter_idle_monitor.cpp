// The idle monitor of GNOME's compositor, over the session bus: org.gnome.Mutter.IdleMonitor
// (AddIdleWatch fires each time the idle time passes the interval, AddUserActiveWatch once at
// the next input; both through the WatchFired signal). Its idle time already honours
// gnome-session's inhibitors.
#include <dbus/dbus.h>

#include "platform/wayland/idle_session.h"

namespace {

constexpr char kService[] = "org.gnome.Mutter.IdleMonitor";
constexpr char kPath[] = "/org/gnome/Mutter/IdleMonitor/Core";
constexpr char kInterface[] = "org.gnome.Mutter.IdleMonitor";
constexpr int kCallTimeoutMs = 5000;

class TMutterIdleMonitor final : public IIdleMonitor {
public:
    ~TMutterIdleMonitor() override {
        if (!connection_) return;
        dbus_connection_remove_filter(connection_, &TMutterIdleMonitor::Filter, this);
        dbus_connection_close(connection_);
        dbus_connection_unref(connection_);
    }

    bool Connect(std::string& why) {
        DBusError error;
        dbus_error_init(&error);
        connection_ = dbus_bus_get_private(DBUS_BUS_SESSION, &error);
        if (!connection_) {
            why = std::string("no session bus (") + (error.message ? error.message : "unknown") + ")";
            dbus_error_free(&error);
            return false;
        }
        dbus_connection_set_exit_on_disconnect(connection_, FALSE);
        // The service answers GetIdletime only when GNOME's compositor runs.
        if (!Call("GetIdletime", nullptr, why)) return false;
        const std::string rule = std::string("type='signal',interface='") + kInterface + "',member='WatchFired',path='" + kPath + "'";
        dbus_bus_add_match(connection_, rule.c_str(), &error);
        if (dbus_error_is_set(&error)) {
            why = std::string("the session bus refused the signal match (") + error.message + ")";
            dbus_error_free(&error);
            return false;
        }
        dbus_connection_add_filter(connection_, &TMutterIdleMonitor::Filter, this, nullptr);
        return true;
    }

    std::string Name() const override { return "org.gnome.Mutter.IdleMonitor"; }

    void Watch(std::uint32_t idleMs, std::function<void()> onIdle, std::function<void()> onActive) override {
        RemoveWatch(idleWatch_);
        RemoveWatch(activeWatch_);
        onIdle_ = std::move(onIdle);
        onActive_ = std::move(onActive);
        const dbus_uint64_t interval = idleMs;
        idleWatch_ = AddWatch("AddIdleWatch", &interval);
    }

    TIdleWake Wait() override {
        // What the blocking calls read along with their replies comes first.
        if (dbus_connection_get_dispatch_status(connection_) == DBUS_DISPATCH_DATA_REMAINS) return Dispatch();
        int fd = -1;
        if (!dbus_connection_get_unix_fd(connection_, &fd)) return TIdleWake::MonitorLost;
        const TIdleWake wake = WaitReadableOrSignal(fd);
        if (wake != TIdleWake::Events) return wake;
        if (!dbus_connection_read_write(connection_, 0)) return TIdleWake::MonitorLost;
        return Dispatch();
    }

private:
    TIdleWake Dispatch() {
        while (dbus_connection_dispatch(connection_) == DBUS_DISPATCH_DATA_REMAINS) {
        }
        return dbus_connection_get_is_connected(connection_) ? TIdleWake::Events : TIdleWake::MonitorLost;
    }

    // A method call on the monitor with one argument of type t (or none); the reply, or nullptr.
    DBusMessage* Send(const char* method, const dbus_uint64_t* argument, std::string& why) {
        DBusMessage* call = dbus_message_new_method_call(kService, kPath, kInterface, method);
        if (argument) dbus_message_append_args(call, DBUS_TYPE_UINT64, argument, DBUS_TYPE_INVALID);
        DBusError error;
        dbus_error_init(&error);
        DBusMessage* reply = dbus_connection_send_with_reply_and_block(connection_, call, kCallTimeoutMs, &error);
        dbus_message_unref(call);
        if (!reply) {
            why = std::string("GNOME's idle monitor is not on the session bus (") + (error.message ? error.message : method) + ")";
            dbus_error_free(&error);
        }
        return reply;
    }

    bool Call(const char* method, const dbus_uint64_t* argument, std::string& why) {
        DBusMessage* reply = Send(method, argument, why);
        if (reply) dbus_message_unref(reply);
        return reply != nullptr;
    }

    // The watch's id; 0 when the call failed.
    dbus_uint32_t AddWatch(const char* method, const dbus_uint64_t* argument) {
        std::string why;
        DBusMessage* reply = Send(method, argument, why);
        if (!reply) return 0;
        dbus_uint32_t id = 0;
        if (!dbus_message_get_args(reply, nullptr, DBUS_TYPE_UINT32, &id, DBUS_TYPE_INVALID)) id = 0;
        dbus_message_unref(reply);
        return id;
    }

    void RemoveWatch(dbus_uint32_t& id) {
        if (id == 0) return;
        DBusMessage* call = dbus_message_new_method_call(kService, kPath, kInterface, "RemoveWatch");
        dbus_message_append_args(call, DBUS_TYPE_UINT32, &id, DBUS_TYPE_INVALID);
        dbus_connection_send(connection_, call, nullptr);
        dbus_message_unref(call);
        id = 0;
    }

    static DBusHandlerResult Filter(DBusConnection*, DBusMessage* message, void* data) {
        auto* self = static_cast<TMutterIdleMonitor*>(data);
        if (!dbus_message_is_signal(message, kInterface, "WatchFired")) return DBUS_HANDLER_RESULT_NOT_YET_HANDLED;
        dbus_uint32_t id = 0;
        if (!dbus_message_get_args(message, nullptr, DBUS_TYPE_UINT32, &id, DBUS_TYPE_INVALID) || id == 0)
            return DBUS_HANDLER_RESULT_HANDLED;
        if (id == self->idleWatch_) {
            // The active watch fires once: a new one for each idle period.
            if (self->activeWatch_ == 0) self->activeWatch_ = self->AddWatch("AddUserActiveWatch", nullptr);
            self->onIdle_();
        } else if (id == self->activeWatch_) {
            self->activeWatch_ = 0;
            self->onActive_();
        }
        return DBUS_HANDLER_RESULT_HANDLED;
    }

    DBusConnection* connection_ = nullptr;
    dbus_uint32_t idleWatch_ = 0;
    dbus_uint32_t activeWatch_ = 0;
    std::function<void()> onIdle_, onActive_;
};

}  // namespace

std::unique_ptr<IIdleMonitor> CreateMutterIdleMonitor(std::string& why) {
    auto monitor = std::make_unique<TMutterIdleMonitor>();
    if (!monitor->Connect(why)) return nullptr;
    return monitor;
}
