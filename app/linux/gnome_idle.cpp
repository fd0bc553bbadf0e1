#include "app/linux/gnome_idle.hpp"

#include <dbus/dbus.h>

#include <initializer_list>

#include "app/linux/dbus_inhibit.hpp"

namespace zelm {

namespace {

constexpr char monitor_service[] = "org.gnome.Mutter.IdleMonitor";
constexpr char monitor_path[] = "/org/gnome/Mutter/IdleMonitor/Core";
constexpr char session_service[] = "org.gnome.SessionManager";
constexpr char session_path[] = "/org/gnome/SessionManager";
constexpr dbus_uint32_t inhibit_idle = 8;  // the session manager's flag for "idle held off"

// Calls method with at most one argument, keeping in the monitor whether the bus answered.
DBusMessage* monitor_call(GnomeIdleMonitor& monitor, const char* service, const char* path,
                          const char* method, int type, const void* argument) {
    monitor.unanswered = false;
    return session_bus_call(monitor.bus, service, path, method, type, argument, monitor.unanswered);
}

// The watch id that a monitor call returns, or 0.
std::uint32_t watch_id(DBusMessage* reply) {
    dbus_uint32_t id = 0;
    return session_bus_answer(reply, DBUS_TYPE_UINT32, &id) ? id : 0;
}

// The watches fire as signals, which the bus hands here as they are read, during a call too.
DBusHandlerResult note_watch_fired(DBusConnection*, DBusMessage* message, void* data) {
    GnomeIdleMonitor& monitor = *static_cast<GnomeIdleMonitor*>(data);
    dbus_uint32_t id = 0;
    if (!dbus_message_is_signal(message, monitor_service, "WatchFired") ||
        !dbus_message_get_args(message, nullptr, DBUS_TYPE_UINT32, &id, DBUS_TYPE_INVALID)) {
        return DBUS_HANDLER_RESULT_NOT_YET_HANDLED;
    }
    if (id == monitor.idle_watch) {
        monitor.fired.idle = 1;
    } else if (id != 0 && id == monitor.active_watch) {
        monitor.fired.active = 1;
        monitor.active_watch = 0;
    }
    return DBUS_HANDLER_RESULT_HANDLED;
}

}  // namespace

bool gnome_idle_open(GnomeIdleMonitor& monitor, std::uint64_t timeout_ms) {
    monitor = GnomeIdleMonitor{};
    monitor.bus = open_session_bus(monitor.unanswered);
    if (monitor.bus == nullptr) {
        return false;
    }
    dbus_connection_add_filter(monitor.bus, note_watch_fired, &monitor, nullptr);
    // The watches fire as signals sent to us alone; the rule makes sure the bus passes them.
    dbus_bus_add_match(monitor.bus,
                       "type='signal',interface='org.gnome.Mutter.IdleMonitor',"
                       "member='WatchFired'",
                       nullptr);
    const dbus_uint64_t interval = timeout_ms;
    monitor.idle_watch = watch_id(monitor_call(monitor, monitor_service, monitor_path,
                                               "AddIdleWatch", DBUS_TYPE_UINT64, &interval));
    if (monitor.idle_watch == 0) {
        close_session_bus(monitor.bus);
        monitor.bus = nullptr;
        return false;
    }
    return true;
}

int gnome_idle_descriptor(const GnomeIdleMonitor& monitor) {
    int descriptor = -1;
    dbus_connection_get_unix_fd(monitor.bus, &descriptor);
    return descriptor;
}

bool gnome_idle_queued(const GnomeIdleMonitor& monitor) {
    return monitor.fired.idle != 0 || monitor.fired.active != 0 ||
           dbus_connection_get_dispatch_status(monitor.bus) == DBUS_DISPATCH_DATA_REMAINS;
}

bool gnome_idle_read(GnomeIdleMonitor& monitor, GnomeIdleEvents& events) {
    dbus_connection_read_write(monitor.bus, 0);
    while (dbus_connection_dispatch(monitor.bus) == DBUS_DISPATCH_DATA_REMAINS) {
    }
    events.idle |= monitor.fired.idle;
    events.active |= monitor.fired.active;
    monitor.fired = GnomeIdleEvents{};
    return dbus_connection_get_is_connected(monitor.bus) != 0;
}

void gnome_idle_watch_for_input(GnomeIdleMonitor& monitor) {
    if (monitor.active_watch == 0) {
        monitor.active_watch =
            watch_id(monitor_call(monitor, monitor_service, monitor_path, "AddUserActiveWatch",
                                  DBUS_TYPE_INVALID, nullptr));
    }
}

bool gnome_idle_inhibited(GnomeIdleMonitor& monitor) {
    DBusMessage* reply = monitor_call(monitor, session_service, session_path, "IsInhibited",
                                      DBUS_TYPE_UINT32, &inhibit_idle);
    dbus_bool_t inhibited = FALSE;
    if (reply == nullptr) {
        return monitor.unanswered;
    }
    return session_bus_answer(reply, DBUS_TYPE_BOOLEAN, &inhibited) && inhibited != FALSE;
}

void gnome_idle_close(GnomeIdleMonitor& monitor) {
    if (monitor.bus == nullptr) {
        return;
    }
    for (const std::uint32_t id : {monitor.idle_watch, monitor.active_watch}) {
        if (id == 0) {
            continue;
        }
        DBusMessage* call = dbus_message_new_method_call(monitor_service, monitor_path,
                                                         monitor_service, "RemoveWatch");
        const dbus_uint32_t argument = id;
        if (call != nullptr &&
            dbus_message_append_args(call, DBUS_TYPE_UINT32, &argument, DBUS_TYPE_INVALID)) {
            dbus_message_set_no_reply(call, TRUE);
            dbus_connection_send(monitor.bus, call, nullptr);
        }
        if (call != nullptr) {
            dbus_message_unref(call);
        }
    }
    close_session_bus(monitor.bus);
    monitor = GnomeIdleMonitor{};
}

}  // namespace zelm
