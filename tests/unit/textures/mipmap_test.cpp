#include "textures/mipmap.hpp"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "tests/support/recording_gl.hpp"

namespace zelm {
namespace {

using Bytes = std::vector<std::uint8_t>;

// An image whose pixel (x, y) holds value(x, y) in all four bytes.
template <typename F>
Bytes pattern(int width, int height, F value) {
    Bytes pixels;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            pixels.insert(pixels.end(), 4, static_cast<std::uint8_t>(value(x, y)));
        }
    }
    return pixels;
}

// The first width * height pixels of image, one byte (the red one) per pixel.
Bytes red_bytes(const TextureImage& image) {
    Bytes out;
    for (int i = 0; i < image.width * image.height; ++i) {
        out.push_back(image.pixels[i * 4]);
    }
    return out;
}

TEST(HalveImage, KeepsEverySecondPixelOfEverySecondRow) {
    Bytes pixels = pattern(4, 4, [](int x, int y) { return 10 * y + x; });
    TextureImage image{4, 4, 7, pixels.data()};
    halve_image(image);
    EXPECT_EQ(std::make_pair(image.width, image.height), std::make_pair(2, 2));
    EXPECT_EQ(red_bytes(image), (Bytes{0, 2, 20, 22}));
    EXPECT_EQ(Bytes(pixels.begin(), pixels.begin() + 16),
              pattern(2, 2, [](int x, int y) { return 20 * y + 2 * x; }));
    halve_image(image);
    EXPECT_EQ(std::make_pair(image.width, image.height), std::make_pair(1, 1));
    EXPECT_EQ(red_bytes(image), (Bytes{0}));
    EXPECT_EQ(image.texture_id, 7);
}

TEST(HalveImage, OddAndTinySizesLoseTheirLastColumnOrRow) {
    Bytes pixels = pattern(5, 3, [](int x, int y) { return 10 * y + x; });
    TextureImage image{5, 3, 1, pixels.data()};
    halve_image(image);
    EXPECT_EQ(std::make_pair(image.width, image.height), std::make_pair(2, 1));
    EXPECT_EQ(red_bytes(image), (Bytes{0, 2}));

    const std::pair<int, int> sizes[][2] = {
        {{1, 1}, {0, 0}}, {{0, 0}, {0, 0}}, {{3, 1}, {1, 0}}, {{1, 7}, {0, 3}}, {{7, 2}, {3, 1}}};
    for (const auto& [from, to] : sizes) {
        Bytes buffer(static_cast<std::size_t>(from.first * from.second * 4) + 1, 9);
        TextureImage tiny{from.first, from.second, 1, buffer.data()};
        halve_image(tiny);
        EXPECT_EQ(std::make_pair(tiny.width, tiny.height), to) << from.first << "x" << from.second;
    }
}

TEST(HalveImage, CopiesAlphaWithoutMixingNeighbours) {
    // Transparent texels on even columns stay transparent; the odd ones are never looked at.
    Bytes pixels;
    for (int i = 0; i < 4 * 2; ++i) {
        const bool clear = i % 2 == 0;
        pixels.insert(pixels.end(), {255, 255, 255, std::uint8_t(clear ? 0 : 255)});
    }
    TextureImage image{4, 2, 1, pixels.data()};
    halve_image(image);
    EXPECT_EQ(Bytes(pixels.begin(), pixels.begin() + 8),
              (Bytes{255, 255, 255, 0, 255, 255, 255, 0}));
}

// The (width, height) of each level that upload_mipmap_chain defines for a width x height image.
std::vector<std::pair<int, int>> uploaded_sizes(int width, int height) {
    Bytes pixels(static_cast<std::size_t>(width) * height * 4, 0);
    TextureImage image{width, height, 4, pixels.data()};
    glrec::reset();
    upload_mipmap_chain(image);
    std::vector<std::pair<int, int>> sizes;
    for (const glrec::TexImage& level : glrec::tex_images) {
        EXPECT_EQ(level.level, static_cast<int>(sizes.size()));
        EXPECT_EQ(level.texture, 4u);
        sizes.emplace_back(level.width, level.height);
    }
    EXPECT_EQ(std::make_pair(image.width, image.height), sizes.back());
    return sizes;
}

TEST(UploadMipmapChain, AlwaysDefinesEightLevels) {
    using Sizes = std::vector<std::pair<int, int>>;
    EXPECT_EQ(uploaded_sizes(128, 128),
              (Sizes{{128, 128}, {64, 64}, {32, 32}, {16, 16}, {8, 8}, {4, 4}, {2, 2}, {1, 1}}));
    EXPECT_EQ(
        uploaded_sizes(256, 256),
        (Sizes{{256, 256}, {128, 128}, {64, 64}, {32, 32}, {16, 16}, {8, 8}, {4, 4}, {2, 2}}));
    EXPECT_EQ(uploaded_sizes(64, 64),
              (Sizes{{64, 64}, {32, 32}, {16, 16}, {8, 8}, {4, 4}, {2, 2}, {1, 1}, {0, 0}}));
    EXPECT_EQ(uploaded_sizes(32, 8),
              (Sizes{{32, 8}, {16, 4}, {8, 2}, {4, 1}, {2, 0}, {1, 0}, {0, 0}, {0, 0}}));
}

TEST(UploadMipmapChain, LevelNHoldsTheLevel0PixelsAtMultiplesOfTwoToTheN) {
    Bytes pixels = pattern(32, 8, [](int x, int y) { return 32 * y + x; });
    TextureImage image{32, 8, 2, pixels.data()};
    glrec::reset();
    upload_mipmap_chain(image);
    EXPECT_EQ(glrec::texts_without({glrec::Fn::TexImage2D}),
              (std::vector<std::string>{"glBindTexture(GL_TEXTURE_2D, 2)",
                                        "glBindTexture(GL_TEXTURE_2D, 0)"}));
    ASSERT_EQ(glrec::tex_images.size(), 8u);
    for (int n = 0; n < 4; ++n) {
        const int step = 1 << n;
        EXPECT_EQ(
            glrec::tex_images[n].pixels,
            pattern(32 >> n, 8 >> n, [step](int x, int y) { return 32 * y * step + x * step; }))
            << "level " << n;
    }
}

}  // namespace
}  // namespace zelm
