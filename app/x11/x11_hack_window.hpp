// zelm as an XScreenSaver hack: the scene drawn into a window that belongs to someone else (the
// daemon's window, the settings program's preview, or the root window), at that window's size
// and following its resizes. Input never ends it, nothing is shown but the scene, messages go
// to stderr, and the display mode is never touched; the daemon ends it with SIGTERM.
#pragma once

#include <X11/Xlib.h>

#include "app/x11/x11_hack_args.hpp"

namespace zelm {

extern int hack_mode;           // 1 once zelm runs as a hack: the platform services change
extern Display* hack_display;   // the connection the hack draws over
extern Window hack_window;      // the window drawn into; None until it is known
extern int hack_end_requested;  // the scene asked to end the run (a failure during setup)

// Draws into the window of request (root or window) until that window is destroyed; returns
// the exit code: 0 then, 1 on any failure, which is said on stderr.
int x11_run_hack(const HackRequest& request);

// Writes "zelm: text" to stderr.
void x11_hack_report(const char* text);

}  // namespace zelm
