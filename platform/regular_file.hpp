// Opening a file that must hold bytes: the settings values and the texture files. Anything else
// found under such a name (a FIFO, a device, a directory, a socket) could block the open or a
// read for ever, so it is refused before a single byte is read.
#pragma once

#include <cstdio>

namespace zelm {

// Opens path for reading in binary mode when it is a regular file (or a link to one). Returns
// null otherwise, with errno from the failed open (ENOENT for a missing file) or EINVAL when
// the name is something other than a regular file.
std::FILE* open_regular_file(const char* path);

}  // namespace zelm
