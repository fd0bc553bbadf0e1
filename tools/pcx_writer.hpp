// PCX writer: 8-bit palettised images as version 5 PCX files with run-length encoded rows and
// the 256-colour palette at the end, the format the texture loader reads.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace zelm {

// A palettised image: width * height palette indices, top row first.
struct IndexedImage {
    int width;
    int height;
    std::vector<std::uint8_t> indices;
    std::array<std::uint8_t, 768> palette;  // red, green, blue of entry k at 3k
};

// The whole PCX file for image.
std::vector<std::uint8_t> encode_pcx(const IndexedImage& image);

}  // namespace zelm
