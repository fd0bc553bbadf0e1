// swap_log: an LD_PRELOAD library that appends the CLOCK_MONOTONIC time of every
// glXSwapBuffers and eglSwapBuffers (XScreenSaver 6 draws its GL hacks through EGL), in nanoseconds
// as 8 native bytes, to the file named by $ZELM_SWAP_LOG; so that the hack benchmark counts the
// frames of any GL hack, zelm and XScreenSaver's own alike, and times their intervals. One write
// per frame: a hack ended by SIGTERM loses nothing.
#include <EGL/egl.h>
#include <GL/glx.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <ctime>

namespace {

using SwapFn = void (*)(Display*, GLXDrawable);
using EglSwapFn = EGLBoolean (*)(EGLDisplay, EGLSurface);

int log_fd() {
    static const int fd = [] {
        const char* path = std::getenv("ZELM_SWAP_LOG");
        return path != nullptr ? open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644) : -1;
    }();
    return fd;
}

// Appends the time now.
void log_swap() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const std::int64_t ns = static_cast<std::int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
    if (log_fd() >= 0 && write(log_fd(), &ns, sizeof ns) != sizeof ns) {
        // A short write only loses a sample.
    }
}

}  // namespace

extern "C" EGLBoolean eglSwapBuffers(EGLDisplay display, EGLSurface surface) {
    static const EglSwapFn real = reinterpret_cast<EglSwapFn>(dlsym(RTLD_NEXT, "eglSwapBuffers"));
    log_swap();
    return real != nullptr ? real(display, surface) : EGL_FALSE;
}

extern "C" void glXSwapBuffers(Display* display, GLXDrawable drawable) {
    static const SwapFn real = reinterpret_cast<SwapFn>(dlsym(RTLD_NEXT, "glXSwapBuffers"));
    log_swap();
    if (real != nullptr) {
        real(display, drawable);
    }
}
