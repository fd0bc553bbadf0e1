// The demo on X11: a borderless (override-redirect) 640 x 480 window at (0, 0), or in full
// screen at the switched output's origin, with an invisible cursor and a GLX context, set up in
// the Windows demo window's creation order, fed to the portable input rules, and undone in its
// destruction order. While the window exists the screen saver and DPMS are held off; every way
// out of the process puts back what was changed. The process ends with 1 when the X connection
// breaks.
#pragma once

#include "app/linux/linux_shell.hpp"

namespace zelm {

extern const LinuxDemo x11_demo;

}  // namespace zelm
