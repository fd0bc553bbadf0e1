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

#include <csignal>
#include <cstdio>
#include <ctime>
#include <string>

#include "app/main_loop.hpp"
#include "app/x11/x11_errors.hpp"
#include "app/x11/x11_main_loop.hpp"
#include "scene/scene.hpp"
#include "settings/settings.hpp"

namespace zelm {

int hack_mode = 0;
Display* hack_display = nullptr;
Window hack_window = None;
int hack_end_requested = 0;

namespace {

GLXContext hack_context = nullptr;
int hack_width = 0;  // the window's latest size, from ConfigureNotify
int hack_height = 0;
int window_destroyed = 0;  // its DestroyNotify came: the run ends
int drawing = 0;           // a context is current on the window: GL may query it at any call
int x_error_count = 0;

// X protocol errors are counted, reported and survived. Errors that only say that the window
// is not there are not reported: its owner destroyed it, or it never existed (said in plainer
// words). Once drawing, such an error comes from inside the GL driver, which goes on with the
// answer it did not get (a drawable size it never received, and a heap overrun after it):
// returning there is not safe, and the window is gone, so the run ends here, as it would on its
// DestroyNotify.
int on_x_error(Display* display, XErrorEvent* error) {
    ++x_error_count;
    if ((error->error_code == BadWindow || error->error_code == BadDrawable) &&
        error->resourceid == hack_window) {
        if (drawing != 0) {
            std::fflush(stderr);
            _exit(0);
        }
        return 0;
    }
    report_x_error_once(display, *error);
    return 0;
}

// The daemon's SIGTERM must end the hack at once, even inside a frame: there is no display
// mode to put back and the server frees the context and the connection. The default action
// does exactly that, whatever the parent left.
void end_on_signals() {
    std::signal(SIGTERM, SIG_DFL);
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGHUP, SIG_DFL);
}

// "zelm: " + text with the window id in hex, as XScreenSaver's tools print ids.
void report_about_window(const char* format, unsigned long id) {
    char line[256];
    std::snprintf(line, sizeof line, format, id);
    x11_hack_report(line);
}

// The attributes of hack_window, or false (said on stderr) when there is no such window.
bool read_window_attributes(XWindowAttributes& attributes) {
    const int before = x_error_count;
    const Status status = XGetWindowAttributes(hack_display, hack_window, &attributes);
    if (status == 0 || x_error_count != before) {
        report_about_window("no window 0x%lx on this display", hack_window);
        return false;
    }
    return true;
}

// A context for the window's own visual, which must offer double-buffered RGBA OpenGL; null
// (said on stderr) otherwise.
GLXContext create_context_for(const XWindowAttributes& attributes) {
    int error_base = 0;
    int event_base = 0;
    if (!glXQueryExtension(hack_display, &error_base, &event_base)) {
        x11_hack_report("the X display has no OpenGL (GLX) extension");
        return nullptr;
    }
    XVisualInfo wanted{};
    wanted.visualid = XVisualIDFromVisual(attributes.visual);
    wanted.screen = XScreenNumberOfScreen(attributes.screen);
    int count = 0;
    XVisualInfo* visual =
        XGetVisualInfo(hack_display, VisualIDMask | VisualScreenMask, &wanted, &count);
    int use_gl = 0;
    int rgba = 0;
    int double_buffer = 0;
    if (visual != nullptr) {
        glXGetConfig(hack_display, visual, GLX_USE_GL, &use_gl);
        glXGetConfig(hack_display, visual, GLX_RGBA, &rgba);
        glXGetConfig(hack_display, visual, GLX_DOUBLEBUFFER, &double_buffer);
    }
    GLXContext context = nullptr;
    if (use_gl == 0 || rgba == 0 || double_buffer == 0) {
        report_about_window("the window's visual 0x%lx has no double-buffered RGBA OpenGL",
                            wanted.visualid);
    } else {
        context = glXCreateContext(hack_display, visual, nullptr, True);
        if (context == nullptr) {
            report_about_window("couldn't create an OpenGL context for visual 0x%lx",
                                wanted.visualid);
        }
    }
    if (visual != nullptr) {
        XFree(visual);
    }
    return context;
}

// Takes the window's resizes and its destruction, and key presses (which end nothing), adding
// to what its owner and others already asked for; then reads its size again, since any later
// change now arrives as an event.
bool watch_window(const XWindowAttributes& attributes) {
    XSelectInput(hack_display, hack_window,
                 attributes.your_event_mask | StructureNotifyMask | KeyPressMask);
    XWindowAttributes now{};
    if (!read_window_attributes(now)) {
        return false;
    }
    hack_width = now.width;
    hack_height = now.height;
    return true;
}

// Handles every pending event; returns 1 when the run must end (window gone, or the scene
// asked). A new size is given to the scene once the queue is empty.
int drain_hack_events(void*) {
    while (XPending(hack_display) > 0) {
        XEvent event;
        XNextEvent(hack_display, &event);
        if (event.xany.window != hack_window) {
            continue;
        }
        if (event.type == ConfigureNotify) {
            hack_width = event.xconfigure.width;
            hack_height = event.xconfigure.height;
        } else if (event.type == DestroyNotify) {
            window_destroyed = 1;
        }
    }
    if (window_destroyed != 0 || hack_end_requested != 0) {
        return 1;
    }
    if (hack_width != window_width || hack_height != window_height) {
        scene_resize(hack_width, hack_height);
    }
    return 0;
}

// Context, scene and frames for the window in hack_window; returns the exit code.
int run_in_window(long frame_delay_us) {
    XWindowAttributes attributes{};
    if (!read_window_attributes(attributes)) {
        return 1;
    }
    // GLX would take the window and then fail on every frame.
    if (attributes.c_class == InputOnly) {
        report_about_window("window 0x%lx takes input only: there is nothing to draw into",
                            hack_window);
        return 1;
    }
    hack_context = create_context_for(attributes);
    if (hack_context == nullptr || !watch_window(attributes)) {
        return 1;
    }
    drawing = 1;
    if (!glXMakeCurrent(hack_display, hack_window, hack_context)) {
        report_about_window("couldn't make the OpenGL context current on window 0x%lx",
                            hack_window);
        return 1;
    }
    // The perspective is made for this size; the viewport is the window's from the binding.
    window_width = hack_width;
    window_height = hack_height;
    scene_setup();
    if (hack_end_requested != 0) {
        const std::string line = std::string("the scene could not be set up from the data in \"") +
                                 (datadir != nullptr ? datadir : ".") + "\"";
        x11_hack_report(line.c_str());
        return 1;
    }
    x11_run_main_loop(drain_hack_events, frame_delay_us, ConnectionNumber(hack_display));
    return hack_end_requested != 0 ? 1 : 0;
}

}  // namespace

// Opens the display, finds the window, runs, and closes the connection.
int x11_run_hack(const HackRequest& request) {
    hack_mode = 1;
    fullscreen = 0;  // the daemon owns the screen: the display mode is never switched
    show_frame_rate = request.show_fps;
    text_in_window_pixels = 1;
    end_on_signals();
    hack_display = XOpenDisplay(nullptr);
    if (hack_display == nullptr) {
        const char* name = XDisplayName(nullptr);
        if (*name == '\0') {
            x11_hack_report("couldn't open the X display: DISPLAY is not set");
        } else {
            x11_hack_report((std::string("couldn't open the X display \"") + name + "\"").c_str());
        }
        return 1;
    }
    XSetErrorHandler(on_x_error);
    hack_window = request.target == HackTarget::root ? DefaultRootWindow(hack_display)
                                                     : static_cast<Window>(request.window_id);
    const int code = run_in_window(request.delay_us);
    // A destroyed window took its drawable with it: the driver would query it again while
    // letting the context go. The process ends now; the server already freed what it held.
    if (window_destroyed != 0) {
        return code;
    }
    if (hack_context != nullptr) {
        glXMakeCurrent(hack_display, None, nullptr);
        glXDestroyContext(hack_display, hack_context);
        hack_context = nullptr;
    }
    drawing = 0;
    XCloseDisplay(hack_display);
    hack_display = nullptr;
    return code;
}

// The hack's only channel to the user: XScreenSaver shows or logs a hack's stderr.
void x11_hack_report(const char* text) {
    std::fprintf(stderr, "zelm: %s\n", text);
}

}  // namespace zelm
