// Frame clock and frame-rate meter.
//
// Times are 32-bit millisecond counts from platform_time_ms(); differences are taken in
// wrap-around arithmetic and read as signed, so a wrap of the counter between two ticks gives
// the true small difference. frame_dt is in seconds.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zelm {

struct FrameClock {
    std::uint32_t last_tick_ms;     // time of the latest tick (or of the start)
    std::uint32_t window_start_ms;  // start of the meter's current window
    std::int32_t window_frames;     // ticks counted in the current window
    double last_rate;  // the meter's latest finite value, shown while a window is empty
};

extern FrameClock frame_clock;

// Seconds between the two latest ticks; written only by the clock, read by every animation.
extern float frame_dt;

void frame_clock_start();
void frame_clock_tick();

// Average frames per second over the most recent 1 to 11 frame intervals. A window that holds
// no whole millisecond repeats the last value instead of dividing by zero.
double frame_rate();

// Formats the meter text "fps = %03.4f" into buf; returns buf.
char* format_frame_rate(char* buf, std::size_t size, double rate);

}  // namespace zelm
