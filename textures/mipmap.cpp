// Mipmap chain: eight levels made by point sampling, each in the same RGBA buffer as the level
// before it. Sizes are in pixels; a texel is four bytes.
#include "textures/mipmap.hpp"

#include <GL/gl.h>

#include <cstdint>
#include <cstring>

namespace zelm {

namespace {

constexpr int level_count = 8;

// Defines one level of the bound texture from the image as it stands.
void upload_level(const TextureImage& image, int level) {
    glTexImage2D(GL_TEXTURE_2D, level, 4, image.width, image.height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 image.pixels);
}

}  // namespace

void upload_mipmap_chain(TextureImage& image) {
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(image.texture_id));
    upload_level(image, 0);
    for (int level = 1; level < level_count; ++level) {
        halve_image(image);
        upload_level(image, level);
    }
    glBindTexture(GL_TEXTURE_2D, 0);
}

void halve_image(TextureImage& image) {
    const std::int32_t half_width = image.width / 2;
    const std::int32_t half_height = image.height / 2;
    // Destination texels never lie after the source texel they take, so one front-to-back pass
    // reads every source texel before it is overwritten. Pointers step through each row: an
    // integer comparison per texel is what the fuzzer's instrumentation makes expensive.
    for (std::int32_t r = 0; r < half_height; ++r) {
        const std::uint8_t* from = image.pixels + std::int64_t{2 * r} * image.width * 4;
        std::uint8_t* to = image.pixels + std::int64_t{r} * half_width * 4;
        const std::uint8_t* const row_end = to + std::int64_t{half_width} * 4;
        for (; to != row_end; to += 4, from += 8) {
            std::uint32_t texel;
            std::memcpy(&texel, from, 4);
            std::memcpy(to, &texel, 4);
        }
    }
    image.width = half_width;
    image.height = half_height;
}

}  // namespace zelm
