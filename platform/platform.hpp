// The services the scene asks of the shell that runs it.
//
// Each program (zelm.scr, zelm for X11 and Wayland, zelm-capture) defines these functions once; the
// unit tests define their own. Nothing in the scene includes an operating-system header: this file
// is the whole seam.
#pragma once

#include <cstdint>

namespace zelm {

// Milliseconds from a monotonic source, as a 32-bit count that wraps after about 49.7 days.
std::uint32_t platform_time_ms();

// Asks for a 1 ms timer period; returns 0 when the platform cannot give it.
int platform_begin_timer_period();

// Ends the 1 ms timer period.
void platform_end_timer_period();

enum class MessageIcon { none, error };
enum class MessageOwner { none, demo_window };

// Shows a message box and waits for the user to dismiss it. Every shell also reports it as
// "Caption: text" where a developer or a test can read it.
void platform_message_box(const char* text, const char* caption, MessageIcon icon,
                          MessageOwner owner);

// Writes a line for whoever reads the program's log, where a box's fixed text cannot say more
// (which file did not load): stderr in the Linux shells and zelm-capture; zelm.scr shows its
// boxes alone.
void platform_log(const char* text);

// Ends the run: the demo's window is destroyed, which ends the demo once the main loop sees it;
// a saver, which owns no window, ends.
void platform_end_run();

// Puts back the display mode that was active before the demo switched it.
void platform_restore_display_mode();

// Shows the frame just drawn.
void platform_swap_buffers();

}  // namespace zelm
