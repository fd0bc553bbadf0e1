// A surface's buffer size at a fractional scale, as the protocol rounds it.
#include <gtest/gtest.h>

#include "app/wayland/surface_scale.hpp"

namespace zelm {
namespace {

TEST(ScaledLength, RoundsHalfAwayFromZero) {
    EXPECT_EQ(scaled_length(1024, 120), 1024);
    EXPECT_EQ(scaled_length(1024, 180), 1536);
    EXPECT_EQ(scaled_length(683, 180), 1025);   // 1024.5
    EXPECT_EQ(scaled_length(1365, 150), 1706);  // 1706.25
    EXPECT_EQ(scaled_length(32767, 360), 98301);
    EXPECT_EQ(scaled_length(640, 0), 640);  // no scale said: the surface's own
}

}  // namespace
}  // namespace zelm
