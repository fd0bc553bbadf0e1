#include "app/x11/x11_main_loop.hpp"

#include <ctime>

#include "app/main_loop.hpp"
#include "scene/scene.hpp"

namespace zelm {

namespace {

// The main loop's one pause after the quit.
void sleep_for(void*, unsigned milliseconds) {
    const timespec duration{static_cast<time_t>(milliseconds / 1000),
                            static_cast<long>(milliseconds % 1000) * 1000000L};
    nanosleep(&duration, nullptr);
}

// One frame of the scene.
void draw(void*) {
    draw_frame();
}

}  // namespace

void x11_run_main_loop(int (*drain)(void* context)) {
    run_main_loop(MainLoopShell{drain, sleep_for, draw, nullptr});
}

}  // namespace zelm
