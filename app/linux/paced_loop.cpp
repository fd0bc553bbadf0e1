#include "app/linux/paced_loop.hpp"

#include <poll.h>

#include <ctime>

#include "app/main_loop.hpp"
#include "scene/scene.hpp"

namespace zelm {

namespace {

constexpr long nanoseconds_per_second = 1000000000L;

// The shell's drain and pacing, and an end that the wait between frames has already drained.
struct PacedLoop {
    int (*drain)(void* context);
    long delay_us;
    int wake_fd;
    int (*frame)();
    int end_found;
};

// The shell's drain, or the end found while waiting.
int drain(void* context) {
    PacedLoop& loop = *static_cast<PacedLoop*>(context);
    const int end = loop.end_found != 0 ? 1 : loop.drain(nullptr);
    loop.end_found = 0;
    return end;
}

// The main loop's one pause after the quit.
void sleep_for(void*, unsigned milliseconds) {
    const timespec duration{static_cast<time_t>(milliseconds / 1000),
                            static_cast<long>(milliseconds % 1000) * 1000000L};
    nanosleep(&duration, nullptr);
}

// Waits until the monotonic clock reaches deadline or the drain finds the end. Events already
// read into the shell's queue are drained first: they would not make wake_fd readable.
void wait_until(PacedLoop& loop, const timespec& deadline) {
    while ((loop.end_found = loop.drain(nullptr)) == 0) {
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        timespec left{deadline.tv_sec - now.tv_sec, deadline.tv_nsec - now.tv_nsec};
        if (left.tv_nsec < 0) {
            left.tv_sec -= 1;
            left.tv_nsec += nanoseconds_per_second;
        }
        if (left.tv_sec < 0) {
            return;
        }
        pollfd wake{loop.wake_fd, POLLIN, 0};
        if (ppoll(&wake, 1, &left, nullptr) == 0) {
            return;  // the deadline, with nothing arrived
        }
    }
}

// One frame (of every surface the window has; 0 when it failed), then, when paced, a wait until the
// interval that began with the frame is over.
int draw(void* context) {
    PacedLoop& loop = *static_cast<PacedLoop*>(context);
    timespec next{};
    clock_gettime(CLOCK_MONOTONIC, &next);
    if (loop.frame() == 0) {
        return 0;
    }
    if (loop.delay_us <= 0) {
        return 1;
    }
    next.tv_sec += static_cast<time_t>(loop.delay_us / 1000000);
    next.tv_nsec += (loop.delay_us % 1000000) * 1000L;
    if (next.tv_nsec >= nanoseconds_per_second) {
        next.tv_sec += 1;
        next.tv_nsec -= nanoseconds_per_second;
    }
    wait_until(loop, next);
    return 1;
}

}  // namespace

int run_paced_loop(int (*shell_drain)(void* context), long frame_delay_us, int wake_fd,
                   int (*frame)()) {
    PacedLoop loop{shell_drain, frame_delay_us, wake_fd, frame, 0};
    return run_main_loop(MainLoopHooks{drain, sleep_for, draw, &loop});
}

}  // namespace zelm
