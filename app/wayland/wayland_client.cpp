#include "app/wayland/wayland_client.hpp"

#include "app/linux/linux_shell.hpp"
#include "app/wayland/wayland_shell.hpp"

#include <EGL/eglext.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "app/wayland/surface_scale.hpp"
#include "ext-idle-notify-v1-client-protocol.h"
#include "fractional-scale-v1-client-protocol.h"
#include "idle-inhibit-unstable-v1-client-protocol.h"
#include "org-kde-kwin-idle-client-protocol.h"
#include "viewporter-client-protocol.h"
#include "wlr-layer-shell-unstable-v1-client-protocol.h"
#include "xdg-shell-client-protocol.h"

namespace zelm {

WaylandClient wayland{};

namespace {

// The versions this client was written for; a compositor offering less gets its own.
constexpr std::uint32_t compositor_version = 4;
constexpr std::uint32_t seat_version = 5;
constexpr std::uint32_t output_version = 2;  // the first with the scale event

// The compositor checks that we are alive; answering is all there is to it.
void on_ping(void*, xdg_wm_base* base, std::uint32_t serial) {
    xdg_wm_base_pong(base, serial);
}

const xdg_wm_base_listener wm_base_listener = {.ping = on_ping};

void on_capabilities(void*, wl_seat*, std::uint32_t capabilities) {
    wayland.seat_capabilities = capabilities;
}

void on_seat_name(void*, wl_seat*, const char*) {}

const wl_seat_listener seat_listener = {.capabilities = on_capabilities, .name = on_seat_name};

// The keymap is not needed: any key counts. Its descriptor is ours to close.
void on_keymap(void*, wl_keyboard*, std::uint32_t, int fd, std::uint32_t) {
    close(fd);
}

void on_keyboard_enter(void*, wl_keyboard*, std::uint32_t, wl_surface* surface, wl_array*) {
    wayland.input.keyboard_entered += 1;
    wayland.keyboard_focus = surface;
}

void on_keyboard_leave(void*, wl_keyboard*, std::uint32_t, wl_surface*) {
    wayland.input.keyboard_left += 1;
    wayland.keyboard_focus = nullptr;
}

void on_key(void*, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t state) {
    if (state == WL_KEYBOARD_KEY_STATE_PRESSED) {
        wayland.input.keys += 1;
    }
}

void on_modifiers(void*, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t,
                  std::uint32_t) {}

void on_repeat_info(void*, wl_keyboard*, std::int32_t, std::int32_t) {}

const wl_keyboard_listener keyboard_listener = {
    .keymap = on_keymap,
    .enter = on_keyboard_enter,
    .leave = on_keyboard_leave,
    .key = on_key,
    .modifiers = on_modifiers,
    .repeat_info = on_repeat_info,
};

void on_pointer_enter(void*, wl_pointer*, std::uint32_t serial, wl_surface*, wl_fixed_t,
                      wl_fixed_t) {
    wayland.input.pointer_entered = 1;
    wayland.input.pointer_serial = serial;
}

void on_pointer_leave(void*, wl_pointer*, std::uint32_t, wl_surface*) {}

void on_motion(void*, wl_pointer*, std::uint32_t, wl_fixed_t, wl_fixed_t) {
    wayland.input.motions += 1;
}

void on_button(void*, wl_pointer*, std::uint32_t, std::uint32_t, std::uint32_t,
               std::uint32_t state) {
    if (state == WL_POINTER_BUTTON_STATE_PRESSED) {
        wayland.input.buttons += 1;
    }
}

void on_axis(void*, wl_pointer*, std::uint32_t, std::uint32_t, wl_fixed_t) {}
void on_pointer_frame(void*, wl_pointer*) {}
void on_axis_source(void*, wl_pointer*, std::uint32_t) {}
void on_axis_stop(void*, wl_pointer*, std::uint32_t, std::uint32_t) {}
void on_axis_discrete(void*, wl_pointer*, std::uint32_t, std::int32_t) {}
void on_axis_value120(void*, wl_pointer*, std::uint32_t, std::int32_t) {}
// libwayland 1.22 added this member; the seat's version never sends its event.
#if WAYLAND_VERSION_MAJOR > 1 || WAYLAND_VERSION_MINOR >= 22
void on_axis_relative_direction(void*, wl_pointer*, std::uint32_t, std::uint32_t) {}
#endif

const wl_pointer_listener pointer_listener = {
    .enter = on_pointer_enter,
    .leave = on_pointer_leave,
    .motion = on_motion,
    .button = on_button,
    .axis = on_axis,
    .frame = on_pointer_frame,
    .axis_source = on_axis_source,
    .axis_stop = on_axis_stop,
    .axis_discrete = on_axis_discrete,
    .axis_value120 = on_axis_value120,
#if WAYLAND_VERSION_MAJOR > 1 || WAYLAND_VERSION_MINOR >= 22
    .axis_relative_direction = on_axis_relative_direction,
#endif
};

void on_touch_down(void*, wl_touch*, std::uint32_t, std::uint32_t, wl_surface*, std::int32_t,
                   wl_fixed_t, wl_fixed_t) {
    wayland.input.buttons += 1;
}

void on_touch_up(void*, wl_touch*, std::uint32_t, std::uint32_t, std::int32_t) {}
void on_touch_motion(void*, wl_touch*, std::uint32_t, std::int32_t, wl_fixed_t, wl_fixed_t) {}
void on_touch_frame(void*, wl_touch*) {}
void on_touch_cancel(void*, wl_touch*) {}
void on_touch_shape(void*, wl_touch*, std::int32_t, wl_fixed_t, wl_fixed_t) {}
void on_touch_orientation(void*, wl_touch*, std::int32_t, wl_fixed_t) {}

const wl_touch_listener touch_listener = {
    .down = on_touch_down,
    .up = on_touch_up,
    .motion = on_touch_motion,
    .frame = on_touch_frame,
    .cancel = on_touch_cancel,
    .shape = on_touch_shape,
    .orientation = on_touch_orientation,
};

void on_output_geometry(void*, wl_output*, std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                        std::int32_t, const char*, const char*, std::int32_t) {}
void on_output_mode(void*, wl_output*, std::uint32_t, std::int32_t, std::int32_t, std::int32_t) {}
void on_output_done(void*, wl_output*) {}
void on_output_name(void*, wl_output*, const char*) {}
void on_output_description(void*, wl_output*, const char*) {}

void on_output_scale(void*, wl_output* output, std::int32_t factor) {
    for (WaylandOutput& known : wayland.outputs) {
        if (known.output == output) {
            known.scale = factor > 0 ? factor : 1;
        }
    }
}

const wl_output_listener output_listener = {
    .geometry = on_output_geometry,
    .mode = on_output_mode,
    .done = on_output_done,
    .scale = on_output_scale,
    .name = on_output_name,
    .description = on_output_description,
};

void on_surface_enter(void* data, wl_surface*, wl_output* output) {
    auto* scale = static_cast<WaylandSurfaceScale*>(data);
    if (std::find(scale->outputs.begin(), scale->outputs.end(), output) == scale->outputs.end()) {
        scale->outputs.push_back(output);
    }
}

void on_surface_leave(void* data, wl_surface*, wl_output* output) {
    std::erase(static_cast<WaylandSurfaceScale*>(data)->outputs, output);
}

// libwayland 1.22 added these members; the compositor's version bound never sends their events.
#if WAYLAND_VERSION_MAJOR > 1 || WAYLAND_VERSION_MINOR >= 22
void on_preferred_buffer_scale(void*, wl_surface*, std::int32_t) {}
void on_preferred_buffer_transform(void*, wl_surface*, std::uint32_t) {}
#endif

const wl_surface_listener surface_listener = {
    .enter = on_surface_enter,
    .leave = on_surface_leave,
#if WAYLAND_VERSION_MAJOR > 1 || WAYLAND_VERSION_MINOR >= 22
    .preferred_buffer_scale = on_preferred_buffer_scale,
    .preferred_buffer_transform = on_preferred_buffer_transform,
#endif
};

void on_preferred_scale(void* data, wp_fractional_scale_v1*, std::uint32_t scale_120) {
    static_cast<WaylandSurfaceScale*>(data)->preferred = static_cast<int>(scale_120);
}

const wp_fractional_scale_v1_listener fractional_listener = {.preferred_scale = on_preferred_scale};

void on_global(void*, wl_registry* registry, std::uint32_t name, const char* interface,
               std::uint32_t version) {
    auto bind = [&](const wl_interface* type, std::uint32_t most) {
        return wl_registry_bind(registry, name, type, std::min(version, most));
    };
    if (std::strcmp(interface, wl_compositor_interface.name) == 0) {
        wayland.compositor =
            static_cast<wl_compositor*>(bind(&wl_compositor_interface, compositor_version));
    } else if (std::strcmp(interface, xdg_wm_base_interface.name) == 0) {
        wayland.wm_base = static_cast<xdg_wm_base*>(bind(&xdg_wm_base_interface, 1));
        xdg_wm_base_add_listener(wayland.wm_base, &wm_base_listener, nullptr);
    } else if (std::strcmp(interface, zwlr_layer_shell_v1_interface.name) == 0) {
        wayland.layer_shell =
            static_cast<zwlr_layer_shell_v1*>(bind(&zwlr_layer_shell_v1_interface, 1));
    } else if (std::strcmp(interface, zwp_idle_inhibit_manager_v1_interface.name) == 0) {
        wayland.idle_inhibit_manager = static_cast<zwp_idle_inhibit_manager_v1*>(
            bind(&zwp_idle_inhibit_manager_v1_interface, 1));
    } else if (std::strcmp(interface, ext_idle_notifier_v1_interface.name) == 0) {
        wayland.idle_notifier =
            static_cast<ext_idle_notifier_v1*>(bind(&ext_idle_notifier_v1_interface, 1));
    } else if (std::strcmp(interface, org_kde_kwin_idle_interface.name) == 0) {
        wayland.kde_idle = static_cast<org_kde_kwin_idle*>(bind(&org_kde_kwin_idle_interface, 1));
    } else if (std::strcmp(interface, wl_seat_interface.name) == 0 && wayland.seat == nullptr) {
        wayland.seat = static_cast<wl_seat*>(bind(&wl_seat_interface, seat_version));
        wl_seat_add_listener(wayland.seat, &seat_listener, nullptr);
    } else if (std::strcmp(interface, wl_output_interface.name) == 0) {
        auto* output = static_cast<wl_output*>(bind(&wl_output_interface, output_version));
        wayland.outputs.push_back(WaylandOutput{output, name, 1, 0});
        wl_output_add_listener(output, &output_listener, nullptr);
    } else if (std::strcmp(interface, wp_viewporter_interface.name) == 0) {
        wayland.viewporter = static_cast<wp_viewporter*>(bind(&wp_viewporter_interface, 1));
    } else if (std::strcmp(interface, wp_fractional_scale_manager_v1_interface.name) == 0) {
        wayland.fractional_scale = static_cast<wp_fractional_scale_manager_v1*>(
            bind(&wp_fractional_scale_manager_v1_interface, 1));
    }
}

void on_global_remove(void*, wl_registry*, std::uint32_t name) {
    for (WaylandOutput& output : wayland.outputs) {
        if (output.name == name) {
            output.gone = 1;
        }
    }
}

const wl_registry_listener registry_listener = {.global = on_global,
                                                .global_remove = on_global_remove};

// Takes or lets go of each device as the seat's capabilities say.
void follow_seat_capabilities() {
    if (wayland.seat == nullptr) {
        return;
    }
    const bool has_pointer = (wayland.seat_capabilities & WL_SEAT_CAPABILITY_POINTER) != 0;
    if (has_pointer && wayland.pointer == nullptr) {
        wayland.pointer = wl_seat_get_pointer(wayland.seat);
        wl_pointer_add_listener(wayland.pointer, &pointer_listener, nullptr);
    } else if (!has_pointer && wayland.pointer != nullptr) {
        wl_pointer_release(wayland.pointer);
        wayland.pointer = nullptr;
    }
    const bool has_keyboard = (wayland.seat_capabilities & WL_SEAT_CAPABILITY_KEYBOARD) != 0;
    if (has_keyboard && wayland.keyboard == nullptr) {
        wayland.keyboard = wl_seat_get_keyboard(wayland.seat);
        wl_keyboard_add_listener(wayland.keyboard, &keyboard_listener, nullptr);
    } else if (!has_keyboard && wayland.keyboard != nullptr) {
        wl_keyboard_release(wayland.keyboard);
        wayland.keyboard = nullptr;
        wayland.keyboard_focus = nullptr;
    }
    const bool has_touch = (wayland.seat_capabilities & WL_SEAT_CAPABILITY_TOUCH) != 0;
    if (has_touch && wayland.touch == nullptr) {
        wayland.touch = wl_seat_get_touch(wayland.seat);
        wl_touch_add_listener(wayland.touch, &touch_listener, nullptr);
    } else if (!has_touch && wayland.touch != nullptr) {
        wl_touch_release(wayland.touch);
        wayland.touch = nullptr;
    }
}

void on_window_configure(void* data, xdg_surface*, std::uint32_t serial) {
    auto* window = static_cast<WaylandToplevel*>(data);
    window->configure_serial = serial;
    window->configure_pending = 1;
}

const xdg_surface_listener window_surface_listener = {.configure = on_window_configure};

void on_toplevel_configure(void* data, xdg_toplevel*, std::int32_t width, std::int32_t height,
                           wl_array*) {
    auto* window = static_cast<WaylandToplevel*>(data);
    window->suggested_width = width;
    window->suggested_height = height;
}

void on_toplevel_close(void* data, xdg_toplevel*) {
    static_cast<WaylandToplevel*>(data)->close_requested = 1;
}

void on_configure_bounds(void*, xdg_toplevel*, std::int32_t, std::int32_t) {}
void on_wm_capabilities(void*, xdg_toplevel*, wl_array*) {}

const xdg_toplevel_listener toplevel_listener = {
    .configure = on_toplevel_configure,
    .close = on_toplevel_close,
    .configure_bounds = on_configure_bounds,
    .wm_capabilities = on_wm_capabilities,
};

void on_frame_done(void* data, wl_callback* callback, std::uint32_t) {
    wl_callback_destroy(callback);
    static_cast<WaylandFrameGate*>(data)->callback = nullptr;
}

const wl_callback_listener frame_listener = {.done = on_frame_done};

bool names_a_compositor() {
    const char* name = std::getenv("WAYLAND_DISPLAY");
    return name != nullptr && name[0] != '\0';
}

}  // namespace

bool wayland_display_available() {
    if (!names_a_compositor()) {
        return false;
    }
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr) {
        return false;
    }
    wl_display_disconnect(display);
    return true;
}

bool wayland_connect() {
    if (!names_a_compositor()) {
        return false;
    }
    wayland = WaylandClient{};
    wayland.display = wl_display_connect(nullptr);
    if (wayland.display == nullptr) {
        return false;
    }
    wayland.registry = wl_display_get_registry(wayland.display);
    wl_registry_add_listener(wayland.registry, &registry_listener, nullptr);
    // The globals, then the seat's capabilities that binding it brought.
    if (!wayland_roundtrip() || !wayland_roundtrip()) {
        wayland_disconnect();
        return false;
    }
    return true;
}

bool wayland_dispatch() {
    wl_display* display = wayland.display;
    while (wl_display_prepare_read(display) != 0) {
        if (wl_display_dispatch_pending(display) < 0) {
            return false;
        }
    }
    if (wl_display_flush(display) < 0 && errno != EAGAIN) {
        wl_display_cancel_read(display);
        return false;
    }
    pollfd descriptor{wl_display_get_fd(display), POLLIN, 0};
    if (poll(&descriptor, 1, 0) > 0) {
        if (wl_display_read_events(display) < 0) {
            return false;
        }
    } else {
        wl_display_cancel_read(display);
    }
    if (wl_display_dispatch_pending(display) < 0) {
        return false;
    }
    follow_seat_capabilities();
    return true;
}

bool wayland_roundtrip() {
    if (wl_display_roundtrip(wayland.display) < 0) {
        return false;
    }
    follow_seat_capabilities();
    return true;
}

void wayland_wait(int milliseconds) {
    pollfd connection{wl_display_get_fd(wayland.display), POLLIN, 0};
    poll(&connection, 1, milliseconds);
}

void wayland_wait_briefly() {
    wayland_wait(5);
}

void wayland_connection_lost() {
    linux_report(linux_messages::compositor_lost);
    std::exit(1);
}

void wayland_forget_gone_outputs() {
    std::erase_if(wayland.outputs, [](const WaylandOutput& output) {
        if (output.gone != 0) {
            wl_output_destroy(output.output);
        }
        return output.gone != 0;
    });
}

void wayland_hide_cursor() {
    if (wayland.input.pointer_entered != 0 && wayland.pointer != nullptr) {
        wl_pointer_set_cursor(wayland.pointer, wayland.input.pointer_serial, nullptr, 0, 0);
    }
    wayland.input.pointer_entered = 0;
}

void wayland_scale_follow(WaylandSurfaceScale& scale, wl_surface* surface, wl_output* output) {
    scale = WaylandSurfaceScale{};
    scale.surface = surface;
    if (output != nullptr) {
        scale.outputs.push_back(output);
    }
    wl_surface_add_listener(surface, &surface_listener, &scale);
    if (wayland.fractional_scale != nullptr && wayland.viewporter != nullptr) {
        scale.fractional =
            wp_fractional_scale_manager_v1_get_fractional_scale(wayland.fractional_scale, surface);
        wp_fractional_scale_v1_add_listener(scale.fractional, &fractional_listener, &scale);
        scale.viewport = wp_viewporter_get_viewport(wayland.viewporter, surface);
    }
}

int wayland_scale_now(const WaylandSurfaceScale& scale) {
    if (scale.preferred > 0) {
        return scale.preferred;
    }
    int largest = 1;
    for (const WaylandOutput& output : wayland.outputs) {
        if (output.gone == 0 && std::find(scale.outputs.begin(), scale.outputs.end(),
                                          output.output) != scale.outputs.end()) {
            largest = std::max(largest, output.scale);
        }
    }
    return largest * 120;
}

bool wayland_scale_buffer(WaylandSurfaceScale& scale, wl_egl_window* window, int width,
                          int height) {
    const int now = wayland_scale_now(scale);
    if (now == scale.applied && width == scale.width && height == scale.height) {
        return false;
    }
    if (scale.viewport != nullptr) {
        // The buffer at the exact pixel size, shown at the surface's size; buffer scale stays 1.
        wp_viewport_set_destination(scale.viewport, width, height);
        scale.pixel_width = scaled_length(width, now);
        scale.pixel_height = scaled_length(height, now);
    } else {
        // Whole output scales only: a buffer of whole multiples of the surface size.
        wl_surface_set_buffer_scale(scale.surface, now / 120);
        scale.pixel_width = width * (now / 120);
        scale.pixel_height = height * (now / 120);
    }
    wl_egl_window_resize(window, scale.pixel_width, scale.pixel_height, 0, 0);
    scale.applied = now;
    scale.width = width;
    scale.height = height;
    return true;
}

void wayland_scale_forget(WaylandSurfaceScale& scale) {
    if (scale.viewport != nullptr) {
        wp_viewport_destroy(scale.viewport);
    }
    if (scale.fractional != nullptr) {
        wp_fractional_scale_v1_destroy(scale.fractional);
    }
    scale = WaylandSurfaceScale{};
}

void wayland_request_frame(WaylandFrameGate& gate, wl_surface* surface) {
    gate.callback = wl_surface_frame(surface);
    wl_callback_add_listener(gate.callback, &frame_listener, &gate);
}

void wayland_toplevel_create(WaylandToplevel& window) {
    window = WaylandToplevel{};
    window.surface = wl_compositor_create_surface(wayland.compositor);
    window.window_surface = xdg_wm_base_get_xdg_surface(wayland.wm_base, window.surface);
    xdg_surface_add_listener(window.window_surface, &window_surface_listener, &window);
    window.toplevel = xdg_surface_get_toplevel(window.window_surface);
    xdg_toplevel_add_listener(window.toplevel, &toplevel_listener, &window);
    xdg_toplevel_set_title(window.toplevel, "Zelm");
    xdg_toplevel_set_app_id(window.toplevel, "zelm");
}

void wayland_toplevel_ack(WaylandToplevel& window) {
    xdg_surface_ack_configure(window.window_surface, window.configure_serial);
    window.configure_pending = 0;
}

void wayland_toplevel_destroy(WaylandToplevel& window) {
    xdg_toplevel_destroy(window.toplevel);
    xdg_surface_destroy(window.window_surface);
    wl_surface_destroy(window.surface);
    window = WaylandToplevel{};
}

int wayland_choose_egl_config() {
    wayland.egl_display = eglGetPlatformDisplay(EGL_PLATFORM_WAYLAND_KHR, wayland.display, nullptr);
    if (wayland.egl_display == EGL_NO_DISPLAY ||
        !eglInitialize(wayland.egl_display, nullptr, nullptr)) {
        wayland.egl_display = EGL_NO_DISPLAY;
        return 0;
    }
    if (!eglBindAPI(EGL_OPENGL_API)) {
        return 0;
    }
    // clang-format off
    const EGLint attributes[] = {EGL_SURFACE_TYPE, EGL_WINDOW_BIT,
                                 EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
                                 EGL_RED_SIZE, 1, EGL_GREEN_SIZE, 1, EGL_BLUE_SIZE, 1,
                                 EGL_DEPTH_SIZE, 16,
                                 EGL_NONE};
    // clang-format on
    EGLint found = 0;
    if (!eglChooseConfig(wayland.egl_display, attributes, &wayland.egl_config, 1, &found) ||
        found < 1) {
        return 0;
    }
    return 1;
}

int wayland_create_egl_context() {
    // No attributes: the compatibility profile, which the scene's fixed-function drawing needs.
    wayland.egl_context =
        eglCreateContext(wayland.egl_display, wayland.egl_config, EGL_NO_CONTEXT, nullptr);
    return wayland.egl_context != EGL_NO_CONTEXT ? 1 : 0;
}

void wayland_disconnect() {
    if (wayland.egl_display != EGL_NO_DISPLAY) {
        eglMakeCurrent(wayland.egl_display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        if (wayland.egl_context != EGL_NO_CONTEXT) {
            eglDestroyContext(wayland.egl_display, wayland.egl_context);
        }
        eglTerminate(wayland.egl_display);
    }
    if (wayland.pointer != nullptr) {
        wl_pointer_release(wayland.pointer);
    }
    if (wayland.keyboard != nullptr) {
        wl_keyboard_release(wayland.keyboard);
    }
    if (wayland.touch != nullptr) {
        wl_touch_release(wayland.touch);
    }
    for (const WaylandOutput& output : wayland.outputs) {
        wl_output_destroy(output.output);
    }
    if (wayland.seat != nullptr) {
        wl_seat_destroy(wayland.seat);
    }
    if (wayland.idle_inhibit_manager != nullptr) {
        zwp_idle_inhibit_manager_v1_destroy(wayland.idle_inhibit_manager);
    }
    if (wayland.idle_notifier != nullptr) {
        ext_idle_notifier_v1_destroy(wayland.idle_notifier);
    }
    if (wayland.viewporter != nullptr) {
        wp_viewporter_destroy(wayland.viewporter);
    }
    if (wayland.fractional_scale != nullptr) {
        wp_fractional_scale_manager_v1_destroy(wayland.fractional_scale);
    }
    if (wayland.kde_idle != nullptr) {
        org_kde_kwin_idle_destroy(wayland.kde_idle);  // no request: the proxy alone goes
    }
    if (wayland.layer_shell != nullptr) {
        // Bound at version 1, which has no destroy request: the proxy alone goes.
        wl_proxy_destroy(reinterpret_cast<wl_proxy*>(wayland.layer_shell));
    }
    if (wayland.wm_base != nullptr) {
        xdg_wm_base_destroy(wayland.wm_base);
    }
    if (wayland.compositor != nullptr) {
        wl_compositor_destroy(wayland.compositor);
    }
    wl_registry_destroy(wayland.registry);
    wl_display_disconnect(wayland.display);
    wayland = WaylandClient{};
}

}  // namespace zelm
