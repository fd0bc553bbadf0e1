#include "app/linux/dbus_inhibit.hpp"

#include <dbus/dbus.h>
#include <sys/stat.h>

#include <cstdlib>
#include <string>

namespace zelm {

namespace {

constexpr char service[] = "org.freedesktop.ScreenSaver";
constexpr char object_path[] = "/org/freedesktop/ScreenSaver";
constexpr int call_timeout_ms = 1000;  // a hung service must not hold up zelm for long

std::string session_bus_address() {
    const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    if (address != nullptr && address[0] != '\0') {
        return address;
    }
    const char* runtime_dir = std::getenv("XDG_RUNTIME_DIR");
    if (runtime_dir == nullptr || runtime_dir[0] == '\0') {
        return "";
    }
    const std::string socket = std::string(runtime_dir) + "/bus";
    struct stat info {};
    if (stat(socket.c_str(), &info) != 0 || !S_ISSOCK(info.st_mode)) {
        return "";
    }
    return "unix:path=" + socket;
}

}  // namespace

DBusConnection* open_session_bus() {
    const std::string address = session_bus_address();
    if (address.empty()) {
        return nullptr;
    }
    DBusError error;
    dbus_error_init(&error);
    DBusConnection* bus = dbus_connection_open_private(address.c_str(), &error);
    if (bus == nullptr) {
        dbus_error_free(&error);
        return nullptr;
    }
    dbus_connection_set_exit_on_disconnect(bus, FALSE);
    if (!dbus_bus_register(bus, &error)) {
        dbus_error_free(&error);
        dbus_connection_close(bus);
        dbus_connection_unref(bus);
        return nullptr;
    }
    return bus;
}

void close_session_bus(DBusConnection* bus) {
    dbus_connection_flush(bus);
    dbus_connection_close(bus);
    dbus_connection_unref(bus);
}

DBusMessage* session_bus_call(DBusConnection* bus, const char* service, const char* path,
                              const char* method, int type, const void* argument) {
    DBusMessage* message = dbus_message_new_method_call(service, path, service, method);
    if (message == nullptr) {
        return nullptr;
    }
    DBusMessage* reply = nullptr;
    if (type == DBUS_TYPE_INVALID ||
        dbus_message_append_args(message, type, argument, DBUS_TYPE_INVALID)) {
        DBusError error;
        dbus_error_init(&error);
        reply = dbus_connection_send_with_reply_and_block(bus, message, call_timeout_ms, &error);
        dbus_error_free(&error);
    }
    dbus_message_unref(message);
    return reply;
}

DbusInhibit inhibit_desktop_idle(const char* application, const char* reason) {
    DbusInhibit inhibit{nullptr, 0};
    DBusConnection* bus = open_session_bus();
    if (bus == nullptr) {
        return inhibit;
    }
    DBusMessage* call = dbus_message_new_method_call(service, object_path, service, "Inhibit");
    DBusMessage* reply = nullptr;
    if (call != nullptr && dbus_message_append_args(call, DBUS_TYPE_STRING, &application,
                                                    DBUS_TYPE_STRING, &reason, DBUS_TYPE_INVALID)) {
        DBusError error;
        dbus_error_init(&error);
        reply = dbus_connection_send_with_reply_and_block(bus, call, call_timeout_ms, &error);
        dbus_error_free(&error);
    }
    dbus_uint32_t cookie = 0;
    if (reply != nullptr) {
        DBusError error;
        dbus_error_init(&error);
        if (dbus_message_get_args(reply, &error, DBUS_TYPE_UINT32, &cookie, DBUS_TYPE_INVALID)) {
            inhibit.bus = bus;
            inhibit.cookie = cookie;
        }
        dbus_error_free(&error);
        dbus_message_unref(reply);
    }
    if (call != nullptr) {
        dbus_message_unref(call);
    }
    if (inhibit.bus == nullptr) {
        close_session_bus(bus);
    }
    return inhibit;
}

void release_desktop_idle(DbusInhibit& inhibit) {
    if (inhibit.bus == nullptr) {
        return;
    }
    // Waits for the reply, so that the service has it before the process ends.
    const dbus_uint32_t cookie = inhibit.cookie;
    DBusMessage* reply =
        session_bus_call(inhibit.bus, service, object_path, "UnInhibit", DBUS_TYPE_UINT32, &cookie);
    if (reply != nullptr) {
        dbus_message_unref(reply);
    }
    close_session_bus(inhibit.bus);
    inhibit.bus = nullptr;
    inhibit.cookie = 0;
}

}  // namespace zelm
