// The platform services the scene asks for, on Win32: winmm's millisecond clock and timer
// period, message boxes, the display mode and the buffer swap.
#include <cstdio>

#include "app/win32/win32_faults.hpp"
#include "app/win32/win32_shell.hpp"
#include "platform/platform.hpp"

namespace zelm {

namespace {

// Reports "Caption: text" to the debugger output, then shows the box. flags: MB_OK plus the icon.
void win32_message_box(HWND owner, const char* text, const char* caption, UINT flags) {
    // Only a debugger sees this; the end-to-end tests read it through Wine's debug channel.
    char line[512];
    std::snprintf(line, sizeof line, "%s: %s", caption, text);
    ZELM_DESCRIBE_MESSAGE_BOX(line, sizeof line, owner, flags);
    OutputDebugStringA(line);
    MessageBoxA(owner, text, caption, flags);
}

}  // namespace

std::uint32_t platform_time_ms() {
    return timeGetTime();
}

int platform_begin_timer_period() {
    return ZELM_FAULT("timeBeginPeriod", TIMERR_NOCANDO, timeBeginPeriod(1)) == TIMERR_NOCANDO ? 0
                                                                                               : 1;
}

void platform_end_timer_period() {
    timeEndPeriod(1);
}

void platform_message_box(const char* text, const char* caption, MessageIcon icon,
                          MessageOwner owner) {
    const UINT flags = MB_OK | (icon == MessageIcon::error ? MB_ICONERROR : 0);
    win32_message_box(owner == MessageOwner::demo_window ? demo_window : nullptr, text, caption,
                      flags);
}

// A user of zelm.scr reads its boxes; there is no log to add to.
void platform_log(const char*) {}

void platform_restore_display_mode() {
    ZELM_TRACE("display: restored");
    ChangeDisplaySettingsA(nullptr, CDS_FULLSCREEN);
}

void platform_swap_buffers() {
    SwapBuffers(demo_dc);
}

}  // namespace zelm
