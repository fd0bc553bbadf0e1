// The folder zelm-capture writes its frames into, made when missing and refused when another
// local user could redirect what is written there.
#pragma once

#include <string>

namespace zelm {

// Opens path as a folder, creating it (and its parents) first when missing. The folder must be
// the user's own, or root's and closed to other writers (not writable by others, or sticky, as
// /tmp is). Returns the open folder's descriptor, or -1 with the reason in error.
int open_output_folder(const std::string& path, std::string& error);

}  // namespace zelm
