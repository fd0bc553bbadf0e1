#include "app/input_rules.hpp"

namespace zelm {

int frame_started = 0;
std::int32_t mouse_move_tolerance = 1;

InputAction demo_input(DemoInput input) {
    switch (input) {
        case DemoInput::activated:
            return InputAction::activated;
        case DemoInput::deactivated:
        case DemoInput::key_press:
        case DemoInput::button_press:
            return frame_started ? InputAction::end_demo : InputAction::swallow;
        case DemoInput::mouse_move:
            if (mouse_move_tolerance == 0) {
                return InputAction::end_demo;
            }
            mouse_move_tolerance -= 1;
            return InputAction::default_handling;
        case DemoInput::position_changing:
            mouse_move_tolerance += 1;
            return InputAction::default_handling;
    }
    return InputAction::default_handling;
}

void demo_creation_complete() {
    mouse_move_tolerance += 1;
}

}  // namespace zelm
