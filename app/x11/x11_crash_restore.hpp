// Putting the display back after a crash (SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT).
//
// Xlib cannot be called from a signal handler: the crash may have happened inside it, with its
// locks held. So while the demo has something to undo, a second connection stays open with
// the requests that undo it (set the CRTC as it was, remove the root window's record, turn
// DPMS on) already encoded; the handler writes them to that connection's socket with write(2),
// which is async-signal-safe, then lets the signal end the process as it would have. The
// screen saver's suspension and the desktop's inhibit end by themselves with the connections.
#pragma once

#include <X11/Xlib.h>

#include "app/x11/x11_blanking.hpp"
#include "app/x11/x11_display_mode.hpp"

namespace zelm {

// Installs the crash handlers and prepares what they write: the display mode's restore when
// mode.switched, DPMS on when hold.dpms_disabled. The second connection is opened to display's
// server on the first call that has something to undo. Call again whenever either changes.
void arm_crash_restore(Display* display, const X11DisplayMode& mode, const X11BlankingHold& hold);

// Nothing is left to undo: the handlers write nothing, and the second connection is closed.
void disarm_crash_restore();

}  // namespace zelm
