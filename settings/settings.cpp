#include "settings/settings.hpp"

#include <algorithm>
#include <cstdio>
#include <cstring>

#ifdef _WIN32
#include <direct.h>
#define zelm_chdir _chdir
#else
#include <unistd.h>
#define zelm_chdir chdir
#endif

#include "platform/messages.hpp"
#include "platform/platform.hpp"

namespace zelm {

char* datadir = nullptr;
int use_heightfield = 1;
int fullscreen = 0;
int use_alt_blend = 0;

SettingsRegistry settings_registry{};

namespace {

// The settings' own data directory: a static buffer, so that no allocation can fail for it.
char datadir_storage[datadir_buffer_size];

struct SwitchSetting {
    const char* name;
    int* value;
};

const SwitchSetting switch_settings[] = {
    {"use_heightfield", &use_heightfield},
    {"fullscreen", &fullscreen},
    {"use_alt_blend", &use_alt_blend},
};

}  // namespace

int parse_switch_text(const char* text) {
    // Like atoi, but without undefined behaviour on overflow: the value saturates.
    const char* p = text;
    while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r' || *p == '\f' || *p == '\v') {
        ++p;
    }
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = (*p == '-');
        ++p;
    }
    long long value = 0;
    while (*p >= '0' && *p <= '9') {
        if (value < 2147483648LL) {
            value = value * 10 + (*p - '0');
        }
        ++p;
    }
    if (negative) {
        value = -value;
    }
    if (value > 2147483647LL) {
        value = 2147483647LL;
    }
    if (value < -2147483648LL) {
        value = -2147483648LL;
    }
    return static_cast<int>(value);
}

char* datadir_buffer() {
    if (datadir == nullptr) {
        datadir = datadir_storage;
    }
    return datadir;
}

int read_settings() {
    int status = 1;
    std::strcpy(datadir_buffer(), ".");

    SettingsRegistry& reg = settings_registry;
    if (!reg.open_key(reg.context) && !reg.create_key(reg.context)) {
        return 0;
    }
    if (!reg.query_value(reg.context, "datadir", datadir, datadir_capacity)) {
        // A failed read may leave anything in the buffer; keep the default instead.
        std::strcpy(datadir, ".");
        status = 0;
    }
    for (const SwitchSetting& s : switch_settings) {
        char text[switch_capacity];
        if (reg.query_value(reg.context, s.name, text, switch_capacity)) {
            *s.value = parse_switch_text(text);
        } else {
            status = 0;
        }
    }
    reg.close_key(reg.context);
    // A missing directory is not an error here: the texture loads will report it.
    if (zelm_chdir(datadir) != 0) {
        return status;
    }
    return status;
}

int write_settings() {
    SettingsRegistry& reg = settings_registry;
    // A key that can be neither opened nor created loses every value, and says so like any
    // other value that was not stored.
    const bool have_key = reg.open_key(reg.context) || reg.create_key(reg.context);
    if (!have_key || !reg.set_value(reg.context, "datadir", datadir != nullptr ? datadir : ".")) {
        platform_message_box(messages::datadir_not_saved, messages::caption_error,
                             MessageIcon::error, MessageOwner::none);
    }
    // The message and the names of the switches not stored; a fixed buffer, so that the
    // Windows program links no string class for it.
    char unsaved[sizeof messages::settings_not_saved + 64] = "";
    std::size_t length = 0;
    for (const SwitchSetting& s : switch_settings) {
        char text[16];
        std::snprintf(text, sizeof text, "%d", *s.value);
        if (!have_key || !reg.set_value(reg.context, s.name, text)) {
            const int n = std::snprintf(unsaved + length, sizeof unsaved - length, "%s%s",
                                        length == 0 ? messages::settings_not_saved : ", ", s.name);
            length = std::min(length + static_cast<std::size_t>(n), sizeof unsaved - 1);
        }
    }
    if (have_key) {
        reg.close_key(reg.context);
    }
    if (length != 0) {
        platform_message_box(unsaved, messages::caption_error, MessageIcon::error,
                             MessageOwner::none);
    }
    return 1;
}

}  // namespace zelm
