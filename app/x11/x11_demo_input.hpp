// The X events that the input rules care about, as the portable DemoInput.
#pragma once

#include <X11/Xlib.h>

#include "app/input_rules.hpp"

namespace zelm {

// Sets input and returns true for an event the rules judge: KeyPress; ButtonPress of the left,
// middle or right button (the wheel and extra buttons are not clicks); MotionNotify; FocusIn
// and FocusOut when the window itself gains or loses the input focus (not the passing focus
// changes of keyboard grabs); ConfigureNotify. Any other event: false.
bool x11_demo_input(const XEvent& event, DemoInput& input);

}  // namespace zelm
