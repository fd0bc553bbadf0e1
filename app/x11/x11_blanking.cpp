#include "app/x11/x11_blanking.hpp"

#include <X11/extensions/dpms.h>
#include <X11/extensions/scrnsaver.h>

namespace zelm {

X11BlankingHold hold_off_x11_blanking(Display* display) {
    X11BlankingHold hold{0, 0};
    int event_base = 0;
    int error_base = 0;
    if (XScreenSaverQueryExtension(display, &event_base, &error_base)) {
        XScreenSaverSuspend(display, True);
        hold.saver_suspended = 1;
    }
    if (DPMSQueryExtension(display, &event_base, &error_base) && DPMSCapable(display)) {
        CARD16 level = 0;
        BOOL enabled = False;
        if (DPMSInfo(display, &level, &enabled) && enabled) {
            DPMSDisable(display);
            hold.dpms_disabled = 1;
        }
    }
    XFlush(display);
    return hold;
}

void release_x11_blanking(Display* display, X11BlankingHold& hold) {
    if (hold.saver_suspended != 0) {
        XScreenSaverSuspend(display, False);
        hold.saver_suspended = 0;
    }
    if (hold.dpms_disabled != 0) {
        DPMSEnable(display);
        hold.dpms_disabled = 0;
    }
    XFlush(display);
}

}  // namespace zelm
