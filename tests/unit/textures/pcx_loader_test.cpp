#include "textures/pcx_loader.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/support/recording_gl.hpp"
#include "tests/unit/textures/pcx_test_files.hpp"

namespace zelm {
namespace {

using pcxtest::Bytes;
using pcxtest::pcx_file;
using pcxtest::ramp_palette;
using pcxtest::TempFile;

// Loads bytes as texture id after forgetting earlier GL calls.
int load(const Bytes& bytes, int id = 3) {
    const TempFile file(bytes);
    glrec::reset();
    return load_pcx_texture(file.path(), id);
}

// The RGBA texels of the level 0 upload.
Bytes level0() {
    EXPECT_FALSE(glrec::tex_images.empty());
    return glrec::tex_images.empty() ? Bytes{} : glrec::tex_images[0].pixels;
}

// RGBA texels for indices under palette; index 255 is transparent white.
Bytes expand(const Bytes& indices, const std::uint8_t* palette) {
    Bytes out;
    for (const std::uint8_t k : indices) {
        const Bytes texel =
            (k == 255) ? Bytes{255, 255, 255, 0}
                       : Bytes{palette[k * 3], palette[k * 3 + 1], palette[k * 3 + 2], 255};
        out.insert(out.end(), texel.begin(), texel.end());
    }
    return out;
}

// Texels for indices under the ramp palette.
Bytes ramp_texels(const Bytes& indices) {
    return expand(indices, ramp_palette().data());
}

// The image the decoding rules give for file, decoded from memory: bytes past the end read as
// 255 and the palette is the last 768 bytes.
Bytes decode_in_memory(const Bytes& file, std::size_t pixel_count) {
    std::size_t pos = 128;
    const auto next = [&]() -> std::uint8_t { return pos < file.size() ? file[pos++] : 255; };
    Bytes indices;
    while (indices.size() < pixel_count) {
        const std::uint8_t b = next();
        if (b < 0xC0) {
            indices.push_back(b);
            continue;
        }
        const std::uint8_t v = next();
        const std::size_t run = std::min<std::size_t>(b - 0xC0, pixel_count - indices.size());
        indices.insert(indices.end(), run, v);
    }
    return expand(indices, file.data() + file.size() - 768);
}

TEST(PcxLoader, SetsParametersUploadsEightLevelsAndUnbinds) {
    // 4x2; a run of six crosses from the first row into the second.
    ASSERT_EQ(load(pcx_file(0, 0, 3, 1, {0xC6, 9, 10, 11}), 3), 1);
    const std::vector<std::string> expected = {
        "glBindTexture(GL_TEXTURE_2D, 3)",
        "glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT)",
        "glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT)",
        "glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST)",
        "glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR)",
        "glBindTexture(GL_TEXTURE_2D, 3)",
        "glTexImage2D(GL_TEXTURE_2D, 0, 4, 4, 2, 0, GL_RGBA, GL_UNSIGNED_BYTE, 1)",
        "glTexImage2D(GL_TEXTURE_2D, 1, 4, 2, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, 1)",
        "glTexImage2D(GL_TEXTURE_2D, 2, 4, 1, 0, 0, GL_RGBA, GL_UNSIGNED_BYTE, 1)",
        "glTexImage2D(GL_TEXTURE_2D, 3, 4, 0, 0, 0, GL_RGBA, GL_UNSIGNED_BYTE, 1)",
        "glTexImage2D(GL_TEXTURE_2D, 4, 4, 0, 0, 0, GL_RGBA, GL_UNSIGNED_BYTE, 1)",
        "glTexImage2D(GL_TEXTURE_2D, 5, 4, 0, 0, 0, GL_RGBA, GL_UNSIGNED_BYTE, 1)",
        "glTexImage2D(GL_TEXTURE_2D, 6, 4, 0, 0, 0, GL_RGBA, GL_UNSIGNED_BYTE, 1)",
        "glTexImage2D(GL_TEXTURE_2D, 7, 4, 0, 0, 0, GL_RGBA, GL_UNSIGNED_BYTE, 1)",
        "glBindTexture(GL_TEXTURE_2D, 0)",
        "glBindTexture(GL_TEXTURE_2D, 0)",
    };
    EXPECT_EQ(glrec::texts(), expected);
    // The parameters travel as floats holding the enum values.
    EXPECT_EQ(glrec::gl_calls[3].args[2], double(float(GL_LINEAR_MIPMAP_NEAREST)));
    EXPECT_EQ(level0(), ramp_texels({9, 9, 9, 9, 9, 9, 10, 11}));
    EXPECT_EQ(glrec::tex_images[1].pixels, ramp_texels({9, 9}));
}

TEST(PcxLoader, DecodesPacketsByTheRunLengthRules) {
    // A run of count 0 writes nothing but consumes its value byte.
    ASSERT_EQ(load(pcx_file(0, 0, 1, 0, {0xC0, 7, 5, 0xC0, 0xFF, 6})), 1);
    EXPECT_EQ(level0(), ramp_texels({5, 6}));
    // Values of 0xC0 and above are stored as runs of one; a lone byte below 0xC0 is a literal.
    ASSERT_EQ(load(pcx_file(0, 0, 1, 0, {0xC1, 0xC5, 0x05})), 1);
    EXPECT_EQ(level0(), ramp_texels({197, 5}));
    // The surplus of a final run is dropped and the bytes after it are not pixels.
    ASSERT_EQ(load(pcx_file(0, 0, 2, 0, {0xC5, 7, 8, 8})), 1);
    EXPECT_EQ(level0(), ramp_texels({7, 7, 7}));
    // Runs continue over row ends: 3x3 from a run of 4, a literal and a run of 4.
    ASSERT_EQ(load(pcx_file(0, 0, 2, 2, {0xC4, 1, 2, 0xC4, 3})), 1);
    EXPECT_EQ(level0(), ramp_texels({1, 1, 1, 1, 2, 3, 3, 3, 3}));
}

TEST(PcxLoader, Index255IsTransparentWhiteWhateverThePaletteHolds) {
    auto palette = ramp_palette();
    palette[255 * 3] = 10;
    palette[255 * 3 + 1] = 20;
    palette[255 * 3 + 2] = 30;
    ASSERT_EQ(load(pcx_file(0, 0, 2, 0, {0xC1, 0xFF, 0xC1, 0xFE, 0}, palette)), 1);
    EXPECT_EQ(level0(), (Bytes{255, 255, 255, 0, 254, 1, 127, 255, 0, 255, 0, 255}));
}

TEST(PcxLoader, SizeComesFromTheWindowWhereverItLies) {
    ASSERT_EQ(load(pcx_file(10, 0, 73, 0, {0xC1 + 62, 4, 0xC1, 4})), 1);
    EXPECT_EQ(glrec::texts()[6],
              "glTexImage2D(GL_TEXTURE_2D, 0, 4, 64, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, 1)");
    ASSERT_EQ(load(pcx_file(-3, -200, 0, -199, {0xC8, 6})), 1);
    EXPECT_EQ(glrec::texts()[6],
              "glTexImage2D(GL_TEXTURE_2D, 0, 4, 4, 2, 0, GL_RGBA, GL_UNSIGNED_BYTE, 1)");
    // The largest side accepted.
    ASSERT_EQ(load(pcx_file(0, 0, 4095, 0, {})), 1);
    EXPECT_EQ(level0().size(), 4096u * 4u);
}

TEST(PcxLoader, UnusableFilesFailWithoutAnyGlCall) {
    const Bytes valid = pcx_file(0, 0, 1, 1, {1, 2, 3, 4});
    const auto expect_refused = [](const Bytes& bytes, const char* what) {
        EXPECT_EQ(load(bytes), 0) << what;
        EXPECT_TRUE(glrec::gl_calls.empty()) << what;
    };
    expect_refused({}, "empty file");
    expect_refused(Bytes(valid.begin(), valid.begin() + 127), "short header");
    expect_refused(Bytes(valid.begin(), valid.begin() + 128), "header only");
    expect_refused(Bytes(valid.begin(), valid.begin() + 895), "no room for header and palette");
    expect_refused(pcx_file(5, 0, 4, 0, {}), "zero width");
    expect_refused(pcx_file(0, 0, 0, -1, {}), "zero height");
    expect_refused(pcx_file(0, 3, 1, 0, {}), "negative height");
    expect_refused(pcx_file(0, 0, 4096, 0, {}), "width over 4096");
    expect_refused(pcx_file(0, 0, 0, 4096, {}), "height over 4096");
    expect_refused(pcx_file(-32768, -32768, 32767, 32767, {}), "65536 x 65536");
    expect_refused(pcx_file(32767, 0, -32768, 0, {}), "negative width");

    glrec::reset();
    EXPECT_EQ(load_pcx_texture((::testing::TempDir() + "no-such-file.pcx").c_str(), 3), 0);
    EXPECT_EQ(load_pcx_texture(::testing::TempDir().c_str(), 3), 0);  // a directory
    // A FIFO with no writer would block an ordinary open for ever.
    const std::string fifo = ::testing::TempDir() + "zelm_pcx_fifo_" + std::to_string(getpid());
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(load_pcx_texture(fifo.c_str(), 3), 0);
    std::remove(fifo.c_str());
    EXPECT_EQ(load_pcx_texture("/dev/zero", 3), 0);
    EXPECT_TRUE(glrec::gl_calls.empty());

    // A caller's smaller bound on the sides.
    const TempFile wide(pcx_file(0, 0, 256, 0, {}));
    EXPECT_EQ(load_pcx_texture_within(wide.path(), 3, 256), 0);
    EXPECT_EQ(load_pcx_texture_within(wide.path(), 3, 257), 1);
}

// 32x32 pixels of mixed packets: literals, runs that cross rows, empty runs, runs of values
// above 0xC0 and a final run longer than the pixels left. Sets indices to the image it encodes.
Bytes mixed_packets(Bytes& indices) {
    constexpr std::size_t count = 32 * 32;
    Bytes packets;
    for (int i = 0; indices.size() < count; ++i) {
        const auto v = static_cast<std::uint8_t>(i * 37 + 11);
        switch (i % 5) {
            case 0:
            case 1:
                if (v < 0xC0) {
                    packets.push_back(v);
                    indices.push_back(v);
                }
                break;
            case 2: {
                const int run = 1 + i % 7;
                packets.insert(packets.end(), {std::uint8_t(0xC0 + run), v});
                indices.insert(indices.end(), std::min<std::size_t>(run, count - indices.size()),
                               v);
                break;
            }
            case 3:
                packets.insert(packets.end(), {0xC0, v});
                break;
            default:
                packets.insert(packets.end(), {0xC1, std::uint8_t(v | 0xC0)});
                indices.push_back(v | 0xC0);
        }
    }
    return packets;
}

TEST(PcxLoader, EveryTruncationGivesNothingOrTheDecodedImage) {
    Bytes indices;
    const Bytes full = pcx_file(0, 0, 31, 31, mixed_packets(indices));
    ASSERT_GT(full.size(), 1800u);  // so that many cuts fall inside the pixel data
    ASSERT_EQ(load(full), 1);
    EXPECT_EQ(level0(), ramp_texels(indices));
    EXPECT_EQ(decode_in_memory(full, indices.size()), ramp_texels(indices));

    for (std::size_t n = 0; n < full.size() && !HasFailure(); ++n) {
        SCOPED_TRACE("cut at " + std::to_string(n));
        const Bytes cut(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(n));
        if (n < 128 + 768) {
            EXPECT_EQ(load(cut), 0);
            EXPECT_TRUE(glrec::gl_calls.empty());
        } else {
            ASSERT_EQ(load(cut), 1);
            EXPECT_EQ(level0(), decode_in_memory(cut, indices.size()));
        }
    }
}

TEST(PcxLoader, PixelsMissingAtTheEndBecomeTransparentWhite) {
    // A 128x128 window over a file that holds only the header and the palette: the palette
    // bytes decode as pixels, then every byte past the end reads as 255.
    Bytes file = pcx_file(0, 0, 127, 127, {});
    file.erase(file.begin() + 128);  // drop the marker: 896 bytes
    ASSERT_EQ(load(file), 1);
    const Bytes texels = level0();
    ASSERT_EQ(texels.size(), 128u * 128u * 4u);
    EXPECT_EQ(texels, decode_in_memory(file, 128 * 128));
    EXPECT_EQ(Bytes(texels.end() - 4, texels.end()), (Bytes{255, 255, 255, 0}));
}

}  // namespace
}  // namespace zelm
