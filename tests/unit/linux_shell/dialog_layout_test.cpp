// The dialog's controls placed from their dialog-unit boxes.
#include <gtest/gtest.h>

#include "settings/fltk/fltk_config_dialog.hpp"

using namespace zelm;

namespace {

void expect_rect(const DialogRect& r, int x, int y, int w, int h) {
    EXPECT_EQ(r.x, x);
    EXPECT_EQ(r.y, y);
    EXPECT_EQ(r.w, w);
    EXPECT_EQ(r.h, h);
}

TEST(DialogLayout, DialogUnitsBecomePixelsOfAnEightPointFont) {
    expect_rect(dialog_units_to_pixels(0, 0, 306, 201), 0, 0, 459, 327);    // the window
    expect_rect(dialog_units_to_pixels(249, 5, 50, 15), 374, 8, 75, 24);    // OK
    expect_rect(dialog_units_to_pixels(249, 25, 50, 15), 374, 41, 75, 24);  // Cancel
    expect_rect(dialog_units_to_pixels(10, 20, 210, 15), 15, 33, 315, 24);  // the edit field
    // The picture control's 32 x 30 units hold the 48 x 48 bitmap.
    expect_rect(dialog_units_to_pixels(260, 60, 32, 30), 390, 98, 48, 49);
}

}  // namespace
