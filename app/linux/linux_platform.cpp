// The Linux shells' answers to the scene's platform requests.
//
// Time comes from CLOCK_MONOTONIC in milliseconds, truncated to 32 bits like the Windows
// multimedia timer. Linux timers need no period request, so that always succeeds. The rest goes
// to the run in progress (window_services): its message boxes (FLTK windows, also written to
// stderr; stderr alone in the saver modes), its teardown, its display mode and its buffers.
#include <cstdint>
#include <ctime>

#include "app/linux/linux_shell.hpp"
#include "platform/platform.hpp"

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

void platform_message_box(const char* text, const char* caption, MessageIcon icon, MessageOwner) {
    window_services->message_box(text, caption, icon);
}

void platform_log(const char* text) {
    linux_report(linux_messages::text, text);
}

void platform_end_run() {
    window_services->end_run();
}

void platform_restore_display_mode() {
    if (window_services->restore_display_mode != nullptr) {
        window_services->restore_display_mode();
    }
}

void platform_swap_buffers() {
    window_services->swap_buffers();
}

}  // namespace zelm
