// zelm-capture's answers to the scene's platform requests. There is no window, display mode or
// timer to manage: messages are written to stderr as "Caption: text", destroying the window
// sets a flag, and the swap waits for the drawing to finish.
#include "app/offscreen/capture_platform.hpp"

#include <GL/gl.h>

#include <cstdio>

#include "platform/platform.hpp"

namespace zelm {

SteppedClock capture_clock{};
int capture_window_destroyed = 0;

// Starts the clock at start_ms with steps of step_ms.
void stepped_clock_init(std::uint32_t start_ms, std::uint32_t step_ms) {
    capture_clock = SteppedClock{start_ms, step_ms, 0, 0};
}

// Makes the next read of the clock one step later.
void stepped_clock_next_frame() {
    capture_clock.step_due = 1;
}

// The clock's value; the first read is the start, and the read after it is one step later.
std::uint32_t platform_time_ms() {
    if (capture_clock.step_due != 0) {
        capture_clock.now_ms += capture_clock.step_ms;
        capture_clock.step_due = 0;
    }
    if (capture_clock.started == 0) {
        capture_clock.started = 1;
        capture_clock.step_due = 1;
    }
    return capture_clock.now_ms;
}

// Nothing to ask for: the stepped clock has any resolution.
int platform_begin_timer_period() {
    return 1;
}

// Nothing to give back.
void platform_end_timer_period() {}

// Reports the message on stderr; nobody is there to dismiss a box.
void platform_message_box(const char* text, const char* caption, MessageIcon, MessageOwner) {
    std::fprintf(stderr, "%s: %s\n", caption, text);
}

void platform_log(const char* text) {
    std::fprintf(stderr, "zelm-capture: %s\n", text);
}

// Marks the run as over.
void platform_end_run() {
    capture_window_destroyed = 1;
}

// The display mode is never switched.
void platform_restore_display_mode() {}

// A pbuffer shows nothing: finishing the drawing is all a swap means here.
void platform_swap_buffers() {
    glFinish();
}

}  // namespace zelm
