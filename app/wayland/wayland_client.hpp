// The Wayland connection that zelm's Wayland windows share: the globals bound from the registry,
// the seat's devices, the outputs, and EGL for desktop OpenGL (compatibility profile) on
// wl_egl_window surfaces.
//
// Listeners only record what an event says, in the WaylandClient record; the window that runs
// reads the record in its drain and acts. Sizes are in surface units unless they say pixels: a
// surface's buffer has its scale's pixels per unit (WaylandSurfaceScale).
#pragma once

#include <EGL/egl.h>
#include <wayland-client.h>
#include <wayland-egl.h>

#include <cstdint>
#include <vector>

struct ext_idle_notifier_v1;
struct org_kde_kwin_idle;
struct wp_fractional_scale_manager_v1;
struct wp_fractional_scale_v1;
struct wp_viewport;
struct wp_viewporter;
struct xdg_surface;
struct xdg_toplevel;
struct xdg_wm_base;
struct zwlr_layer_shell_v1;
struct zwp_idle_inhibit_manager_v1;

namespace zelm {

// What the seat reported since the window last looked (it clears what it has handled).
struct WaylandInput {
    int keys;              // key presses
    int buttons;           // pointer buttons and touch points pressed
    int motions;           // pointer motion events
    int keyboard_entered;  // the keyboard came to one of our surfaces
    int keyboard_left;     // the keyboard went from one of our surfaces
    int pointer_entered;   // the pointer came over one of our surfaces: its cursor is to be set
    std::uint32_t pointer_serial;  // of the latest enter, for wl_pointer.set_cursor
};

struct WaylandOutput {
    wl_output* output;
    std::uint32_t name;  // the registry's name for it
    int scale;           // its integer scale (wl_output.scale); 1 until it says
    int gone;            // the registry removed it: whoever drew on it lets go, then it is freed
};

struct WaylandClient {
    wl_display* display;
    wl_registry* registry;
    wl_compositor* compositor;
    xdg_wm_base* wm_base;                               // null when the compositor has none
    zwlr_layer_shell_v1* layer_shell;                   // likewise
    zwp_idle_inhibit_manager_v1* idle_inhibit_manager;  // likewise
    ext_idle_notifier_v1* idle_notifier;                // likewise
    org_kde_kwin_idle* kde_idle;                        // likewise
    wp_viewporter* viewporter;                          // likewise
    wp_fractional_scale_manager_v1* fractional_scale;   // likewise
    wl_seat* seat;
    std::uint32_t seat_capabilities;  // as last announced; the devices follow after a dispatch
    wl_pointer* pointer;
    wl_keyboard* keyboard;
    wl_touch* touch;
    wl_surface* keyboard_focus;  // the surface of ours that holds the keyboard; null when none
    std::vector<WaylandOutput> outputs;
    WaylandInput input;
    EGLDisplay egl_display;
    EGLConfig egl_config;
    EGLContext egl_context;
};

extern WaylandClient wayland;

// A toplevel window titled "Zelm" (app id zelm) and what its events said.
struct WaylandToplevel {
    wl_surface* surface;
    xdg_surface* window_surface;
    xdg_toplevel* toplevel;
    int suggested_width;  // from the latest configure; 0: ours to choose
    int suggested_height;
    std::uint32_t configure_serial;
    int configure_pending;  // a configure to acknowledge
    int close_requested;
};

// Whether a surface's last frame has been shown. A swap onto a surface that the compositor does
// not show (on a disabled output, say) would, after a few frames, wait without end for a free
// buffer; such a surface is left undrawn until its frame callback comes.
struct WaylandFrameGate {
    wl_callback* callback;  // the pending frame callback; null when the surface may draw
};

// The scale a surface is shown at and the buffer drawn for it. The largest scale of the outputs
// the surface is on wins; where the compositor offers fractional-scale with viewporter, the
// scale it prefers for the surface, drawn at the exact pixel size and shown at the surface's
// size through the viewport. The record must stay where it is until wayland_scale_forget.
struct WaylandSurfaceScale {
    wl_surface* surface;
    std::vector<wl_output*> outputs;     // the outputs the surface is on (enter, leave)
    wp_fractional_scale_v1* fractional;  // null without fractional-scale and viewporter
    wp_viewport* viewport;
    int preferred;  // the compositor's preferred scale in 120ths; 0 until it says
    int applied;    // the scale the buffer was last sized for, in 120ths; 0: not yet
    int width;      // the surface size it was sized for
    int height;
    int pixel_width;  // the buffer's pixels
    int pixel_height;
};

// Follows the scale of surface, starting from output's where the surface is meant for one
// (null: scale 1 until the surface enters an output).
void wayland_scale_follow(WaylandSurfaceScale& scale, wl_surface* surface, wl_output* output);

// The surface's scale now, in 120ths.
int wayland_scale_now(const WaylandSurfaceScale& scale);

// Sizes window for a surface of width x height at the scale now, with the buffer scale or the
// viewport for the next commit, when either changed since the last call; true when they did.
bool wayland_scale_buffer(WaylandSurfaceScale& scale, wl_egl_window* window, int width, int height);

// Lets go of what following took, before the surface is destroyed.
void wayland_scale_forget(WaylandSurfaceScale& scale);

// Asks to hear when the frame about to be committed on surface is shown.
void wayland_request_frame(WaylandFrameGate& gate, wl_surface* surface);

// Makes the window, not yet committed; window must stay where it is until destroyed.
void wayland_toplevel_create(WaylandToplevel& window);

// Acknowledges the pending configure.
void wayland_toplevel_ack(WaylandToplevel& window);

void wayland_toplevel_destroy(WaylandToplevel& window);

// Connects to the compositor that $WAYLAND_DISPLAY names and binds its globals; false when the
// variable is unset or names no live compositor.
bool wayland_connect();

// Sends what is queued, reads what has arrived without waiting, and runs the listeners; false
// when the connection broke.
bool wayland_dispatch();

// Sends what is queued and waits until the compositor has answered it all; false when the
// connection broke.
bool wayland_roundtrip();

// Waits up to milliseconds for the compositor to send something, without reading it.
void wayland_wait(int milliseconds);

// Waits a few milliseconds at most: for a loop whose surfaces all wait for their frame
// callbacks, so that it neither spins nor stops reading input.
void wayland_wait_briefly();

// The compositor went away: says so on stderr and ends the process with 1, since nothing can be
// shown or put back over the connection.
[[noreturn]] void wayland_connection_lost();

// Frees the outputs that the registry removed; their surfaces must be gone already.
void wayland_forget_gone_outputs();

// Sets the hidden cursor on the pointer's latest enter, if one came.
void wayland_hide_cursor();

// EGL on the connection: an RGB config with a depth buffer for window surfaces (0 when there is
// none), then a desktop OpenGL context for it (0 when none can be made).
int wayland_choose_egl_config();
int wayland_create_egl_context();

// Everything above, in the reverse order: context, EGL, devices, globals, connection.
void wayland_disconnect();

}  // namespace zelm
