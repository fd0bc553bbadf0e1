// libFuzzer entry point for the XScreenSaver command line. The input is split at NUL bytes into
// words: the first is $XSCREENSAVER_WINDOW (an empty first word leaves it unset), the rest are
// the arguments after the program's name. Besides memory faults and undefined behaviour it stops
// on a broken promise: a window target without a usable id, a bad request without a reason, a
// reason given for a good one, a watcher without its idle time, or an option's value outside
// its range.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/linux/linux_options.hpp"

namespace {

void fail(const char* why) {
    std::fprintf(stderr, "hack_args_fuzz: %s\n", why);
    std::abort();
}

// The largest window id X can hand out.
constexpr unsigned long max_window_id = 0xFFFFFFFFul;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zelm;
    std::vector<std::string> words(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            words.emplace_back();
        } else {
            words.back() += static_cast<char>(data[i]);
        }
    }
    const char* variable = words[0].empty() ? nullptr : words[0].c_str();
    std::vector<const char*> argv{"zelm"};
    for (std::size_t i = 1; i < words.size(); ++i) {
        argv.push_back(words[i].c_str());
    }

    const LinuxRequest request =
        parse_linux_request(static_cast<int>(argv.size()), argv.data(), variable);
    switch (request.command) {
        case LinuxCommand::none:
        case LinuxCommand::root:
        case LinuxCommand::overlay:
        case LinuxCommand::help:
        case LinuxCommand::version:
        case LinuxCommand::xscreensaver_add:
        case LinuxCommand::xscreensaver_remove:
        case LinuxCommand::no_autostart:
            if (!request.error.empty()) {
                fail("a good request came with a reason");
            }
            break;
        case LinuxCommand::window:
            if (request.window_id == 0 || request.window_id > max_window_id ||
                !request.error.empty()) {
                fail("a window request without a usable id");
            }
            break;
        case LinuxCommand::idle:
        case LinuxCommand::autostart:
            if (request.idle_seconds < 1 || request.idle_seconds > largest_idle_seconds ||
                !request.error.empty()) {
                fail("a watcher request without a usable idle time");
            }
            break;
        case LinuxCommand::bad:
            if (request.error.empty()) {
                fail("a bad request without a reason");
            }
            break;
        default:
            fail("a target outside the enumeration");
    }
    if (request.delay_us < 0 || request.delay_us > largest_delay_us ||
        (request.show_fps != 0 && request.show_fps != 1) || request.heightfield < -1 ||
        request.heightfield > 1 || request.alt_blend < -1 || request.alt_blend > 1) {
        fail("a hack option outside its range");
    }
    for (const std::string& word : words) {
        unsigned long id = 0;
        if (parse_window_id(word.c_str(), id) && (id == 0 || id > max_window_id)) {
            fail("parse_window_id accepted an id X cannot have");
        }
    }
    return 0;
}
