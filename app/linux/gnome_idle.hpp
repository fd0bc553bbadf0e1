// GNOME's idle time over the session bus: mutter's org.gnome.Mutter.IdleMonitor, which GNOME's
// own blanking uses, and the session manager's answer to whether idle is held off (a video
// player's inhibit). GNOME offers no Wayland idle protocol, so this is the only way to learn it.
#pragma once

#include <cstdint>

struct DBusConnection;

namespace zelm {

// What arrived since the last look.
struct GnomeIdleEvents {
    int idle;    // the idle watch fired
    int active;  // the active watch fired (and is gone)
};

struct GnomeIdleMonitor {
    DBusConnection* bus;         // null when closed
    std::uint32_t idle_watch;    // fires each time the idle time reaches the timeout
    std::uint32_t active_watch;  // fires once, on the next input; 0 when none is set
    GnomeIdleEvents fired;       // what the watches said since the last read
    bool unanswered;             // the last call on the bus got no answer in time
};

// Connects to the session bus and adds an idle watch of timeout_ms; false, with nothing held,
// when there is no bus or no idle monitor on it, or when the bus did not answer in time
// (monitor.unanswered). The monitor must stay where it is while open: the bus reports to it.
bool gnome_idle_open(GnomeIdleMonitor& monitor, std::uint64_t timeout_ms);

// The connection's descriptor, to wait on.
int gnome_idle_descriptor(const GnomeIdleMonitor& monitor);

// Whether messages or watch events that came during a call wait, where the descriptor no longer
// shows them.
bool gnome_idle_queued(const GnomeIdleMonitor& monitor);

// Reads without waiting and adds what the watches said to events; false when the bus is gone.
bool gnome_idle_read(GnomeIdleMonitor& monitor, GnomeIdleEvents& events);

// Sets the active watch unless one is set (a call that got no answer is tried again next time).
void gnome_idle_watch_for_input(GnomeIdleMonitor& monitor);

// Whether GNOME's session manager holds off idle; false where it is not on the bus, true while
// the bus does not answer (monitor.unanswered), so that the caller asks again later.
bool gnome_idle_inhibited(GnomeIdleMonitor& monitor);

// Removes the watches, without waiting for the answers, and closes the connection.
void gnome_idle_close(GnomeIdleMonitor& monitor);

}  // namespace zelm
