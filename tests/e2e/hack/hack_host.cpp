// hack_host: plays the screen-saver daemon's part for the hack tests.
//
//   hack_host window W H [gl|nogl|inputonly]
//                                   a W x H window at (0, 0) of the default visual, or of one
//                                   with (gl) or without (nogl) double-buffered RGBA OpenGL, or
//                                   one that takes input only;
//                                   prints its id in hex and keeps it until killed. It watches
//                                   the window for exposures and button presses, as a daemon
//                                   watches its own.
//   hack_host events WIN            the event masks of all clients on WIN, ORed, in hex
//   hack_host own-mask              the mask that "window" keeps on its window, in hex
//   hack_host destroy WIN           destroys WIN
#include <GL/glx.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr long host_event_mask = ExposureMask | ButtonPressMask;

// Whether the visual offers double-buffered RGBA OpenGL.
bool has_double_buffered_gl(Display* display, XVisualInfo* visual) {
    int use_gl = 0;
    int rgba = 0;
    int double_buffer = 0;
    glXGetConfig(display, visual, GLX_USE_GL, &use_gl);
    glXGetConfig(display, visual, GLX_RGBA, &rgba);
    glXGetConfig(display, visual, GLX_DOUBLEBUFFER, &double_buffer);
    return use_gl != 0 && rgba != 0 && double_buffer != 0;
}

// A visual of the default screen with (want_gl) or without GL; null when none is listed.
XVisualInfo* find_visual(Display* display, bool want_gl) {
    XVisualInfo wanted{};
    wanted.screen = DefaultScreen(display);
    int count = 0;
    XVisualInfo* all = XGetVisualInfo(display, VisualScreenMask, &wanted, &count);
    XVisualInfo* found = nullptr;
    for (int i = 0; i < count && found == nullptr; ++i) {
        if (has_double_buffered_gl(display, &all[i]) == want_gl) {
            found = static_cast<XVisualInfo*>(std::malloc(sizeof(XVisualInfo)));
            *found = all[i];
        }
    }
    if (all != nullptr) {
        XFree(all);
    }
    return found;
}

int make_window(Display* display, unsigned width, unsigned height, const char* kind) {
    const int screen = DefaultScreen(display);
    const Window root = RootWindow(display, screen);
    Visual* visual = DefaultVisual(display, screen);
    int depth = DefaultDepth(display, screen);
    const bool input_only = kind != nullptr && std::strcmp(kind, "inputonly") == 0;
    if (kind != nullptr && !input_only) {
        XVisualInfo* info = find_visual(display, std::strcmp(kind, "gl") == 0);
        if (info == nullptr) {
            std::fprintf(stderr, "hack_host: no %s visual\n", kind);
            return 77;
        }
        visual = info->visual;
        depth = info->depth;
        std::free(info);
    }
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    attributes.background_pixel = 0;
    attributes.border_pixel = 0;
    attributes.colormap = XCreateColormap(display, root, visual, AllocNone);
    attributes.event_mask = host_event_mask | StructureNotifyMask;
    const Window window =
        input_only
            ? XCreateWindow(display, root, 0, 0, width, height, 0, 0, InputOnly, CopyFromParent,
                            CWOverrideRedirect | CWEventMask, &attributes)
            : XCreateWindow(
                  display, root, 0, 0, width, height, 0, depth, InputOutput, visual,
                  CWOverrideRedirect | CWBackPixel | CWBorderPixel | CWColormap | CWEventMask,
                  &attributes);
    XStoreName(display, window, "hack host");
    XMapWindow(display, window);
    XEvent event;
    do {
        XNextEvent(display, &event);
    } while (event.type != MapNotify);
    // From here on only the host's declared mask, so that "events" can tell what others added.
    XSelectInput(display, window, host_event_mask);
    XSync(display, False);
    std::printf("0x%lx\n", window);
    std::fflush(stdout);
    // Keep the window until a signal ends us; its events need no answer.
    for (;;) {
        pause();
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: hack_host window W H [gl|nogl] | events WIN | own-mask\n");
        return 2;
    }
    if (std::strcmp(argv[1], "own-mask") == 0) {
        std::printf("0x%lx\n", host_event_mask);
        return 0;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "hack_host: no display\n");
        return 1;
    }
    int code = 2;
    if (std::strcmp(argv[1], "window") == 0 && argc >= 4) {
        code = make_window(display, std::strtoul(argv[2], nullptr, 10),
                           std::strtoul(argv[3], nullptr, 10), argc >= 5 ? argv[4] : nullptr);
    } else if (std::strcmp(argv[1], "events") == 0 && argc == 3) {
        XWindowAttributes attributes{};
        if (XGetWindowAttributes(display, std::strtoul(argv[2], nullptr, 0), &attributes)) {
            std::printf("0x%lx\n", attributes.all_event_masks);
            code = 0;
        } else {
            code = 1;
        }
    } else if (std::strcmp(argv[1], "destroy") == 0 && argc == 3) {
        XDestroyWindow(display, std::strtoul(argv[2], nullptr, 0));
        XSync(display, False);
        code = 0;
    }
    XCloseDisplay(display);
    return code;
}
