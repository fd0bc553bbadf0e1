// Which input ends the demo. Both shells turn their window-system events into DemoInput and act
// on the answer, so the rules are written once.
#pragma once

#include <cstdint>

namespace zelm {

// Set by the main loop just before the first draw_frame; input before it cannot end the demo.
extern int frame_started;

// Mouse moves still absorbed before one ends the demo: 1 at start, +1 when the window's creation
// completes and +1 on every window-position change.
extern std::int32_t mouse_move_tolerance;

enum class DemoInput {
    key_press,          // WM_KEYDOWN / KeyPress
    button_press,       // WM_xBUTTONDOWN / ButtonPress
    activated,          // WM_ACTIVATE, wParam not 0
    deactivated,        // WM_ACTIVATE, wParam 0 / FocusOut
    mouse_move,         // WM_MOUSEMOVE / MotionNotify
    position_changing,  // WM_WINDOWPOSCHANGING / ConfigureNotify
};

enum class InputAction {
    end_demo,          // destroy the demo window; the message's result is 0
    swallow,           // nothing; result 0, no default processing
    activated,         // nothing; result 1, no default processing
    default_handling,  // let the platform's default processing run
};

// Applies the rules to one input, updating mouse_move_tolerance, and says what to do.
InputAction demo_input(DemoInput input);

// The window's creation steps are done: one more mouse move is absorbed.
void demo_creation_complete();

}  // namespace zelm
