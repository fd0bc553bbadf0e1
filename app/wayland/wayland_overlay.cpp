// The saver on Wayland (zelm --overlay): one layer-shell surface per output on the overlay layer,
// anchored to every edge, over the panels, with the keyboard; each drawn at its output's size
// with the saver's look. Outputs that appear get a surface; a closed surface, or one whose output
// went away, is dropped; the run ends when none is left. Any key, button or touch, or pointer
// motion after the first frame ends it with exit code 0, and so does SIGTERM or SIGINT: an idle
// daemon then sees the activity and waits again. Idle is never held off, so the daemon's later
// steps (lock, screen off) still come.
//
// Without layer-shell (GNOME, weston) a full-screen toplevel on each output takes its place, with
// the same rules.
//
// A saver that the compositor does not show (a locker over it) draws one frame a second until it
// is shown again: a surface whose frame callback has not come draws nothing, and where the
// callbacks keep coming (sway 1.7 under swaylock), a seat whose keyboard none of the saver's
// surfaces holds tells it. One saver to a session: a second one ends at once with 0, so that one
// key brings the desktop back.
#include <EGL/egl.h>
#include <wayland-egl.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/input_rules.hpp"
#include "app/linux/linux_shell.hpp"
#include "app/linux/paced_loop.hpp"
#include "app/linux/stop_signals.hpp"
#include "app/wayland/session_lock.hpp"
#include "app/wayland/wayland_client.hpp"
#include "app/wayland/wayland_shell.hpp"
#include "platform/platform.hpp"
#include "scene/scene.hpp"
#include "scene/text_overlay.hpp"
#include "settings/settings.hpp"
#include "wlr-layer-shell-unstable-v1-client-protocol.h"
#include "xdg-shell-client-protocol.h"

namespace zelm {

namespace {

// How often a covered saver draws.
constexpr std::uint32_t covered_frame_ms = 1000;

// One surface of the saver: a layer surface on an output, or the fallback toplevel on one.
struct OverlaySurface {
    wl_output* output;  // null: wherever the compositor puts it
    wl_surface* surface;
    zwlr_layer_surface_v1* layer_surface;  // null for the toplevel
    WaylandToplevel window;                // the fallback toplevel; its surface is null otherwise
    wl_egl_window* egl_window;
    EGLSurface egl_surface;
    WaylandFrameGate frame_gate;
    WaylandSurfaceScale scale;  // the buffer's pixels for the output's scale
    int width;                  // as configured, in surface units; 0 until the first configure
    int height;
    int suggested_width;  // the layer surface's latest configure
    int suggested_height;
    std::uint32_t configure_serial;
    int configure_pending;
    int closed;
};

struct WaylandOverlay {
    std::vector<std::unique_ptr<OverlaySurface>> surfaces;  // stable addresses for the listeners
    int end_requested;                                      // input ended the run
    EGLSurface drawing_surface;  // the one that platform_swap_buffers shows
    int drawn;                   // a frame has been drawn
    std::uint32_t drawn_ms;      // when the latest one began
};

WaylandOverlay overlay{};

void on_layer_configure(void* data, zwlr_layer_surface_v1*, std::uint32_t serial,
                        std::uint32_t width, std::uint32_t height) {
    auto* surface = static_cast<OverlaySurface*>(data);
    surface->configure_serial = serial;
    surface->suggested_width = static_cast<int>(width);
    surface->suggested_height = static_cast<int>(height);
    surface->configure_pending = 1;
}

void on_layer_closed(void* data, zwlr_layer_surface_v1*) {
    static_cast<OverlaySurface*>(data)->closed = 1;
}

const zwlr_layer_surface_v1_listener layer_listener = {.configure = on_layer_configure,
                                                       .closed = on_layer_closed};

// A layer surface covering output, committed without a buffer to ask for its configure.
void add_layer_surface(wl_output* output) {
    auto surface = std::make_unique<OverlaySurface>();
    surface->output = output;
    surface->surface = wl_compositor_create_surface(wayland.compositor);
    wayland_scale_follow(surface->scale, surface->surface, output);
    surface->layer_surface = zwlr_layer_shell_v1_get_layer_surface(
        wayland.layer_shell, surface->surface, output, ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY, "zelm");
    zwlr_layer_surface_v1_add_listener(surface->layer_surface, &layer_listener, surface.get());
    zwlr_layer_surface_v1_set_anchor(
        surface->layer_surface,
        ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP | ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM |
            ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT | ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT);
    zwlr_layer_surface_v1_set_size(surface->layer_surface, 0, 0);
    zwlr_layer_surface_v1_set_exclusive_zone(surface->layer_surface, -1);
    zwlr_layer_surface_v1_set_keyboard_interactivity(
        surface->layer_surface, ZWLR_LAYER_SURFACE_V1_KEYBOARD_INTERACTIVITY_EXCLUSIVE);
    wl_surface_commit(surface->surface);
    overlay.surfaces.push_back(std::move(surface));
}

// The fallback: a full-screen toplevel on output, committed without a buffer likewise.
void add_toplevel(wl_output* output) {
    auto surface = std::make_unique<OverlaySurface>();
    surface->output = output;
    wayland_toplevel_create(surface->window);
    surface->surface = surface->window.surface;
    wayland_scale_follow(surface->scale, surface->surface, output);
    xdg_toplevel_set_fullscreen(surface->window.toplevel, output);
    wl_surface_commit(surface->surface);
    overlay.surfaces.push_back(std::move(surface));
}

void add_surface(wl_output* output) {
    if (wayland.layer_shell != nullptr) {
        add_layer_surface(output);
    } else {
        add_toplevel(output);
    }
}

void remove_surface(OverlaySurface& surface) {
    if (surface.frame_gate.callback != nullptr) {
        wl_callback_destroy(surface.frame_gate.callback);
    }
    if (surface.egl_surface != EGL_NO_SURFACE) {
        eglMakeCurrent(wayland.egl_display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        eglDestroySurface(wayland.egl_display, surface.egl_surface);
    }
    if (surface.egl_window != nullptr) {
        wl_egl_window_destroy(surface.egl_window);
    }
    wayland_scale_forget(surface.scale);
    if (surface.layer_surface != nullptr) {
        zwlr_layer_surface_v1_destroy(surface.layer_surface);
        wl_surface_destroy(surface.surface);
    } else {
        wayland_toplevel_destroy(surface.window);
    }
}

// Acknowledges a configure and gives the surface its size, with an EGL surface the first time.
// A layer surface gets the output's size; a toplevel left to choose takes 640 x 480. The buffer
// has the pixels of that size at the surface's scale.
void apply_configure(OverlaySurface& surface) {
    int width = surface.suggested_width;
    int height = surface.suggested_height;
    if (surface.layer_surface != nullptr) {
        surface.configure_pending = 0;
        zwlr_layer_surface_v1_ack_configure(surface.layer_surface, surface.configure_serial);
    } else {
        wayland_toplevel_ack(surface.window);
        width = surface.window.suggested_width;
        height = surface.window.suggested_height;
    }
    width = width > 0 ? width : 640;
    height = height > 0 ? height : 480;
    if (surface.egl_window == nullptr) {
        surface.egl_window = wl_egl_window_create(surface.surface, width, height);
        surface.egl_surface = eglCreateWindowSurface(
            wayland.egl_display, wayland.egl_config,
            reinterpret_cast<EGLNativeWindowType>(surface.egl_window), nullptr);
        if (surface.egl_surface == EGL_NO_SURFACE) {
            linux_report(linux_messages::no_egl_surface);
            surface.closed = 1;
            return;
        }
    }
    wayland_scale_buffer(surface.scale, surface.egl_window, width, height);
    surface.width = width;
    surface.height = height;
}

bool configure_pending(const OverlaySurface& surface) {
    return surface.configure_pending != 0 || surface.window.configure_pending != 0;
}

bool has_surface_for(wl_output* output) {
    return std::any_of(overlay.surfaces.begin(), overlay.surfaces.end(),
                       [output](const auto& surface) { return surface->output == output; });
}

// Surfaces follow the outputs: closed ones and those of removed outputs go, new outputs get one.
void follow_outputs() {
    std::erase_if(overlay.surfaces, [](const std::unique_ptr<OverlaySurface>& surface) {
        const bool output_gone = surface->output != nullptr &&
                                 std::any_of(wayland.outputs.begin(), wayland.outputs.end(),
                                             [&](const WaylandOutput& o) {
                                                 return o.output == surface->output && o.gone;
                                             });
        if (surface->closed == 0 && surface->window.close_requested == 0 && !output_gone) {
            return false;
        }
        remove_surface(*surface);
        return true;
    });
    wayland_forget_gone_outputs();
    for (const WaylandOutput& output : wayland.outputs) {
        if (!has_surface_for(output.output)) {
            add_surface(output.output);
        }
    }
}

// Any input ends the saver; pointer motion only once a frame has been shown, since a surface
// that appears under the pointer may be told where the pointer is.
void handle_input() {
    WaylandInput& input = wayland.input;
    wayland_hide_cursor();
    if (input.keys > 0 || input.buttons > 0 || (input.motions > 0 && frame_started != 0)) {
        overlay.end_requested = 1;
    }
    input = WaylandInput{};
}

// Handles everything that arrived; returns 1 when the run ends.
int drain_events(void*) {
    if (!wayland_dispatch()) {
        wayland_connection_lost();
    }
    for (const auto& surface : overlay.surfaces) {
        if (configure_pending(*surface)) {
            apply_configure(*surface);
        }
    }
    follow_outputs();
    handle_input();
    return (stop_signal != 0 || overlay.end_requested != 0 || overlay.surfaces.empty()) ? 1 : 0;
}

// Whether the compositor seems to show none of the saver: the seat has a keyboard and none of
// the saver's surfaces holds it (a locker took it, say).
bool covered() {
    return wayland.keyboard != nullptr && wayland.keyboard_focus == nullptr;
}

// One frame on every configured surface whose last frame was shown, each at its own size and
// scale (taken anew, so that a scale that changed shows in this frame), the text's texels whole
// pixels of that scale; a covered saver waits for its once a second, or to be shown again. Each
// frame advances the scene by the time since the one before, so motion keeps its speed however
// many outputs there are. When none may draw, a short wait: unpaced (--delay 0), the loop would
// otherwise spin until a frame callback came. 0 when a frame ran out of memory.
int draw_all() {
    const std::uint32_t now = platform_time_ms();
    if (overlay.drawn != 0 && covered() && now - overlay.drawn_ms < covered_frame_ms) {
        wayland_wait(static_cast<int>(covered_frame_ms - (now - overlay.drawn_ms)));
        return 1;
    }
    bool drew = false;
    for (const auto& surface : overlay.surfaces) {
        if (surface->egl_surface == EGL_NO_SURFACE || surface->frame_gate.callback != nullptr) {
            continue;
        }
        drew = true;
        wayland_request_frame(surface->frame_gate, surface->surface);
        eglMakeCurrent(wayland.egl_display, surface->egl_surface, surface->egl_surface,
                       wayland.egl_context);
        eglSwapInterval(wayland.egl_display, 0);  // never wait on a hidden surface
        overlay.drawing_surface = surface->egl_surface;
        WaylandSurfaceScale& scale = surface->scale;
        wayland_scale_buffer(scale, surface->egl_window, surface->width, surface->height);
        overlay_pixel_scale = static_cast<float>(text_pixel_scale(scale.applied));
        scene_resize(scale.pixel_width, scale.pixel_height);
        if (draw_frame() == 0) {
            return 0;
        }
    }
    if (drew) {
        overlay.drawn = 1;
        overlay.drawn_ms = now;
    } else {
        wayland_wait_briefly();
    }
    return 1;
}

void swap_buffers() {
    eglSwapBuffers(wayland.egl_display, overlay.drawing_surface);
}

// Waits until the first surface has a size; false when the connection broke or none is left.
bool wait_for_first_configure() {
    for (;;) {
        for (const auto& surface : overlay.surfaces) {
            if (configure_pending(*surface)) {
                apply_configure(*surface);
            }
            if (surface->egl_surface != EGL_NO_SURFACE) {
                return true;
            }
        }
        follow_outputs();
        if (overlay.surfaces.empty() || wl_display_dispatch(wayland.display) < 0) {
            return false;
        }
    }
}

// EGL and the surfaces, the first one current; the exit code when the run cannot start, else -1.
int open_overlay(const LinuxRequest&, int& wake_fd) {
    catch_stop_signals();
    if (!wayland_connect()) {
        linux_report(linux_messages::no_compositor);
        return 1;
    }
    if (wayland.compositor == nullptr) {
        linux_report(linux_messages::no_surfaces);
        return 1;
    }
    // Without a runtime folder there is no lock: the saver runs all the same. The lock is held
    // until the process ends.
    const char* runtime_dir = std::getenv("XDG_RUNTIME_DIR");
    int lock = -1;
    if (runtime_dir != nullptr && runtime_dir[0] != '\0' &&
        !wayland_lock_session(runtime_dir, "overlay", lock)) {
        linux_report(linux_messages::another_saver);
        return 0;
    }
    if (wayland.layer_shell == nullptr && wayland.wm_base == nullptr) {
        linux_report(linux_messages::no_shells);
        return 1;
    }
    if (wayland.layer_shell == nullptr) {
        linux_report(linux_messages::no_layer_shell);
    }
    for (const WaylandOutput& output : wayland.outputs) {
        add_surface(output.output);
    }
    if (wayland.outputs.empty()) {
        add_surface(nullptr);  // the compositor picks the output
    }
    if (wayland_choose_egl_config() == 0 || wayland_create_egl_context() == 0) {
        linux_report(linux_messages::no_egl_context);
        return 1;
    }
    if (!wait_for_first_configure()) {
        linux_report(linux_messages::no_surface_shown);
        return 1;
    }
    const auto first = std::find_if(overlay.surfaces.begin(), overlay.surfaces.end(),
                                    [](const auto& s) { return s->egl_surface != EGL_NO_SURFACE; });
    OverlaySurface& surface = **first;
    eglMakeCurrent(wayland.egl_display, surface.egl_surface, surface.egl_surface,
                   wayland.egl_context);
    window_width = surface.scale.pixel_width;
    window_height = surface.scale.pixel_height;
    wake_fd = wl_display_get_fd(wayland.display);
    return -1;
}

void close_overlay() {
    if (wayland.display == nullptr) {
        return;  // the connection failed
    }
    for (const auto& surface : overlay.surfaces) {
        remove_surface(*surface);
    }
    overlay.surfaces.clear();
    wayland_disconnect();
}

}  // namespace

const LinuxSaver wayland_overlay = {
    .open = open_overlay,
    .frames = {.drain = drain_events, .frame = draw_all, .swap_buffers = swap_buffers},
    .close = close_overlay,
};

}  // namespace zelm
