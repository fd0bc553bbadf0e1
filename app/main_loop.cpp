#include "app/main_loop.hpp"

#include "app/input_rules.hpp"

namespace zelm {

int quit_requested = 0;

void run_main_loop(const MainLoopHooks& hooks) {
    while (!quit_requested) {
        if (hooks.drain_messages(hooks.context)) {
            quit_requested = 1;
        }
        if (quit_requested) {
            hooks.sleep_ms(hooks.context, 50);
            continue;
        }
        frame_started = 1;
        hooks.draw(hooks.context);
    }
}

}  // namespace zelm
