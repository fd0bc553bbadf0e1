// XRandR display-mode search, switch and restore for the full-screen demo.
#include "app/x11/x11_display_mode.hpp"

#include <X11/Xatom.h>

#include <algorithm>
#include <memory>

namespace zelm {

X11DisplayMode fullscreen_crtc{};

namespace {

// Screen resources freed at scope exit.
std::unique_ptr<XRRScreenResources, void (*)(XRRScreenResources*)> screen_resources(
    Display* display) {
    return {XRRGetScreenResources(display, DefaultRootWindow(display)), XRRFreeScreenResources};
}

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
            fullscreen_crtc.output = output;
            fullscreen_crtc.mode = mode;
            fullscreen_crtc.width = width;
            fullscreen_crtc.height = height;
            fullscreen_crtc.crtc = info->crtc != None ? info->crtc
                                   : info->ncrtc > 0  ? info->crtcs[0]
                                                      : None;
            fullscreen_crtc.found = 1;
            taken = true;
        }
    }
    XRRFreeOutputInfo(info);
    return taken;
}

}  // namespace

// The primary output first, then the others in the server's order.
int x11_find_display_mode(Display* display, int width, int height) {
    fullscreen_crtc = X11DisplayMode{};
    if (!has_randr_1_2(display)) {
        return 0;
    }
    const auto resources = screen_resources(display);
    if (resources == nullptr) {
        return 0;
    }
    const RROutput primary = XRRGetOutputPrimary(display, DefaultRootWindow(display));
    if (primary != None && try_output(display, resources.get(), primary, width, height)) {
        return 1;
    }
    for (int i = 0; i < resources->noutput; ++i) {
        if (try_output(display, resources.get(), resources->outputs[i], width, height)) {
            return 1;
        }
    }
    return 0;
}

// X has no dry run of a mode switch: check what the server would refuse.
DisplayModeTest x11_test_display_mode(Display* display) {
    if (!fullscreen_crtc.found || fullscreen_crtc.crtc == None) {
        return DisplayModeTest::failed;
    }
    int min_w = 0;
    int min_h = 0;
    int max_w = 0;
    int max_h = 0;
    if (XRRGetScreenSizeRange(display, DefaultRootWindow(display), &min_w, &min_h, &max_w,
                              &max_h) &&
        (fullscreen_crtc.width > max_w || fullscreen_crtc.height > max_h)) {
        return DisplayModeTest::bad_mode;
    }
    return DisplayModeTest::ok;
}

namespace {

// The record on the root window: the configuration to put back, and the demo windows of the
// zelms that hold the CRTC switched. A holder whose window is gone has ended without putting
// the mode back (killed): it no longer counts.
struct SwitchRecord {
    RRCrtc crtc;
    RRMode switched_mode;
    X11CrtcConfig saved;
    std::vector<Window> holders;
};

Atom record_atom(Display* display) {
    return XInternAtom(display, saved_mode_property, False);
}

bool window_alive(Display* display, Window window) {
    Window root = None;
    Window parent = None;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) {
        return false;
    }
    const bool alive = std::find(children, children + count, window) != children + count;
    if (children != nullptr) {
        XFree(children);
    }
    return alive;
}

// Reads the record; false when there is none or it is malformed. Fields: crtc, the mode
// switched to, the saved mode, x, y, rotation, the number of outputs, the outputs, the holders.
bool read_record(Display* display, SwitchRecord& record) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, DefaultRootWindow(display), record_atom(display), 0, 1024,
                           False, XA_INTEGER, &type, &format, &count, &after, &data) != Success ||
        data == nullptr) {
        return false;
    }
    const long* fields = reinterpret_cast<const long*>(data);  // format 32 arrives as longs
    const unsigned long outputs = count >= 7 ? static_cast<unsigned long>(fields[6]) : 0;
    const bool valid = type == XA_INTEGER && format == 32 && count >= 7 && outputs <= count - 7;
    if (valid) {
        record.crtc = static_cast<RRCrtc>(fields[0]);
        record.switched_mode = static_cast<RRMode>(fields[1]);
        record.saved = {static_cast<RRMode>(fields[2]), static_cast<int>(fields[3]),
                        static_cast<int>(fields[4]), static_cast<Rotation>(fields[5]),
                        std::vector<RROutput>(fields + 7, fields + 7 + outputs)};
        record.holders.clear();
        for (unsigned long i = 7 + outputs; i < count; ++i) {
            if (window_alive(display, static_cast<Window>(fields[i]))) {
                record.holders.push_back(static_cast<Window>(fields[i]));
            }
        }
    }
    XFree(data);
    return valid;
}

void write_record(Display* display, const SwitchRecord& record) {
    std::vector<long> fields = {static_cast<long>(record.crtc),
                                static_cast<long>(record.switched_mode),
                                static_cast<long>(record.saved.mode),
                                record.saved.x,
                                record.saved.y,
                                static_cast<long>(record.saved.rotation),
                                static_cast<long>(record.saved.outputs.size())};
    fields.insert(fields.end(), record.saved.outputs.begin(), record.saved.outputs.end());
    fields.insert(fields.end(), record.holders.begin(), record.holders.end());
    XChangeProperty(display, DefaultRootWindow(display), record_atom(display), XA_INTEGER, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(fields.data()),
                    static_cast<int>(fields.size()));
}

// Joins the record of another zelm when it is about the same CRTC and the CRTC still shows the
// mode that zelm switched to (else it is stale: the user has set another mode since), taking
// its saved configuration as the one to put back; otherwise starts a record of our own.
void join_or_start_record(Display* display, const XRRCrtcInfo& crtc) {
    SwitchRecord record{};
    if (!read_record(display, record) || record.crtc != fullscreen_crtc.crtc ||
        record.switched_mode != crtc.mode) {
        record = SwitchRecord{fullscreen_crtc.crtc,
                              fullscreen_crtc.mode,
                              {crtc.mode, crtc.x, crtc.y, crtc.rotation,
                               std::vector<RROutput>(crtc.outputs, crtc.outputs + crtc.noutput)},
                              {}};
    }
    record.holders.push_back(fullscreen_crtc.holder);
    write_record(display, record);
    fullscreen_crtc.saved = record.saved;
}

// Leaves the record; true when no other zelm still holds the switch, so the mode goes back.
bool leave_record(Display* display) {
    SwitchRecord record{};
    if (read_record(display, record)) {
        std::erase(record.holders, fullscreen_crtc.holder);
        if (!record.holders.empty()) {
            write_record(display, record);
            return false;
        }
    }
    XDeleteProperty(display, DefaultRootWindow(display), record_atom(display));
    return true;
}

}  // namespace

// Saves the CRTC's configuration, unless an earlier zelm's record names the one to put back.
bool x11_save_display_mode(Display* display, Window holder) {
    if (!fullscreen_crtc.found || fullscreen_crtc.crtc == None || fullscreen_crtc.switched) {
        return false;
    }
    const auto resources = screen_resources(display);
    if (resources == nullptr) {
        return false;
    }
    XRRCrtcInfo* crtc = XRRGetCrtcInfo(display, resources.get(), fullscreen_crtc.crtc);
    if (crtc == nullptr) {
        return false;
    }
    fullscreen_crtc.holder = holder;
    join_or_start_record(display, *crtc);
    fullscreen_crtc.x = crtc->x;
    fullscreen_crtc.y = crtc->y;
    XRRFreeCrtcInfo(crtc);
    fullscreen_crtc.switched = 1;
    return true;
}

// Sets the found mode in the saved configuration's place, at the same origin.
void x11_set_display_mode(Display* display) {
    const auto resources = screen_resources(display);
    RROutput output = fullscreen_crtc.output;
    if (resources != nullptr &&
        XRRSetCrtcConfig(display, resources.get(), fullscreen_crtc.crtc, CurrentTime,
                         fullscreen_crtc.x, fullscreen_crtc.y, fullscreen_crtc.mode, RR_Rotate_0,
                         &output, 1) == RRSetConfigSuccess) {
        return;
    }
    leave_record(display);
    fullscreen_crtc.switched = 0;
}

// Sets the saved CRTC configuration again, once, unless another zelm still shows the switched
// mode: the last one to end puts it back.
void x11_restore_display_mode(Display* display) {
    if (!fullscreen_crtc.switched) {
        return;
    }
    fullscreen_crtc.switched = 0;
    const auto resources = screen_resources(display);
    if (resources == nullptr || !leave_record(display)) {
        XFlush(display);
        return;
    }
    X11CrtcConfig& saved = fullscreen_crtc.saved;
    XRRSetCrtcConfig(display, resources.get(), fullscreen_crtc.crtc, CurrentTime, saved.x, saved.y,
                     saved.mode, saved.rotation, saved.outputs.data(),
                     static_cast<int>(saved.outputs.size()));
    XFlush(display);
}

}  // namespace zelm
