// Replacing a file whole: the settings values, the user's XScreenSaver file and the autostart
// entry.
#pragma once

#include <string>

namespace zelm {

// Replaces dir/name with contents so that a reader sees the old file or the new one, never a
// part of either, even across a crash: a temporary ".NAME.tmpPID.SEQ" beside it, synced and
// renamed over it, then the folder synced. Where dir/name is a link, the file it leads to is
// the one replaced; a replaced file's permissions stay. False, with errno, when it cannot.
bool replace_file(const std::string& dir, const std::string& name, const std::string& contents);

}  // namespace zelm
