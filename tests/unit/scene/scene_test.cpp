// Scene setup, the frame sequence and the camera orbit through the recording OpenGL and the
// test platform.
#include "scene/scene.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "frame/frame_clock.hpp"
#include "mesh/heightfield.hpp"
#include "particles/particle_system.hpp"
#include "scene/text_overlay.hpp"
#include "settings/settings.hpp"
#include "tests/support/recording_gl.hpp"
#include "tests/support/test_platform.hpp"
#include "tests/unit/particles/particle_state.hpp"

namespace zelm {
namespace {

namespace fs = std::filesystem;

// Every test starts from the state a new process has: no scene, mesh or particle systems yet,
// the settings at their defaults.
class SceneState : public ParticleState {
protected:
    void SetUp() override {
        ParticleState::SetUp();
        heightfield_release();
        heightfield = {};
        ripple_phase = 0.0f;
        scene_ready = 0;
        orbit_speed = 0.0f;
        window_width = 640;
        window_height = 480;
        text_in_window_pixels = 0;
        show_frame_rate = 1;
        font_initialised = 0;
        datadir = nullptr;
        use_heightfield = 1;
        fullscreen = 0;
        use_alt_blend = 0;
    }

    void TearDown() override {
        heightfield_release();
        ParticleState::TearDown();
    }
};
using SceneSetup = SceneState;
using DrawFrame = SceneState;
using CameraOrbit = SceneState;
using SceneResize = SceneState;
using glrec::Fn;

std::string data_dir = ZELM_TEST_DATA_DIR;

const char* const texture_error = "message_box(Error, Error loading texture, error, none)";

// An empty folder of its own for this test.
std::string empty_dir(const char* name) {
    const fs::path dir = fs::path(::testing::TempDir()) / name;
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir.string();
}

// A folder whose path is exactly length bytes, holding copies of the three data files.
std::string data_dir_of_length(std::size_t length) {
    // One folder per process: ctest runs these tests side by side.
    std::string dir = ::testing::TempDir() + "long-" + std::to_string(getpid());
    fs::remove_all(dir);
    while (dir.size() < length) {
        const std::size_t segment = std::min<std::size_t>(200, length - dir.size() - 1);
        dir += "/" + std::string(std::max<std::size_t>(segment, 1), 'd');
    }
    EXPECT_EQ(dir.size(), length);
    fs::create_directories(dir);
    for (const char* name : {"particle.pcx", "font.pcx", "height.pcx"}) {
        fs::copy_file(fs::path(data_dir) / name, fs::path(dir) / name);
    }
    return dir;
}

// Runs scene_setup on a fresh recorder and platform log, with the data folder dir and the clock
// standing at start_ms.
void setup_with(std::string& dir, std::uint32_t start_ms = 0) {
    glrec::reset();
    testplatform::reset();
    testplatform::now_ms = start_ms;
    datadir = dir.data();
    scene_setup();
}

// The text of the texture ids that received a level-0 image, in upload order.
std::vector<GLuint> uploaded_textures() {
    std::vector<GLuint> ids;
    for (const glrec::TexImage& image : glrec::tex_images) {
        if (image.level == 0) {
            ids.push_back(image.texture);
        }
    }
    return ids;
}

const std::vector<std::string> render_state_calls = {
    "glClearColor(0, 0, 0, 0)",
    "glClearDepth(1)",
    "glShadeModel(GL_SMOOTH)",
    "glEnable(GL_DEPTH_TEST)",
    "glDepthFunc(GL_LEQUAL)",
    "glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA)",
    "glEnable(GL_CULL_FACE)",
    "glCullFace(GL_BACK)",
    "glPixelStorei(GL_UNPACK_ALIGNMENT, 1)",
};

const std::vector<std::string> projection_calls = {
    "glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST)",
    "glMatrixMode(GL_PROJECTION)",
    "gluPerspective(90, 1.33333, 1.01, 4096)",
};

TEST_F(SceneSetup, WithoutDataFilesReportsEachTextureAndGoesOn) {
    std::string dir = empty_dir("nodata");
    setup_with(dir);
    std::vector<std::string> want = render_state_calls;
    want.insert(want.end(), projection_calls.begin(), projection_calls.end());
    EXPECT_EQ(glrec::texts(), want);  // a missing file costs no GL call
    const std::vector<std::string> events = {
        texture_error, "end_run", texture_error,        "end_run",
        texture_error, "end_run", "begin_timer_period",
    };
    EXPECT_EQ(testplatform::events, events);
    // The rest of setup still ran.
    EXPECT_NE(particle_system_head, nullptr);
    EXPECT_EQ(heightfield.cols, 32);
    EXPECT_EQ(orbit_speed, 10.0f);

    // A second call does nothing at all.
    glrec::reset();
    testplatform::reset();
    scene_setup();
    EXPECT_TRUE(glrec::gl_calls.empty());
    EXPECT_TRUE(testplatform::events.empty());
}

TEST_F(SceneSetup, TheLogNamesEachFileThatDidNotLoadAndWhy) {
    std::string dir = empty_dir("partial");
    fs::copy_file(data_dir + "/particle.pcx", dir + "/particle.pcx");
    std::FILE* font = std::fopen((dir + "/font.pcx").c_str(), "wb");
    ASSERT_NE(font, nullptr);
    std::fputs("not a picture", font);
    std::fclose(font);
    setup_with(dir);
    EXPECT_EQ(testplatform::log_lines,
              (std::vector<std::string>{"\"" + dir + "/font.pcx\": not a PCX image zelm can load",
                                        "\"" + dir + "/height.pcx\": " + std::strerror(ENOENT)}));
}

TEST_F(SceneSetup, FullScreenRestoresTheDisplayBeforeEachTextureMessage) {
    fullscreen = 1;
    std::string dir = empty_dir("nodata_fullscreen");
    setup_with(dir);
    ASSERT_GE(testplatform::events.size(), 3u);
    EXPECT_EQ(testplatform::events[0], "restore_display_mode");
    EXPECT_EQ(testplatform::events[1], texture_error);
    EXPECT_EQ(testplatform::events[2], "end_run");
    EXPECT_EQ(std::count(testplatform::events.begin(), testplatform::events.end(),
                         std::string("restore_display_mode")),
              3);
}

TEST_F(SceneSetup, LoadsTexturesThenPlacesEverything) {
    setup_with(data_dir, 5000);
    EXPECT_EQ(testplatform::events, std::vector<std::string>{"begin_timer_period"});
    EXPECT_EQ(uploaded_textures(), (std::vector<GLuint>{3, 2, 4}));
    EXPECT_EQ(glrec::count(Fn::TexImage2D), 24);  // eight levels each

    // The render state comes first and the projection after the textures.
    const std::vector<std::string> calls =
        glrec::texts_without({Fn::BindTexture, Fn::TexParameterf, Fn::TexImage2D});
    std::vector<std::string> want = render_state_calls;
    want.insert(want.end(), projection_calls.begin(), projection_calls.end());
    EXPECT_EQ(calls, want);

    EXPECT_EQ(frame_clock.last_tick_ms, 5000u);  // started and ticked once
    EXPECT_EQ(frame_clock.window_frames, 1);
    ASSERT_NE(particle_system_head, nullptr);
    EXPECT_EQ(particle_system_head->type, particle_spiral);
    EXPECT_EQ(particle_system_head->position.x, 0.0f);
    EXPECT_EQ(particle_system_head->position.y, 0.0f);
    EXPECT_EQ(particle_system_head->position.z, 100.0f);
    EXPECT_EQ(particle_blend_dst, static_cast<unsigned>(GL_ONE));
    EXPECT_EQ(heightfield.cols, 32);
    EXPECT_EQ(heightfield.rows, 32);
    EXPECT_EQ(heightfield.spacing, 16);
    EXPECT_EQ(heightfield.state, heightfield_settle);
    EXPECT_EQ(heightfield.pending_state, heightfield_ripple);
    EXPECT_EQ(camera.position.x, 0.0f);
    EXPECT_EQ(camera.position.y, 0.0f);
    EXPECT_EQ(camera.position.z, 130.0f);
    EXPECT_EQ(camera.angles.roll, 0.0f);
    EXPECT_EQ(camera.angles.pitch, -10.0f);
    EXPECT_EQ(camera.angles.yaw, 0.0f);
    EXPECT_EQ(orbit_speed, 10.0f);
    EXPECT_EQ(scene_ready, 1);
}

TEST_F(SceneSetup, AltBlendCoversInsteadOfAdding) {
    use_alt_blend = 1;
    setup_with(data_dir);
    EXPECT_EQ(particle_blend_dst, static_cast<unsigned>(GL_ONE_MINUS_SRC_ALPHA));
}

TEST_F(SceneSetup, TimerFailureIsReportedToTheWindowAndSetupGoesOn) {
    testplatform::reset();
    testplatform::timer_period_result = 0;
    glrec::reset();
    datadir = data_dir.data();
    scene_setup();
    const std::vector<std::string> events = {
        "begin_timer_period",
        "message_box(Error, Can't set timer resolution to 1 millisecond, error, demo_window)",
        "end_run",
    };
    EXPECT_EQ(testplatform::events, events);
    EXPECT_EQ(frame_clock.window_frames, 1);  // the tick after the request still happened
    EXPECT_NE(particle_system_head, nullptr);
    EXPECT_EQ(heightfield.pending_state, heightfield_ripple);
}

TEST_F(SceneSetup, PathThatFillsTheBufferLoadsAndOneByteMoreFails) {
    // "/particle.pcx" adds 13 bytes: 986 + 13 = 999 characters plus the terminator fill the
    // 1000-byte path buffer exactly.
    std::string fits = data_dir_of_length(986);
    setup_with(fits);
    EXPECT_EQ(testplatform::events, std::vector<std::string>{"begin_timer_period"});
    EXPECT_EQ(uploaded_textures(), (std::vector<GLuint>{3, 2, 4}));
}

TEST_F(SceneSetup, PathTooLongForTheBufferIsAFailedLoad) {
    std::string too_long = data_dir_of_length(987);
    setup_with(too_long);
    // Only the particle texture's path is too long; the shorter names still load.
    const std::vector<std::string> events = {texture_error, "end_run",
                                             "begin_timer_period"};
    EXPECT_EQ(testplatform::events, events);
    EXPECT_EQ(uploaded_textures(), (std::vector<GLuint>{2, 4}));
}

TEST_F(SceneSetup, DataFolderFarBeyondTheBufferFailsEveryTextureWithoutOverflow) {
    std::string huge(5000, 'x');
    setup_with(huge);
    EXPECT_EQ(std::count(testplatform::events.begin(), testplatform::events.end(),
                         std::string(texture_error)),
              3);
}

// One run of draw_text found in the recorded calls: where it starts and what it says.
struct DrawnText {
    double x;
    double y;
    std::string text;
};

// Decodes every overlay string from the glyph cells of the quads inside each gluOrtho2D block.
std::vector<DrawnText> drawn_texts() {
    std::vector<DrawnText> out;
    bool in_overlay = false;
    int corner = 0;
    for (const glrec::Call& c : glrec::gl_calls) {
        if (c.fn == Fn::Ortho2D) {
            in_overlay = true;
            out.push_back({0, 0, ""});
            corner = 0;
        } else if (c.fn == Fn::PopMatrix) {
            in_overlay = false;
        } else if (in_overlay && c.fn == Fn::TexCoord2f && corner % 4 == 0) {
            const int column = static_cast<int>(std::lround(c.args[0] / 0.0625));
            const int row = static_cast<int>(std::lround(c.args[1] / 0.0625));
            out.back().text += static_cast<char>(row * 16 + column);
        } else if (in_overlay && c.fn == Fn::Vertex2f) {
            if (corner == 0) {
                out.back().x = c.args[0];
                out.back().y = c.args[1];
            }
            ++corner;
        }
    }
    return out;
}

// Sets up with the real data at time 1000 and draws one frame 16 ms later.
void setup_and_draw_one_frame() {
    setup_with(data_dir, 1000);
    glrec::reset();
    testplatform::events.clear();
    testplatform::now_ms = 1016;
    draw_frame();
}

TEST_F(DrawFrame, CallsInOrder) {
    setup_and_draw_one_frame();
    const std::vector<std::string> calls = glrec::texts_without(
        {Fn::Color3fv, Fn::TexCoord2fv, Fn::Vertex3fv, Fn::Color4f, Fn::TexCoord2f, Fn::Vertex2f});
    char camera_rotate[64];
    std::snprintf(camera_rotate, sizeof camera_rotate, "glRotatef(%g, 0, 0, 1)",
                  static_cast<double>(camera.angles.yaw));
    char camera_translate[96];
    std::snprintf(camera_translate, sizeof camera_translate, "glTranslatef(%g, %g, %g)",
                  static_cast<double>(-camera.position.x), static_cast<double>(-camera.position.y),
                  static_cast<double>(-camera.position.z));
    std::vector<std::string> want = {
        "glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT)",
        "glDisable(GL_BLEND)",
        "glMatrixMode(GL_PROJECTION)",
        "glPushMatrix()",
        "glRotatef(-90, 1, 0, 0)",
        "glRotatef(90, 0, 0, 1)",
        "glRotatef(0, 1, 0, 0)",
        "glRotatef(-10, 0, 1, 0)",
        camera_rotate,
        camera_translate,
        // The mesh, 32 strips.
        "glEnable(GL_TEXTURE_2D)",
        "glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE)",
        "glBindTexture(GL_TEXTURE_2D, 4)",
        "glEnable(GL_CULL_FACE)",
        "glEnable(GL_BLEND)",
        "glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA)",
    };
    for (int r = 0; r < 32; ++r) {
        want.push_back("glBegin(GL_TRIANGLE_STRIP)");
        want.push_back("glEnd()");
    }
    const std::vector<std::string> sprites = {
        "glMatrixMode(GL_PROJECTION)",
        "glPushMatrix()",
        "glTranslatef(0, 0, 100)",
        "glEnable(GL_TEXTURE_2D)",
        "glBindTexture(GL_TEXTURE_2D, 3)",
        "glDisable(GL_CULL_FACE)",
        "glEnable(GL_BLEND)",
        "glBlendFunc(GL_SRC_ALPHA, GL_ONE)",
        "glBegin(GL_QUADS)",
        "glEnd()",
        "glPopMatrix()",
        "glDisable(GL_BLEND)",
        "glEnable(GL_CULL_FACE)",
        // The camera transform comes off the stack before the overlay.
        "glMatrixMode(GL_PROJECTION)",
        "glPopMatrix()",
    };
    want.insert(want.end(), sprites.begin(), sprites.end());
    for (int text = 0; text < 2; ++text) {
        const std::vector<std::string> overlay = {
            "glMatrixMode(GL_PROJECTION)",
            "glPushMatrix()",
            "glLoadIdentity()",
            "gluOrtho2D(0, 640, 480, 0)",
            "glEnable(GL_TEXTURE_2D)",
            "glBindTexture(GL_TEXTURE_2D, 2)",
            "glDisable(GL_CULL_FACE)",
            "glEnable(GL_BLEND)",
            "glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA)",
            "glBegin(GL_QUADS)",
            "glEnd()",
            "glPopMatrix()",
        };
        want.insert(want.end(), overlay.begin(), overlay.end());
    }
    EXPECT_EQ(calls, want);
    EXPECT_EQ(glrec::count(Fn::Vertex3fv) % 4, 0);  // mesh strips plus whole sprites
    EXPECT_GE(glrec::count(Fn::Vertex3fv), 32 * 66);
    EXPECT_EQ(testplatform::events, std::vector<std::string>{"swap_buffers"});

    // The credit line at the bottom and the meter at the top: 2 ticks over 16 ms.
    const std::vector<DrawnText> texts = drawn_texts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].text, scene_credit_line);
    EXPECT_EQ(texts[0].x, 0);
    EXPECT_EQ(texts[0].y, 470);
    EXPECT_EQ(texts[1].text, "fps = 125.0000");
    EXPECT_EQ(texts[1].x, 0);
    EXPECT_EQ(texts[1].y, 0);
}

TEST_F(DrawFrame, TextInWindowPixelsKeepsTheCreditLineAtTheBottomAndCanDropTheMeter) {
    // At 640 x 480 the window's pixels are the fixed overlay space: the same text, same place.
    text_in_window_pixels = 1;
    setup_and_draw_one_frame();
    const std::vector<DrawnText> at_640 = drawn_texts();
    ASSERT_EQ(at_640.size(), 2u);
    EXPECT_EQ(at_640[0].y, 470);
    EXPECT_EQ(at_640[1].y, 0);
    EXPECT_EQ(glrec::count(Fn::Ortho2D), 2);

    window_width = 1024;
    window_height = 768;
    text_in_window_pixels = 1;
    show_frame_rate = 0;
    setup_and_draw_one_frame();
    const std::vector<DrawnText> texts = drawn_texts();
    EXPECT_EQ(glrec::count(Fn::Ortho2D), 1);
    EXPECT_EQ(glrec::texts_without({Fn::Color4f, Fn::TexCoord2f, Fn::Vertex2f}).back(),
              "glPopMatrix()");
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].text, scene_credit_line);
    EXPECT_EQ(texts[0].x, 0);
    EXPECT_EQ(texts[0].y, 758);
    const std::vector<std::string> calls = glrec::texts();
    EXPECT_NE(std::find(calls.begin(), calls.end(), "gluOrtho2D(0, 1024, 768, 0)"), calls.end());
    text_in_window_pixels = 0;
    show_frame_rate = 1;
    window_width = 640;
    window_height = 480;
}

TEST_F(DrawFrame, CreditLineFitsTheOverlay) {
    EXPECT_GT(std::strlen(scene_credit_line), 0u);
    EXPECT_LE(std::strlen(scene_credit_line), 80u);
    for (const char* p = scene_credit_line; *p != '\0'; ++p) {
        EXPECT_TRUE(*p >= 32 && *p < 127) << "byte " << (p - scene_credit_line);
    }
}

TEST_F(DrawFrame, WithoutHeightfieldTheMeshIsNeitherMovedNorDrawn) {
    use_heightfield = 0;
    setup_and_draw_one_frame();
    EXPECT_EQ(heightfield.state, heightfield_settle);  // no animation step was taken
    for (const glrec::Call& c : glrec::gl_calls) {
        EXPECT_FALSE(c.fn == Fn::Begin && c.args[0] == GL_TRIANGLE_STRIP);
        EXPECT_FALSE(c.fn == Fn::BindTexture && c.args[1] == 4);
    }
    EXPECT_EQ(glrec::texts()[10], "glMatrixMode(GL_PROJECTION)");  // straight to the sprites
}

TEST_F(CameraOrbit, FirstFrameStartsTheCircleAtMinusXAndLooksAtTheCentre) {
    setup_and_draw_one_frame();
    EXPECT_FLOAT_EQ(frame_dt, 0.016f);
    EXPECT_EQ(camera.angles.yaw, 10.0f * frame_dt);
    EXPECT_NEAR(camera.position.x, -120.0f, 0.01f);
    EXPECT_NEAR(camera.position.y, 0.0f, 0.4f);
    EXPECT_EQ(camera.position.z, 130.0f);
    EXPECT_EQ(camera.angles.roll, 0.0f);
    EXPECT_EQ(camera.angles.pitch, -10.0f);
}

TEST_F(CameraOrbit, PassesPlusYAtYawNinety) {
    orbit_speed = 10.0f;
    camera.position.z = 130.0f;
    frame_dt = 0.5f;
    for (int i = 0; i < 18; ++i) {
        orbit_camera();
    }
    EXPECT_EQ(camera.angles.yaw, 90.0f);
    EXPECT_NEAR(camera.position.x, 0.0f, 1e-4f);
    EXPECT_FLOAT_EQ(camera.position.y, 120.0f);
    EXPECT_EQ(camera.position.z, 130.0f);
}

TEST_F(CameraOrbit, EightHoursAtOneThousandFramesASecondKeepTheSameCircleAndSpeed) {
    // Unwrapped, the yaw passes 262144 degrees after about 7.3 hours; a float step there is
    // 1/32 degree and a 0.01-degree advance rounds to nothing: the camera would stand still.
    orbit_speed = 10.0f;
    frame_dt = 0.001f;
    const long frames = 8L * 3600 * 1000;
    long turns = 0;
    float previous = camera.angles.yaw;
    for (long i = 0; i < frames; ++i) {
        orbit_camera();
        if (camera.angles.yaw < previous) {
            ++turns;
        }
        previous = camera.angles.yaw;
    }
    EXPECT_GE(camera.angles.yaw, 0.0f);
    EXPECT_LT(camera.angles.yaw, 360.0f);
    EXPECT_NEAR(turns, 800, 4);  // 10 degrees a second for 28800 seconds
    const float before = camera.angles.yaw;
    orbit_camera();
    const float step = camera.angles.yaw - before;
    EXPECT_NEAR(step < 0 ? step + 360.0f : step, 0.01f, 3e-5f);
    EXPECT_NEAR(std::hypot(camera.position.x, camera.position.y), 120.0f, 1e-3f);
}

TEST_F(CameraOrbit, HugeStepStillLandsWithinOneTurn) {
    orbit_speed = 10.0f;
    frame_dt = 2147483.0f;  // the longest gap the clock can report
    orbit_camera();
    EXPECT_GE(camera.angles.yaw, 0.0f);
    EXPECT_LT(camera.angles.yaw, 360.0f);
    orbit_speed = -10.0f;  // and backwards
    frame_dt = 1.0f;
    camera.angles.yaw = 5.0f;
    orbit_camera();
    EXPECT_FLOAT_EQ(camera.angles.yaw, 355.0f);
}

TEST_F(SceneResize, ReloadsTheProjectionForTheNewAspect) {
    glrec::reset();
    scene_resize(1024, 512);
    const std::vector<std::string> want = {
        "glViewport(0, 0, 1024, 512)",
        "glMatrixMode(GL_PROJECTION)",
        "glLoadIdentity()",
        "gluPerspective(90, 2, 1.01, 4096)",
    };
    EXPECT_EQ(glrec::texts(), want);
    EXPECT_EQ(window_width, 1024);
    EXPECT_EQ(window_height, 512);
    glrec::reset();
    scene_resize(0, 480);  // a drawable not yet mapped has no size
    EXPECT_TRUE(glrec::gl_calls.empty());
    EXPECT_EQ(window_width, 1024);
}

}  // namespace
}  // namespace zelm
