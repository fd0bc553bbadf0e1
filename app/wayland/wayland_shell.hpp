// zelm on Wayland: the demo as an xdg_toplevel, the saver (--overlay) as layer-shell surfaces
// over every output, for the idle daemons and lockers that start a program, and the idle
// watcher (--idle) that starts the saver itself where no daemon does.
#pragma once

#include "app/linux/linux_shell.hpp"

namespace zelm {

// Whether $WAYLAND_DISPLAY names a live compositor.
bool wayland_display_available();

// The demo run mode, with the X11 demo's rules, messages and exit codes; the picture is the
// 640 x 480 one, scaled into the window with its aspect kept. Idle is held off while it runs.
extern const LinuxDemo wayland_demo;

// The saver: the scene with the saver's look on every output until any input or SIGTERM, then
// exit code 0; 1 when it cannot run (said on stderr). Without layer-shell it says so and uses a
// full-screen window on each output. It never holds off idle. A second saver while one shows in
// the session ends at once with 0, after saying so.
extern const LinuxSaver wayland_overlay;

// The idle watcher: the saver of request (as --overlay shows it) after request.idle_seconds
// without input, again after each idle period, until SIGTERM, SIGINT or SIGHUP (exit code 0,
// the saver ended too). 1, after saying why on stderr, when the compositor tells no idle time
// or the connection breaks.
int wayland_run_idle(const LinuxRequest& request);

}  // namespace zelm
