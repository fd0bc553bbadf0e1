// The X11/GLX demo window: creation, event handling, destruction.
#include "app/x11/x11_demo_window.hpp"

#include <X11/Xutil.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "app/demo_window.hpp"
#include "app/input_rules.hpp"
#include "app/main_loop.hpp"
#include "app/x11/dbus_inhibit.hpp"
#include "app/x11/x11_blanking.hpp"
#include "app/x11/x11_crash_restore.hpp"
#include "app/x11/x11_demo_input.hpp"
#include "app/x11/x11_display_mode.hpp"
#include "app/x11/x11_main_loop.hpp"
#include "platform/messages.hpp"
#include "platform/platform.hpp"
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
X11BlankingHold blanking_hold{};             // what the window holds off while it exists
DbusInhibit desktop_inhibit{};

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

// Blanking is held off from the window's creation to its destruction.
void hold_off_blanking() {
    blanking_hold = hold_off_x11_blanking(demo_display);
    desktop_inhibit = inhibit_desktop_idle("zelm", "Showing the Zelm demo");
    arm_crash_restore(demo_display, display_mode, blanking_hold);
}

// Puts back what the demo changed on display (the full-screen mode, the server's blanking) and
// gives back the desktop's inhibit; each only once.
void undo_display_changes(Display* display) {
    x11_restore_display_mode(display);
    release_x11_blanking(display, blanking_hold);
    release_desktop_idle(desktop_inhibit);
    disarm_crash_restore();
    XFlush(display);
}

// X keeps a switched mode and DPMS off after the process ends, unlike Windows: every exit puts
// them back, exit(-1) deep in the scene too.
void undo_at_exit() {
    if (demo_display != nullptr) {
        undo_display_changes(demo_display);
    }
}

// The connection is gone (the server reset, or the client was killed with xkill): the mode
// and DPMS go back over a new connection, where the server still runs. Xlib ends the process
// when this returns; the exit handlers must not touch the dead connection.
int undo_after_connection_lost(Display* dead) {
    std::fprintf(stderr, "zelm: %s\n", messages::x_connection_lost);
    demo_display = nullptr;
    blanking_hold.saver_suspended = 0;  // the server ended it with the connection
    Display* fresh = XOpenDisplay(DisplayString(dead));
    if (fresh != nullptr) {
        undo_display_changes(fresh);
        XCloseDisplay(fresh);
    } else {
        release_desktop_idle(desktop_inhibit);
        disarm_crash_restore();
    }
    return 0;
}

// The window, its cursor and colormap, made before the creation steps: on X the visual (the
// pixel format) is chosen before the window can exist.
void make_demo_window() {
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
}

// The X calls behind the portable creation and destruction steps.
int find_display_mode() {
    return x11_find_display_mode(demo_display, window_width, window_height);
}

DisplayModeTest test_display_mode() {
    return x11_test_display_mode(demo_display);
}

void hide_cursor() {
    XDefineCursor(demo_display, demo_window, invisible_cursor);
}

// The window moves to the switched output's origin, which need not be the screen's.
void switch_display_mode() {
    x11_switch_display_mode(demo_display, demo_window);
    if (display_mode.switched != 0) {
        XMoveWindow(demo_display, demo_window, display_mode.x, display_mode.y);
        arm_crash_restore(demo_display, display_mode, blanking_hold);
    }
}

void center_cursor() {
    XWarpPointer(demo_display, None, DefaultRootWindow(demo_display), 0, 0, 0, 0, window_width / 2,
                 window_height / 2);
}

void show_window() {
    XMapRaised(demo_display, demo_window);
    wait_until_mapped();
    XSetInputFocus(demo_display, demo_window, RevertToParent, CurrentTime);
}

int choose_pixel_format() {
    return demo_visual != nullptr ? 1 : 0;
}

int format_needs_palette() {
    return (demo_visual->c_class != TrueColor && demo_visual->c_class != DirectColor) ? 1 : 0;
}

// The window was made with the visual: there is nothing left to set.
int set_pixel_format() {
    return 1;
}

int create_context() {
    gl_context = glXCreateContext(demo_display, demo_visual, nullptr, True);
    return gl_context != nullptr ? 1 : 0;
}

int make_context_current() {
    return glXMakeCurrent(demo_display, demo_window, gl_context) ? 1 : 0;
}

void show_cursor() {
    XUndefineCursor(demo_display, demo_window);
}

void hide_window() {
    XUnmapWindow(demo_display, demo_window);
}

void release_context() {
    if (gl_context != nullptr) {
        glXMakeCurrent(demo_display, None, nullptr);
    }
}

void delete_context() {
    glXDestroyContext(demo_display, gl_context);
    gl_context = nullptr;
}

void release_window() {
    release_x11_blanking(demo_display, blanking_hold);
    release_desktop_idle(desktop_inhibit);
    disarm_crash_restore();
    XDestroyWindow(demo_display, demo_window);
    demo_window = None;
    if (invisible_cursor != None) {
        XFreeCursor(demo_display, invisible_cursor);
        invisible_cursor = None;
    }
    if (demo_colormap != None) {
        XFreeColormap(demo_display, demo_colormap);
        demo_colormap = None;
    }
    XFlush(demo_display);
}

void post_quit() {
    quit_posted = 1;
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
        platform_destroy_demo_window();
    }
}

// Handles every pending event; returns 1 once the window has been destroyed.
int drain_events(void*) {
    if (stop_signal != 0) {
        platform_destroy_demo_window();
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

const DemoWindowHooks x11_demo_hooks = {
    find_display_mode, test_display_mode, hide_cursor,          switch_display_mode,
    center_cursor,     show_window,       choose_pixel_format,  format_needs_palette,
    set_pixel_format,  create_context,    make_context_current, show_cursor,
    hide_window,       release_context,   delete_context,       release_window,
    post_quit,
};

// Full-screen checks, window creation, the main loop, and the connection closed at the end.
int x11_run_demo() {
    demo_display = XOpenDisplay(nullptr);
    if (demo_display == nullptr) {
        platform_message_box(messages::no_x_display, messages::caption_error, MessageIcon::error,
                             MessageOwner::none);
        return 1;
    }
    XSetErrorHandler(report_x_error);
    XSetIOErrorHandler(undo_after_connection_lost);
    std::atexit(undo_at_exit);
    if (fullscreen != 0) {
        prepare_fullscreen_mode(x11_demo_hooks);
    }
    catch_stop_signals();
    make_demo_window();
    hold_off_blanking();
    run_demo_window_creation(x11_demo_hooks);
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
