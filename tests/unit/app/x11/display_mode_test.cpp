// The full-screen switch over a simulated X server: the primary output sits right of a second
// monitor, so its CRTC is not at the screen's origin. The X and XRandR functions below stand in
// for libX11 and libXrandr, keeping the server's CRTCs and the root window's properties.

// GoogleTest before Xlib, whose None macro would break it.
#include <gtest/gtest.h>

#include "app/x11/x11_display_mode.hpp"

#include <X11/Xatom.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <type_traits>
#include <vector>

namespace {

struct Crtc {
    int x, y;
    RRMode mode;
    Rotation rotation;
    std::vector<RROutput> outputs;
};

// Output 11 (left, 1920x1080 on CRTC 21 at 0,0) and output 12 (primary, 1024x768 on CRTC 22
// at 1920,0, also listing 640x480).
struct Server {
    std::map<RRCrtc, Crtc> crtcs;
    std::map<Atom, std::vector<long>> root_properties;
    std::set<Window> windows;
    std::vector<std::string> log;  // every CRTC change, as "crtc x,y mode outputs"
};
Server server;

XRRModeInfo modes[] = {{31, 1920, 1080, 0, 0, 0, 0, 0, 0, 0, 0, nullptr, 0, 0},
                       {32, 1024, 768, 0, 0, 0, 0, 0, 0, 0, 0, nullptr, 0, 0},
                       {33, 640, 480, 0, 0, 0, 0, 0, 0, 0, 0, nullptr, 0, 0}};
RROutput outputs[] = {11, 12};

// Just enough of a display for DefaultRootWindow: one screen, root window 1.
Screen screen{};
std::remove_pointer_t<_XPrivDisplay> private_display{};

Display* open_display() {
    screen.root = 1;
    private_display.screens = &screen;
    private_display.default_screen = 0;
    return reinterpret_cast<Display*>(&private_display);
}

void start_server() {
    server = Server{};
    server.crtcs[21] = Crtc{0, 0, 31, RR_Rotate_0, {11}};
    server.crtcs[22] = Crtc{1920, 0, 32, RR_Rotate_0, {12}};
}

}  // namespace

extern "C" {

Bool XRRQueryExtension(Display*, int* event_base, int* error_base) {
    *event_base = *error_base = 0;
    return True;
}

Status XRRQueryVersion(Display*, int* major, int* minor) {
    *major = 1;
    *minor = 5;
    return 1;
}

XRRScreenResources* XRRGetScreenResources(Display*, Window) {
    auto* res = static_cast<XRRScreenResources*>(std::calloc(1, sizeof(XRRScreenResources)));
    res->noutput = 2;
    res->outputs = outputs;
    res->nmode = 3;
    res->modes = modes;
    return res;
}

void XRRFreeScreenResources(XRRScreenResources* res) {
    std::free(res);
}

RROutput XRRGetOutputPrimary(Display*, Window) {
    return 12;
}

XRROutputInfo* XRRGetOutputInfo(Display*, XRRScreenResources*, RROutput output) {
    static RRCrtc left_crtcs[] = {21};
    static RRCrtc primary_crtcs[] = {22};
    static RRMode left_modes[] = {31};
    static RRMode primary_modes[] = {32, 33};
    auto* info = static_cast<XRROutputInfo*>(std::calloc(1, sizeof(XRROutputInfo)));
    info->connection = RR_Connected;
    info->crtc = output == 11 ? 21 : 22;
    info->ncrtc = 1;
    info->crtcs = output == 11 ? left_crtcs : primary_crtcs;
    info->nmode = output == 11 ? 1 : 2;
    info->modes = output == 11 ? left_modes : primary_modes;
    return info;
}

void XRRFreeOutputInfo(XRROutputInfo* info) {
    std::free(info);
}

XRRCrtcInfo* XRRGetCrtcInfo(Display*, XRRScreenResources*, RRCrtc id) {
    Crtc& crtc = server.crtcs.at(id);
    auto* info = static_cast<XRRCrtcInfo*>(std::calloc(1, sizeof(XRRCrtcInfo)));
    info->x = crtc.x;
    info->y = crtc.y;
    info->mode = crtc.mode;
    info->rotation = crtc.rotation;
    info->noutput = static_cast<int>(crtc.outputs.size());
    info->outputs = crtc.outputs.data();
    return info;
}

void XRRFreeCrtcInfo(XRRCrtcInfo* info) {
    std::free(info);
}

Status XRRSetCrtcConfig(Display*, XRRScreenResources*, RRCrtc id, Time, int x, int y, RRMode mode,
                        Rotation rotation, RROutput* out, int count) {
    server.crtcs[id] = Crtc{x, y, mode, rotation, std::vector<RROutput>(out, out + count)};
    server.log.push_back(std::to_string(id) + " " + std::to_string(x) + "," + std::to_string(y) +
                         " " + std::to_string(mode) + " " + std::to_string(count));
    return RRSetConfigSuccess;
}

Status XRRGetScreenSizeRange(Display*, Window, int* min_w, int* min_h, int* max_w, int* max_h) {
    *min_w = *min_h = 8;
    *max_w = *max_h = 8192;
    return 1;
}

Atom XInternAtom(Display*, const char* name, Bool) {
    return std::strcmp(name, zelm::saved_mode_property) == 0 ? 500 : 501;
}

int XGetWindowProperty(Display*, Window, Atom property, long, long, Bool, Atom, Atom* type,
                       int* format, unsigned long* count, unsigned long* after,
                       unsigned char** data) {
    *after = 0;
    const auto found = server.root_properties.find(property);
    if (found == server.root_properties.end()) {
        *type = None;
        *format = 0;
        *count = 0;
        *data = nullptr;
        return Success;
    }
    *type = XA_INTEGER;
    *format = 32;
    *count = found->second.size();
    *data = static_cast<unsigned char*>(std::malloc(found->second.size() * sizeof(long)));
    std::memcpy(*data, found->second.data(), found->second.size() * sizeof(long));
    return Success;
}

int XChangeProperty(Display*, Window, Atom property, Atom, int, int, const unsigned char* data,
                    int count) {
    const long* fields = reinterpret_cast<const long*>(data);
    server.root_properties[property].assign(fields, fields + count);
    return 1;
}

int XDeleteProperty(Display*, Window, Atom property) {
    server.root_properties.erase(property);
    return 1;
}

Status XQueryTree(Display*, Window, Window* root, Window* parent, Window** children,
                  unsigned* count) {
    *root = 1;
    *parent = None;
    *count = static_cast<unsigned>(server.windows.size());
    *children = static_cast<Window*>(std::malloc((server.windows.size() + 1) * sizeof(Window)));
    std::copy(server.windows.begin(), server.windows.end(), *children);
    return 1;
}

int XFree(void* data) {
    std::free(data);
    return 1;
}

int XFlush(Display*) {
    return 1;
}

}  // extern "C"

namespace zelm {
namespace {

// One zelm's full-screen run: find, test, switch with its demo window as holder.
void switch_as(Display* display, Window demo_window) {
    server.windows.insert(demo_window);
    ASSERT_EQ(x11_find_display_mode(display, 640, 480), 1);
    ASSERT_EQ(x11_test_display_mode(display), DisplayModeTest::ok);
    ASSERT_TRUE(x11_save_display_mode(display, demo_window));
    x11_set_display_mode(display);
}

TEST(X11DisplayMode, ThePrimaryOutputSwitchesWhereItIsAndComesBack) {
    start_server();
    Display* display = open_display();
    switch_as(display, 0x400001);
    EXPECT_EQ(fullscreen_crtc.output, 12u);
    // The demo window belongs at the switched output's origin, right of the other monitor.
    EXPECT_EQ(fullscreen_crtc.x, 1920);
    EXPECT_EQ(fullscreen_crtc.y, 0);
    const std::vector<std::string> switched = {"22 1920,0 33 1"};
    EXPECT_EQ(server.log, switched);
    EXPECT_EQ(server.crtcs.at(21).mode, 31u) << "the other monitor was touched";

    x11_restore_display_mode(display);
    x11_restore_display_mode(display);  // only once
    const std::vector<std::string> restored = {"22 1920,0 33 1", "22 1920,0 32 1"};
    EXPECT_EQ(server.log, restored);
    EXPECT_TRUE(server.root_properties.empty()) << "the record stayed on the root window";
}

// A second zelm started while the first shows 640x480 puts back the mode from before both,
// and only the last of them to end does.
TEST(X11DisplayMode, OverlappingRunsPutBackTheModeFromBeforeEither) {
    start_server();
    Display* display = open_display();
    switch_as(display, 0x400001);
    const X11DisplayMode first = fullscreen_crtc;

    switch_as(display, 0x600001);
    EXPECT_EQ(fullscreen_crtc.saved.mode, 32u);
    x11_restore_display_mode(display);  // the second ends while the first still runs
    EXPECT_EQ(server.crtcs.at(22).mode, 33u);

    fullscreen_crtc = first;
    x11_restore_display_mode(display);
    EXPECT_EQ(server.crtcs.at(22).mode, 32u);
    EXPECT_TRUE(server.root_properties.empty());
}

// A holder killed without restoring no longer counts: the next zelm to end puts the mode back.
TEST(X11DisplayMode, AKilledHolderDoesNotKeepTheModeSwitched) {
    start_server();
    Display* display = open_display();
    switch_as(display, 0x400001);
    server.windows.erase(0x400001);  // killed: its window went with its connection
    switch_as(display, 0x600001);
    EXPECT_EQ(fullscreen_crtc.saved.mode, 32u);
    x11_restore_display_mode(display);
    EXPECT_EQ(server.crtcs.at(22).mode, 32u);
    EXPECT_TRUE(server.root_properties.empty());
}

}  // namespace
}  // namespace zelm
