// PNG export through libpng's simplified API.
#include "tools/png_writer.hpp"

#include <png.h>

#include <cstddef>
#include <vector>

namespace zelm {

int write_png(const char* path, const IndexedImage& image) {
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(image.width) * image.height * 4);
    for (std::size_t i = 0; i < image.indices.size(); ++i) {
        const int k = image.indices[i];
        std::uint8_t* texel = &rgba[i * 4];
        const bool clear = (k == 255);
        texel[0] = clear ? 255 : image.palette[k * 3];
        texel[1] = clear ? 255 : image.palette[k * 3 + 1];
        texel[2] = clear ? 255 : image.palette[k * 3 + 2];
        texel[3] = clear ? 0 : 255;
    }
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(image.width);
    png.height = static_cast<png_uint_32>(image.height);
    png.format = PNG_FORMAT_RGBA;
    return png_image_write_to_file(&png, path, 0, rgba.data(), 0, nullptr) != 0 ? 1 : 0;
}

}  // namespace zelm
