// The Linux shell's answers to the scene's platform requests.
//
// Time comes from CLOCK_MONOTONIC in milliseconds, truncated to 32 bits like the Windows
// multimedia timer. Linux timers need no period request, so that always succeeds. Message
// boxes are FLTK windows, also written to stderr. As an XScreenSaver hack, zelm shows no window
// of its own and owns none to destroy: messages go to stderr alone, and a request to destroy
// the window ends the run instead.
#include <GL/glx.h>

#include <cstdint>
#include <ctime>

#include "app/x11/x11_demo_window.hpp"
#include "app/x11/x11_hack_window.hpp"
#include "platform/platform.hpp"
#include "settings/fltk/fltk_message_box.hpp"

namespace zelm {

// Milliseconds of the monotonic clock, wrapping like timeGetTime.
std::uint32_t platform_time_ms() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const std::uint64_t ms = static_cast<std::uint64_t>(now.tv_sec) * 1000u +
                             static_cast<std::uint64_t>(now.tv_nsec) / 1000000u;
    return static_cast<std::uint32_t>(ms);
}

// The scheduler's resolution is already fine enough.
int platform_begin_timer_period() {
    return 1;
}

// Nothing was asked for, so there is nothing to give back.
void platform_end_timer_period() {}

// The box has no owner on X: FLTK's windows are not tied to the demo window.
void platform_message_box(const char* text, const char* caption, MessageIcon icon, MessageOwner) {
    if (hack_mode != 0) {
        x11_hack_report(text);
        return;
    }
    fltk_message_box(text, caption, icon == MessageIcon::error);
}

// Runs the demo window's destruction steps.
void platform_destroy_demo_window() {
    if (hack_mode != 0) {
        hack_end_requested = 1;
        return;
    }
    run_demo_window_destruction(x11_demo_hooks);
}

// Puts back the mode that the full-screen switch replaced.
void platform_restore_display_mode() {
    x11_restore_demo_display_mode();
}

// Shows the frame drawn into the demo window's back buffer.
void platform_swap_buffers() {
    if (hack_mode != 0) {
        glXSwapBuffers(hack_display, hack_window);
    } else if (demo_window != None) {
        glXSwapBuffers(demo_display, demo_window);
    }
}

}  // namespace zelm
