// PCX texture loader: one 8-bit palettised, run-length encoded PCX file into an OpenGL texture
// object with a fixed chain of eight mipmap levels, under a texture name the caller chooses.
#pragma once

#include <cstdint>

namespace zelm {

// The decoded image handed to the mipmap stage: RGBA rows of width * 4 bytes, back to back.
struct TextureImage {
    std::int32_t width;
    std::int32_t height;
    std::int32_t texture_id;
    std::uint8_t* pixels;
};

// Larger windows are refused: no texture of ours comes near it, and a hostile header could
// otherwise ask for gigabytes.
inline constexpr std::int32_t pcx_max_side = 4096;

// Loads path into texture_id. Returns 1, or 0 without any OpenGL call when the file cannot be
// used (missing, not a regular file, too short, or a window wider or taller than
// pcx_max_side). Needs a current OpenGL context; leaves the GL_TEXTURE_2D binding at 0.
int load_pcx_texture(const char* path, int texture_id);

// The same with another bound on the window's sides; the fuzzer uses a smaller one.
int load_pcx_texture_within(const char* path, int texture_id, std::int32_t max_side);

}  // namespace zelm
