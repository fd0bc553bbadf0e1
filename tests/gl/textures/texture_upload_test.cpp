#include <GL/gl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/offscreen/egl_offscreen.hpp"
#include "textures/pcx_loader.hpp"
#include "tools/asset_images.hpp"
#include "tools/png_writer.hpp"

namespace zelm {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Level n of image as the loader defines it: pixel (c, r) is level 0's (c * 2^n, r * 2^n).
Bytes expected_level(const IndexedImage& image, int n) {
    const Bytes level0 = to_rgba(image);
    Bytes out;
    for (int r = 0; r < (image.height >> n); ++r) {
        for (int c = 0; c < (image.width >> n); ++c) {
            const auto texel =
                level0.begin() + ((std::ptrdiff_t{r} << n) * image.width + (c << n)) * 4;
            out.insert(out.end(), texel, texel + 4);
        }
    }
    return out;
}

// Reads level n of the bound texture back as RGBA bytes.
Bytes read_level(int n) {
    GLint width = 0;
    GLint height = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, n, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, n, GL_TEXTURE_HEIGHT, &height);
    Bytes pixels(static_cast<std::size_t>(width) * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, n, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

TEST(TextureUpload, DataFilesReadBackAsTheirImagesAtEveryLevel) {
    EglOffscreen egl{};
    ASSERT_EQ(egl_offscreen_create(egl, 64, 64), 1);
    int id = 2;
    for (const Asset& asset : assets) {
        SCOPED_TRACE(asset.file_name);
        const std::string path = std::string(ZELM_DATA_DIR) + "/" + asset.file_name;
        ASSERT_EQ(load_pcx_texture(path.c_str(), id), 1);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        GLint binding = -1;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &binding);
        EXPECT_EQ(binding, 0);

        glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(id));
        GLint wrap = 0;
        GLint min_filter = 0;
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &wrap);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &min_filter);
        EXPECT_EQ(wrap, GL_REPEAT);
        EXPECT_EQ(min_filter, GL_LINEAR_MIPMAP_NEAREST);

        const IndexedImage image = asset.make();
        for (const int level : {0, 3, 5}) {
            EXPECT_TRUE(read_level(level) == expected_level(image, level)) << "level " << level;
        }
        GLint last_width = -1;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 7, GL_TEXTURE_WIDTH, &last_width);
        EXPECT_EQ(last_width, image.width >> 7);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        glBindTexture(GL_TEXTURE_2D, 0);
        ++id;
    }
    egl_offscreen_destroy(egl);
}

}  // namespace
}  // namespace zelm
