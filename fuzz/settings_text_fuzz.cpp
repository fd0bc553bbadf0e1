// libFuzzer entry point for the settings texts. The first byte picks a value and the rest is
// that value's file in an XDG config home; the store reads it back with the value's capacity,
// and a switch's text goes through parse_switch_text. Besides memory faults and undefined
// behaviour it stops on a broken promise: a value read that is not the file's text less one
// trailing newline (up to its first NUL), or a read that succeeds or fails against the rule
// that the text and its terminator must fit the capacity.
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "settings/settings.hpp"
#include "settings/xdg/registry_xdg.hpp"

namespace {

void fail(const char* why) {
    std::fprintf(stderr, "settings_text_fuzz: %s\n", why);
    std::abort();
}

struct Value {
    const char* name;
    int capacity;
};

const Value values[] = {
    {"datadir", zelm::datadir_capacity},
    {"use_heightfield", zelm::switch_capacity},
    {"fullscreen", zelm::switch_capacity},
    {"use_alt_blend", zelm::switch_capacity},
};

// A private config home with the key made, for the whole run.
zelm::XdgStore& fuzz_store() {
    static zelm::XdgStore store = [] {
        char pattern[] = "/tmp/zelm-settings-fuzz-XXXXXX";
        if (mkdtemp(pattern) == nullptr) {
            fail("mkdtemp failed");
        }
        zelm::XdgStore made{pattern, {}};
        // Removed at exit by its name, which outlives every destructor.
        static char home[sizeof pattern];
        std::memcpy(home, pattern, sizeof pattern);
        std::atexit([] { std::filesystem::remove_all(home); });
        if (zelm::xdg_settings_registry(made).create_key(&made) != 1) {
            fail("cannot create the key");
        }
        return made;
    }();
    return store;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zelm;
    if (size == 0) {
        return 0;
    }
    XdgStore& store = fuzz_store();
    const SettingsRegistry reg = xdg_settings_registry(store);
    const Value& value = values[data[0] % 4];
    const std::string contents(reinterpret_cast<const char*>(data) + 1, size - 1);

    const std::string path = store.config_home + "/" + xdg_key_path + "/" + value.name;
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0 || write(fd, contents.data(), contents.size()) != ssize_t(contents.size()) ||
        close(fd) != 0) {
        fail("cannot write the value's file");
    }

    // Room past the capacity, filled with a marker that a read must not touch.
    std::vector<char> buf(static_cast<std::size_t>(value.capacity) + 16, '\x5A');
    const int read = reg.query_value(reg.context, value.name, buf.data(), value.capacity);
    const std::string text = xdg_value_text(contents);
    if (read != (text.size() + 1 <= static_cast<std::size_t>(value.capacity) ? 1 : 0)) {
        fail("a read disagreed with the capacity");
    }
    for (std::size_t i = static_cast<std::size_t>(value.capacity); i < buf.size(); ++i) {
        if (buf[i] != '\x5A') {
            fail("a read wrote past the capacity");
        }
    }
    if (read == 1) {
        if (std::strcmp(buf.data(), text.c_str()) != 0) {
            fail("a read value is not the file's text");
        }
        if (value.capacity == switch_capacity) {
            (void)parse_switch_text(buf.data());
        }
    }
    // The parser on the raw text too, whatever its length.
    (void)parse_switch_text(text.c_str());
    return 0;
}
