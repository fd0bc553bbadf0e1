// zelm as an XScreenSaver hack: the scene drawn into a window that belongs to someone else (the
// daemon's window, the settings program's preview, or the root window), at that window's size
// and following its resizes. Input never ends it, nothing is shown but the scene, messages go
// to stderr, and the display mode is never touched; the daemon ends it with SIGTERM.
#pragma once

#include "app/linux/linux_options.hpp"

namespace zelm {

// Draws into the window of request (root or window) until that window is destroyed; returns
// the exit code: 0 then, 1 on any failure, which is said on stderr. The saver's look (window
// pixel text, the options over the settings) is applied by the caller.
int x11_run_hack(const HackRequest& request);

}  // namespace zelm
