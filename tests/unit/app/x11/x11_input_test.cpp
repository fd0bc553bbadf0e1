// Which X events reach the input rules, and what the rules make of them.
#include <gtest/gtest.h>

#include "app/input_rules.hpp"
#include "app/x11/x11_demo_input.hpp"

using namespace zelm;

namespace {

XEvent event_of_type(int type) {
    XEvent event{};
    event.type = type;
    return event;
}

XEvent button(unsigned number) {
    XEvent event = event_of_type(ButtonPress);
    event.xbutton.button = number;
    return event;
}

XEvent focus(int type, int mode, int detail) {
    XEvent event = event_of_type(type);
    event.xfocus.mode = mode;
    event.xfocus.detail = detail;
    return event;
}

// The input an event maps to, or nothing.
bool maps_to(const XEvent& event, DemoInput expected) {
    DemoInput input{};
    return x11_demo_input(event, input) && input == expected;
}

bool ignored(const XEvent& event) {
    DemoInput input{};
    return !x11_demo_input(event, input);
}

TEST(X11DemoInput, KeysAndTheThreeMouseButtonsAreInput) {
    EXPECT_TRUE(maps_to(event_of_type(KeyPress), DemoInput::key_press));
    EXPECT_TRUE(maps_to(button(Button1), DemoInput::button_press));
    EXPECT_TRUE(maps_to(button(Button2), DemoInput::button_press));
    EXPECT_TRUE(maps_to(button(Button3), DemoInput::button_press));
    EXPECT_TRUE(maps_to(event_of_type(MotionNotify), DemoInput::mouse_move));
    EXPECT_TRUE(maps_to(event_of_type(ConfigureNotify), DemoInput::position_changing));
}

TEST(X11DemoInput, WheelExtraButtonsAndReleasesAreNot) {
    EXPECT_TRUE(ignored(button(Button4)));
    EXPECT_TRUE(ignored(button(Button5)));
    EXPECT_TRUE(ignored(button(8)));
    EXPECT_TRUE(ignored(event_of_type(KeyRelease)));
    EXPECT_TRUE(ignored(event_of_type(ButtonRelease)));
    EXPECT_TRUE(ignored(event_of_type(Expose)));
    EXPECT_TRUE(ignored(event_of_type(EnterNotify)));
}

TEST(X11DemoInput, OnlyLosingTheFocusForGoodDeactivates) {
    EXPECT_TRUE(maps_to(focus(FocusOut, NotifyNormal, NotifyNonlinear), DemoInput::deactivated));
    EXPECT_TRUE(maps_to(focus(FocusOut, NotifyNormal, NotifyAncestor), DemoInput::deactivated));
    EXPECT_TRUE(
        maps_to(focus(FocusOut, NotifyWhileGrabbed, NotifyNonlinear), DemoInput::deactivated));
    EXPECT_TRUE(maps_to(focus(FocusIn, NotifyNormal, NotifyNonlinear), DemoInput::activated));
    // A keyboard grab (a window manager's shortcut, a screen locker) takes the focus only for
    // a while.
    EXPECT_TRUE(ignored(focus(FocusOut, NotifyGrab, NotifyNonlinear)));
    EXPECT_TRUE(ignored(focus(FocusIn, NotifyUngrab, NotifyNonlinear)));
    EXPECT_TRUE(ignored(focus(FocusOut, NotifyNormal, NotifyPointer)));
    EXPECT_TRUE(ignored(focus(FocusOut, NotifyNormal, NotifyInferior)));
}

TEST(X11DemoInput, TheRulesEndTheDemoOnTheMappedEvents) {
    frame_started = 0;
    mouse_move_tolerance = 1;
    DemoInput input{};
    ASSERT_TRUE(x11_demo_input(event_of_type(KeyPress), input));
    EXPECT_EQ(demo_input(input), InputAction::swallow);  // before the first frame
    demo_creation_complete();
    for (int absorbed = 0; absorbed < 2; ++absorbed) {
        ASSERT_TRUE(x11_demo_input(event_of_type(MotionNotify), input));
        EXPECT_EQ(demo_input(input), InputAction::default_handling);
    }
    EXPECT_EQ(demo_input(input), InputAction::end_demo);  // the third move

    frame_started = 1;
    ASSERT_TRUE(x11_demo_input(focus(FocusOut, NotifyNormal, NotifyNonlinear), input));
    EXPECT_EQ(demo_input(input), InputAction::end_demo);
    ASSERT_TRUE(x11_demo_input(button(Button1), input));
    EXPECT_EQ(demo_input(input), InputAction::end_demo);
}

}  // namespace
