// Parsing of the XScreenSaver hack options and window ids.
#include "app/x11/x11_hack_args.hpp"

#include <cstring>
#include <utility>

namespace zelm {

namespace {

constexpr unsigned long largest_window_id = 0xFFFFFFFFul;  // X resource ids are 32-bit

bool is_blank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// The value of a hex or decimal digit in the given base, or -1.
int digit_value(char c, unsigned base) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (base == 16 && c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (base == 16 && c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

bool is_root_option(const char* arg) {
    return std::strcmp(arg, "-root") == 0 || std::strcmp(arg, "--root") == 0;
}

bool is_window_id_option(const char* arg) {
    return std::strcmp(arg, "-window-id") == 0 || std::strcmp(arg, "--window-id") == 0;
}

// The Windows host's switches, matched as its shell matches them: first two bytes.
bool is_windows_switch(const char* arg) {
    return arg[0] == '/' && (arg[1] == 'p' || arg[1] == 'c');
}

HackRequest bad(std::string error) {
    HackRequest request;
    request.target = HackTarget::bad;
    request.error = std::move(error);
    return request;
}

// The window named by $XSCREENSAVER_WINDOW.
HackRequest from_environment(const char* value) {
    HackRequest request;
    if (!parse_window_id(value, request.window_id)) {
        return bad(std::string("XSCREENSAVER_WINDOW is not a window id: \"") + value + "\"");
    }
    request.target = HackTarget::window;
    return request;
}

}  // namespace

// Hex after 0x, decimal otherwise (a leading 0 is not octal), checked against X's id range.
bool parse_window_id(const char* text, unsigned long& id) {
    if (text == nullptr) {
        return false;
    }
    while (is_blank(*text)) {
        ++text;
    }
    unsigned base = 10;
    if (text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text += 2;
    }
    unsigned long value = 0;
    int digits = 0;
    while (digit_value(*text, base) >= 0) {
        value = value * base + static_cast<unsigned long>(digit_value(*text, base));
        if (value > largest_window_id) {
            return false;
        }
        ++text;
        ++digits;
    }
    while (is_blank(*text)) {
        ++text;
    }
    if (digits == 0 || *text != '\0' || value == 0) {
        return false;
    }
    id = value;
    return true;
}

// Which window, if any, the arguments and the environment ask the hack to draw into.
HackRequest parse_hack_request(int argc, const char* const* argv, const char* xscreensaver_window) {
    const bool has_window_variable = xscreensaver_window != nullptr && *xscreensaver_window != '\0';
    if (argc <= 1) {
        return has_window_variable ? from_environment(xscreensaver_window) : HackRequest{};
    }
    if (is_windows_switch(argv[1])) {
        return HackRequest{};
    }
    bool root = false;
    bool window = false;
    unsigned long window_id = 0;
    const char* unknown = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (is_root_option(argv[i])) {
            root = true;
        } else if (is_window_id_option(argv[i])) {
            if (i + 1 >= argc) {
                return bad(std::string(argv[i]) + " needs a window id");
            }
            ++i;
            if (!parse_window_id(argv[i], window_id)) {
                return bad(std::string("not a window id: \"") + argv[i] + "\"");
            }
            window = true;
        } else if (unknown == nullptr) {
            unknown = argv[i];
        }
    }
    if (!root && !window) {
        return HackRequest{};
    }
    if (unknown != nullptr) {
        return bad(std::string("unknown option \"") + unknown +
                   "\" (a hack takes -root or -window-id ID)");
    }
    if (window) {
        HackRequest request;
        request.target = HackTarget::window;
        request.window_id = window_id;
        return request;
    }
    if (has_window_variable) {
        return from_environment(xscreensaver_window);
    }
    HackRequest request;
    request.target = HackTarget::root;
    return request;
}

}  // namespace zelm
