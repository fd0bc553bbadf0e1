// The Linux shells' own texts, said on stderr after "zelm: " through linux_report (formats are
// printf's); the texts of the portable code and of the message boxes both systems show are in
// platform/messages.hpp.
#pragma once

namespace zelm::linux_messages {

// Picking the display system (app/zelm).
inline constexpr char built_without_wayland[] = "this zelm was built without Wayland";
inline constexpr char built_without[] = "this zelm was built without %s";
inline constexpr char no_live_compositor[] =
    "couldn't connect to a Wayland compositor: WAYLAND_DISPLAY is unset or names none that runs";
inline constexpr char idle_needs_wayland[] =
    "this zelm was built without Wayland: the idle watcher cannot run";
inline constexpr char text[] = "%s";  // a text made elsewhere: an option's error, a log line

// The saver's scene, and the demo's desktop inhibit.
inline constexpr char scene_not_set_up[] = "the scene could not be set up from the data in \"%s\"";
inline constexpr char bus_silent_for_inhibit[] =
    "the session bus does not answer: the desktop's own blanking is not held off";

// The autostart entry.
inline constexpr char autostart_no_home[] =
    "no home folder for the autostart entry: set HOME or XDG_CONFIG_HOME";
inline constexpr char autostart_path_unusable[] =
    "zelm's path %s holds %s: no autostart entry can run it; put zelm in a folder whose path "
    "has none";
inline constexpr char autostart_not_written[] = "couldn't write %s/%s: %s";
inline constexpr char autostart_not_removed[] = "couldn't remove %s: %s";

// The XScreenSaver programs list.
inline constexpr char programs_not_read[] = "cannot read %s: %s";
inline constexpr char programs_not_changed[] =
    "cannot change the programs in %s: %s; edit it in xscreensaver-settings or by hand";
inline constexpr char programs_no_default[] =
    "%s has no programs list and %s holds no default one to start from (is xscreensaver "
    "installed?)";
inline constexpr char programs_not_written[] = "cannot write %s: %s";

// X11.
inline constexpr char x_connection_lost[] = "Lost the connection to the X display";
inline constexpr char x_error[] = "X error: %s (request %d.%d)";
inline constexpr char no_glx[] = "the X display has no OpenGL (GLX) extension";
inline constexpr char no_display_variable[] = "couldn't open the X display: DISPLAY is not set";
inline constexpr char display_not_opened[] = "couldn't open the X display \"%s\"";
inline constexpr char visual_without_gl[] =
    "the window's visual 0x%lx has no double-buffered RGBA OpenGL";
inline constexpr char no_context_for_visual[] =
    "couldn't create an OpenGL context for visual 0x%lx";
inline constexpr char no_such_window[] = "no window 0x%lx on this display";
inline constexpr char input_only_window[] =
    "window 0x%lx takes input only: there is nothing to draw into";
inline constexpr char context_not_current_on[] =
    "couldn't make the OpenGL context current on window 0x%lx";

// Wayland.
inline constexpr char no_compositor[] = "couldn't connect to the Wayland compositor";
inline constexpr char compositor_lost[] = "lost the connection to the Wayland compositor";
inline constexpr char no_surfaces[] = "the Wayland compositor offers no surfaces";
inline constexpr char no_layer_shell[] =
    "the compositor has no layer-shell: showing a full-screen window instead";
inline constexpr char no_shells[] =
    "the Wayland compositor offers neither layer-shell nor xdg-shell";
inline constexpr char no_egl_context[] = "couldn't make an OpenGL context through EGL on Wayland";
inline constexpr char no_egl_surface[] = "couldn't make an EGL surface for an output";
inline constexpr char no_surface_shown[] = "the compositor showed none of the saver's surfaces";
// The demo's two message boxes, captioned "Error".
inline constexpr char demo_no_compositor[] = "Couldn't connect to the Wayland compositor";
inline constexpr char demo_no_windows[] = "The Wayland compositor offers no windows (xdg-shell)";

// The idle watcher.
inline constexpr char no_idle_source[] =
    "this compositor tells no program about idle time (no ext-idle-notify, no KDE idle protocol, "
    "no GNOME idle monitor): have an idle daemon such as swayidle run \"zelm --overlay\" instead";
inline constexpr char bus_silent_for_idle[] =
    "the session bus does not answer: no idle time from GNOME's idle monitor";
inline constexpr char bus_silent_for_saver[] =
    "the session bus does not answer: the saver waits until it does";
inline constexpr char session_bus_lost[] = "lost the connection to the session bus";
inline constexpr char saver_not_started[] = "couldn't start the saver: no process";
inline constexpr char watcher_already_running[] =
    "another zelm --idle is already watching this session";
inline constexpr char idle_wait_failed[] = "couldn't wait for idle";
inline constexpr char no_runtime_dir[] =
    "XDG_RUNTIME_DIR is not set: the session's runtime folder holds the lock that keeps one "
    "watcher to a session";

}  // namespace zelm::linux_messages
