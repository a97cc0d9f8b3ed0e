// Whether the machine runs on battery: UPower's OnBattery property, asked over the system bus
// with libdbus-1. The wallpaper asks every few seconds while it draws, so a blocking call with a
// short timeout is enough; no bus or no UPower (a desktop machine, a container) means mains.
#include <dbus/dbus.h>

#include "platform/services.h"

namespace {

class TUPowerSource final : public IPowerSource {
public:
    ~TUPowerSource() override {
        if (bus_) {
            dbus_connection_close(bus_);
            dbus_connection_unref(bus_);
        }
    }

    bool OnBattery() override {
        if (!Connect()) return false;
        DBusMessage* call = dbus_message_new_method_call("org.freedesktop.UPower", "/org/freedesktop/UPower",
                                                         "org.freedesktop.DBus.Properties", "Get");
        if (!call) return false;
        const char* interface = "org.freedesktop.UPower";
        const char* property = "OnBattery";
        dbus_message_append_args(call, DBUS_TYPE_STRING, &interface, DBUS_TYPE_STRING, &property, DBUS_TYPE_INVALID);
        DBusError error;
        dbus_error_init(&error);
        DBusMessage* reply = dbus_connection_send_with_reply_and_block(bus_, call, kTimeoutMs, &error);
        dbus_message_unref(call);
        bool onBattery = false;
        if (reply) {
            DBusMessageIter iter, variant;
            if (dbus_message_iter_init(reply, &iter) && dbus_message_iter_get_arg_type(&iter) == DBUS_TYPE_VARIANT) {
                dbus_message_iter_recurse(&iter, &variant);
                if (dbus_message_iter_get_arg_type(&variant) == DBUS_TYPE_BOOLEAN) {
                    dbus_bool_t value = FALSE;
                    dbus_message_iter_get_basic(&variant, &value);
                    onBattery = value != FALSE;
                }
            }
            dbus_message_unref(reply);
        }
        if (dbus_error_is_set(&error)) {
            // A bus that went away is connected again at the next question.
            if (!dbus_connection_get_is_connected(bus_)) Disconnect();
            dbus_error_free(&error);
        }
        return onBattery;
    }

private:
    static constexpr int kTimeoutMs = 500;

    bool Connect() {
        if (bus_) return true;
        DBusError error;
        dbus_error_init(&error);
        // A private connection: the program holds no other, and closes it itself.
        bus_ = dbus_bus_get_private(DBUS_BUS_SYSTEM, &error);
        dbus_error_free(&error);
        if (bus_) dbus_connection_set_exit_on_disconnect(bus_, FALSE);
        return bus_ != nullptr;
    }
    void Disconnect() {
        dbus_connection_close(bus_);
        dbus_connection_unref(bus_);
        bus_ = nullptr;
    }

    DBusConnection* bus_ = nullptr;
};

}  // namespace

std::unique_ptr<IPowerSource> CreatePowerSource() { return std::make_unique<TUPowerSource>(); }
