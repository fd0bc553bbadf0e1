// The X11/GLX demo window: creation, event handling, destruction.
#include "app/x11/x11_demo_window.hpp"

#include <X11/Xutil.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "app/input_rules.hpp"
#include "app/main_loop.hpp"
#include "platform/platform.hpp"
#include "app/x11/x11_demo_input.hpp"
#include "app/x11/x11_display_mode.hpp"
#include "app/x11/x11_main_loop.hpp"
#include "scene/scene.hpp"
#include "settings/settings.hpp"

namespace zelm {

Display* demo_display = nullptr;
Window demo_window = None;
GLXContext gl_context = nullptr;

namespace {

XVisualInfo* demo_visual = nullptr;  // the GLX visual; null when GLX has none to offer
Cursor invisible_cursor = None;
Colormap demo_colormap = None;
int quit_posted = 0;                         // the destruction steps ran: the loop may end
volatile std::sig_atomic_t stop_signal = 0;  // SIGINT, SIGTERM or SIGHUP arrived

// X protocol errors are reported, not fatal: a failed mode switch or context call must not
// take the display mode restore down with it.
int report_x_error(Display* display, XErrorEvent* error) {
    char text[256];
    XGetErrorText(display, error->error_code, text, sizeof text);
    std::fprintf(stderr, "zelm: X error: %s (request %d.%d)\n", text, error->request_code,
                 error->minor_code);
    return 0;
}

// Only notes the signal: the main loop does the teardown.
void note_stop_signal(int) {
    stop_signal = 1;
}

// Ending the process with a signal runs the same teardown as a key press, so that the display
// mode is put back.
void catch_stop_signals() {
    struct sigaction action {};
    action.sa_handler = note_stop_signal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
}

// A double-buffered RGBA visual with a depth buffer of at least 16 bits, or null.
XVisualInfo* choose_gl_visual(Display* display) {
    int error_base = 0;
    int event_base = 0;
    if (!glXQueryExtension(display, &error_base, &event_base)) {
        return nullptr;
    }
    // clang-format off
    int attributes[] = {GLX_RGBA, GLX_DOUBLEBUFFER,
                        GLX_RED_SIZE, 1, GLX_GREEN_SIZE, 1, GLX_BLUE_SIZE, 1,
                        GLX_DEPTH_SIZE, 16,
                        None};
    // clang-format on
    return glXChooseVisual(display, DefaultScreen(display), attributes);
}

// A cursor with no visible pixel, which hides the pointer over the window.
Cursor make_invisible_cursor(Display* display, Window window) {
    static const char empty_bits[1] = {0};
    const Pixmap blank = XCreateBitmapFromData(display, window, empty_bits, 1, 1);
    XColor black{};
    const Cursor cursor = XCreatePixmapCursor(display, blank, blank, &black, &black, 0, 0);
    XFreePixmap(display, blank);
    return cursor;
}

// The X side of the pixel-format step: the visual was chosen before the window could be made,
// so here its outcome is judged. Ends the process with exit code 1 when there is no visual;
// returns 0 when the visual would need a palette.
int setup_pixel_format() {
    if (demo_visual == nullptr) {
        platform_message_box("ChoosePixelFormat failed.", "Error", MessageIcon::error,
                             MessageOwner::demo_window);
        // Unlike Windows, X keeps a switched mode after the process ends.
        x11_restore_display_mode(demo_display);
        std::exit(1);
    }
    if (demo_visual->c_class != TrueColor && demo_visual->c_class != DirectColor) {
        platform_message_box("Needs palette", "Error", MessageIcon::none, MessageOwner::none);
        return 0;
    }
    return 1;
}

// Reports a failed context step as the Windows shell does, and ends the demo.
void context_failure(const char* message) {
    if (fullscreen != 0) {
        platform_restore_display_mode();
    }
    platform_message_box(message, "Error:", MessageIcon::error, MessageOwner::none);
    x11_destroy_demo_window();
}

// Waits until the server has mapped the window, so that it can take the input focus.
void wait_until_mapped() {
    XEvent event;
    XIfEvent(
        demo_display, &event,
        [](Display*, XEvent* e, XPointer) -> Bool {
            return e->type == MapNotify && e->xmap.window == demo_window;
        },
        nullptr);
}

// The creation steps, in the Windows shell's order.
void create_demo_window() {
    Display* display = demo_display;
    const Window root = DefaultRootWindow(display);
    demo_visual = choose_gl_visual(display);
    const int screen = DefaultScreen(display);
    Visual* visual = demo_visual != nullptr ? demo_visual->visual : DefaultVisual(display, screen);
    const int depth = demo_visual != nullptr ? demo_visual->depth : DefaultDepth(display, screen);
    demo_colormap = XCreateColormap(display, root, visual, AllocNone);

    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;  // no frame, no placement by a window manager
    attributes.background_pixel = BlackPixel(display, screen);
    attributes.border_pixel = 0;
    attributes.colormap = demo_colormap;
    attributes.event_mask = KeyPressMask | ButtonPressMask | PointerMotionMask | FocusChangeMask |
                            StructureNotifyMask | ExposureMask;
    demo_window = XCreateWindow(
        display, root, 0, 0, static_cast<unsigned>(window_width),
        static_cast<unsigned>(window_height), 0, depth, InputOutput, visual,
        CWOverrideRedirect | CWBackPixel | CWBorderPixel | CWColormap | CWEventMask, &attributes);
    XStoreName(display, demo_window, "Zelm");
    XClassHint class_hint{const_cast<char*>("zelm"), const_cast<char*>("Zelm")};
    XSetClassHint(display, demo_window, &class_hint);

    invisible_cursor = make_invisible_cursor(display, demo_window);
    XDefineCursor(display, demo_window, invisible_cursor);
    if (fullscreen != 0) {
        x11_switch_display_mode(display);
    } else {
        XWarpPointer(display, None, root, 0, 0, 0, 0, window_width / 2, window_height / 2);
    }
    XMapRaised(display, demo_window);
    wait_until_mapped();
    XSetInputFocus(display, demo_window, RevertToParent, CurrentTime);

    if (setup_pixel_format() == 0) {
        platform_message_box("Couldn't setup pixelformat", "Error:", MessageIcon::error,
                             MessageOwner::none);
        x11_destroy_demo_window();
    }
    // A destroyed window can get no context: the two context steps are skipped then.
    if (demo_window != None) {
        gl_context = glXCreateContext(display, demo_visual, nullptr, True);
        if (gl_context == nullptr) {
            context_failure(
                "Couldn't create gl context\nClose display properties?\nTry unsetting fullscreen?");
        }
    }
    if (demo_window != None && !glXMakeCurrent(display, demo_window, gl_context)) {
        context_failure("Couldn't wglMakeCurrent()");
    }
    // Without a current context the scene's GL calls do nothing, as on Windows; its texture
    // messages still come.
    scene_setup();
    demo_creation_complete();
    scene_ready = 1;
}

// Applies the input rules to one event of the demo window.
void handle_event(const XEvent& event) {
    if (demo_window == None || event.xany.window != demo_window) {
        return;
    }
    // The mouse moves that arrived together count once, as the Windows queue merges them.
    if (event.type == MotionNotify && XPending(demo_display) > 0) {
        XEvent next;
        XPeekEvent(demo_display, &next);
        if (next.type == MotionNotify && next.xany.window == demo_window) {
            return;
        }
    }
    DemoInput input;
    if (x11_demo_input(event, input) && demo_input(input) == InputAction::end_demo) {
        x11_destroy_demo_window();
    }
}

// Handles every pending event; returns 1 once the window has been destroyed.
int drain_events(void*) {
    if (stop_signal != 0) {
        x11_destroy_demo_window();
    }
    while (XPending(demo_display) > 0) {
        XEvent event;
        XNextEvent(demo_display, &event);
        handle_event(event);
    }
    const int quit = quit_posted;
    quit_posted = 0;
    return quit;
}

}  // namespace

// Undoes the creation steps in the Windows shell's order; later calls find no window.
void x11_destroy_demo_window() {
    if (demo_window == None) {
        return;
    }
    Display* display = demo_display;
    XUndefineCursor(display, demo_window);
    if (fullscreen != 0) {
        platform_restore_display_mode();
    }
    XUnmapWindow(display, demo_window);
    if (gl_context != nullptr) {
        glXMakeCurrent(display, None, nullptr);
        glXDestroyContext(display, gl_context);
        gl_context = nullptr;
    }
    platform_end_timer_period();
    XDestroyWindow(display, demo_window);
    demo_window = None;
    if (invisible_cursor != None) {
        XFreeCursor(display, invisible_cursor);
        invisible_cursor = None;
    }
    if (demo_colormap != None) {
        XFreeColormap(display, demo_colormap);
        demo_colormap = None;
    }
    XFlush(display);
    quit_posted = 1;
}

// Full-screen checks, window creation, the main loop, and the connection closed at the end.
int x11_run_demo() {
    demo_display = XOpenDisplay(nullptr);
    if (demo_display == nullptr) {
        platform_message_box("Couldn't open the X display", "Error", MessageIcon::error,
                             MessageOwner::none);
        return 1;
    }
    XSetErrorHandler(report_x_error);
    if (fullscreen != 0) {
        if (!x11_find_display_mode(demo_display, window_width, window_height)) {
            platform_message_box("Didn't find good fullscreen mode", "Error", MessageIcon::error,
                                 MessageOwner::none);
            std::exit(-1);
        }
        switch (x11_test_display_mode(demo_display)) {
            case DisplayModeTest::bad_mode:
                platform_message_box("DISP_CHANGE_BADMODE", "Error", MessageIcon::error,
                                     MessageOwner::none);
                std::exit(-1);
            case DisplayModeTest::failed:
                platform_message_box("DISP_CHANGE_FAILED", "Error", MessageIcon::error,
                                     MessageOwner::none);
                std::exit(-1);
            case DisplayModeTest::ok:
                break;
        }
    }
    catch_stop_signals();
    create_demo_window();
    x11_run_main_loop(drain_events);
    if (demo_visual != nullptr) {
        XFree(demo_visual);
        demo_visual = nullptr;
    }
    XCloseDisplay(demo_display);
    demo_display = nullptr;
    return 0;
}

}  // namespace zelm
