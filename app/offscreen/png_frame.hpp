// PNG files of rendered frames: 8-bit RGB, top row first.
#pragma once

#include <cstdint>
#include <vector>

namespace zelm {

// Writes width x height RGB pixels (rows of width * 3 bytes, top row first) as the file name in
// the open folder folder_fd. The image goes to a new file made for it and is then renamed to
// name, so whatever had that name (a file, or a link planted there) is replaced, never written
// through. Returns 1, or 0 with errno when the file cannot be written completely; nothing is
// left behind.
int write_png_rgb(int folder_fd, const char* name, int width, int height,
                  const std::vector<std::uint8_t>& rgb);

}  // namespace zelm
