// PNG export of the procedural images, for looking at them: RGBA with index 255 as transparent
// white, the way the texture loader expands them.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/pcx_writer.hpp"

namespace zelm {

// The image as RGBA bytes, rows top first, the way the texture loader expands it.
std::vector<std::uint8_t> to_rgba(const IndexedImage& image);

// Writes image to path as an 8-bit RGBA PNG. Returns 1, or 0 when the file cannot be written.
int write_png(const char* path, const IndexedImage& image);

}  // namespace zelm
