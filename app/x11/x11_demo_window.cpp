// The X11/GLX demo window: creation, event handling, destruction.
#include "app/x11/x11_demo_window.hpp"

#include <GL/glx.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdlib>
#include <ctime>

#include "app/demo_window.hpp"
#include "app/input_rules.hpp"
#include "app/linux/linux_messages.hpp"
#include "app/linux/stop_signals.hpp"
#include "app/x11/x11_blanking.hpp"
#include "app/x11/x11_demo_input.hpp"
#include "app/x11/x11_display_mode.hpp"
#include "app/x11/x11_display_watcher.hpp"
#include "app/x11/x11_errors.hpp"
#include "platform/messages.hpp"
#include "platform/platform.hpp"
#include "scene/scene.hpp"
#include "settings/settings.hpp"

namespace zelm {

namespace {

// Everything the demo window holds, from its creation to the end of the run.
struct X11Demo {
    Display* display;     // the connection the window and its context live on
    Window window;        // None before creation and after destruction
    GLXContext context;   // null when no context was made, and after destruction
    XVisualInfo* visual;  // the GLX visual; null when GLX has none to offer
    Cursor invisible_cursor;
    Colormap colormap;
    int quit_posted;                // the destruction steps ran: the loop may end
    X11BlankingHold blanking_hold;  // what the window holds off while it exists
};

X11Demo demo{nullptr, None, nullptr, nullptr, None, None, 0, {}};

// X protocol errors are reported, not fatal: a failed mode switch or context call must not
// take the display mode restore down with it.
int report_x_error(Display* display, XErrorEvent* error) {
    report_x_error_once(display, *error);
    return 0;
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
        demo.display, &event,
        [](Display*, XEvent* e, XPointer) -> Bool {
            return e->type == MapNotify && e->xmap.window == demo.window;
        },
        nullptr);
}

// The connection is gone (the server reset, or the client was killed with xkill): the watcher
// puts the mode and DPMS back over its own connection, where the server still runs. Xlib ends
// the process when this returns.
int undo_after_connection_lost(Display*) {
    linux_report(linux_messages::x_connection_lost);
    demo.display = nullptr;
    end_display_watch(fullscreen_crtc, demo.blanking_hold);
    return 0;
}

// The window, its cursor and colormap, made before the creation steps: on X the visual (the
// pixel format) is chosen before the window can exist. Blanking is held off from the window's
// creation to its destruction.
void make_demo_window() {
    Display* display = demo.display;
    const Window root = DefaultRootWindow(display);
    demo.visual = choose_gl_visual(display);
    const int screen = DefaultScreen(display);
    Visual* visual = demo.visual != nullptr ? demo.visual->visual : DefaultVisual(display, screen);
    const int depth = demo.visual != nullptr ? demo.visual->depth : DefaultDepth(display, screen);
    demo.colormap = XCreateColormap(display, root, visual, AllocNone);

    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;  // no frame, no placement by a window manager
    attributes.background_pixel = BlackPixel(display, screen);
    attributes.border_pixel = 0;
    attributes.colormap = demo.colormap;
    attributes.event_mask = KeyPressMask | ButtonPressMask | PointerMotionMask | FocusChangeMask |
                            StructureNotifyMask | ExposureMask;
    demo.window = XCreateWindow(
        display, root, 0, 0, static_cast<unsigned>(window_width),
        static_cast<unsigned>(window_height), 0, depth, InputOutput, visual,
        CWOverrideRedirect | CWBackPixel | CWBorderPixel | CWColormap | CWEventMask, &attributes);
    XStoreName(display, demo.window, "Zelm");
    XClassHint class_hint{const_cast<char*>("zelm"), const_cast<char*>("Zelm")};
    XSetClassHint(display, demo.window, &class_hint);
    demo.invisible_cursor = make_invisible_cursor(display, demo.window);
    demo.blanking_hold = hold_off_x11_blanking(display);
    watch_display_changes(display, fullscreen_crtc, demo.blanking_hold);
}

// The X calls behind the portable creation and destruction steps.
int find_display_mode() {
    return x11_find_display_mode(demo.display, window_width, window_height);
}

DisplayModeTest test_display_mode() {
    return x11_test_display_mode(demo.display);
}

void hide_cursor() {
    XDefineCursor(demo.display, demo.window, demo.invisible_cursor);
}

// The watcher has the mode to put back before the server is asked to switch, so that a kill at
// any moment puts it back. The window moves to the switched output's origin, which need not be
// the screen's.
void switch_display_mode() {
    if (!x11_save_display_mode(demo.display, demo.window)) {
        return;
    }
    watch_display_changes(demo.display, fullscreen_crtc, demo.blanking_hold);
    x11_set_display_mode(demo.display);
    if (fullscreen_crtc.switched != 0) {
        XMoveWindow(demo.display, demo.window, fullscreen_crtc.x, fullscreen_crtc.y);
    } else {
        watch_display_changes(demo.display, fullscreen_crtc, demo.blanking_hold);
    }
}

void center_cursor() {
    XWarpPointer(demo.display, None, DefaultRootWindow(demo.display), 0, 0, 0, 0, window_width / 2,
                 window_height / 2);
}

void show_window() {
    XMapRaised(demo.display, demo.window);
    wait_until_mapped();
    XSetInputFocus(demo.display, demo.window, RevertToParent, CurrentTime);
}

int choose_pixel_format() {
    return demo.visual != nullptr ? 1 : 0;
}

int format_needs_palette() {
    return (demo.visual->c_class != TrueColor && demo.visual->c_class != DirectColor) ? 1 : 0;
}

// The window was made with the visual: there is nothing left to set.
int set_pixel_format() {
    return 1;
}

int create_context() {
    demo.context = glXCreateContext(demo.display, demo.visual, nullptr, True);
    return demo.context != nullptr ? 1 : 0;
}

int make_context_current() {
    return glXMakeCurrent(demo.display, demo.window, demo.context) ? 1 : 0;
}

void show_cursor() {
    XUndefineCursor(demo.display, demo.window);
}

void hide_window() {
    XUnmapWindow(demo.display, demo.window);
}

void release_context() {
    if (demo.context != nullptr) {
        glXMakeCurrent(demo.display, None, nullptr);
    }
}

void delete_context() {
    glXDestroyContext(demo.display, demo.context);
    demo.context = nullptr;
}

void release_window() {
    release_x11_blanking(demo.display, demo.blanking_hold);
    end_display_watch(fullscreen_crtc, demo.blanking_hold);
    XDestroyWindow(demo.display, demo.window);
    demo.window = None;
    if (demo.invisible_cursor != None) {
        XFreeCursor(demo.display, demo.invisible_cursor);
        demo.invisible_cursor = None;
    }
    if (demo.colormap != None) {
        XFreeColormap(demo.display, demo.colormap);
        demo.colormap = None;
    }
    XFlush(demo.display);
}

void post_quit() {
    demo.quit_posted = 1;
}

// Applies the input rules to one event of the demo window.
void handle_event(const XEvent& event) {
    if (demo.window == None || event.xany.window != demo.window) {
        return;
    }
    // The mouse moves that arrived together count once, as the Windows queue merges them.
    if (event.type == MotionNotify && XPending(demo.display) > 0) {
        XEvent next;
        XPeekEvent(demo.display, &next);
        if (next.type == MotionNotify && next.xany.window == demo.window) {
            return;
        }
    }
    DemoInput input;
    if (x11_demo_input(event, input) && demo_input(input) == InputAction::end_demo) {
        platform_end_run();
    }
}

// Handles every pending event; returns 1 once the window has been destroyed.
int drain_events(void*) {
    if (stop_signal != 0) {
        platform_end_run();
    }
    keep_display_watch(demo.display, fullscreen_crtc, demo.blanking_hold);
    while (XPending(demo.display) > 0) {
        XEvent event;
        XNextEvent(demo.display, &event);
        handle_event(event);
    }
    const int quit = demo.quit_posted;
    demo.quit_posted = 0;
    return quit;
}

const DemoWindowHooks x11_demo_hooks = {
    .find_display_mode = find_display_mode,
    .test_display_mode = test_display_mode,
    .hide_cursor = hide_cursor,
    .switch_display_mode = switch_display_mode,
    .center_cursor = center_cursor,
    .show_window = show_window,
    .choose_pixel_format = choose_pixel_format,
    .format_needs_palette = format_needs_palette,
    .set_pixel_format = set_pixel_format,
    .create_context = create_context,
    .make_context_current = make_context_current,
    .show_cursor = show_cursor,
    .hide_window = hide_window,
    .release_context = release_context,
    .delete_context = delete_context,
    .release_window = release_window,
    .post_quit = post_quit,
};

// Puts back the mode that the full-screen switch replaced, and tells the watcher so.
void restore_display_mode() {
    if (demo.display != nullptr) {
        x11_restore_display_mode(demo.display);
        watch_display_changes(demo.display, fullscreen_crtc, demo.blanking_hold);
    }
}

void swap_buffers() {
    if (demo.window != None) {
        glXSwapBuffers(demo.display, demo.window);
    }
}

// The display, with X errors reported and a lost connection undone.
int connect() {
    demo.display = XOpenDisplay(nullptr);
    if (demo.display == nullptr) {
        platform_message_box(messages::no_x_display, messages::caption_error, MessageIcon::error,
                             MessageOwner::none);
        return 0;
    }
    XSetErrorHandler(report_x_error);
    XSetIOErrorHandler(undo_after_connection_lost);
    return 1;
}

void disconnect() {
    if (demo.visual != nullptr) {
        XFree(demo.visual);
        demo.visual = nullptr;
    }
    XCloseDisplay(demo.display);
    demo.display = nullptr;
}

}  // namespace

const LinuxDemo x11_demo = {
    .window = &x11_demo_hooks,
    .connect = connect,
    .make_window = make_demo_window,
    .frames = {.drain = drain_events, .frame = draw_frame, .swap_buffers = swap_buffers},
    .restore_display_mode = restore_display_mode,
    .disconnect = disconnect,
};

}  // namespace zelm
