// The main loop: drain every pending message, then draw one frame; after the quit message,
// finish draining, sleep 50 ms once and stop. No frame-rate cap.
#pragma once

namespace zelm {

extern int quit_requested;

struct MainLoopHooks {
    // Removes and dispatches every pending message; returns 1 when one of them asked to quit
    // (the quit message itself is not dispatched).
    int (*drain_messages)(void* context);
    void (*sleep_ms)(void* context, unsigned milliseconds);
    // Draws one frame (draw_frame in the shells; tests count calls); 0 when memory ran out.
    int (*draw)(void* context);
    void* context;
};

// Returns 0 after the quit, or scene_memory_exit_code at once when a frame could not be drawn.
int run_main_loop(const MainLoopHooks& hooks);

}  // namespace zelm
