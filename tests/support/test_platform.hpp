// The platform services for tests: a millisecond clock the test sets, and a log of every
// other service the code asks for, in order.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zelm::testplatform {

extern std::uint32_t now_ms;      // what platform_time_ms() answers
extern std::uint32_t advance_ms;  // added to now_ms after each read (0: the clock stands still)
extern int timer_period_result;   // what platform_begin_timer_period() answers (default 1)

// "message_box(Caption, text, error|none, none|demo_window)", "end_run",
// "restore_display_mode", "swap_buffers", "begin_timer_period", "end_timer_period".
extern std::vector<std::string> events;

// Every line platform_log was given, in order.
extern std::vector<std::string> log_lines;

// Called by platform_end_run after it is logged, as a shell runs the destruction.
extern void (*on_end_run)();

void reset();

}  // namespace zelm::testplatform
