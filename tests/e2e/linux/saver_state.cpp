// saver_state: prints the X screen saver's state as XScreenSaverQueryInfo reports it ("on",
// "off", "cycle" or "disabled"), which Xvfb keeps although it paints nothing.
#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>

#include <cstdio>

int main() {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "saver_state: no display\n");
        return 1;
    }
    XScreenSaverInfo* info = XScreenSaverAllocInfo();
    if (info == nullptr || !XScreenSaverQueryInfo(display, DefaultRootWindow(display), info)) {
        std::fprintf(stderr, "saver_state: no MIT-SCREEN-SAVER extension\n");
        return 1;
    }
    const char* state = info->state == ScreenSaverOn      ? "on"
                        : info->state == ScreenSaverOff   ? "off"
                        : info->state == ScreenSaverCycle ? "cycle"
                                                          : "disabled";
    std::printf("%s\n", state);
    XFree(info);
    XCloseDisplay(display);
    return 0;
}
