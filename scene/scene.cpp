// Scene setup and frame composition. Every transform lives on the GL_PROJECTION stack: the
// perspective at the bottom, the camera pushed over it for the 3D part of a frame, the overlay's
// orthographic projection pushed by the text drawing. The modelview matrix stays the identity.
//
// Units: world units (z up), degrees for angles, seconds for frame_dt.
#include "scene/scene.hpp"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "frame/frame_clock.hpp"
#include "mesh/heightfield.hpp"
#include "particles/particle_system.hpp"
#include "platform/messages.hpp"
#include "platform/platform.hpp"
#include "platform/regular_file.hpp"
#include "scene/text_overlay.hpp"
#include "settings/settings.hpp"
#include "textures/pcx_loader.hpp"

namespace zelm {

int scene_ready = 0;
float orbit_speed = 0.0f;
int window_width = 640;
int window_height = 480;
int show_frame_rate = 1;
int text_in_window_pixels = 0;
extern const char scene_credit_line[] =
    "Zelm - ripples, a spiral of sparks and a circling camera, in real-time OpenGL";

namespace {

constexpr int texture_path_size = 1000;
constexpr int particle_texture_id = 3;
constexpr int mesh_texture_id = 4;
constexpr int font_index = 0;

#ifdef _WIN32
constexpr char path_separator = '\\';
#else
constexpr char path_separator = '/';
#endif

// Writes datadir/name into path; 0 when the result does not fit.
int compose_texture_path(char (&path)[texture_path_size], const char* name) {
    const char* dir = (datadir != nullptr) ? datadir : ".";
    const int n = std::snprintf(path, sizeof path, "%s%c%s", dir, path_separator, name);
    return (n >= 0 && n < texture_path_size) ? 1 : 0;
}

// Tells the user a texture did not load and ends the run once setup is over.
void report_texture_failure() {
    if (fullscreen != 0) {
        platform_restore_display_mode();
    }
    platform_message_box(messages::texture_not_loaded, messages::caption_error, MessageIcon::error,
                         MessageOwner::none);
    platform_end_run();
}

// Logs why the file name in datadir did not load: its path with the system's reason it cannot be
// opened, or what else is wrong with it. Plain C formatting: zelm.scr is linked statically and
// std::string's formatting would grow it by a sixth.
void log_texture_failure(const char* name, const char* path, int composed) {
    char line[texture_path_size + 100];
    if (composed == 0) {
        std::snprintf(line, sizeof line, "\"%s\": the path to it is longer than %d characters",
                      name, texture_path_size - 1);
    } else {
        // Opened as the loader opens it: a FIFO under that name must not block the report.
        std::FILE* file = open_regular_file(path);
        const char* reason = "not a PCX image zelm can load";
        if (file == nullptr) {
            reason = errno == EINVAL ? "not a regular file" : std::strerror(errno);
        } else {
            std::fclose(file);
        }
        std::snprintf(line, sizeof line, "\"%s\": %s", path, reason);
    }
    platform_log(line);
}

// Loads datadir/name with loader, reporting a path too long to compose as a failed load.
void load_scene_texture(const char* name, int (*loader)(const char*, int), int id) {
    char path[texture_path_size];
    const int composed = compose_texture_path(path, name);
    if (composed == 0 || loader(path, id) == 0) {
        log_texture_failure(name, path, composed);
        report_texture_failure();
    }
}

// Multiplies the 90-degree perspective for the window's aspect onto the current matrix.
void apply_perspective() {
    const double aspect = static_cast<double>(window_width) / static_cast<double>(window_height);
    gluPerspective(90.0, aspect, 1.01, 4096.0);
}

}  // namespace

// One-time render state, textures, projection, clock, particles, mesh and camera.
int scene_setup() {
    if (scene_ready != 0) {
        return 1;
    }
    scene_ready = 1;

    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClearDepth(1.0);
    glShadeModel(GL_SMOOTH);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);

    load_scene_texture("particle.pcx", load_pcx_texture, particle_texture_id);
    load_scene_texture("font.pcx", load_font, font_index);
    load_scene_texture("height.pcx", load_pcx_texture, mesh_texture_id);

    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    // The new context's projection is still the identity.
    glMatrixMode(GL_PROJECTION);
    apply_perspective();

    frame_clock_start();
    if (platform_begin_timer_period() == 0) {
        platform_message_box(messages::timer_period_refused, messages::caption_error,
                             MessageIcon::error, MessageOwner::demo_window);
        platform_end_run();
    }
    frame_clock_tick();

    const int spiral = particle_system_create(particle_spiral);
    if (spiral < 0) {
        return 0;
    }
    particle_system_set_position_by_id(spiral, 0.0f, 0.0f, 100.0f);

    particle_blend_dst = (use_alt_blend != 0) ? GL_ONE_MINUS_SRC_ALPHA : GL_ONE;

    if (heightfield_create(32, 32, 16) < 0) {
        return 0;
    }
    heightfield_request_state(heightfield_ripple);

    camera.angles.pitch = -10.0f;
    camera.position.z = 130.0f;
    orbit_speed = 10.0f;
    return 1;
}

// Moves the camera along its circle of radius 120, facing the z axis.
void orbit_camera() {
    camera.angles.roll = 0.0f;
    float yaw = camera.angles.yaw + orbit_speed * frame_dt;
    // Kept within one turn: a yaw that grew without bound would, after hours, be too coarse a
    // float for a small step to change it, and the camera would stop.
    if (yaw >= 360.0f || yaw < 0.0f) {
        yaw = std::fmod(yaw, 360.0f);
        if (yaw < 0.0f) {
            yaw += 360.0f;
        }
        if (yaw >= 360.0f) {
            yaw = 0.0f;
        }
    }
    camera.angles.yaw = yaw;
    const double r = yaw * kDegreesToRadians;
    camera.position.x = static_cast<float>(std::cos(r) * -120.0);
    camera.position.y = static_cast<float>(std::sin(r) * 120.0);
}

// One frame: clock, camera, the 3D scene under the camera transform, the overlay, the swap.
int draw_frame() {
    frame_clock_tick();
    orbit_camera();

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDisable(GL_BLEND);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    apply_camera_transform(camera);

    if (use_heightfield != 0) {
        if (heightfield_update() == 0) {
            return 0;
        }
        heightfield_draw();
    }
    particle_systems_update();
    particle_systems_draw();

    glMatrixMode(GL_PROJECTION);
    glPopMatrix();

    // The credit line 10 units above the bottom edge, the meter at the top-left corner. In the
    // window's pixels a unit is overlay_pixel_scale pixels, so that the text keeps its size.
    const double width = text_in_window_pixels != 0 ? window_width / double{overlay_pixel_scale}
                                                    : static_cast<double>(overlay_width);
    const double height = text_in_window_pixels != 0 ? window_height / double{overlay_pixel_scale}
                                                     : static_cast<double>(overlay_height);
    draw_text_in(scene_credit_line, 0.0f, static_cast<float>(height - 10.0), font_index, width,
                 height);
    if (show_frame_rate != 0) {
        char meter[64];
        draw_text_in(format_frame_rate(meter, sizeof meter, frame_rate()), 0.0f, 0.0f, font_index,
                     width, height);
    }

    platform_swap_buffers();
    return 1;
}

// Makes the picture fill a drawable of width x height: viewport and perspective for its aspect.
void scene_resize(int width, int height) {
    if (width <= 0 || height <= 0) {
        return;
    }
    window_width = width;
    window_height = height;
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    apply_perspective();
}

}  // namespace zelm
