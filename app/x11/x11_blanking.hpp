// Holding off the X server's own blanking while the demo window exists: the screen saver
// (MIT-SCREEN-SAVER's suspend) and display power management (DPMS).
#pragma once

#include <X11/Xlib.h>

namespace zelm {

// What hold_off_x11_blanking changed, so that release puts back exactly that.
struct X11BlankingHold {
    int saver_suspended;  // the server keeps this for our connection only and ends it with it
    int dpms_disabled;    // DPMS was on and we turned it off: someone must turn it on again
};

// Suspends the screen saver and turns DPMS off where it is on. Servers without either
// extension are left alone.
X11BlankingHold hold_off_x11_blanking(Display* display);

// Undoes what hold recorded, over display, which may be a new connection when the one that
// made the hold has died (the suspension died with it; DPMS must still be turned on).
void release_x11_blanking(Display* display, X11BlankingHold& hold);

}  // namespace zelm
