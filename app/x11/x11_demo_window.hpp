// The demo on X11: a borderless (override-redirect) 640 x 480 window at (0, 0), or in full
// screen at the switched output's origin, with an invisible cursor and a GLX context, set up in
// the Windows demo window's creation order, fed to the portable input rules and main loop, and
// undone in its destruction order. While the window exists the screen saver, DPMS and the
// desktop's idle inhibit are held off; every way out of the process puts back what was changed.
#pragma once

namespace zelm {

// Runs the demo run mode and returns the process exit code: 0 when the demo ends normally or
// its window could not be set up; 1 without an X display or GLX visual; the process ends with
// -1 when the full-screen mode cannot be found or tested, and with 1 when the X connection
// breaks.
int x11_run_demo();

}  // namespace zelm
