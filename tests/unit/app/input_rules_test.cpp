#include "app/input_rules.hpp"

#include <gtest/gtest.h>

namespace zelm {
namespace {

// Each test starts as the process does: no frame yet, one mouse move absorbed.
class InputRules : public ::testing::Test {
protected:
    void SetUp() override {
        frame_started = 0;
        mouse_move_tolerance = 1;
    }
};

TEST_F(InputRules, KeysButtonsAndDeactivationWaitForTheFirstFrame) {
    for (DemoInput input :
         {DemoInput::key_press, DemoInput::button_press, DemoInput::deactivated}) {
        frame_started = 0;
        EXPECT_EQ(demo_input(input), InputAction::swallow);
        frame_started = 1;
        EXPECT_EQ(demo_input(input), InputAction::end_demo);
    }
}

TEST_F(InputRules, ActivationIsAnsweredAndChangesNothing) {
    frame_started = 1;
    const std::int32_t before = mouse_move_tolerance;
    EXPECT_EQ(demo_input(DemoInput::activated), InputAction::activated);
    EXPECT_EQ(mouse_move_tolerance, before);
}

TEST_F(InputRules, TwoMouseMovesAreAbsorbedAfterCreationAndTheThirdEnds) {
    EXPECT_EQ(mouse_move_tolerance, 1);
    demo_creation_complete();
    EXPECT_EQ(demo_input(DemoInput::mouse_move), InputAction::default_handling);
    EXPECT_EQ(demo_input(DemoInput::mouse_move), InputAction::default_handling);
    EXPECT_EQ(mouse_move_tolerance, 0);
    // Mouse movement is not held back by the first frame.
    frame_started = 0;
    EXPECT_EQ(demo_input(DemoInput::mouse_move), InputAction::end_demo);
}

TEST_F(InputRules, EachPositionChangeBuysOneMoreMove) {
    demo_creation_complete();
    EXPECT_EQ(demo_input(DemoInput::position_changing), InputAction::default_handling);
    EXPECT_EQ(demo_input(DemoInput::position_changing), InputAction::default_handling);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(demo_input(DemoInput::mouse_move), InputAction::default_handling) << i;
    }
    EXPECT_EQ(demo_input(DemoInput::mouse_move), InputAction::end_demo);
}

}  // namespace
}  // namespace zelm
