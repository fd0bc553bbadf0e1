// zelm as an XScreenSaver hack: the scene drawn into a window that belongs to someone else (the
// daemon's window, the settings program's preview, or the root window), at that window's size
// and following its resizes. Input never ends it, nothing is shown but the scene, messages go
// to stderr, and the display mode is never touched; the daemon ends it with SIGTERM. The run
// ends with 0 when the window is destroyed, 1 on any failure, which is said on stderr.
#pragma once

#include "app/linux/linux_shell.hpp"

namespace zelm {

extern const LinuxSaver x11_hack;

}  // namespace zelm
