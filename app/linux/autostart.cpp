#include "app/linux/autostart.hpp"

#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstring>

#include "app/linux/linux_shell.hpp"
#include "platform/replace_file.hpp"
#include "settings/xdg/registry_xdg.hpp"

namespace zelm {

namespace {

constexpr char entry_name[] = "zelm.desktop";

// Whether text is UTF-8 as a desktop entry must be (GLib refuses a key that is not): no stray
// or overlong sequence, no surrogate, nothing past U+10FFFF.
bool is_utf8(const std::string& text) {
    static constexpr std::uint32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80             ? 1
                                   : (lead & 0xE0) == 0xC0 ? 2
                                   : (lead & 0xF0) == 0xE0 ? 3
                                   : (lead & 0xF8) == 0xF0 ? 4
                                                           : 0;
        if (length == 0 || i + length > text.size()) {
            return false;
        }
        std::uint32_t code = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) {
                return false;
            }
            code = code << 6 | (next & 0x3F);
        }
        if (code < smallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
            return false;
        }
        i += length;
    }
    return true;
}

// What in program a desktop entry cannot carry, or null. A '%' could be written "%%", but GLib
// looks for the program by the name as written and finds none, so the entry would never start.
const char* unusable_in_entry(const std::string& program) {
    for (const char c : program) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) {
            return linux_messages::path_control_character;
        }
        if (c == '%') {
            return linux_messages::path_percent;
        }
    }
    return is_utf8(program) ? nullptr : linux_messages::path_not_utf8;
}

// One argument of an Exec key: quoted where the desktop entry rules reserve a character, with
// '"', '`', '$' and '\' escaped inside the quotes. Then every '\' is doubled again, since the
// key's value is itself an escaped string.
std::string exec_argument(const std::string& argument) {
    const bool quote = argument.find_first_of(" \t\"'\\><~|&;$*?#()`") != std::string::npos;
    std::string text = quote ? "\"" : "";
    for (const char c : argument) {
        if (quote && std::strchr("\"`$\\", c) != nullptr) {
            text += "\\\\";  // the quote's backslash, escaped for the string
            text += c == '\\' ? "\\\\" : std::string(1, c);
        } else {
            text += c;
        }
    }
    return quote ? text + "\"" : text;
}

// This program's own path, so that the entry runs the copy that wrote it.
std::string own_path() {
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    return length > 0 ? std::string(path, static_cast<std::size_t>(length)) : "zelm";
}

// The autostart folder, or empty (said) without a home to put it in.
std::string autostart_directory() {
    const XdgStore store = xdg_store_from_environment();
    if (store.config_home.empty()) {
        linux_report(linux_messages::no_home);
        return "";
    }
    return store.config_home + "/autostart";
}

}  // namespace

std::string autostart_entry(const std::string& program, const LinuxRequest& request) {
    std::string command =
        exec_argument(program) + " --idle " + std::to_string(request.idle_seconds);
    for (const std::string& option : saver_options(request)) {
        command += " " + option;
    }
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Zelm\n"
           "GenericName=Screen Saver\n"
           "Comment=Shows the Zelm screen saver after " +
           std::to_string(request.idle_seconds) +
           " seconds without input\n"
           "Exec=" +
           command +
           "\n"
           "Icon=zelm\n"
           "Terminal=false\n"
           "X-GNOME-Autostart-enabled=true\n";
}

int write_autostart(const LinuxRequest& request) {
    const std::string program = own_path();
    if (const char* what = unusable_in_entry(program)) {
        linux_report(linux_messages::autostart_path_unusable, program.c_str(), what);
        return 1;
    }
    const std::string directory = autostart_directory();
    if (directory.empty()) {
        return 1;
    }
    std::string why;
    if (!xdg_make_directories(directory, 0700)) {
        why = std::strerror(errno);
    }
    if (!why.empty() ||
        !replace_file(directory, entry_name, autostart_entry(program, request), why)) {
        linux_report(linux_messages::autostart_not_written, directory.c_str(), entry_name,
                     why.c_str());
        return 1;
    }
    return 0;
}

int remove_autostart() {
    const std::string directory = autostart_directory();
    if (directory.empty()) {
        return 1;
    }
    const std::string path = directory + "/" + entry_name;
    if (unlink(path.c_str()) != 0 && errno != ENOENT) {
        linux_report(linux_messages::autostart_not_removed, path.c_str(), std::strerror(errno));
        return 1;
    }
    return 0;
}

}  // namespace zelm
