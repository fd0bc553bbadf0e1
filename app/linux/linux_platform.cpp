// The Linux shells' answers to the scene's platform requests.
//
// Time comes from CLOCK_MONOTONIC in milliseconds, truncated to 32 bits like the Windows
// multimedia timer. Linux timers need no period request, so that always succeeds. The rest goes
// to the window that runs (linux_shell): its message boxes (FLTK windows, also written to
// stderr; stderr alone in the saver modes), its teardown, its display mode and its buffers.
#include <cstdint>
#include <ctime>

#include "app/linux/linux_shell.hpp"
#include "platform/platform.hpp"
#include "settings/fltk/fltk_message_box.hpp"

namespace zelm {

// The box has no owner: FLTK's windows are not tied to the demo window.
void desktop_message_box(const char* text, const char* caption, MessageIcon icon) {
    fltk_message_box(text, caption, icon == MessageIcon::error);
}

namespace {

void nothing() {}

const LinuxShellHooks no_window_shell = {
    .message_box = desktop_message_box,
    .destroy_demo_window = nothing,
    .restore_display_mode = nothing,
    .swap_buffers = nothing,
};

}  // namespace

const LinuxShellHooks* linux_shell = &no_window_shell;

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
    linux_shell->message_box(text, caption, icon);
}

void platform_log(const char* text) {
    linux_report(text);
}

void platform_destroy_demo_window() {
    linux_shell->destroy_demo_window();
}

void platform_restore_display_mode() {
    linux_shell->restore_display_mode();
}

void platform_swap_buffers() {
    linux_shell->swap_buffers();
}

}  // namespace zelm
