// The platform services of zelm-capture: a stepped millisecond clock, message boxes on stderr,
// a demo window that exists only as a flag, and a swap that just finishes the drawing.
#pragma once

#include <cstdint>

namespace zelm {

// A clock that moves only in whole steps: by step_ms before the clock's first tick (the read
// after its start) and before the first read of every frame. Other reads within a frame, such
// as the spiral's seed, see the frame's time.
struct SteppedClock {
    std::uint32_t now_ms;
    std::uint32_t step_ms;
    int step_due;
    int started;
};

extern SteppedClock capture_clock;

// Set by platform_end_run: the run is over, no frame is drawn after it.
extern int capture_window_destroyed;

// Starts the clock at start_ms with steps of step_ms.
void stepped_clock_init(std::uint32_t start_ms, std::uint32_t step_ms);

// Makes the next read of the clock one step later: called before each frame.
void stepped_clock_next_frame();

}  // namespace zelm
