// The scene on the real OpenGL (Mesa llvmpipe, EGL pbuffer): no errors, a balanced projection
// stack and the three textures in place, frame after frame.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "app/offscreen/egl_offscreen.hpp"
#include "scene/scene.hpp"
#include "settings/settings.hpp"
#include "tests/support/test_platform.hpp"

namespace zelm {
namespace {

class SceneGl : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(egl_offscreen_create(egl_, 640, 480), 1);
        datadir = data_.data();
        testplatform::reset();
        testplatform::now_ms = 1000;
    }
    void TearDown() override { egl_offscreen_destroy(egl_); }

    EglOffscreen egl_{};
    std::string data_ = ZELM_TEST_DATA_DIR;
};

GLint get_integer(GLenum name) {
    GLint value = 0;
    glGetIntegerv(name, &value);
    return value;
}

TEST_F(SceneGl, FramesLeaveNoErrorAndOnlyThePerspectiveOnTheStack) {
    scene_setup();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_EQ(testplatform::events, std::vector<std::string>{"begin_timer_period"});
    for (const GLuint id : {2u, 3u, 4u}) {
        EXPECT_TRUE(glIsTexture(id)) << id;
    }
    // The camera push and the sprite push sit on the perspective: three matrices at most.
    EXPECT_GE(get_integer(GL_MAX_PROJECTION_STACK_DEPTH), 3);
    for (int frame = 0; frame < 240; ++frame) {  // through the settle into the ripples
        testplatform::now_ms += 16;
        draw_frame();
        ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << "frame " << frame;
        ASSERT_EQ(get_integer(GL_PROJECTION_STACK_DEPTH), 1) << "frame " << frame;
        ASSERT_EQ(get_integer(GL_MATRIX_MODE), GL_PROJECTION);
    }
    // The modelview matrix was never touched.
    GLfloat modelview[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(modelview[i], (i % 5 == 0) ? 1.0f : 0.0f);
    }
}

TEST_F(SceneGl, ResizeFillsTheNewDrawable) {
    scene_setup();
    scene_resize(320, 240);
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 320);
    EXPECT_EQ(viewport[3], 240);
    testplatform::now_ms += 16;
    draw_frame();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    // Nothing is drawn outside the smaller viewport.
    const std::vector<std::uint8_t> rgb = egl_offscreen_read_rgb(egl_);
    long outside = 0;
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
            if (x >= 320 || y < 240) {  // rows are top first; the viewport is the bottom-left
                const std::uint8_t* p = &rgb[(static_cast<std::size_t>(y) * 640 + x) * 3];
                outside += p[0] + p[1] + p[2];
            }
        }
    }
    EXPECT_EQ(outside, 0);
}

}  // namespace
}  // namespace zelm
