// The main loop as both X11 windows run it: their own event drain, a real pause after the quit,
// and draw_frame for every frame.
#pragma once

namespace zelm {

// Runs frames until drain reports the end; drain removes and handles every pending event.
void x11_run_main_loop(int (*drain)(void* context));

}  // namespace zelm
