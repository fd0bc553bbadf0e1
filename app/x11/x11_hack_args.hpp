// The XScreenSaver side of zelm's command line: whether the program runs as a hack, and in which
// window. The daemon starts a hack with -root (and the window in $XSCREENSAVER_WINDOW); its
// settings program passes --window-id ID for the preview. Window ids are hex with 0x or decimal.
#pragma once

#include <string>

namespace zelm {

enum class HackTarget {
    none,    // not a hack: the Windows-style run modes apply
    root,    // the screen's root window
    window,  // the window in window_id
    bad,     // a hack option that cannot be honoured; error says why
};

struct HackRequest {
    HackTarget target = HackTarget::none;
    unsigned long window_id = 0;  // for HackTarget::window
    std::string error;            // for HackTarget::bad, without the "zelm: " prefix
};

// Reads the arguments (argv[0] is the program) and the value of $XSCREENSAVER_WINDOW (null when
// unset). "/p" or "/c" first keeps the Windows run modes. Otherwise -root, --root, -window-id ID
// or --window-id ID make a hack, and every other argument is then an error. An explicit window
// id wins over -root; the last id given counts. $XSCREENSAVER_WINDOW is used with -root, or with
// no arguments at all; -root without it draws on the root window.
HackRequest parse_hack_request(int argc, const char* const* argv, const char* xscreensaver_window);

// A window id as hex ("0x" or "0X" first) or decimal, blanks around it allowed; false for
// anything else, for 0 and for values beyond X's 32-bit ids.
bool parse_window_id(const char* text, unsigned long& id);

}  // namespace zelm
