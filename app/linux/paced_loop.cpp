#include "app/linux/paced_loop.hpp"

#include <cerrno>
#include <ctime>

#include "app/main_loop.hpp"
#include "scene/scene.hpp"

namespace zelm {

namespace {

constexpr long nanoseconds_per_second = 1000000000L;

// The main loop's one pause after the quit.
void sleep_for(void*, unsigned milliseconds) {
    const timespec duration{static_cast<time_t>(milliseconds / 1000),
                            static_cast<long>(milliseconds % 1000) * 1000000L};
    nanosleep(&duration, nullptr);
}

// One frame of the scene, then, when paced, a sleep on the monotonic clock until the interval
// that began with the frame is over. context points to the delay in microseconds.
void draw(void* context) {
    const long delay_us = *static_cast<const long*>(context);
    timespec next{};
    clock_gettime(CLOCK_MONOTONIC, &next);
    draw_frame();
    if (delay_us <= 0) {
        return;
    }
    next.tv_sec += static_cast<time_t>(delay_us / 1000000);
    next.tv_nsec += (delay_us % 1000000) * 1000L;
    if (next.tv_nsec >= nanoseconds_per_second) {
        next.tv_sec += 1;
        next.tv_nsec -= nanoseconds_per_second;
    }
    // An absolute deadline: a signal that interrupts the sleep does not stretch the interval.
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &next, nullptr) == EINTR) {
    }
}

}  // namespace

void run_paced_loop(int (*drain)(void* context), long frame_delay_us) {
    long delay_us = frame_delay_us;
    run_main_loop(MainLoopShell{drain, sleep_for, draw, &delay_us});
}

}  // namespace zelm
