// What the Linux shells (X11 and Wayland) share beneath their windows: the platform services
// routed to whichever window runs, the stderr report and the stop signals.
#pragma once

#include <csignal>

#include "platform/platform.hpp"

namespace zelm {

// The platform services that depend on the window that runs. Each window mode fills one table
// with designated initializers and installs it before it draws.
struct LinuxShellHooks {
    void (*message_box)(const char* text, const char* caption, MessageIcon icon);
    void (*destroy_demo_window)();
    void (*restore_display_mode)();
    void (*swap_buffers)();
};

// The table in force. Before any window: FLTK message boxes, and nothing to destroy, restore or
// show.
extern const LinuxShellHooks* linux_shell;

// The desktop's message box: an FLTK window, also written to stderr as "Caption: text" (stderr
// alone without an X display).
void desktop_message_box(const char* text, const char* caption, MessageIcon icon);

// Writes "zelm: text" to stderr: a saver's only channel to the user (XScreenSaver shows or logs
// a hack's stderr; an idle daemon logs it).
void linux_report(const char* text);

// The message box of the saver modes, which show nothing but the scene: the stderr line alone.
void report_message_box(const char* text, const char* caption, MessageIcon icon);

// SIGINT, SIGTERM or SIGHUP arrived since catch_stop_signals.
extern volatile std::sig_atomic_t stop_signal;

// Makes SIGINT, SIGTERM and SIGHUP only set stop_signal: the main loop does the teardown, so
// that what the run changed is put back.
void catch_stop_signals();

}  // namespace zelm
