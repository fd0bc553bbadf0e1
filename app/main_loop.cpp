#include "app/main_loop.hpp"

#include "app/input_rules.hpp"
#include "scene/scene.hpp"

namespace zelm {

int quit_requested = 0;

int run_main_loop(const MainLoopHooks& hooks) {
    while (!quit_requested) {
        if (hooks.drain_messages(hooks.context)) {
            quit_requested = 1;
        }
        if (quit_requested) {
            hooks.sleep_ms(hooks.context, 50);
            continue;
        }
        frame_started = 1;
        if (hooks.draw(hooks.context) == 0) {
            return scene_memory_exit_code;
        }
    }
    return 0;
}

}  // namespace zelm
