// The session bus, and the desktop's idle inhibition over it (org.freedesktop.ScreenSaver), which
// desktop environments use to hold off their own blanking and locking: asked for when the demo
// window appears, given back when it goes.
//
// A bus that takes connections and never answers (a stopped or wedged daemon) holds nothing up
// for long: every wait on it ends after a couple of seconds, or very soon after a stop signal
// (SIGINT, SIGTERM, SIGHUP), which it lets through whatever the caller blocks.
#pragma once

#include <cstdint>

struct DBusConnection;
struct DBusMessage;

namespace zelm {

// A private connection to the session bus that $DBUS_SESSION_BUS_ADDRESS names, else the socket
// $XDG_RUNTIME_DIR/bus (never libdbus's autolaunch, which would start a bus and leave it
// behind), registered, that does not end the process when the bus goes away; null when there is
// none, or when it did not answer in time (unanswered is set then).
DBusConnection* open_session_bus(bool& unanswered);

// Sends what is queued, waiting no longer than a call does, and closes the connection.
void close_session_bus(DBusConnection* bus);

// Sends call and waits for its reply, which is the caller's to unref; null when the call failed,
// or when no reply came in time (unanswered is set then). Messages that came meanwhile, after
// the reply, stay queued in the connection.
DBusMessage* session_bus_send(DBusConnection* bus, DBusMessage* call, bool& unanswered);

// Calls method on the object at path of service, whose interface has the service's name, with at
// most one argument (type DBUS_TYPE_INVALID for none), as session_bus_send does.
DBusMessage* session_bus_call(DBusConnection* bus, const char* service, const char* path,
                              const char* method, int type, const void* argument, bool& unanswered);

// Reads the one argument of reply, a number of type (none for DBUS_TYPE_INVALID), into value and
// unrefs the reply; false when there was no reply or it held no such argument.
bool session_bus_answer(DBusMessage* reply, int type, void* value);

struct DbusInhibit {
    DBusConnection* bus;  // a private connection; null without a bus or an inhibit
    std::uint32_t cookie;
};

// Calls Inhibit on the session bus. Without a bus or a service, or when the call fails, the
// result holds no connection and nothing is said: the display system's own hold (the X server's
// blanking, the Wayland idle inhibitor) still stands. A bus that does not answer is named on
// stderr.
DbusInhibit inhibit_desktop_idle(const char* application, const char* reason);

// Calls UnInhibit with the cookie and closes the connection; nothing when none is held.
void release_desktop_idle(DbusInhibit& inhibit);

}  // namespace zelm
