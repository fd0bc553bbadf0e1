// Putting the display back however the demo's process ends, SIGKILL and crashes included.
//
// X keeps a switched mode and DPMS off after the client that changed them is gone. So before the
// demo asks for the mode switch, and once it has turned DPMS off, a small watcher process is
// forked with its own X connection and one end of a socket pair whose other end only the demo
// holds: when the demo's process ends, by any means, the kernel closes that end and the watcher
// puts back what the demo's last report said was changed, then exits. The demo reports before
// the switch and after every other change, reports nothing left when it has put everything back
// itself, and starts another watcher should the first be killed.
#pragma once

#include <X11/Xlib.h>

#include "app/x11/x11_blanking.hpp"
#include "app/x11/x11_display_mode.hpp"

namespace zelm {

// Reports what is changed now: the display mode when mode.switched, DPMS when
// hold.dpms_disabled. The first report that has something changed starts the watcher, on
// display's server.
void watch_display_changes(Display* display, const X11DisplayMode& mode,
                           const X11BlankingHold& hold);

// Starts another watcher when the one running was killed, with the latest report; nothing
// while it runs, or when none does.
void keep_display_watch(Display* display, const X11DisplayMode& mode, const X11BlankingHold& hold);

// Reports what is left changed, then ends the watcher and waits until it has put that back.
// Nothing when no watcher runs.
void end_display_watch(const X11DisplayMode& mode, const X11BlankingHold& hold);

}  // namespace zelm
