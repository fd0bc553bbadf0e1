// The XDG autostart entry that starts the idle watcher with the user's session (GNOME, KDE and
// most other desktops read $XDG_CONFIG_HOME/autostart, normally ~/.config/autostart).
#pragma once

#include <string>

#include "app/linux/linux_options.hpp"

namespace zelm {

// The entry's text: a desktop entry whose command runs program --idle SECONDS with the saver
// options of request. program must be one that a desktop entry can carry (write_autostart
// checks).
std::string autostart_entry(const std::string& program, const LinuxRequest& request);

// Writes the entry for this program atomically, or removes it (which is no error when there
// is none); 0 on success, else 1 after saying why on stderr. A program path that no entry can
// carry (a control character, a byte that is not UTF-8, a '%') is refused.
int write_autostart(const LinuxRequest& request);
int remove_autostart();

}  // namespace zelm
