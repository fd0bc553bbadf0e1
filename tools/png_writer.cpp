// PNG export through libpng's simplified API.
#include "tools/png_writer.hpp"

#include <png.h>

namespace zelm {

std::vector<std::uint8_t> to_rgba(const IndexedImage& image) {
    std::vector<std::uint8_t> rgba;
    rgba.reserve(image.indices.size() * 4);
    for (const std::uint8_t k : image.indices) {
        if (k == 255) {
            rgba.insert(rgba.end(), {255, 255, 255, 0});
        } else {
            rgba.insert(rgba.end(), image.palette.begin() + k * 3,
                        image.palette.begin() + k * 3 + 3);
            rgba.push_back(255);
        }
    }
    return rgba;
}

int write_png(const char* path, const IndexedImage& image) {
    const std::vector<std::uint8_t> rgba = to_rgba(image);
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(image.width);
    png.height = static_cast<png_uint_32>(image.height);
    png.format = PNG_FORMAT_RGBA;
    return png_image_write_to_file(&png, path, 0, rgba.data(), 0, nullptr) != 0 ? 1 : 0;
}

}  // namespace zelm
