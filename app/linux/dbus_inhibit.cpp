#include "app/linux/dbus_inhibit.hpp"

#include <dbus/dbus.h>
#include <signal.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>

#include "app/linux/linux_shell.hpp"
#include "app/linux/stop_signals.hpp"

namespace zelm {

namespace {

constexpr char service[] = "org.freedesktop.ScreenSaver";
constexpr char object_path[] = "/org/freedesktop/ScreenSaver";
constexpr std::chrono::milliseconds bus_wait{2000};
// After a stop signal a healthy bus still takes the last calls (an UnInhibit): it answers at once.
constexpr std::chrono::milliseconds stop_wait{200};
constexpr std::chrono::milliseconds wait_step{20};  // how soon a stop signal is seen

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

// Runs the connection (authenticates, sends, reads, hands each reply to its call) until done()
// or the wait is over. libdbus's blocking calls wait 25 s by default and retry through signals:
// this waits in short steps instead, with the stop signals let through, and looks at
// stop_signal after each.
template <typename Done>
bool run_bus_until(DBusConnection* bus, Done done) {
    const sigset_t stops = stop_signal_set();
    sigset_t outside;
    pthread_sigmask(SIG_UNBLOCK, &stops, &outside);
    using clock = std::chrono::steady_clock;
    clock::time_point deadline = clock::now() + bus_wait;
    bool stopping = false;
    for (;;) {
        // One message at a time: what comes after the reply waits for its reader.
        while (!done() && dbus_connection_dispatch(bus) == DBUS_DISPATCH_DATA_REMAINS) {
        }
        if (done() || !dbus_connection_get_is_connected(bus)) {
            break;
        }
        if (stop_signal != 0 && !stopping) {
            stopping = true;
            deadline = std::min(deadline, clock::now() + stop_wait);
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - clock::now());
        if (left.count() <= 0) {
            break;
        }
        dbus_connection_read_write(bus, static_cast<int>(std::min(left, wait_step).count()));
    }
    const bool finished = done();
    pthread_sigmask(SIG_SETMASK, &outside, nullptr);
    return finished;
}

}  // namespace

DBusConnection* open_session_bus(bool& unanswered) {
    const std::string address = session_bus_address();
    if (address.empty()) {
        return nullptr;
    }
    DBusError error;
    dbus_error_init(&error);
    DBusConnection* bus = dbus_connection_open_private(address.c_str(), &error);
    dbus_error_free(&error);
    if (bus == nullptr) {
        return nullptr;
    }
    dbus_connection_set_exit_on_disconnect(bus, FALSE);
    // dbus_bus_register would wait without a bound: the same Hello, with our wait.
    DBusMessage* reply = session_bus_call(bus, DBUS_SERVICE_DBUS, DBUS_PATH_DBUS, "Hello",
                                          DBUS_TYPE_INVALID, nullptr, unanswered);
    const char* name = nullptr;
    const bool registered =
        reply != nullptr &&
        dbus_message_get_args(reply, nullptr, DBUS_TYPE_STRING, &name, DBUS_TYPE_INVALID) &&
        dbus_bus_set_unique_name(bus, name);
    if (reply != nullptr) {
        dbus_message_unref(reply);
    }
    if (!registered) {
        close_session_bus(bus);
        return nullptr;
    }
    return bus;
}

void close_session_bus(DBusConnection* bus) {
    // Before authentication nothing can be sent: a bus that never answered takes nothing.
    if (dbus_connection_get_is_authenticated(bus)) {
        run_bus_until(bus, [bus] { return !dbus_connection_has_messages_to_send(bus); });
    }
    dbus_connection_close(bus);
    dbus_connection_unref(bus);
}

DBusMessage* session_bus_send(DBusConnection* bus, DBusMessage* call, bool& unanswered) {
    DBusPendingCall* pending = nullptr;
    if (!dbus_connection_send_with_reply(bus, call, &pending, DBUS_TIMEOUT_INFINITE) ||
        pending == nullptr) {
        return nullptr;
    }
    DBusMessage* reply = nullptr;
    if (run_bus_until(bus, [pending] { return dbus_pending_call_get_completed(pending) != 0; })) {
        reply = dbus_pending_call_steal_reply(pending);
        if (reply != nullptr && dbus_message_get_type(reply) == DBUS_MESSAGE_TYPE_ERROR) {
            dbus_message_unref(reply);
            reply = nullptr;
        }
    } else {
        unanswered = dbus_connection_get_is_connected(bus) != 0;
        dbus_pending_call_cancel(pending);
    }
    dbus_pending_call_unref(pending);
    return reply;
}

DBusMessage* session_bus_call(DBusConnection* bus, const char* service, const char* path,
                              const char* method, int type, const void* argument,
                              bool& unanswered) {
    DBusMessage* message = dbus_message_new_method_call(service, path, service, method);
    if (message == nullptr) {
        return nullptr;
    }
    DBusMessage* reply = nullptr;
    if (type == DBUS_TYPE_INVALID ||
        dbus_message_append_args(message, type, argument, DBUS_TYPE_INVALID)) {
        reply = session_bus_send(bus, message, unanswered);
    }
    dbus_message_unref(message);
    return reply;
}

DbusInhibit inhibit_desktop_idle(const char* application, const char* reason) {
    DbusInhibit inhibit{nullptr, 0};
    bool unanswered = false;
    DBusConnection* bus = open_session_bus(unanswered);
    DBusMessage* call = bus != nullptr
                            ? dbus_message_new_method_call(service, object_path, service, "Inhibit")
                            : nullptr;
    DBusMessage* reply = nullptr;
    if (call != nullptr && dbus_message_append_args(call, DBUS_TYPE_STRING, &application,
                                                    DBUS_TYPE_STRING, &reason, DBUS_TYPE_INVALID)) {
        reply = session_bus_send(bus, call, unanswered);
    }
    dbus_uint32_t cookie = 0;
    if (reply != nullptr) {
        if (dbus_message_get_args(reply, nullptr, DBUS_TYPE_UINT32, &cookie, DBUS_TYPE_INVALID)) {
            inhibit.bus = bus;
            inhibit.cookie = cookie;
        }
        dbus_message_unref(reply);
    }
    if (call != nullptr) {
        dbus_message_unref(call);
    }
    if (bus != nullptr && inhibit.bus == nullptr) {
        close_session_bus(bus);
    }
    if (unanswered && stop_signal == 0) {
        linux_report(linux_messages::bus_silent_for_inhibit);
    }
    return inhibit;
}

void release_desktop_idle(DbusInhibit& inhibit) {
    if (inhibit.bus == nullptr) {
        return;
    }
    // Waits for the reply, so that the service has it before the process ends.
    const dbus_uint32_t cookie = inhibit.cookie;
    bool unanswered = false;
    DBusMessage* reply = session_bus_call(inhibit.bus, service, object_path, "UnInhibit",
                                          DBUS_TYPE_UINT32, &cookie, unanswered);
    if (reply != nullptr) {
        dbus_message_unref(reply);
    }
    close_session_bus(inhibit.bus);
    inhibit.bus = nullptr;
    inhibit.cookie = 0;
}

}  // namespace zelm
