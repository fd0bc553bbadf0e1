// The demo's 640x480 picture in a Wayland window of another size: aspect kept, centred.
#include <gtest/gtest.h>

#include "app/wayland/letterbox.hpp"

namespace zelm {
namespace {

void expect_rect(const PictureRect& r, int x, int y, int width, int height) {
    EXPECT_EQ(r.x, x);
    EXPECT_EQ(r.y, y);
    EXPECT_EQ(r.width, width);
    EXPECT_EQ(r.height, height);
}

TEST(Letterbox, BarsOnTheSidesOrAboveAndBelowNeverAStretch) {
    expect_rect(letterbox(640, 480, 640, 480), 0, 0, 640, 480);
    expect_rect(letterbox(1920, 1080, 640, 480), 240, 0, 1440, 1080);  // wide: side bars
    expect_rect(letterbox(1024, 768, 640, 480), 0, 0, 1024, 768);      // the same aspect
    expect_rect(letterbox(800, 1280, 640, 480), 0, 340, 800, 600);     // tall: bars above, below
    expect_rect(letterbox(1023, 768, 640, 480), 0, 0, 1023, 767);      // rounded, not truncated
}

TEST(Letterbox, AnEmptySurfaceGetsNoDivisionByZero) {
    expect_rect(letterbox(0, 0, 640, 480), 0, 0, 0, 0);
}

}  // namespace
}  // namespace zelm
