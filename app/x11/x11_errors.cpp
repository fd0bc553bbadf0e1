#include "app/x11/x11_errors.hpp"

#include <algorithm>
#include <array>
#include <vector>

#include "app/linux/linux_messages.hpp"

namespace zelm {

void report_x_error_once(Display* display, const XErrorEvent& error) {
    // Error code, major and minor request code: at most a few kinds ever occur.
    static std::vector<std::array<int, 3>> reported;
    const std::array<int, 3> kind = {error.error_code, error.request_code, error.minor_code};
    if (std::find(reported.begin(), reported.end(), kind) != reported.end()) {
        return;
    }
    reported.push_back(kind);
    char text[256];
    XGetErrorText(display, error.error_code, text, sizeof text);
    linux_report(linux_messages::x_error, text, error.request_code, error.minor_code);
}

}  // namespace zelm
