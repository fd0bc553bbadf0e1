// The full-screen display mode on X11, through XRandR: find a 640 x 480 mode on the primary
// output (X has no 16-bit switch, so width and height are what must match), check that it can
// be set, switch the output's CRTC to it and put the CRTC back as it was.
//
// The configuration to put back is the one the CRTC had before any zelm switched it: the first
// zelm records it on the root window (saved_mode_property), and a second zelm started while the
// first shows 640 x 480 takes it from there instead of saving 640 x 480 as its own. The last of
// them to end puts the mode back and removes the record.
#pragma once

#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <vector>

#include "app/demo_window.hpp"

namespace zelm {

// A CRTC's configuration: what the switch replaced and the restore puts back.
struct X11CrtcConfig {
    RRMode mode;
    int x, y;
    Rotation rotation;
    std::vector<RROutput> outputs;
};

// The CRTC switched for full screen: the mode found by the search, and the configuration it
// replaced.
struct X11DisplayMode {
    RROutput output;
    RRCrtc crtc;
    RRMode mode;
    int width, height;  // the size asked for
    int found;          // the search found a mode of the asked size
    int switched;   // the CRTC shows the mode, or is asked to: restore puts back the saved fields
    int x, y;       // the CRTC's origin on the screen, where the demo window belongs
    Window holder;  // the demo window that stands for this zelm in the root window's record
    X11CrtcConfig saved;
};

extern X11DisplayMode fullscreen_crtc;

// The root window's property that holds the configuration to put back while zelms have the
// CRTC switched, and the demo windows of those zelms.
constexpr char saved_mode_property[] = "_ZELM_SAVED_CRTC";

// Looks on the primary output (or else the first connected one with a CRTC) for a mode of
// width x height and keeps it in fullscreen_crtc. Returns 1 when one is listed.
int x11_find_display_mode(Display* display, int width, int height);

// What the server would say to the found mode: bad_mode when the screen cannot be that size,
// failed when the output has no CRTC to show it.
DisplayModeTest x11_test_display_mode(Display* display);

// The first half of the switch: remembers what the found mode's CRTC shows (or, where an earlier
// zelm switched it and left its record, what the CRTC showed before that) and joins the record,
// with holder, this zelm's demo window; from here on fullscreen_crtc.switched is set, so that
// whatever puts the mode back (the watcher too) has it before the server is asked to switch.
// False when the CRTC cannot be read.
bool x11_save_display_mode(Display* display, Window holder);

// The second half: shows the found mode on its output's CRTC, at the CRTC's origin. When the
// server refuses, the record is left and switched cleared.
void x11_set_display_mode(Display* display);

// Puts the CRTC back as it was before the switch and removes the record, unless another zelm
// that joined the record still runs; nothing when it was not switched.
void x11_restore_display_mode(Display* display);

}  // namespace zelm
