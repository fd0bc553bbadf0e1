// The program's three textures, made procedurally: the bitmap font, the particle glow and the
// mesh's water surface. Index 255 is the loader's transparent white.
#pragma once

#include "tools/pcx_writer.hpp"

namespace zelm {

// 128x128: 16x16 cells of 8x8; the cell of code c at column c & 15, row c / 16. Glyph texels
// are opaque white, everything else index 255.
IndexedImage make_font_image();

// 64x64: a soft round glow, white at the centre fading to nearly black; index 255 outside the
// disc and where the glow is nearly black.
IndexedImage make_particle_image();

// 128x128: rippled water with a web of caustic light, seamless when tiled.
IndexedImage make_height_image();

// One data file and the image it holds.
struct Asset {
    const char* file_name;
    IndexedImage (*make)();
};

constexpr Asset assets[] = {
    {"font.pcx", make_font_image},
    {"particle.pcx", make_particle_image},
    {"height.pcx", make_height_image},
};

}  // namespace zelm
