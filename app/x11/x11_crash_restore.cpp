#include "app/x11/x11_crash_restore.hpp"

#include <X11/Xatom.h>
#include <unistd.h>

#include <csignal>
#include <cstdint>
#include <cstring>

namespace zelm {

namespace {

// Request codes of the core protocol and the two extensions.
constexpr std::uint8_t delete_property_request = 19;
constexpr std::uint8_t randr_set_crtc_config = 21;
constexpr std::uint8_t dpms_enable = 4;

Display* spare_connection = nullptr;
unsigned char requests[512];  // room for SetCrtcConfig with over 100 outputs
volatile std::sig_atomic_t request_bytes = 0;

// The requests in the client's own byte order, as the connection was opened with.
struct RequestWriter {
    unsigned char* at;
    unsigned char* end;
    bool fits(std::size_t bytes) const { return at + bytes <= end; }
    void card8(std::uint8_t value) { *at++ = value; }
    void card16(std::uint16_t value) {
        std::memcpy(at, &value, 2);
        at += 2;
    }
    void card32(std::uint32_t value) {
        std::memcpy(at, &value, 4);
        at += 4;
    }
};

int extension_opcode(Display* display, const char* name) {
    int opcode = 0;
    int event_base = 0;
    int error_base = 0;
    return XQueryExtension(display, name, &opcode, &event_base, &error_base) ? opcode : 0;
}

// SetCrtcConfig back to the saved configuration, and DeleteProperty of the record.
bool write_mode_restore(RequestWriter& out, Display* display, const X11DisplayMode& mode) {
    const int randr = extension_opcode(display, "RANDR");
    XRRScreenResources* res = XRRGetScreenResourcesCurrent(display, DefaultRootWindow(display));
    if (randr == 0 || res == nullptr) {
        if (res != nullptr) {
            XRRFreeScreenResources(res);
        }
        return false;
    }
    const Time config_timestamp = res->configTimestamp;
    XRRFreeScreenResources(res);
    const std::size_t outputs = mode.saved_outputs.size();
    if (!out.fits(28 + 4 * outputs + 12)) {
        return false;
    }
    out.card8(static_cast<std::uint8_t>(randr));
    out.card8(randr_set_crtc_config);
    out.card16(static_cast<std::uint16_t>(7 + outputs));  // in 4-byte units
    out.card32(static_cast<std::uint32_t>(mode.crtc));
    out.card32(CurrentTime);
    out.card32(static_cast<std::uint32_t>(config_timestamp));
    out.card16(static_cast<std::uint16_t>(mode.saved_x));
    out.card16(static_cast<std::uint16_t>(mode.saved_y));
    out.card32(static_cast<std::uint32_t>(mode.saved_mode));
    out.card16(static_cast<std::uint16_t>(mode.saved_rotation));
    out.card16(0);
    for (const RROutput output : mode.saved_outputs) {
        out.card32(static_cast<std::uint32_t>(output));
    }
    out.card8(delete_property_request);
    out.card8(0);
    out.card16(3);
    out.card32(static_cast<std::uint32_t>(DefaultRootWindow(display)));
    out.card32(static_cast<std::uint32_t>(XInternAtom(display, saved_mode_property, False)));
    return true;
}

bool write_dpms_enable(RequestWriter& out, Display* display) {
    const int dpms = extension_opcode(display, "DPMS");
    if (dpms == 0 || !out.fits(4)) {
        return false;
    }
    out.card8(static_cast<std::uint8_t>(dpms));
    out.card8(dpms_enable);
    out.card16(1);
    return true;
}

void undo_and_die(int signal_number) {
    const std::sig_atomic_t bytes = request_bytes;
    if (bytes > 0 && spare_connection != nullptr) {
        const int socket = ConnectionNumber(spare_connection);
        for (std::sig_atomic_t done = 0; done < bytes;) {
            const ssize_t n = write(socket, requests + done, static_cast<size_t>(bytes - done));
            if (n <= 0) {
                break;
            }
            done += static_cast<std::sig_atomic_t>(n);
        }
    }
    // The handler was reset to the default on entry: the signal ends the process as before.
    raise(signal_number);
}

void install_handlers() {
    static bool installed = false;
    if (installed) {
        return;
    }
    installed = true;
    struct sigaction action {};
    action.sa_handler = undo_and_die;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND | SA_NODEFER;
    for (const int signal_number : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT}) {
        sigaction(signal_number, &action, nullptr);
    }
}

}  // namespace

void arm_crash_restore(Display* display, const X11DisplayMode& mode, const X11BlankingHold& hold) {
    request_bytes = 0;
    if (mode.switched == 0 && hold.dpms_disabled == 0) {
        return;
    }
    if (spare_connection == nullptr) {
        spare_connection = XOpenDisplay(DisplayString(display));
        if (spare_connection == nullptr) {
            return;
        }
    }
    install_handlers();
    RequestWriter out{requests, requests + sizeof requests};
    if (mode.switched != 0 && !write_mode_restore(out, spare_connection, mode)) {
        out.at = requests;
    }
    if (hold.dpms_disabled != 0) {
        write_dpms_enable(out, spare_connection);
    }
    request_bytes = static_cast<std::sig_atomic_t>(out.at - requests);
}

void disarm_crash_restore() {
    request_bytes = 0;
    if (spare_connection != nullptr) {
        XCloseDisplay(spare_connection);
        spare_connection = nullptr;
    }
}

}  // namespace zelm
