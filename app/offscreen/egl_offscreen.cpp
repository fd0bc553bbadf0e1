#include "app/offscreen/egl_offscreen.hpp"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>

#include <cstdio>
#include <cstring>

namespace zelm {

namespace {

EGLDisplay open_display() {
    auto get_platform_display = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (get_platform_display != nullptr) {
        EGLDisplay display =
            get_platform_display(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
        if (display != EGL_NO_DISPLAY) {
            return display;
        }
    }
    return eglGetDisplay(EGL_DEFAULT_DISPLAY);
}

int fail(EglOffscreen& egl, const char* what) {
    std::fprintf(stderr, "egl: %s failed (error 0x%X)\n", what, eglGetError());
    egl_offscreen_destroy(egl);
    return 0;
}

}  // namespace

int egl_offscreen_create(EglOffscreen& egl, int width, int height) {
    egl = EglOffscreen{nullptr, nullptr, nullptr, width, height};
    EGLDisplay display = open_display();
    if (display == EGL_NO_DISPLAY) {
        std::fprintf(stderr, "egl: no display\n");
        return 0;
    }
    egl.display = display;
    if (!eglInitialize(display, nullptr, nullptr)) {
        egl.display = nullptr;
        return fail(egl, "eglInitialize");
    }
    if (!eglBindAPI(EGL_OPENGL_API)) {
        return fail(egl, "eglBindAPI");
    }
    const EGLint config_attribs[] = {EGL_SURFACE_TYPE,
                                     EGL_PBUFFER_BIT,
                                     EGL_RENDERABLE_TYPE,
                                     EGL_OPENGL_BIT,
                                     EGL_RED_SIZE,
                                     8,
                                     EGL_GREEN_SIZE,
                                     8,
                                     EGL_BLUE_SIZE,
                                     8,
                                     EGL_DEPTH_SIZE,
                                     16,
                                     EGL_NONE};
    EGLConfig config = nullptr;
    EGLint found = 0;
    if (!eglChooseConfig(display, config_attribs, &config, 1, &found) || found < 1) {
        return fail(egl, "eglChooseConfig");
    }
    const EGLint surface_attribs[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
    egl.surface = eglCreatePbufferSurface(display, config, surface_attribs);
    if (egl.surface == EGL_NO_SURFACE) {
        egl.surface = nullptr;
        return fail(egl, "eglCreatePbufferSurface");
    }
    egl.context = eglCreateContext(display, config, EGL_NO_CONTEXT, nullptr);
    if (egl.context == EGL_NO_CONTEXT) {
        egl.context = nullptr;
        return fail(egl, "eglCreateContext");
    }
    if (!eglMakeCurrent(display, egl.surface, egl.surface, egl.context)) {
        return fail(egl, "eglMakeCurrent");
    }
    return 1;
}

void egl_offscreen_destroy(EglOffscreen& egl) {
    if (egl.display == nullptr) {
        return;
    }
    eglMakeCurrent(egl.display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (egl.context != nullptr) {
        eglDestroyContext(egl.display, egl.context);
    }
    if (egl.surface != nullptr) {
        eglDestroySurface(egl.display, egl.surface);
    }
    eglTerminate(egl.display);
    egl = EglOffscreen{nullptr, nullptr, nullptr, 0, 0};
}

std::vector<std::uint8_t> egl_offscreen_read_rgb(const EglOffscreen& egl) {
    const std::size_t row = static_cast<std::size_t>(egl.width) * 3;
    std::vector<std::uint8_t> bottom_up(row * egl.height);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, egl.width, egl.height, GL_RGB, GL_UNSIGNED_BYTE, bottom_up.data());
    std::vector<std::uint8_t> top_down(bottom_up.size());
    for (int y = 0; y < egl.height; ++y) {
        std::memcpy(&top_down[row * y], &bottom_up[row * (egl.height - 1 - y)], row);
    }
    return top_down;
}

}  // namespace zelm
