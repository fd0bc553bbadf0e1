// The settings key in XDG config directories: "Software\Varno\ZELM" becomes the directory
// Varno/ZELM, and each subkey a file in it holding the value's text.
//
// Reads look in $XDG_CONFIG_HOME (default ~/.config) first, then in each directory of
// $XDG_CONFIG_DIRS (default /etc/xdg); the first directory that has a value's file decides it.
// Writes go to $XDG_CONFIG_HOME only, each value atomically (temporary file, fsync, rename,
// fsync of the directory), so a crash leaves either the old text or the new one. A value's file
// holds its text followed by one newline; files edited by hand may leave the newline out.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "settings/settings.hpp"

namespace zelm {

inline constexpr char xdg_key_path[] = "Varno/ZELM";

struct XdgStore {
    std::string config_home;               // where values are written; empty: none usable
    std::vector<std::string> config_dirs;  // read after config_home, in this order
};

// The store as the environment names it. Relative and empty entries are ignored, as the XDG
// base-directory rules ask; without $XDG_CONFIG_HOME and $HOME there is no writable home.
XdgStore xdg_store_from_environment();

// Creates path and any missing parents with mode; an existing directory is success.
bool xdg_make_directories(const std::string& path, mode_t mode);

// A registry over store; the store must outlive every use of the result.
SettingsRegistry xdg_settings_registry(XdgStore& store);

// The value held in a file's contents: one trailing newline, which write adds and editors
// usually add, is not part of the value.
std::string xdg_value_text(const std::string& file_contents);

}  // namespace zelm
