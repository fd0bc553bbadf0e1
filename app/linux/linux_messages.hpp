// The Linux shells' own texts, in one list (stderr lines, the options' errors, the programs
// list's stdout lines), and the one way they are said on stderr. The texts of the portable code
// and of the message boxes both systems show are in platform/messages.hpp.
#pragma once

namespace zelm {

// Writes "zelm: ", what format (one of linux_messages) makes of the arguments, and a newline to
// stderr in one write: a saver's only channel to the user (XScreenSaver shows or logs a hack's
// stderr; an idle daemon logs it).
void linux_report(const char* format, ...) __attribute__((format(printf, 1, 2)));

namespace linux_messages {

constexpr char text[] = "%s";  // a text made elsewhere: an option's error, a log line
constexpr char built_without[] = "this zelm was built without %s";
constexpr char idle_needs_wayland[] =
    "this zelm was built without Wayland: the idle watcher cannot run";
constexpr char no_live_compositor[] =
    "couldn't connect to a Wayland compositor: WAYLAND_DISPLAY is unset or names none that runs";
constexpr char scene_not_set_up[] = "the scene could not be set up from the data in \"%s\"";
constexpr char bus_silent_for_inhibit[] =
    "the session bus does not answer: the desktop's own blanking is not held off";
constexpr char no_home[] = "no home folder for the autostart entry: set HOME or XDG_CONFIG_HOME";
constexpr char autostart_path_unusable[] =
    "zelm's path %s holds %s: no autostart entry can run it; put zelm in a folder whose path has "
    "none";
constexpr char path_control_character[] = "a control character";
constexpr char path_percent[] = "a '%'";
constexpr char path_not_utf8[] = "a byte that is not UTF-8";
constexpr char autostart_not_written[] = "couldn't write %s/%s: %s";
constexpr char autostart_not_removed[] = "couldn't remove %s: %s";
constexpr char programs_not_read[] = "cannot read %s: %s";
constexpr char programs_not_changed[] =
    "cannot change the programs in %s: %s; edit it in xscreensaver-settings or by hand";
constexpr char programs_no_default[] =
    "%s has no programs list and %s holds no default one to start from (is xscreensaver "
    "installed?)";
constexpr char programs_not_written[] = "cannot write %s: %s";
constexpr char programs_nul[] = "it holds a NUL byte, which XScreenSaver does not read past";
constexpr char programs_twice[] = "it sets programs more than once";
constexpr char programs_layout[] = "its programs list is laid out in a way zelm cannot edit safely";
// The list's edits, said on stdout: what --xscreensaver-add and -remove did.
constexpr char programs_none[] = "zelm: there is no %s, so zelm is in no list\n";
constexpr char programs_has_zelm[] = "zelm: %s already runs zelm\n";
constexpr char programs_lacks_zelm[] = "zelm: %s does not run zelm\n";
constexpr char programs_added[] = "zelm: added \"%s\" to the programs in %s\n";
constexpr char programs_removed[] = "zelm: took \"%s\" out of the programs in %s\n";

// The options' errors.
constexpr char unknown_option[] = "unknown option \"%s\"";
constexpr char window_variable_bad[] = "XSCREENSAVER_WINDOW is not a window id: \"%s\"";
constexpr char needs_seconds[] = "%s needs a number of seconds from 1 to %ld";
constexpr char needs_microseconds[] = "%s needs a number of microseconds from 0 to %ld";
constexpr char needs_window_id[] = "%s needs a window id";
constexpr char not_window_id[] = "not a window id: \"%s\"";
constexpr char needs_visual[] = "%s needs a visual";
constexpr char watchers_one_at_a_time[] = "--idle, --autostart and --no-autostart go one at a time";
constexpr char watcher_shows_saver[] =
    "--idle, --autostart and --no-autostart show the saver themselves: without --overlay, -root "
    "or -window-id";
constexpr char watcher_not_x11[] = "the idle watcher is for Wayland, not with --x11";
constexpr char overlay_not_x11[] =
    "--overlay draws on Wayland: not with -root, -window-id or --x11";
constexpr char x11_not_wayland[] = "-root and -window-id draw on X11, not with --wayland";

constexpr char x_connection_lost[] = "Lost the connection to the X display";
constexpr char x_error[] = "X error: %s (request %d.%d)";
constexpr char no_glx[] = "the X display has no OpenGL (GLX) extension";
constexpr char no_display_variable[] = "couldn't open the X display: DISPLAY is not set";
constexpr char display_not_opened[] = "couldn't open the X display \"%s\"";
// Window and visual ids in hex, as XScreenSaver's tools print them.
constexpr char visual_without_gl[] = "the window's visual 0x%lx has no double-buffered RGBA OpenGL";
constexpr char no_context_for_visual[] = "couldn't create an OpenGL context for visual 0x%lx";
constexpr char no_such_window[] = "no window 0x%lx on this display";
constexpr char input_only_window[] = "window 0x%lx takes input only: there is nothing to draw into";
constexpr char context_not_current[] = "couldn't make the OpenGL context current on window 0x%lx";

constexpr char no_compositor[] = "couldn't connect to the Wayland compositor";
constexpr char compositor_lost[] = "lost the connection to the Wayland compositor";
constexpr char no_surfaces[] = "the Wayland compositor offers no surfaces";
constexpr char another_saver[] = "another zelm --overlay is already showing in this session";
constexpr char no_shells[] = "the Wayland compositor offers neither layer-shell nor xdg-shell";
constexpr char no_layer_shell[] =
    "the compositor has no layer-shell: showing a full-screen window instead";
constexpr char no_egl_context[] = "couldn't make an OpenGL context through EGL on Wayland";
constexpr char no_egl_surface[] = "couldn't make an EGL surface for an output";
constexpr char no_surface_shown[] = "the compositor showed none of the saver's surfaces";
// The demo's two message boxes, captioned "Error", not stderr lines.
constexpr char demo_no_compositor[] = "Couldn't connect to the Wayland compositor";
constexpr char demo_no_windows[] = "The Wayland compositor offers no windows (xdg-shell)";

constexpr char no_runtime_dir[] =
    "XDG_RUNTIME_DIR is not set: the session's runtime folder holds the lock that keeps one "
    "watcher to a session";
constexpr char another_watcher[] = "another zelm --idle is already watching this session";
constexpr char no_idle_source[] =
    "this compositor tells no program about idle time (no ext-idle-notify, no KDE idle protocol, "
    "no GNOME idle monitor): have an idle daemon such as swayidle run \"zelm --overlay\" instead";
constexpr char bus_silent_for_idle[] =
    "the session bus does not answer: no idle time from GNOME's idle monitor";
constexpr char bus_silent_for_saver[] =
    "the session bus does not answer: the saver waits until it does";
constexpr char session_bus_lost[] = "lost the connection to the session bus";
constexpr char saver_not_started[] = "couldn't start the saver: no process";
constexpr char idle_wait_failed[] = "couldn't wait for idle";

}  // namespace linux_messages

}  // namespace zelm
