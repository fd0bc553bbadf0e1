// Scene setup, camera orbit and frame composition: the one-time render state and resources,
// and the per-frame sequence (clock, camera, mesh, particles, overlay, swap).
//
// Units: world units (z up), degrees for the camera's angles, degrees per second for the orbit.
#pragma once

#include "frame/camera.hpp"
#include "math/vector.hpp"

namespace zelm {

extern float orbit_speed;  // degrees of yaw per second
extern int scene_ready;    // set once scene_setup has been entered

// The size drawn for: the demo's 640 x 480, or the saver's window or surface, set by its shell.
extern int window_width;
extern int window_height;

// Set by a shell before frames are drawn; the demo keeps the defaults.
extern int show_frame_rate;        // 1 (default): the frame-rate meter is drawn
extern int text_in_window_pixels;  // 1: overlay text in the window's pixels, each font texel
                                   // overlay_pixel_scale pixels square; 0 (default): in the fixed
                                   // 640 x 480 overlay space

// Our credit line, drawn at the bottom of every frame (at most 80 characters).
extern const char scene_credit_line[];

// The one-time setup and one frame. Each returns 1, or 0 at once when memory ran out; the process
// then ends with scene_memory_exit_code. A texture or timer period that fails ends the run
// through platform_end_run instead.
int scene_setup();
int draw_frame();
inline constexpr int scene_memory_exit_code = -1;
void orbit_camera();

// Makes the picture fill a drawable of width x height (viewport and perspective for its
// aspect); for shells whose window is not 640 x 480. Call between frames.
void scene_resize(int width, int height);

}  // namespace zelm
