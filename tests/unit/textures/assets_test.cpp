#include <gtest/gtest.h>
#include <png.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/support/recording_gl.hpp"
#include "textures/pcx_loader.hpp"
#include "tools/asset_images.hpp"
#include "tools/font_glyphs.hpp"
#include "tools/png_writer.hpp"

namespace zelm {
namespace {

using Bytes = std::vector<std::uint8_t>;

// The bytes of the committed data file name; none when it cannot be read.
Bytes read_data_file(const std::string& name) {
    const std::string path = std::string(ZELM_DATA_DIR) + "/" + name;
    Bytes bytes;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        ADD_FAILURE() << "cannot open " << path;
        return bytes;
    }
    for (int c = std::getc(file); c != EOF; c = std::getc(file)) {
        bytes.push_back(static_cast<std::uint8_t>(c));
    }
    std::fclose(file);
    return bytes;
}

// The palette index at (x, y).
int index_at(const IndexedImage& image, int x, int y) {
    return image.indices[static_cast<std::size_t>(y) * image.width + x];
}

TEST(PcxWriter, WritesTheHeaderRowRunsAndTrailingPalette) {
    IndexedImage image{70, 2, Bytes(140, 5), {}};
    image.indices[70] = 0xC5;  // second row: one 0xC5, then 69 fives
    image.palette[3 * 255] = 42;
    const Bytes file = encode_pcx(image);
    EXPECT_EQ(Bytes(file.begin(), file.begin() + 4), (Bytes{10, 5, 1, 8}));
    EXPECT_EQ(Bytes(file.begin() + 4, file.begin() + 12), (Bytes{0, 0, 0, 0, 69, 0, 1, 0}));
    EXPECT_EQ(file[65], 1);                     // planes
    EXPECT_EQ(file[66] | (file[67] << 8), 70);  // bytes per line
    const Bytes packets(file.begin() + 128, file.end() - 769);
    EXPECT_EQ(packets, (Bytes{0xFF, 5, 0xC7, 5, 0xC1, 0xC5, 0xFF, 5, 0xC6, 5}));
    EXPECT_EQ(file[file.size() - 769], 0x0C);
    EXPECT_EQ(file[file.size() - 3], 42);
}

TEST(DataFiles, RegenerateByteForByte) {
    for (const Asset& asset : assets) {
        EXPECT_TRUE(encode_pcx(asset.make()) == read_data_file(asset.file_name))
            << asset.file_name << " differs from what tools/ makes: rebuild the assets target";
    }
}

TEST(DataFiles, LoadAsTheirImagesAtSquarePowerOfTwoSizes) {
    for (const Asset& asset : assets) {
        SCOPED_TRACE(asset.file_name);
        const IndexedImage image = asset.make();
        EXPECT_EQ(image.width, image.height);
        EXPECT_LE(image.width, 128);
        EXPECT_EQ(image.width & (image.width - 1), 0);

        glrec::reset();
        const std::string path = std::string(ZELM_DATA_DIR) + "/" + asset.file_name;
        ASSERT_EQ(load_pcx_texture(path.c_str(), 4), 1);
        ASSERT_EQ(glrec::tex_images.size(), 8u);
        EXPECT_TRUE(glrec::tex_images[0].pixels == to_rgba(image));
    }
}

TEST(DataFiles, WriteAsPngForLookingAt) {
    // The PNG files stay in the test's temporary folder for a look.
    for (const Asset& asset : assets) {
        const IndexedImage image = asset.make();
        std::string path = ::testing::TempDir() + "zelm_" + asset.file_name;
        path.replace(path.size() - 4, 4, ".png");
        ASSERT_EQ(write_png(path.c_str(), image), 1) << path;
        png_image png{};
        png.version = PNG_IMAGE_VERSION;
        ASSERT_NE(png_image_begin_read_from_file(&png, path.c_str()), 0) << path;
        png.format = PNG_FORMAT_RGBA;
        Bytes rgba(PNG_IMAGE_SIZE(png));
        ASSERT_NE(png_image_finish_read(&png, nullptr, rgba.data(), 0, nullptr), 0) << path;
        EXPECT_EQ(static_cast<int>(png.width), image.width);
        EXPECT_TRUE(rgba == to_rgba(image)) << path;
    }
}

TEST(FontImage, HoldsEachPrintableGlyphInItsCell) {
    const IndexedImage font = make_font_image();
    ASSERT_EQ(font.width, 128);
    const std::uint8_t* ink = nullptr;
    for (int code = 0; code < 256; ++code) {
        const int left = (code & 15) * 8;
        const int top = (code / 16) * 8;
        int ink_texels = 0;
        for (int row = 0; row < 8; ++row) {
            for (int col = 0; col < 8; ++col) {
                const int k = index_at(font, left + col, top + row);
                const bool printable = code >= first_glyph && code < first_glyph + glyph_count;
                const bool set =
                    printable && (font_glyphs[code - first_glyph][row] & (0x80 >> col)) != 0;
                ASSERT_EQ(k != 255, set) << "code " << code << " row " << row << " col " << col;
                ink_texels += set;
                EXPECT_FALSE(set && col == 7) << "code " << code << " fills the gap column";
                if (set) {
                    ink = &font.palette[k * 3];
                    EXPECT_EQ(Bytes(ink, ink + 3), (Bytes{255, 255, 255}));
                }
            }
        }
        EXPECT_EQ(ink_texels > 0, code > ' ' && code < 127) << "code " << code;
    }
    // 'A' (65) sits at column 1, row 4: its top row is the apex, its bottom row two legs.
    EXPECT_EQ(index_at(font, 8 + 2, 32), 1);
    EXPECT_EQ(index_at(font, 8 + 0, 32), 255);
    EXPECT_EQ(index_at(font, 8 + 0, 38), 1);
}

TEST(ParticleImage, GlowsFromABrightCentreAndLeavesNearlyBlackOut) {
    const IndexedImage glow = make_particle_image();
    const int n = glow.width;
    for (const auto& [x, y] : {std::pair{0, 0}, {n - 1, 0}, {0, n - 1}, {n - 1, n - 1}}) {
        EXPECT_EQ(index_at(glow, x, y), 255);
    }
    const auto grey = [&](int x, int y) { return glow.palette[index_at(glow, x, y) * 3]; };
    EXPECT_GE(grey(n / 2, n / 2), 250);
    // No opaque texel is nearly black: under the alternate blending it would darken the scene.
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            if (index_at(glow, x, y) != 255) {
                EXPECT_GT(grey(x, y), 16) << x << ", " << y;
            }
        }
    }
    // Along a radius: darker outward while opaque, then transparent out to the edge.
    int x = n / 2;
    for (; x < n - 1 && index_at(glow, x + 1, n / 2) != 255; ++x) {
        EXPECT_LE(grey(x + 1, n / 2), grey(x, n / 2));
    }
    EXPECT_GT(x, n / 2 + n / 8);  // the glow still reaches well out
    for (++x; x < n; ++x) {
        EXPECT_EQ(index_at(glow, x, n / 2), 255);
    }
}

TEST(HeightImage, IsOpaqueAndTilesWithoutSeams) {
    const IndexedImage water = make_height_image();
    const int n = water.width;
    double inner = 0;  // mean step between neighbouring columns and rows inside the image
    double seam = 0;   // mean step across the wrap-around edges
    for (int a = 0; a < n; ++a) {
        for (int b = 0; b < n; ++b) {
            EXPECT_NE(index_at(water, a, b), 255);
            const int right = (a + 1) % n;
            const int down = (b + 1) % n;
            const double step = std::abs(index_at(water, right, b) - index_at(water, a, b)) +
                                std::abs(index_at(water, b, down) - index_at(water, b, a));
            (a == n - 1 ? seam : inner) += step;
        }
    }
    inner /= double(n - 1) * n;
    seam /= n;
    EXPECT_GT(inner, 1.0);  // not flat
    EXPECT_LT(seam, 1.5 * inner);
}

}  // namespace
}  // namespace zelm
