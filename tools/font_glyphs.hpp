// The 8x8 bitmap font of the text overlay: printable ASCII 32 to 126. Each glyph is eight rows,
// top row first; in each row bit 7 is the leftmost pixel. Capitals stand on row 6, descenders
// reach row 7, and column 7 stays clear as the gap to the next character.
#pragma once

#include <cstdint>

namespace zelm {

constexpr int first_glyph = 32;
constexpr int glyph_count = 95;

extern const std::uint8_t font_glyphs[glyph_count][8];

}  // namespace zelm
