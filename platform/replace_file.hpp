// Replacing a file whole: the settings values, the user's XScreenSaver file and the autostart
// entry.
#pragma once

#include <string>

namespace zelm {

// Replaces dir/name with contents so that a reader sees the old file or the new one, never a
// part of either, even across a crash: a temporary ".NAME.tmpPID.SEQ" beside it, synced and
// renamed over it, then the folder synced. Where dir/name is a link, the file it leads to is
// the one replaced. The new file keeps the old one's permissions, and its owner and group where
// the caller may give them (root may). Temporary files of NAME whose writer died (a kill in the
// middle of a write) go first. False, with why in words, when it cannot: among other reasons,
// a link that leads nowhere and a file its owner made read-only, which are the user's to settle.
bool replace_file(const std::string& dir, const std::string& name, const std::string& contents,
                  std::string& why);

}  // namespace zelm
