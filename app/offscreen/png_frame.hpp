// PNG files of rendered frames: 8-bit RGB, top row first.
#pragma once

#include <cstdint>
#include <vector>

namespace zelm {

// Writes width x height RGB pixels (rows of width * 3 bytes, top row first) to path. Returns 1,
// or 0 when the file cannot be written completely; no partial file is left behind.
int write_png_rgb(const char* path, int width, int height, const std::vector<std::uint8_t>& rgb);

}  // namespace zelm
