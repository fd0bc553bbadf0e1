// The main loop as every Linux window runs it: its own event drain, a real pause after the quit,
// and draw_frame for every frame, optionally paced.
#pragma once

#include "scene/scene.hpp"

namespace zelm {

// Runs frames until drain reports the end; drain removes and handles every pending event. With
// a frame_delay_us above 0 a frame starts no sooner than that many microseconds after the last
// one started: the loop waits out the rest of the interval after drawing. While it waits it
// drains whatever arrives on wake_fd (the display connection) or interrupts it (a signal), so that
// an event that ends the run ends the wait too, however long the delay. 0 draws frames back to
// back, as the demo does. frame draws one frame: of each of the window's surfaces, where it has
// several; 0 when memory ran out. Returns run_main_loop's code.
int run_paced_loop(int (*drain)(void* context), long frame_delay_us = 0, int wake_fd = -1,
                   int (*frame)() = draw_frame);

}  // namespace zelm
