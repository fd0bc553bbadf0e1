// An OpenGL context without a window: Mesa through EGL on the surfaceless platform, drawing
// into a pbuffer. zelm-capture renders with it, and the real-GL tests draw and read back with it.
#pragma once

#include <cstdint>
#include <vector>

namespace zelm {

struct EglOffscreen {
    void* display;  // EGLDisplay
    void* context;  // EGLContext
    void* surface;  // EGLSurface
    int width;
    int height;
};

// Creates a compatibility-profile context with an RGB pbuffer of width x height and a depth
// buffer of at least 16 bits, and makes it current. Returns 1, or 0 after printing why to stderr
// and releasing what it made.
int egl_offscreen_create(EglOffscreen& egl, int width, int height);

// Releases the context, the surface and the display connection.
void egl_offscreen_destroy(EglOffscreen& egl);

// Reads the colour buffer as RGB rows, top row first (as an image viewer shows it).
std::vector<std::uint8_t> egl_offscreen_read_rgb(const EglOffscreen& egl);

}  // namespace zelm
