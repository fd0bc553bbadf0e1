// XRandR display-mode search, switch and restore for the full-screen demo.
#include "app/x11/x11_display_mode.hpp"

#include <X11/Xatom.h>

namespace zelm {

X11DisplayMode display_mode{};

namespace {

// Screen resources freed at scope exit.
struct ScreenResources {
    XRRScreenResources* res;
    explicit ScreenResources(Display* display)
        : res(XRRGetScreenResources(display, DefaultRootWindow(display))) {}
    ~ScreenResources() {
        if (res != nullptr) {
            XRRFreeScreenResources(res);
        }
    }
    ScreenResources(const ScreenResources&) = delete;
    ScreenResources& operator=(const ScreenResources&) = delete;
};

// Outputs, CRTCs and modes came with XRandR 1.2.
bool has_randr_1_2(Display* display) {
    int event_base = 0;
    int error_base = 0;
    int major = 0;
    int minor = 0;
    return XRRQueryExtension(display, &event_base, &error_base) &&
           XRRQueryVersion(display, &major, &minor) && (major > 1 || (major == 1 && minor >= 2));
}

// The mode id of width x height among output's modes, or None.
RRMode mode_of_size(const XRRScreenResources* res, const XRROutputInfo* output, int width,
                    int height) {
    for (int i = 0; i < output->nmode; ++i) {
        for (int j = 0; j < res->nmode; ++j) {
            const XRRModeInfo& info = res->modes[j];
            if (info.id == output->modes[i] && static_cast<int>(info.width) == width &&
                static_cast<int>(info.height) == height) {
                return info.id;
            }
        }
    }
    return None;
}

// Takes output as the full-screen output when it is connected, has a CRTC or can have one,
// and lists a width x height mode.
bool try_output(Display* display, XRRScreenResources* res, RROutput output, int width, int height) {
    XRROutputInfo* info = XRRGetOutputInfo(display, res, output);
    if (info == nullptr) {
        return false;
    }
    bool taken = false;
    if (info->connection == RR_Connected) {
        const RRMode mode = mode_of_size(res, info, width, height);
        if (mode != None) {
            display_mode.output = output;
            display_mode.mode = mode;
            display_mode.width = width;
            display_mode.height = height;
            display_mode.crtc = info->crtc != None ? info->crtc
                                : info->ncrtc > 0  ? info->crtcs[0]
                                                   : None;
            display_mode.found = 1;
            taken = true;
        }
    }
    XRRFreeOutputInfo(info);
    return taken;
}

}  // namespace

// The primary output first, then the others in the server's order.
int x11_find_display_mode(Display* display, int width, int height) {
    display_mode = X11DisplayMode{};
    if (!has_randr_1_2(display)) {
        return 0;
    }
    ScreenResources resources(display);
    if (resources.res == nullptr) {
        return 0;
    }
    const RROutput primary = XRRGetOutputPrimary(display, DefaultRootWindow(display));
    if (primary != None && try_output(display, resources.res, primary, width, height)) {
        return 1;
    }
    for (int i = 0; i < resources.res->noutput; ++i) {
        if (try_output(display, resources.res, resources.res->outputs[i], width, height)) {
            return 1;
        }
    }
    return 0;
}

// X has no dry run of a mode switch: check what the server would refuse.
DisplayModeTest x11_test_display_mode(Display* display) {
    if (!display_mode.found || display_mode.crtc == None) {
        return DisplayModeTest::failed;
    }
    int min_w = 0;
    int min_h = 0;
    int max_w = 0;
    int max_h = 0;
    if (XRRGetScreenSizeRange(display, DefaultRootWindow(display), &min_w, &min_h, &max_w,
                              &max_h) &&
        (display_mode.width > max_w || display_mode.height > max_h)) {
        return DisplayModeTest::bad_mode;
    }
    return DisplayModeTest::ok;
}

namespace {

// The record another zelm left of the configuration it replaced on display_mode.crtc, taken
// as the one to put back when the CRTC still shows the mode that zelm switched to (else the
// record is stale: the user has set another mode since). Returns 1 when taken.
int take_earlier_record(Display* display, RRMode current_mode) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    const Atom property = XInternAtom(display, saved_mode_property, False);
    if (XGetWindowProperty(display, DefaultRootWindow(display), property, 0, 64, False, XA_INTEGER,
                           &type, &format, &count, &after, &data) != Success ||
        data == nullptr) {
        return 0;
    }
    const long* fields = reinterpret_cast<const long*>(data);  // format 32 arrives as longs
    const bool usable = type == XA_INTEGER && format == 32 && count >= 6 &&
                        static_cast<RRCrtc>(fields[0]) == display_mode.crtc &&
                        static_cast<RRMode>(fields[1]) == current_mode;
    if (usable) {
        display_mode.saved_mode = static_cast<RRMode>(fields[2]);
        display_mode.saved_x = static_cast<int>(fields[3]);
        display_mode.saved_y = static_cast<int>(fields[4]);
        display_mode.saved_rotation = static_cast<Rotation>(fields[5]);
        display_mode.saved_outputs.assign(fields + 6, fields + count);
    }
    XFree(data);
    return usable ? 1 : 0;
}

void write_record(Display* display) {
    std::vector<long> fields = {static_cast<long>(display_mode.crtc),
                                static_cast<long>(display_mode.mode),
                                static_cast<long>(display_mode.saved_mode),
                                display_mode.saved_x,
                                display_mode.saved_y,
                                static_cast<long>(display_mode.saved_rotation)};
    for (const RROutput output : display_mode.saved_outputs) {
        fields.push_back(static_cast<long>(output));
    }
    XChangeProperty(display, DefaultRootWindow(display),
                    XInternAtom(display, saved_mode_property, False), XA_INTEGER, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(fields.data()),
                    static_cast<int>(fields.size()));
}

}  // namespace

// Saves the CRTC's configuration, unless an earlier zelm's record names the one to put back,
// and sets the found mode in its place, at the same origin.
void x11_switch_display_mode(Display* display) {
    if (!display_mode.found || display_mode.crtc == None || display_mode.switched) {
        return;
    }
    ScreenResources resources(display);
    if (resources.res == nullptr) {
        return;
    }
    XRRCrtcInfo* crtc = XRRGetCrtcInfo(display, resources.res, display_mode.crtc);
    if (crtc == nullptr) {
        return;
    }
    if (take_earlier_record(display, crtc->mode) == 0) {
        display_mode.saved_mode = crtc->mode;
        display_mode.saved_x = crtc->x;
        display_mode.saved_y = crtc->y;
        display_mode.saved_rotation = crtc->rotation;
        display_mode.saved_outputs.assign(crtc->outputs, crtc->outputs + crtc->noutput);
        write_record(display);
    }
    display_mode.x = crtc->x;
    display_mode.y = crtc->y;
    RROutput output = display_mode.output;
    const Status status =
        XRRSetCrtcConfig(display, resources.res, display_mode.crtc, CurrentTime, crtc->x, crtc->y,
                         display_mode.mode, RR_Rotate_0, &output, 1);
    XRRFreeCrtcInfo(crtc);
    display_mode.switched = (status == RRSetConfigSuccess) ? 1 : 0;
}

// Sets the saved CRTC configuration again, once.
void x11_restore_display_mode(Display* display) {
    if (!display_mode.switched) {
        return;
    }
    display_mode.switched = 0;
    ScreenResources resources(display);
    if (resources.res == nullptr) {
        return;
    }
    XRRSetCrtcConfig(display, resources.res, display_mode.crtc, CurrentTime, display_mode.saved_x,
                     display_mode.saved_y, display_mode.saved_mode, display_mode.saved_rotation,
                     display_mode.saved_outputs.data(),
                     static_cast<int>(display_mode.saved_outputs.size()));
    XDeleteProperty(display, DefaultRootWindow(display),
                    XInternAtom(display, saved_mode_property, False));
    XFlush(display);
}

}  // namespace zelm
