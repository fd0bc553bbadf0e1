// Translation of X events into the portable demo inputs.
#include "app/x11/x11_demo_input.hpp"

namespace zelm {

namespace {

// A focus change that makes the window gain or lose the focus for good: not the temporary
// ones around keyboard grabs, and not the pointer-root bookkeeping.
bool is_real_focus_change(const XFocusChangeEvent& focus) {
    return focus.mode != NotifyGrab && focus.mode != NotifyUngrab &&
           focus.detail != NotifyInferior && focus.detail != NotifyPointer &&
           focus.detail != NotifyPointerRoot && focus.detail != NotifyDetailNone;
}

}  // namespace

// One event to one input, or false for events the rules never see.
bool x11_demo_input(const XEvent& event, DemoInput& input) {
    switch (event.type) {
        case KeyPress:
            input = DemoInput::key_press;
            return true;
        case ButtonPress:
            if (event.xbutton.button < Button1 || event.xbutton.button > Button3) {
                return false;
            }
            input = DemoInput::button_press;
            return true;
        case MotionNotify:
            input = DemoInput::mouse_move;
            return true;
        case FocusIn:
        case FocusOut:
            if (!is_real_focus_change(event.xfocus)) {
                return false;
            }
            input = event.type == FocusIn ? DemoInput::activated : DemoInput::deactivated;
            return true;
        case ConfigureNotify:
            input = DemoInput::position_changing;
            return true;
        default:
            return false;
    }
}

}  // namespace zelm
