// zelm in XScreenSaver's list of programs: the "programs" resource of ~/.xscreensaver, read as
// XScreenSaver reads it. A line that ends in a backslash goes on in the next one, escapes are
// read ("\n" ends an entry), and an entry ("[-] [VISUAL:] ["NAME"] COMMAND", a leading "-"
// disabling it) is everything up to its "\n", over as many lines as it takes. An entry is zelm's
// when its command is zelm, by any path. Only zelm's entries change; every other byte of the
// file is kept.
#pragma once

#include <string>
#include <vector>

namespace zelm {

// The entry that packaging/zelm.xml's command gives.
inline constexpr char xscreensaver_zelm_entry[] = "GL: zelm --root";

// A changed file's text, or why it cannot be changed safely (then error is set and text is the
// old one).
struct ProgramsEdit {
    std::string text;
    std::string error;
};

// The file's text with zelm's entry first in its programs; text unchanged when an enabled zelm
// entry is there already. A file without programs gets defaults_block (the daemon's own
// "programs:" lines, see xscreensaver_default_programs) appended first; without those, text
// stays as it is.
ProgramsEdit xscreensaver_with_zelm(const std::string& text, const std::string& defaults_block);

// The file's text without zelm's entries, enabled or not: each goes with the lines it fills.
ProgramsEdit xscreensaver_without_zelm(const std::string& text);

// The entries of the file's programs list as XScreenSaver runs them: escapes read, blanks
// trimmed, empty ones left out.
std::vector<std::string> xscreensaver_programs(const std::string& text);

// The "programs:" lines of an XScreenSaver app-defaults file ("*programs:"), named as
// ~/.xscreensaver names them; empty when it has none.
std::string xscreensaver_default_programs(const std::string& app_defaults);

// --xscreensaver-add (add 1) or --xscreensaver-remove (add 0) on $HOME/.xscreensaver, which is
// replaced whole (a temporary file renamed over it) and only when it changes. Says what it did
// on stdout, or why it could not on stderr; returns the exit code, 0 or 1.
int xscreensaver_edit_programs(int add);

}  // namespace zelm
