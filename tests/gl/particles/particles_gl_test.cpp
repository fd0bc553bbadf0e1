// The spiral's sprites drawn with the real OpenGL (Mesa through EGL), as the scene sets them up:
// the perspective, the camera transform on the projection stack and the particle texture.
#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "app/offscreen/egl_offscreen.hpp"
#include "frame/camera.hpp"
#include "frame/frame_clock.hpp"
#include "particles/particle_system.hpp"
#include "tests/support/test_platform.hpp"
#include "textures/pcx_loader.hpp"

namespace zelm {
namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kBackground = 128;

// Clears to mid grey and draws the particle systems under the scene's camera transform.
std::vector<std::uint8_t> render(const EglOffscreen& egl, unsigned blend_dst) {
    particle_blend_dst = blend_dst;
    glClearColor(0.5f, 0.5f, 0.5f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    apply_camera_transform(camera);
    particle_systems_draw();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    return egl_offscreen_read_rgb(egl);
}

TEST(ParticlesGl, AdditiveAndAlphaBlendingLookDifferent) {
    EglOffscreen egl{};
    ASSERT_EQ(egl_offscreen_create(egl, kWidth, kHeight), 1);
    ASSERT_NE(load_pcx_texture(ZELM_DATA_DIR "/particle.pcx", 3), 0);
    glShadeModel(GL_SMOOTH);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glMatrixMode(GL_PROJECTION);
    gluPerspective(90.0, 640.0 / 480.0, 1.01, 4096.0);

    // Five seconds of a spiral at (0, 0, 100), seen from the orbit's start.
    testplatform::now_ms = 4321;
    const int id = particle_system_create(particle_spiral);
    particle_system_set_position_by_id(id, 0.0f, 0.0f, 100.0f);
    frame_dt = 0.05f;
    for (int i = 0; i < 100; ++i) {
        particle_systems_update();
    }
    ASSERT_GT(particle_system_find(id)->live_count, 150);
    camera = Camera{{-120.0f, 0.0f, 130.0f}, {0.0f, -10.0f, 0.0f}};

    const std::vector<std::uint8_t> additive = render(egl, GL_ONE);
    const std::vector<std::uint8_t> alpha = render(egl, GL_ONE_MINUS_SRC_ALPHA);
    ASSERT_EQ(additive.size(), alpha.size());

    int brighter = 0;
    int darker_additive = 0;
    int darker_alpha = 0;
    int different = 0;
    int left = kWidth;
    int right = -1;
    for (std::size_t i = 0; i < additive.size(); ++i) {
        darker_additive += additive[i] < kBackground - 1;
        darker_alpha += alpha[i] < kBackground - 20;
        if (additive[i] > kBackground + 20) {
            ++brighter;
            const int x = static_cast<int>(i / 3 % kWidth);
            left = std::min(left, x);
            right = std::max(right, x);
        }
        different += additive[i] != alpha[i];
    }
    EXPECT_EQ(darker_additive, 0);  // adding light never darkens
    EXPECT_GT(brighter, 1000);
    EXPECT_GT(darker_alpha, 100);  // faded (green below 0) sprites cover the grey
    EXPECT_GT(different, 2000);
    // The system is straight ahead of the camera: the sprites straddle the middle column.
    EXPECT_LT(left, kWidth / 2);
    EXPECT_GT(right, kWidth / 2);
    egl_offscreen_destroy(egl);
}

}  // namespace
}  // namespace zelm
