// The heightfield drawn with real OpenGL (Mesa through EGL, 640 x 480) under the scene's
// perspective and camera, with the scene's render state and the mesh texture from height.pcx.
#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "app/offscreen/egl_offscreen.hpp"
#include "frame/camera.hpp"
#include "frame/frame_clock.hpp"
#include "math/random.hpp"
#include "mesh/heightfield.hpp"
#include "textures/pcx_loader.hpp"

namespace zelm {
namespace {

struct Rgb {
    int r;
    int g;
    int b;
};

class HeightfieldGl : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(egl_offscreen_create(egl_, 640, 480), 1);
        // The scene's fixed render state and perspective.
        glClearColor(0, 0, 0, 0);
        glClearDepth(1.0);
        glShadeModel(GL_SMOOTH);
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LEQUAL);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glEnable(GL_CULL_FACE);
        glCullFace(GL_BACK);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        ASSERT_NE(load_pcx_texture(ZELM_DATA_DIR "/height.pcx", 4), 0);
        glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
        glMatrixMode(GL_PROJECTION);
        gluPerspective(90, 640.0 / 480.0, 1.01, 4096);

        random_seed(1);
        ripple_phase = 0.0f;
        ASSERT_NE(heightfield_create(32, 32, 16), 0);
    }
    void TearDown() override {
        heightfield_release();
        egl_offscreen_destroy(egl_);
    }

    // Settles the mesh flat and leaves it there.
    static void flatten() {
        heightfield_request_state(heightfield_idle);
        frame_dt = 0.01f;
        while (heightfield.state != heightfield_idle) {
            heightfield_update();
        }
    }

    // One frame as the scene draws it: clear, camera transform, mesh, read back.
    void draw_from(Vec3 position, Angles angles) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glDisable(GL_BLEND);
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        apply_camera_transform(Camera{position, angles});
        heightfield_draw();
        glGetDoublev(GL_PROJECTION_MATRIX, projection_);
        glPopMatrix();
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        rgb_ = egl_offscreen_read_rgb(egl_);
        ASSERT_EQ(rgb_.size(), 640u * 480u * 3u);
    }

    // The pixel at column x, row y counted from the top.
    Rgb pixel(int x, int y) const {
        const std::uint8_t* p = &rgb_[(static_cast<std::size_t>(y) * 640 + x) * 3];
        return {p[0], p[1], p[2]};
    }

    // Where the world point lands on the last frame: column, and row from the top.
    void project(double x, double y, double z, int& column, int& row) const {
        const GLdouble identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
        const GLint viewport[4] = {0, 0, 640, 480};
        GLdouble wx = 0;
        GLdouble wy = 0;
        GLdouble wz = 0;
        ASSERT_EQ(gluProject(x, y, z, identity, projection_, viewport, &wx, &wy, &wz), GL_TRUE);
        column = static_cast<int>(wx);
        row = 479 - static_cast<int>(wy);
    }

    EglOffscreen egl_{};
    std::vector<std::uint8_t> rgb_;
    GLdouble projection_[16] = {};
};

// The camera after the first frame: on its circle at yaw 0, 10 degrees down, facing the z axis.
constexpr Vec3 above = {-120, 0, 130};
constexpr Angles looking_down = {0, -10, 0};

TEST_F(HeightfieldGl, FlatMeshIsLitAndTexturedBelowItsFarEdgeAndBlackAbove) {
    flatten();
    draw_from(above, looking_down);

    // The far edge (x = 256) crosses the middle column below the centre of the picture.
    int column = 0;
    int far_row = 0;
    project(256, 0, 0, column, far_row);
    EXPECT_NEAR(column, 320, 1);
    ASSERT_GT(far_row, 250);
    ASSERT_LT(far_row, 300);
    for (int y = 0; y < far_row - 2; y += 7) {
        for (int x = 0; x < 640; x += 7) {
            const Rgb p = pixel(x, y);
            ASSERT_EQ(p.r + p.g + p.b, 0) << x << ", " << y;
        }
    }

    // Everything between the far edge and the bottom of the middle column is the mesh: the
    // blue water texture times the flat grey 0.23, so no channel passes 0.23 x 255.
    int darkest_blue = 255;
    int brightest_blue = 0;
    for (int y = far_row + 3; y < 480; ++y) {
        const Rgb p = pixel(320, y);
        ASSERT_LE(std::max({p.r, p.g, p.b}), 59) << y;
        ASSERT_GT(p.b, p.r) << y;
        darkest_blue = std::min(darkest_blue, p.b);
        brightest_blue = std::max(brightest_blue, p.b);
    }
    EXPECT_GT(darkest_blue, 10);
    // The texture's ripples show through the lighting.
    EXPECT_GT(brightest_blue - darkest_blue, 3);

    // The side edge at y = 256 (to the camera's left): inside lit, outside black.
    int edge_column = 0;
    int edge_row = 0;
    project(128, 256, 0, edge_column, edge_row);
    ASSERT_GT(edge_column, 20);
    EXPECT_GT(pixel(edge_column + 6, edge_row).b, 10);
    const Rgb outside = pixel(edge_column - 6, edge_row);
    EXPECT_EQ(outside.r + outside.g + outside.b, 0);
}

TEST_F(HeightfieldGl, MeshIsCulledFromBelow) {
    flatten();
    draw_from({-120, 0, -130}, {0, 10, 0});
    for (std::size_t i = 0; i < rgb_.size(); ++i) {
        ASSERT_EQ(rgb_[i], 0) << "pixel " << i / 3;
    }
}

TEST_F(HeightfieldGl, RipplingMeshIsShadedByItsSlopes) {
    flatten();
    heightfield_request_state(heightfield_ripple);
    frame_dt = 0.01f;
    heightfield_update();  // enters the ripple
    heightfield_update();  // the first waves
    draw_from(above, looking_down);

    // Slopes facing the light (towards -y and up) are brighter than the flat grey, slopes
    // facing away darker; the near half of the picture shows both.
    int darkest = 255;
    int brightest = 0;
    for (int y = 400; y < 480; y += 3) {
        for (int x = 40; x < 600; x += 3) {
            const Rgb p = pixel(x, y);
            ASSERT_GT(p.r + p.g + p.b, 0) << x << ", " << y;
            darkest = std::min(darkest, p.b);
            brightest = std::max(brightest, p.b);
        }
    }
    EXPECT_GT(darkest, 0);
    EXPECT_GT(brightest, 80);
    EXPECT_LT(darkest, 30);
}

}  // namespace
}  // namespace zelm
