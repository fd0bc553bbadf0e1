// The settings key as a directory of one-value files under the XDG config directories.
#include "settings/xdg/registry_xdg.hpp"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/regular_file.hpp"
#include "platform/replace_file.hpp"
#include "settings/settings.hpp"

namespace zelm {

namespace {

// An environment variable that is set and not empty, or null.
const char* environment_value(const char* name) {
    const char* value = std::getenv(name);
    return (value != nullptr && value[0] != '\0') ? value : nullptr;
}

// The XDG rules ignore relative paths.
bool is_absolute(const std::string& path) {
    return !path.empty() && path[0] == '/';
}

// $HOME, or the password database's home when it is unset.
std::string home_directory() {
    if (const char* home = environment_value("HOME")) {
        return home;
    }
    const passwd* entry = getpwuid(getuid());
    return (entry != nullptr && entry->pw_dir != nullptr) ? entry->pw_dir : "";
}

// The key's directory under one base directory.
std::string key_directory(const std::string& base) {
    return base + "/" + xdg_key_path;
}

// True for an existing directory (or a link to one).
bool is_directory(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

bool xdg_make_directories(const std::string& path, mode_t mode) {
    if (is_directory(path)) {
        return true;
    }
    for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string prefix = path.substr(0, slash);
        if (mkdir(prefix.c_str(), mode) != 0 && errno != EEXIST) {
            return false;
        }
        if (slash == std::string::npos) {
            break;
        }
    }
    return is_directory(path);
}

namespace {

// Outcome of looking for a value in one base directory.
enum class ReadResult { missing, failed, read };

// Reads base/Varno/ZELM/subkey into buf when its text fits in capacity bytes with the
// terminator.
ReadResult read_value(const std::string& base, const char* subkey, char* buf, int capacity) {
    const std::string path = key_directory(base) + "/" + subkey;
    std::FILE* file = open_regular_file(path.c_str());
    if (file == nullptr) {
        return (errno == ENOENT || errno == ENOTDIR) ? ReadResult::missing : ReadResult::failed;
    }
    // Enough for the largest value that fits, its newline, and one byte to see it is longer.
    const std::size_t limit = static_cast<std::size_t>(capacity) + 1;
    std::string contents(limit, '\0');
    const std::size_t got = std::fread(contents.data(), 1, limit, file);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        return ReadResult::failed;
    }
    contents.resize(got);
    const std::string text = xdg_value_text(contents);
    if (text.size() + 1 > static_cast<std::size_t>(capacity)) {
        return ReadResult::failed;
    }
    // Like a registry string, the value ends at its first NUL.
    std::memcpy(buf, text.c_str(), text.size() + 1);
    return ReadResult::read;
}

// The store behind a registry's context.
XdgStore& store_of(void* context) {
    return *static_cast<XdgStore*>(context);
}

// Every base directory in the order reads search them.
std::vector<std::string> read_order(const XdgStore& store) {
    std::vector<std::string> bases;
    if (!store.config_home.empty()) {
        bases.push_back(store.config_home);
    }
    bases.insert(bases.end(), store.config_dirs.begin(), store.config_dirs.end());
    return bases;
}

// The key is there when any base directory has it.
int xdg_open_key(void* context) {
    for (const std::string& base : read_order(store_of(context))) {
        if (is_directory(key_directory(base))) {
            return 1;
        }
    }
    return 0;
}

// Creates the key in the config home.
int xdg_create_key(void* context) {
    const XdgStore& store = store_of(context);
    if (store.config_home.empty()) {
        return 0;
    }
    // A config home made here is private, as the XDG rules ask; the key below it is not.
    if (!xdg_make_directories(store.config_home, 0700)) {
        return 0;
    }
    return xdg_make_directories(key_directory(store.config_home), 0755) ? 1 : 0;
}

// The first base directory that has the value's file decides it: a value the user cannot
// read does not fall back to the system's.
int xdg_query_value(void* context, const char* subkey, char* buf, int capacity) {
    for (const std::string& base : read_order(store_of(context))) {
        switch (read_value(base, subkey, buf, capacity)) {
            case ReadResult::read:
                return 1;
            case ReadResult::failed:
                return 0;
            case ReadResult::missing:
                break;
        }
    }
    return 0;
}

// Stores text as the value of subkey in the config home, creating the key there if needed.
int xdg_set_value(void* context, const char* subkey, const char* text) {
    const XdgStore& store = store_of(context);
    if (!xdg_create_key(context)) {
        return 0;
    }
    const std::string dir = key_directory(store.config_home);
    std::string why;
    return replace_file(dir, subkey, std::string(text) + "\n", why) ? 1 : 0;
}

// Nothing is held open between calls.
void xdg_close_key(void*) {}

}  // namespace

// Drops the one trailing newline, if any.
std::string xdg_value_text(const std::string& file_contents) {
    if (!file_contents.empty() && file_contents.back() == '\n') {
        return file_contents.substr(0, file_contents.size() - 1);
    }
    return file_contents;
}

// $XDG_CONFIG_HOME or ~/.config, and $XDG_CONFIG_DIRS or /etc/xdg.
XdgStore xdg_store_from_environment() {
    XdgStore store;
    if (const char* home = environment_value("XDG_CONFIG_HOME"); home && is_absolute(home)) {
        store.config_home = home;
    } else if (const std::string user_home = home_directory(); is_absolute(user_home)) {
        store.config_home = user_home + "/.config";
    }
    const char* dirs = environment_value("XDG_CONFIG_DIRS");
    const std::string list = dirs != nullptr ? dirs : "/etc/xdg";
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t end = list.find(':', start);
        if (end == std::string::npos) {
            end = list.size();
        }
        const std::string entry = list.substr(start, end - start);
        if (is_absolute(entry)) {
            store.config_dirs.push_back(entry);
        }
        start = end + 1;
    }
    return store;
}

// The registry functions over store.
SettingsRegistry xdg_settings_registry(XdgStore& store) {
    return SettingsRegistry{&store,          xdg_open_key,  xdg_create_key,
                            xdg_query_value, xdg_set_value, xdg_close_key};
}

}  // namespace zelm
