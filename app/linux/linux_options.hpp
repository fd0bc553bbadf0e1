// zelm's command line on Linux: what it asks for (a hack, in which window, and with which of the
// options every hack takes; the Wayland saver and its watcher; the usage, the version, the
// XScreenSaver list and autostart edits), or the Windows-style run modes. The daemon starts a hack
// with -root (and the window in $XSCREENSAVER_WINDOW); its settings program passes --window-id ID
// for the preview. Window ids are hex with 0x or decimal. Every option has a -name and a --name
// form.
#pragma once

#include <string>
#include <vector>

namespace zelm {

enum class LinuxCommand {
    none,                 // none of these: the Windows-style run modes apply
    root,                 // the screen's root window
    window,               // the window in window_id
    overlay,              // the Wayland saver (--overlay), over every output
    idle,                 // the watcher (--idle SECONDS): the saver after that long without input
    autostart,            // write the autostart entry that runs the watcher (--autostart SECONDS)
    no_autostart,         // remove that entry (--no-autostart)
    bad,                  // a hack option that cannot be honoured; error says why
    help,                 // --help or -h: print the usage and end
    version,              // --version: print the name and version and end
    xscreensaver_add,     // --xscreensaver-add: put zelm in ~/.xscreensaver's programs
    xscreensaver_remove,  // --xscreensaver-remove: take it out again
};

// Which display system: --x11 or --wayland force one; otherwise Wayland where
// $WAYLAND_DISPLAY names a live compositor.
enum class DisplayChoice { any, x11, wayland };

struct LinuxRequest {
    LinuxCommand command = LinuxCommand::none;
    unsigned long window_id = 0;  // for LinuxCommand::window
    std::string error;            // for LinuxCommand::bad, without the "zelm: " prefix
    int usage_too = 0;            // for LinuxCommand::bad: the usage follows the error
    long delay_us = 30000;        // a frame starts no sooner than this after the last; 0: unpaced
    int show_fps = 0;             // the frame-rate meter, off unless asked as in every hack
    int heightfield = -1;         // -1: the stored setting; 0 or 1: this run's choice
    int alt_blend = -1;           // likewise
    long idle_seconds = 0;        // for LinuxCommand::idle and LinuxCommand::autostart
    DisplayChoice display = DisplayChoice::any;
};

// The largest --delay taken: ten seconds between frames.
constexpr long largest_delay_us = 10000000;

// The longest idle time --idle and --autostart take: a day.
constexpr long largest_idle_seconds = 86400;

// Reads the arguments (argv[0] is the program) and the value of $XSCREENSAVER_WINDOW (null when
// unset). --help or -h anywhere asks for the usage; then --version, --xscreensaver-add or
// --xscreensaver-remove anywhere ask for that. An argument that starts with "-" and is none of
// the options below is an error in every mode. "/p" or "/c" first keeps the Windows run modes.
// Otherwise -root or -window-id ID make a hack, which also takes -delay USECS, -fps, -no-fps,
// -heightfield, -no-heightfield, -alt-blend, -no-alt-blend, and ignores -visual ID, -install,
// -noinstall, -mono and -pair; any other argument is then an error. An explicit window id wins
// over -root; the last id, delay or switch given counts. --overlay makes the Wayland saver, which
// takes the same options; it cannot be combined with -root or -window-id, which are X11's, and
// neither can --wayland. --idle SECONDS and --autostart SECONDS (1 to largest_idle_seconds) take
// them too; --no-autostart takes nothing else. --x11 and --wayland choose the display system for
// every mode; the last one given counts. $XSCREENSAVER_WINDOW is used with -root, or with no
// arguments at all; -root without it draws on the root window. Without -root, -window-id,
// --overlay or the watcher's options the arguments are left to the run modes.
LinuxRequest parse_linux_request(int argc, const char* const* argv,
                                 const char* xscreensaver_window);

// The arguments that choose a Windows-style run mode ("/p", "/c"), joined by single spaces as
// that host passes its command line: --x11 and --wayland, which may come anywhere, left out.
std::string run_mode_command_line(int argc, const char* const* argv);

// A window id as hex ("0x" or "0X" first) or decimal, blanks around it allowed; false for
// anything else, for 0 and for values beyond X's 32-bit ids.
bool parse_window_id(const char* text, unsigned long& id);

// The options that give another zelm the saver of request (--delay unless it is the default,
// --fps, and the scene switches that were given), in that order.
std::vector<std::string> saver_options(const LinuxRequest& request);

}  // namespace zelm
