// Every text the portable code and the shells show the user in a message box, with its caption,
// in one place, but for the Wayland demo's own two (app/linux/linux_messages.hpp).
#pragma once

namespace zelm::messages {

inline constexpr char caption_error[] = "Error";
inline constexpr char caption_error_colon[] = "Error:";  // the demo window's creation steps
inline constexpr char caption_warning[] = "Warning";

// Start-up and the full-screen preparation.
inline constexpr char settings_unreadable[] = "Couldn't read configuration settings from registry.";
inline constexpr char dialog_not_created[] = "Couldn't create dialog box";
// The Linux shell's demo and dialog without an X display.
inline constexpr char no_x_display[] = "Couldn't open the X display";
inline constexpr char no_fullscreen_mode[] = "Didn't find good fullscreen mode";
inline constexpr char mode_test_bad_mode[] = "DISP_CHANGE_BADMODE";
inline constexpr char mode_test_failed[] = "DISP_CHANGE_FAILED";
inline constexpr char window_not_created[] = "Couldn't create window";

// The demo window's creation steps.
inline constexpr char pixel_format_not_chosen[] = "ChoosePixelFormat failed.";
inline constexpr char pixel_format_needs_palette[] = "Needs palette";
inline constexpr char pixel_format_not_set[] = "SetPixelFormat failed.";
inline constexpr char pixel_format_not_setup[] = "Couldn't setup pixelformat";
inline constexpr char context_not_created[] =
    "Couldn't create gl context\nClose display properties?\nTry unsetting fullscreen?";
inline constexpr char context_not_current[] = "Couldn't wglMakeCurrent()";

// Scene setup.
inline constexpr char texture_not_loaded[] = "Error loading texture";
inline constexpr char timer_period_refused[] = "Can't set timer resolution to 1 millisecond";

// The Linux program's --help, on stdout; after an unknown hack option, on stderr.
inline constexpr char usage[] =
    "usage: zelm             the demo: any key, a click or moving the mouse ends it\n"
    "       zelm /c          the settings dialog\n"
    "       zelm /p          the preview switch: ends at once\n"
    "       zelm -root [OPTION...]           as an XScreenSaver hack, on the root window or in\n"
    "                                        $XSCREENSAVER_WINDOW\n"
    "       zelm -window-id ID [OPTION...]   as a hack in window ID (hex with 0x, or decimal)\n"
    "       zelm --overlay [OPTION...]       on Wayland, the saver over every output, which\n"
    "                                        any input ends\n"
    "       zelm --idle SECONDS [OPTION...]  on Wayland, stays running and shows that saver\n"
    "                                        after SECONDS without input (1 to 86400)\n"
    "       zelm --autostart SECONDS [OPTION...]   start zelm --idle with every session\n"
    "       zelm --no-autostart                    no longer\n"
    "       zelm --xscreensaver-add          put \"GL: zelm --root\" in ~/.xscreensaver's "
    "programs\n"
    "       zelm --xscreensaver-remove       take it out again\n"
    "       zelm --version                   the name and version\n"
    "       --x11, --wayland         which display system (Wayland where WAYLAND_DISPLAY names "
    "one)\n"
    "Hack and saver options (each also as --name):\n"
    "  -delay USECS            at least USECS microseconds from one frame to the next\n"
    "                          (30000; 0 draws as fast as it can)\n"
    "  -fps, -no-fps           show the frame rate, or not (not)\n"
    "  -heightfield, -no-heightfield   the rippling water, or not (as stored)\n"
    "  -alt-blend, -no-alt-blend       the alternate sprite blending, or not (as stored)\n"
    "  -visual ID, -install, -noinstall, -mono, -pair   accepted and ignored\n"
    "  -h, -help               this text\n";

// The settings store.
inline constexpr char datadir_not_saved[] = "Couldn't save datadir";
// Followed by the names of the switches that were not stored, comma-separated.
inline constexpr char settings_not_saved[] = "Couldn't save settings: ";

}  // namespace zelm::messages
