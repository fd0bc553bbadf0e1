#include "app/offscreen/egl_offscreen.hpp"

#include <GL/gl.h>
#include <gtest/gtest.h>

namespace zelm {
namespace {

TEST(EglOffscreen, ImmediateModeDrawsIntoThePbuffer) {
    EglOffscreen egl{};
    ASSERT_EQ(egl_offscreen_create(egl, 640, 480), 1);
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 640);
    EXPECT_EQ(viewport[3], 480);
    GLint depth_bits = 0;
    glGetIntegerv(GL_DEPTH_BITS, &depth_bits);
    EXPECT_GE(depth_bits, 16);

    glClearColor(0, 0, 1, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    // A red quad over the left half, in the default identity projection.
    glColor4f(1, 0, 0, 1);
    glBegin(GL_QUADS);
    glVertex2f(-1, -1);
    glVertex2f(0, -1);
    glVertex2f(0, 1);
    glVertex2f(-1, 1);
    glEnd();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    const std::vector<std::uint8_t> rgb = egl_offscreen_read_rgb(egl);
    ASSERT_EQ(rgb.size(), 640u * 480u * 3u);
    const auto pixel = [&](int x, int y) {
        return &rgb[(static_cast<std::size_t>(y) * 640 + x) * 3];
    };
    EXPECT_EQ(pixel(100, 10)[0], 255);
    EXPECT_EQ(pixel(100, 10)[2], 0);
    EXPECT_EQ(pixel(500, 470)[0], 0);
    EXPECT_EQ(pixel(500, 470)[2], 255);
    egl_offscreen_destroy(egl);
}

}  // namespace
}  // namespace zelm
