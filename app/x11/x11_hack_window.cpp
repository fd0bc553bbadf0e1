// The XScreenSaver window mode: a GLX context made from the foreign window's own visual, the
// portable main loop, and the window's size followed through ConfigureNotify.
//
// Sizes are in pixels. Frames are paced by the -delay option, as every hack's are; every motion
// is scaled by the frame time, so speeds do not depend on the delay. Text is drawn in the
// window's pixels, so that it stays sharp and legible at any window size.
#include "app/x11/x11_hack_window.hpp"

#include <GL/glx.h>
#include <X11/Xutil.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>

#include "app/linux/linux_shell.hpp"
#include "app/linux/paced_loop.hpp"
#include "app/linux/stop_signals.hpp"
#include "app/x11/x11_errors.hpp"
#include "scene/scene.hpp"
#include "settings/settings.hpp"

namespace zelm {

namespace {

// Everything the hack holds while it draws.
struct X11Hack {
    Display* display;  // the connection the hack draws over
    Window window;     // the window drawn into; None until it is known
    GLXContext context;
    int width;  // the window's latest size, from ConfigureNotify
    int height;
    int window_destroyed;  // it went (its DestroyNotify, or found gone): the run ends
    int drawing;           // a context is current on the window: GL may query it at any call
    int x_error_count;
    int glx_error_base;  // the first of GLX's error codes; 0 until GLX was asked
};

X11Hack hack{nullptr, None, nullptr, 0, 0, 0, 0, 0, 0};

// GLX's errors about a drawable, counted from its error base (GL/glxproto.h, which needs the
// server's protocol types).
constexpr int glx_bad_drawable = 2;
constexpr int glx_bad_current_window = 5;
constexpr int glx_bad_window = 12;

// Whether error says that hack.window is not there: the core's errors, or GLX's about a
// drawable (a swap or a binding that reached the server after the window went).
bool names_missing_window(const XErrorEvent& error) {
    if (error.resourceid != hack.window) {
        return false;
    }
    const int glx_code = error.error_code - hack.glx_error_base;
    return error.error_code == BadWindow || error.error_code == BadDrawable ||
           (hack.glx_error_base != 0 &&
            (glx_code == glx_bad_drawable || glx_code == glx_bad_window ||
             glx_code == glx_bad_current_window));
}

// X protocol errors are counted, reported and survived. Errors that only say that the window
// is not there are not reported: its owner destroyed it, or it never existed (said in plainer
// words). Once drawing, such an error comes from inside the GL driver, which goes on with the
// answer it did not get (a drawable size it never received, and a heap overrun after it):
// returning there is not safe, and the window is gone, so the run ends here, as it would on its
// DestroyNotify.
int on_x_error(Display* display, XErrorEvent* error) {
    ++hack.x_error_count;
    if (names_missing_window(*error)) {
        if (hack.drawing != 0) {
            std::fflush(stderr);
            _exit(0);
        }
        return 0;
    }
    report_x_error_once(display, *error);
    return 0;
}

// The attributes of hack.window, or false when there is no such window.
bool read_window_attributes(XWindowAttributes& attributes) {
    const int before = hack.x_error_count;
    const Status status = XGetWindowAttributes(hack.display, hack.window, &attributes);
    return status != 0 && hack.x_error_count == before;
}

// A context for the window's own visual, which must offer double-buffered RGBA OpenGL; null
// (said on stderr) otherwise.
GLXContext create_context_for(const XWindowAttributes& attributes) {
    int error_base = 0;
    int event_base = 0;
    if (!glXQueryExtension(hack.display, &error_base, &event_base)) {
        linux_report(linux_messages::no_glx);
        return nullptr;
    }
    hack.glx_error_base = error_base;
    XVisualInfo wanted{};
    wanted.visualid = XVisualIDFromVisual(attributes.visual);
    wanted.screen = XScreenNumberOfScreen(attributes.screen);
    int count = 0;
    XVisualInfo* visual =
        XGetVisualInfo(hack.display, VisualIDMask | VisualScreenMask, &wanted, &count);
    int use_gl = 0;
    int rgba = 0;
    int double_buffer = 0;
    if (visual != nullptr) {
        glXGetConfig(hack.display, visual, GLX_USE_GL, &use_gl);
        glXGetConfig(hack.display, visual, GLX_RGBA, &rgba);
        glXGetConfig(hack.display, visual, GLX_DOUBLEBUFFER, &double_buffer);
    }
    GLXContext context = nullptr;
    if (use_gl == 0 || rgba == 0 || double_buffer == 0) {
        linux_report(linux_messages::visual_without_gl, wanted.visualid);
    } else {
        context = glXCreateContext(hack.display, visual, nullptr, True);
        if (context == nullptr) {
            linux_report(linux_messages::no_context_for_visual, wanted.visualid);
        }
    }
    if (visual != nullptr) {
        XFree(visual);
    }
    return context;
}

// Takes the window's resizes and its destruction, and key presses (which end nothing), adding
// to what its owner and others already asked for; then reads its size again, since any later
// change now arrives as an event. False when the window has gone meanwhile.
bool watch_window(const XWindowAttributes& attributes) {
    XSelectInput(hack.display, hack.window,
                 attributes.your_event_mask | StructureNotifyMask | KeyPressMask);
    XWindowAttributes now{};
    if (!read_window_attributes(now)) {
        hack.window_destroyed = 1;
        return false;
    }
    hack.width = now.width;
    hack.height = now.height;
    return true;
}

// Handles every pending event; returns 1 when the run must end (the window is gone). A new size is
// given to the scene once the queue is empty.
int drain_hack_events(void*) {
    while (XPending(hack.display) > 0) {
        XEvent event;
        XNextEvent(hack.display, &event);
        if (event.xany.window != hack.window) {
            continue;
        }
        if (event.type == ConfigureNotify) {
            hack.width = event.xconfigure.width;
            hack.height = event.xconfigure.height;
        } else if (event.type == DestroyNotify) {
            hack.window_destroyed = 1;
        }
    }
    if (hack.window_destroyed != 0) {
        return 1;
    }
    if (hack.width != window_width || hack.height != window_height) {
        scene_resize(hack.width, hack.height);
    }
    return 0;
}

// Context for the window in request; returns the exit code when there is none, else -1. The
// daemon's SIGTERM ends the hack at once, even inside a frame: there is no display mode to put
// back and the server frees the context and the connection.
int open_hack(const LinuxRequest& request, int& wake_fd) {
    default_stop_signals();
    hack.display = XOpenDisplay(nullptr);
    if (hack.display == nullptr) {
        const char* name = XDisplayName(nullptr);
        if (*name == '\0') {
            linux_report(linux_messages::no_display_variable);
        } else {
            linux_report(linux_messages::display_not_opened, name);
        }
        return 1;
    }
    XSetErrorHandler(on_x_error);
    wake_fd = ConnectionNumber(hack.display);
    hack.window = request.command == LinuxCommand::root ? DefaultRootWindow(hack.display)
                                                        : static_cast<Window>(request.window_id);
    XWindowAttributes attributes{};
    if (!read_window_attributes(attributes)) {
        linux_report(linux_messages::no_such_window, hack.window);
        return 1;
    }
    // GLX would take the window and then fail on every frame.
    if (attributes.c_class == InputOnly) {
        linux_report(linux_messages::input_only_window, hack.window);
        return 1;
    }
    hack.context = create_context_for(attributes);
    if (hack.context == nullptr) {
        return 1;
    }
    // The window was there: if it goes now, its owner closed it while zelm started (the
    // daemon's settings panel does as one clicks through its list), and the run ends normally.
    if (!watch_window(attributes)) {
        return 0;
    }
    hack.drawing = 1;
    if (!glXMakeCurrent(hack.display, hack.window, hack.context)) {
        linux_report(linux_messages::context_not_current, hack.window);
        return 1;
    }
    // The perspective is made for this size; the viewport is the window's from the binding.
    window_width = hack.width;
    window_height = hack.height;
    return -1;
}

void swap_buffers() {
    glXSwapBuffers(hack.display, hack.window);
}

// A destroyed window took its drawable with it: the driver would query it again while letting
// the context go. The process ends now; the server already freed what it held.
void close_hack() {
    if (hack.display == nullptr || hack.window_destroyed != 0) {
        return;
    }
    if (hack.context != nullptr) {
        glXMakeCurrent(hack.display, None, nullptr);
        glXDestroyContext(hack.display, hack.context);
        hack.context = nullptr;
    }
    hack.drawing = 0;
    XCloseDisplay(hack.display);
    hack.display = nullptr;
}

}  // namespace

const LinuxSaver x11_hack = {
    .open = open_hack,
    .frames = {.drain = drain_hack_events, .frame = draw_frame, .swap_buffers = swap_buffers},
    .close = close_hack,
};

}  // namespace zelm
