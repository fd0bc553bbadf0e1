// The demo and the saver, run the same way whichever Linux shell draws them.
#pragma once

#include "app/linux/linux_shell.hpp"

namespace zelm {

// Connection, full-screen checks, window, the desktop's idle inhibit, the creation steps, the
// unpaced loop and the connection closed; returns the exit code: 0 when the demo ends normally
// or its window could not be set up, 1 without a connection, else the code of the portable step
// that failed (the full-screen mode, the pixel format, memory), after the window's destruction.
// no_connection, when given, is called after a connection that could not be opened.
int run_linux_demo(const LinuxDemo& demo, void (*no_connection)() = nullptr);

// The shell's surfaces, the scene set up in them, and frames paced by request.delay_us until
// the shell's drain ends the run; returns the exit code: 0 then, 1 when the run cannot start
// or the scene cannot be set up (said on stderr), scene_memory_exit_code when memory ran out.
int run_linux_saver(const LinuxSaver& saver, const LinuxRequest& request);

}  // namespace zelm
