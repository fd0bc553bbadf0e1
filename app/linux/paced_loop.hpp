// The main loop as every Linux window runs it: its own event drain, a real pause after the quit,
// and draw_frame for every frame, optionally paced.
#pragma once

namespace zelm {

// Runs frames until drain reports the end; drain removes and handles every pending event. With
// a frame_delay_us above 0 a frame starts no sooner than that many microseconds after the last
// one started: the loop sleeps out the rest of the interval after drawing, so that the events
// are drained just before the next frame. 0 draws frames back to back, as the demo does.
void run_paced_loop(int (*drain)(void* context), long frame_delay_us = 0);

}  // namespace zelm
