#include "frame/frame_clock.hpp"

#include <cmath>
#include <cstdio>

#include "platform/platform.hpp"

namespace zelm {

FrameClock frame_clock{};
float frame_dt = 0.0f;

namespace {

// a - b in wrap-around arithmetic, read as signed.
std::int32_t elapsed_ms(std::uint32_t a, std::uint32_t b) {
    return static_cast<std::int32_t>(a - b);
}

}  // namespace

void frame_clock_start() {
    const std::uint32_t now = platform_time_ms();
    frame_clock.last_tick_ms = now;
    frame_clock.window_start_ms = now;
    frame_dt = 0.0f;
}

void frame_clock_tick() {
    if (frame_clock.window_frames > 10) {
        frame_clock.window_frames = 0;
        frame_clock.window_start_ms = frame_clock.last_tick_ms;
    }
    const std::uint32_t now = platform_time_ms();
    const std::int32_t elapsed = elapsed_ms(now, frame_clock.last_tick_ms);
    frame_clock.last_tick_ms = now;
    frame_clock.window_frames += 1;
    frame_dt = static_cast<float>(elapsed * 0.001);
}

double frame_rate() {
    const std::int32_t span = elapsed_ms(frame_clock.last_tick_ms, frame_clock.window_start_ms);
    if (span <= 0) {
        return frame_clock.last_rate;
    }
    frame_clock.last_rate = frame_clock.window_frames / static_cast<double>(span) * 1000.0;
    return frame_clock.last_rate;
}

char* format_frame_rate(char* buf, std::size_t size, double rate) {
    if (!std::isfinite(rate)) {
        rate = 0.0;
    }
    std::snprintf(buf, size, "fps = %03.4f", rate);
    return buf;
}

}  // namespace zelm
