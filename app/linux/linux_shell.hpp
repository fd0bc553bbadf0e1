// A Linux shell's whole contract: what the X11 and the Wayland shells each give the Linux layer,
// which runs the demo and the saver the same way for both (linux_runner). A shell fills one
// LinuxDemo and one LinuxSaver, naming every entry (a missing one is a build error); an optional
// entry is given as nullptr. The demo's window steps are the portable DemoWindowHooks, which the
// Win32 shell fills too. app/zelm/ picks the shell; tests/unit/app/linux/null_shell_test.cpp
// fills the contract with nothing, so that it always builds.
#pragma once

#include "app/demo_window.hpp"
#include "app/linux/linux_messages.hpp"
#include "app/linux/linux_options.hpp"
#include "platform/platform.hpp"

namespace zelm {

// The frames of a run, in the demo and the saver alike.
struct LinuxFrames {
    // Removes and handles every pending event; returns 1 when the run ends (the demo's: once
    // the destruction steps have run, on input or a stop signal).
    int (*drain)(void* context);
    // Draws one frame: draw_frame, of every surface where there are several, or a wait while
    // the compositor has not shown the last one. 0 when draw_frame ran out of memory, else 1.
    int (*frame)();
    // Shows the frame just drawn; called by the scene once a frame of each surface.
    void (*swap_buffers)();
};

// The demo run mode: a window of the display system, ended by input.
struct LinuxDemo {
    // The window's creation and destruction steps, and the full-screen checks.
    const DemoWindowHooks* window;
    // Opens the display connection; 0 after saying why in a message box (the exit code is 1).
    int (*connect)();
    // Makes the window, before the creation steps (on X its visual is chosen with it), and holds
    // off the display system's own blanking on it. The desktop's inhibit is the runner's.
    void (*make_window)();
    LinuxFrames frames;
    // Puts back the display mode that the full-screen switch replaced. Optional.
    void (*restore_display_mode)();
    // Closes the connection once the loop has ended.
    void (*disconnect)();
};

// The saver: the scene with the saver's look in windows or surfaces that input does not end
// through the portable rules, messages on stderr alone, the display mode never touched.
struct LinuxSaver {
    // Takes the stop signals first (catch_stop_signals: the loop tears down, or
    // default_stop_signals: the process ends at once). Then connection, surfaces and a current
    // context, with window_width and window_height set for the scene's setup, and wake_fd, the
    // descriptor whose input ends the wait between paced frames; the exit code when the run
    // cannot start (said on stderr), else -1.
    int (*open)(const LinuxRequest& request, int& wake_fd);
    LinuxFrames frames;
    // Gives back what open made; also after a failed open.
    void (*close)();
};

// A display system's run modes; demo and saver are null where the build left the system out.
struct LinuxShell {
    const char* name;
    const LinuxDemo* demo;
    const LinuxSaver* saver;
    int (*run_idle)(const LinuxRequest& request);  // optional: the idle watcher
};

// The platform services while a run lasts, routed to it.
struct WindowServices {
    void (*message_box)(const char* text, const char* caption, MessageIcon icon);
    void (*end_run)();               // platform_end_run
    void (*restore_display_mode)();  // null: nothing to put back
    void (*swap_buffers)();
};

// The services in force. Before any run: FLTK message boxes, and nothing to end, restore or show.
extern const WindowServices* window_services;

// The desktop's message box: an FLTK window, also written to stderr as "Caption: text" (stderr
// alone without an X display).
void desktop_message_box(const char* text, const char* caption, MessageIcon icon);

// The message box of the saver modes, which show nothing but the scene: the stderr line alone.
void report_message_box(const char* text, const char* caption, MessageIcon icon);

}  // namespace zelm
