// The demo on Wayland: an xdg_toplevel titled "Zelm" (app id zelm), 640 x 480 or full screen,
// set up in the Windows demo window's creation order and undone in its destruction order, fed
// to the portable input rules and main loop. The 640 x 480 picture is scaled into whatever size
// the compositor gives the window, its aspect kept. While the window exists an idle inhibitor on
// its surface holds off blanking, beside the desktop's inhibit that the runner asks for.
#include <EGL/egl.h>
#include <GL/gl.h>
#include <wayland-egl.h>

#include <utility>

#include "app/demo_window.hpp"
#include "app/input_rules.hpp"
#include "app/linux/stop_signals.hpp"
#include "app/wayland/letterbox.hpp"
#include "app/wayland/wayland_client.hpp"
#include "app/wayland/wayland_shell.hpp"
#include "idle-inhibit-unstable-v1-client-protocol.h"
#include "platform/messages.hpp"
#include "platform/platform.hpp"
#include "scene/scene.hpp"
#include "scene/text_overlay.hpp"
#include "settings/settings.hpp"
#include "xdg-shell-client-protocol.h"

namespace zelm {

namespace {

// Everything the demo window holds, and what its surface's events said.
struct WaylandDemo {
    WaylandToplevel window;  // its surface is null before creation and after destruction
    wl_egl_window* egl_window;
    EGLSurface egl_surface;
    WaylandFrameGate frame_gate;
    WaylandSurfaceScale scale;  // the buffer's pixels for the outputs' scale
    zwp_idle_inhibitor_v1* idle_inhibitor;
    int width;  // the surface's size in surface units: 640 x 480 until the compositor says
    int height;
    int quit_posted;  // the destruction steps ran: the loop may end
};

WaylandDemo demo{};

// The picture's place in the buffer, for the current context, and the overlay's scale with it.
void place_picture() {
    const PictureRect rect =
        letterbox(demo.scale.pixel_width, demo.scale.pixel_height, window_width, window_height);
    glViewport(rect.x, rect.y, rect.width, rect.height);
    overlay_pixel_scale = static_cast<float>(rect.width) / static_cast<float>(window_width);
}

// Sizes the buffer for the surface's size at its scale now; the picture follows a change.
void size_buffer() {
    if (wayland_scale_buffer(demo.scale, demo.egl_window, demo.width, demo.height) &&
        demo_context_created != 0) {
        place_picture();
    }
}

// Acknowledges a configure and takes its size; a window whose size changed counts as moved, as
// a ConfigureNotify does on X.
void apply_configure() {
    WaylandToplevel& window = demo.window;
    if (window.configure_pending == 0) {
        return;
    }
    wayland_toplevel_ack(window);
    const int width = window.suggested_width > 0 ? window.suggested_width : window_width;
    const int height = window.suggested_height > 0 ? window.suggested_height : window_height;
    if (width == demo.width && height == demo.height) {
        return;
    }
    demo.width = width;
    demo.height = height;
    if (demo.egl_window != nullptr) {
        size_buffer();
    }
    if (demo_input(DemoInput::position_changing) == InputAction::end_demo) {
        platform_end_run();
    }
}

// The surface and its toplevel, made before the creation steps as the X window is. Blanking is
// held off from the window's creation to its destruction.
void make_demo_window() {
    demo.width = window_width;
    demo.height = window_height;
    wayland_toplevel_create(demo.window);
    wayland_scale_follow(demo.scale, demo.window.surface, nullptr);
    if (wayland.idle_inhibit_manager != nullptr) {
        demo.idle_inhibitor = zwp_idle_inhibit_manager_v1_create_inhibitor(
            wayland.idle_inhibit_manager, demo.window.surface);
    }
}

// The Wayland calls behind the portable creation and destruction steps. The picture is scaled,
// so the 640 x 480 "mode" is always there and no format needs a palette; the cursor is hidden
// on each pointer entry, and cannot be moved by a client.
void switch_display_mode() {
    xdg_toplevel_set_fullscreen(demo.window.toplevel, nullptr);
}

// The first commit, without a buffer, asks for the first configure; it is acknowledged before
// anything is drawn.
void show_window() {
    wl_surface_commit(demo.window.surface);
    while (demo.window.configure_pending == 0 && demo.window.close_requested == 0) {
        if (wl_display_dispatch(wayland.display) < 0) {
            wayland_connection_lost();
        }
    }
    apply_configure();
}

int choose_pixel_format() {
    return wayland_choose_egl_config();
}

int set_pixel_format() {
    demo.egl_window = wl_egl_window_create(demo.window.surface, demo.width, demo.height);
    if (demo.egl_window == nullptr) {
        return 0;
    }
    size_buffer();
    demo.egl_surface =
        eglCreateWindowSurface(wayland.egl_display, wayland.egl_config,
                               reinterpret_cast<EGLNativeWindowType>(demo.egl_window), nullptr);
    return demo.egl_surface != EGL_NO_SURFACE ? 1 : 0;
}

int create_context() {
    return wayland_create_egl_context();
}

// A swap never waits for the compositor: a hidden window would stop the loop, and with it the
// input rules.
int make_context_current() {
    if (!eglMakeCurrent(wayland.egl_display, demo.egl_surface, demo.egl_surface,
                        wayland.egl_context)) {
        return 0;
    }
    eglSwapInterval(wayland.egl_display, 0);
    place_picture();
    return 1;
}

void hide_window() {
    wl_surface_attach(demo.window.surface, nullptr, 0, 0);
    wl_surface_commit(demo.window.surface);
}

void release_context() {
    if (wayland.egl_context != EGL_NO_CONTEXT) {
        eglMakeCurrent(wayland.egl_display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    }
}

void delete_context() {
    eglDestroyContext(wayland.egl_display, wayland.egl_context);
    wayland.egl_context = EGL_NO_CONTEXT;
}

void release_window() {
    if (demo.idle_inhibitor != nullptr) {
        zwp_idle_inhibitor_v1_destroy(demo.idle_inhibitor);
        demo.idle_inhibitor = nullptr;
    }
    if (demo.egl_surface != EGL_NO_SURFACE) {
        eglDestroySurface(wayland.egl_display, demo.egl_surface);
        demo.egl_surface = EGL_NO_SURFACE;
    }
    if (demo.frame_gate.callback != nullptr) {
        wl_callback_destroy(demo.frame_gate.callback);
        demo.frame_gate.callback = nullptr;
    }
    if (demo.egl_window != nullptr) {
        wl_egl_window_destroy(demo.egl_window);
        demo.egl_window = nullptr;
    }
    wayland_scale_forget(demo.scale);
    wayland_toplevel_destroy(demo.window);
    wl_display_flush(wayland.display);
}

void post_quit() {
    demo.quit_posted = 1;
}

const DemoWindowHooks wayland_demo_hooks = {
    .find_display_mode = nullptr,
    .test_display_mode = nullptr,
    .hide_cursor = nullptr,
    .switch_display_mode = switch_display_mode,
    .center_cursor = nullptr,
    .show_window = show_window,
    .choose_pixel_format = choose_pixel_format,
    .format_needs_palette = nullptr,
    .set_pixel_format = set_pixel_format,
    .create_context = create_context,
    .make_context_current = make_context_current,
    .show_cursor = nullptr,
    .hide_window = hide_window,
    .release_context = release_context,
    .delete_context = delete_context,
    .release_window = release_window,
    .post_quit = post_quit,
};

void swap_buffers() {
    if (demo.egl_surface != EGL_NO_SURFACE) {
        eglSwapBuffers(wayland.egl_display, demo.egl_surface);
    }
}

// Applies the input rules to one input; 1 when it ended the demo.
int apply(DemoInput input) {
    if (demo_window_exists != 0 && demo_input(input) == InputAction::end_demo) {
        platform_end_run();
        return 1;
    }
    return 0;
}

// Acts on what the seat reported: the motions since the last drain count once, as the
// Windows queue merges them.
void handle_input() {
    WaylandInput& input = wayland.input;
    if (demo.window.surface != nullptr) {
        wayland_hide_cursor();
    }
    const std::pair<int, DemoInput> order[] = {
        {input.keyboard_entered, DemoInput::activated},
        {input.motions, DemoInput::mouse_move},
        {input.keys, DemoInput::key_press},
        {input.buttons, DemoInput::button_press},
        {input.keyboard_left, DemoInput::deactivated},
    };
    input = WaylandInput{};
    for (const auto& [count, kind] : order) {
        if (count > 0 && apply(kind)) {
            return;
        }
    }
}

// A frame once the last one has been shown, at the surface's scale now; until then a short wait
// on the connection, so that the unpaced loop neither spins nor stops reading input.
int draw_demo_frame() {
    if (demo.frame_gate.callback != nullptr) {
        wayland_wait_briefly();
        return 1;
    }
    if (demo.window.surface != nullptr) {
        wayland_request_frame(demo.frame_gate, demo.window.surface);
    }
    if (demo.egl_window != nullptr) {
        size_buffer();
    }
    return draw_frame();
}

// Handles everything that arrived; returns 1 once the window has been destroyed.
int drain_events(void*) {
    if (stop_signal != 0 || demo.window.close_requested != 0) {
        platform_end_run();
    }
    if (!wayland_dispatch()) {
        wayland_connection_lost();
    }
    if (demo.window.surface != nullptr) {
        apply_configure();
        handle_input();
    }
    const int quit = demo.quit_posted;
    demo.quit_posted = 0;
    return quit;
}

// The compositor, which must offer windows.
int connect() {
    if (!wayland_connect()) {
        platform_message_box(linux_messages::demo_no_compositor, messages::caption_error,
                             MessageIcon::error, MessageOwner::none);
        return 0;
    }
    if (wayland.compositor == nullptr || wayland.wm_base == nullptr) {
        platform_message_box(linux_messages::demo_no_windows, messages::caption_error,
                             MessageIcon::error, MessageOwner::none);
        wayland_disconnect();
        return 0;
    }
    return 1;
}

}  // namespace

const LinuxDemo wayland_demo = {
    .window = &wayland_demo_hooks,
    .connect = connect,
    .make_window = make_demo_window,
    .frames = {.drain = drain_events, .frame = draw_demo_frame, .swap_buffers = swap_buffers},
    .restore_display_mode = nullptr,
    .disconnect = wayland_disconnect,
};

}  // namespace zelm
