// Parsing of zelm's Linux options: the XScreenSaver hack's, and window ids.
#include "app/linux/linux_options.hpp"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

#include "app/linux/linux_messages.hpp"

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

// Whether arg is the option name, in its -name or --name spelling.
bool is_option(const char* arg, const char* name) {
    if (arg[0] != '-') {
        return false;
    }
    const char* rest = arg[1] == '-' ? arg + 2 : arg + 1;
    return std::strcmp(rest, name) == 0;
}

// Options that hacks take from the daemon and its settings program, and zelm ignores.
bool is_ignored_switch(const char* arg) {
    return is_option(arg, "install") || is_option(arg, "noinstall") || is_option(arg, "mono") ||
           is_option(arg, "pair");
}

// A number from smallest to largest, blanks around it allowed: hex after 0x where hex is
// allowed, decimal otherwise (a leading 0 is not octal). number is left alone on failure.
template <typename Number>
bool parse_number(const char* text, bool hex, Number smallest, Number largest, Number& number) {
    while (is_blank(*text)) {
        ++text;
    }
    const unsigned base = hex && text[0] == '0' && (text[1] == 'x' || text[1] == 'X') ? 16 : 10;
    text += base == 16 ? 2 : 0;
    Number value = 0;
    int digits = 0;
    for (; digit_value(*text, base) >= 0; ++text, ++digits) {
        value = value * static_cast<Number>(base) + static_cast<Number>(digit_value(*text, base));
        if (value > largest) {
            return false;
        }
    }
    while (is_blank(*text)) {
        ++text;
    }
    if (digits == 0 || *text != '\0' || value < smallest) {
        return false;
    }
    number = value;
    return true;
}

// The Windows host's switches, matched as its shell matches them: first two bytes.
bool is_windows_switch(const char* arg) {
    return arg[0] == '/' && (arg[1] == 'p' || arg[1] == 'c');
}

LinuxRequest bad(const char* format, ...) __attribute__((format(printf, 1, 2)));
LinuxRequest bad(const char* format, ...) {
    LinuxRequest request;
    request.command = LinuxCommand::bad;
    std::va_list args, sizing;
    va_start(args, format);
    va_copy(sizing, args);
    request.error.resize(static_cast<std::size_t>(std::vsnprintf(nullptr, 0, format, sizing)));
    va_end(sizing);
    std::vsnprintf(request.error.data(), request.error.size() + 1, format, args);
    va_end(args);
    return request;
}

// Options followed by a value, which is never an option itself.
bool takes_value(const char* arg) {
    return is_option(arg, "window-id") || is_option(arg, "delay") || is_option(arg, "visual") ||
           is_option(arg, "idle") || is_option(arg, "autostart");
}

bool is_known_option(const char* arg) {
    return takes_value(arg) || is_ignored_switch(arg) || is_option(arg, "root") ||
           is_option(arg, "fps") || is_option(arg, "no-fps") || is_option(arg, "heightfield") ||
           is_option(arg, "no-heightfield") || is_option(arg, "alt-blend") ||
           is_option(arg, "no-alt-blend") || is_option(arg, "overlay") || is_option(arg, "x11") ||
           is_option(arg, "wayland") || is_option(arg, "no-autostart");
}

// The first argument that looks like an option and is none; null when there is none.
const char* unknown_option(int argc, const char* const* argv) {
    for (int i = 1; i < argc; ++i) {
        if (takes_value(argv[i])) {
            ++i;
        } else if (argv[i][0] == '-' && !is_known_option(argv[i])) {
            return argv[i];
        }
    }
    return nullptr;
}

LinuxRequest unknown(const char* arg) {
    LinuxRequest refused = bad(linux_messages::unknown_option, arg);
    refused.usage_too = 1;
    return refused;
}

// The window named by $XSCREENSAVER_WINDOW.
LinuxRequest from_environment(const char* value) {
    LinuxRequest request;
    if (!parse_window_id(value, request.window_id)) {
        return bad(linux_messages::window_variable_bad, value);
    }
    request.command = LinuxCommand::window;
    return request;
}

}  // namespace

std::string run_mode_command_line(int argc, const char* const* argv) {
    std::string text;
    bool first = true;
    for (int i = 1; i < argc; ++i) {
        if (is_option(argv[i], "x11") || is_option(argv[i], "wayland")) {
            continue;
        }
        text += first ? "" : " ";
        text += argv[i];
        first = false;
    }
    return text;
}

// Checked against X's id range.
bool parse_window_id(const char* text, unsigned long& id) {
    return text != nullptr && parse_number(text, true, 1ul, largest_window_id, id);
}

// Which window, if any, the arguments and the environment ask the hack to draw into, and how.
LinuxRequest parse_linux_request(int argc, const char* const* argv,
                                 const char* xscreensaver_window) {
    for (const auto& [name, target] :
         {std::pair{"help", LinuxCommand::help}, std::pair{"version", LinuxCommand::version},
          std::pair{"xscreensaver-add", LinuxCommand::xscreensaver_add},
          std::pair{"xscreensaver-remove", LinuxCommand::xscreensaver_remove}}) {
        for (int i = 1; i < argc; ++i) {
            if (is_option(argv[i], name) ||
                (target == LinuxCommand::help && std::strcmp(argv[i], "-h") == 0)) {
                LinuxRequest request;
                request.command = target;
                return request;
            }
        }
    }
    if (const char* arg = unknown_option(argc, argv)) {
        return unknown(arg);
    }
    const bool has_window_variable = xscreensaver_window != nullptr && *xscreensaver_window != '\0';
    if (argc <= 1) {
        return has_window_variable ? from_environment(xscreensaver_window) : LinuxRequest{};
    }
    if (is_windows_switch(argv[1])) {
        return LinuxRequest{};
    }
    LinuxRequest request;
    bool root = false;
    bool window = false;
    bool overlay = false;
    LinuxCommand watcher = LinuxCommand::none;  // idle, autostart or no_autostart
    const char* unexpected = nullptr;           // an argument that is no option at all
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        // The options that take a value read the next argument, whatever it is.
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        if (is_option(arg, "root")) {
            root = true;
        } else if (is_option(arg, "overlay")) {
            overlay = true;
        } else if (is_option(arg, "idle") || is_option(arg, "autostart")) {
            if (value == nullptr ||
                !parse_number(value, false, 1L, largest_idle_seconds, request.idle_seconds)) {
                return bad(linux_messages::needs_seconds, arg, largest_idle_seconds);
            }
            if (watcher != LinuxCommand::none) {
                return bad(linux_messages::watchers_one_at_a_time);
            }
            watcher = is_option(arg, "idle") ? LinuxCommand::idle : LinuxCommand::autostart;
            ++i;
        } else if (is_option(arg, "no-autostart")) {
            if (watcher != LinuxCommand::none) {
                return bad(linux_messages::watchers_one_at_a_time);
            }
            watcher = LinuxCommand::no_autostart;
        } else if (is_option(arg, "x11") || is_option(arg, "wayland")) {
            request.display = is_option(arg, "x11") ? DisplayChoice::x11 : DisplayChoice::wayland;
        } else if (is_option(arg, "window-id")) {
            if (value == nullptr) {
                return bad(linux_messages::needs_window_id, arg);
            }
            if (!parse_window_id(value, request.window_id)) {
                return bad(linux_messages::not_window_id, value);
            }
            window = true;
            ++i;
        } else if (is_option(arg, "delay")) {
            if (value == nullptr ||
                !parse_number(value, false, 0L, largest_delay_us, request.delay_us)) {
                return bad(linux_messages::needs_microseconds, arg, largest_delay_us);
            }
            ++i;
        } else if (is_option(arg, "visual")) {
            if (value == nullptr) {
                return bad(linux_messages::needs_visual, arg);
            }
            ++i;
        } else if (is_option(arg, "fps") || is_option(arg, "no-fps")) {
            request.show_fps = is_option(arg, "fps") ? 1 : 0;
        } else if (is_option(arg, "heightfield") || is_option(arg, "no-heightfield")) {
            request.heightfield = is_option(arg, "heightfield") ? 1 : 0;
        } else if (is_option(arg, "alt-blend") || is_option(arg, "no-alt-blend")) {
            request.alt_blend = is_option(arg, "alt-blend") ? 1 : 0;
        } else if (!is_ignored_switch(arg) && unexpected == nullptr) {
            unexpected = arg;
        }
    }
    if (watcher != LinuxCommand::none && (overlay || root || window)) {
        return bad(linux_messages::watcher_shows_saver);
    }
    if (watcher != LinuxCommand::none && request.display == DisplayChoice::x11) {
        return bad(linux_messages::watcher_not_x11);
    }
    if (overlay && (root || window || request.display == DisplayChoice::x11)) {
        return bad(linux_messages::overlay_not_x11);
    }
    if ((root || window) && request.display == DisplayChoice::wayland) {
        return bad(linux_messages::x11_not_wayland);
    }
    if (!root && !window && !overlay && watcher == LinuxCommand::none) {
        LinuxRequest run_mode;
        run_mode.display = request.display;
        return run_mode;
    }
    if (unexpected != nullptr) {
        return unknown(unexpected);
    }
    if (watcher != LinuxCommand::none) {
        request.command = watcher;
    } else if (overlay) {
        request.command = LinuxCommand::overlay;
    } else if (window) {
        request.command = LinuxCommand::window;
    } else if (has_window_variable) {
        const LinuxRequest from_variable = from_environment(xscreensaver_window);
        if (from_variable.command == LinuxCommand::bad) {
            return from_variable;
        }
        request.command = LinuxCommand::window;
        request.window_id = from_variable.window_id;
    } else {
        request.command = LinuxCommand::root;
    }
    return request;
}

std::vector<std::string> saver_options(const LinuxRequest& request) {
    std::vector<std::string> options;
    if (request.delay_us != LinuxRequest{}.delay_us) {
        options.insert(options.end(), {"--delay", std::to_string(request.delay_us)});
    }
    if (request.show_fps != 0) {
        options.emplace_back("--fps");
    }
    if (request.heightfield >= 0) {
        options.emplace_back(request.heightfield != 0 ? "--heightfield" : "--no-heightfield");
    }
    if (request.alt_blend >= 0) {
        options.emplace_back(request.alt_blend != 0 ? "--alt-blend" : "--no-alt-blend");
    }
    return options;
}

}  // namespace zelm
