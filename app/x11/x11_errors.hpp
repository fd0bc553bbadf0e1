// X protocol errors as both X11 windows report them: on stderr, and survived.
#pragma once

#include <X11/Xlib.h>

namespace zelm {

// Writes "zelm: X error: TEXT (request MAJOR.MINOR)" the first time this error code comes from
// this request; later ones are not repeated, since a request that fails once a frame would
// otherwise fill the screen saver's log.
void report_x_error_once(Display* display, const XErrorEvent& error);

}  // namespace zelm
