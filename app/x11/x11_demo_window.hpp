// The demo on X11: a borderless (override-redirect) 640 x 480 window at (0, 0), or in full
// screen at the switched output's origin, with an invisible cursor and a GLX context, set up in
// the Windows demo window's creation order, fed to the portable input rules and main loop, and
// undone in its destruction order. While the window exists the screen saver, DPMS and the
// desktop's idle inhibit are held off; every way out of the process puts back what was changed.
#pragma once

#include <GL/glx.h>
#include <X11/Xlib.h>

#include "app/demo_window.hpp"

namespace zelm {

extern Display* demo_display;  // the connection the window and its context live on
extern Window demo_window;     // None before creation and after destruction
extern GLXContext gl_context;  // null when no context was made, and after destruction

// Runs the demo run mode and returns the process exit code: 0 when the demo ends normally or
// its window could not be set up; 1 without an X display or GLX visual; the process ends with
// -1 when the full-screen mode cannot be found or tested, and with 1 when the X connection
// breaks.
int x11_run_demo();

// Puts back the mode that the full-screen switch replaced, and tells the watcher so.
void x11_restore_demo_display_mode();

// The X calls behind the demo window's portable creation and destruction steps.
extern const DemoWindowHooks x11_demo_hooks;

}  // namespace zelm
