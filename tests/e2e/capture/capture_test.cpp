// zelm-capture end to end: runs the program, reads the PNG frames it writes and checks the
// picture: the overlay's pixels against the font image, where the particles and the mesh are,
// how the sprites blend, and the failures.
#include <gtest/gtest.h>
#include <png.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "scene/scene.hpp"
#include "tests/support/recording_gl.hpp"
#include "textures/pcx_loader.hpp"

namespace zelm {
namespace {

namespace fs = std::filesystem;

constexpr int width = 640;
constexpr int height = 480;

struct CaptureRun {
    int exit_code;
    std::string out;  // stdout
    std::string err;  // stderr
};

std::string read_file(const fs::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// A fresh folder for one run's frames and logs.
fs::path fresh_dir(const std::string& name) {
    const fs::path dir = fs::path(::testing::TempDir()) / ("capture_" + name);
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

// Runs zelm-capture with args (already quoted where needed) and collects what it printed. Its
// data folder is the checkout's, found only through the settings of a user of its own.
CaptureRun run_capture(const std::string& args, const fs::path& logs) {
    fs::create_directories(logs / "config/Varno/ZELM");
    std::ofstream(logs / "config/Varno/ZELM/datadir") << ZELM_DATA_DIR << "\n";
    const std::string command = "XDG_CONFIG_HOME='" + (logs / "config").string() +
                                "' XDG_CONFIG_DIRS='" + (logs / "none").string() + "' '" +
                                ZELM_CAPTURE + "' " + args + " >'" + (logs / "stdout").string() +
                                "' 2>'" + (logs / "stderr").string() + "'";
    const int status = std::system(command.c_str());
    return CaptureRun{WIFEXITED(status) ? WEXITSTATUS(status) : -1, read_file(logs / "stdout"),
                      read_file(logs / "stderr")};
}

struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;
    const std::uint8_t* at(int x, int y) const {
        return &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
    }
};

// Reads an 8-bit RGB PNG; an empty image when it cannot.
Image read_png(const fs::path& path) {
    Image image;
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&png, path.c_str())) {
        ADD_FAILURE() << "cannot read " << path << ": " << png.message;
        return image;
    }
    png.format = PNG_FORMAT_RGB;
    image.width = static_cast<int>(png.width);
    image.height = static_cast<int>(png.height);
    image.rgb.resize(PNG_IMAGE_SIZE(png));
    if (!png_image_finish_read(&png, nullptr, image.rgb.data(), 0, nullptr)) {
        ADD_FAILURE() << "cannot decode " << path << ": " << png.message;
        return Image{};
    }
    return image;
}

// Renders frames with the given options into a fresh folder and returns the folder.
fs::path capture(const std::string& name, const std::string& options) {
    const fs::path dir = fresh_dir(name);
    const CaptureRun run = run_capture("--out '" + dir.string() + "' " + options, dir);
    EXPECT_EQ(run.exit_code, 0) << run.err;
    return dir;
}

Image frame(const fs::path& dir, int index) {
    char name[32];
    std::snprintf(name, sizeof name, "frame-%04d.png", index);
    return read_png(dir / name);
}

// The font image's level 0 as the texture loader hands it to OpenGL: RGBA, 128 x 128.
struct FontImage {
    int width = 0;
    std::vector<std::uint8_t> rgba;
};

const FontImage& font_image() {
    static FontImage font = [] {
        FontImage f;
        glrec::reset();
        const std::string path = std::string(ZELM_DATA_DIR) + "/font.pcx";
        EXPECT_EQ(load_pcx_texture(path.c_str(), 2), 1);
        if (!glrec::tex_images.empty()) {
            f.width = glrec::tex_images[0].width;
            f.rgba = glrec::tex_images[0].pixels;
        }
        return f;
    }();
    return font;
}

// Expects text drawn at overlay (x0, y0) pixel for pixel: each glyph is the font cell's 8 x 8
// texels at half their alpha over a black background.
void expect_text_pixels(const Image& image, const std::string& text, int x0, int y0) {
    const FontImage& font = font_image();
    ASSERT_EQ(font.width, 128);
    int mismatches = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const int code = static_cast<unsigned char>(text[i]);
        for (int py = 0; py < 8; ++py) {
            for (int px = 0; px < 8; ++px) {
                const std::uint8_t* texel =
                    &font.rgba[((code / 16 * 8 + py) * font.width + (code % 16) * 8 + px) * 4];
                const std::uint8_t* pixel = image.at(x0 + static_cast<int>(i) * 8 + px, y0 + py);
                const double alpha = texel[3] / 255.0 * 0.5;
                for (int c = 0; c < 3; ++c) {
                    if (std::abs(pixel[c] - texel[c] * alpha) > 2.0 && ++mismatches <= 5) {
                        ADD_FAILURE() << "glyph '" << text[i] << "' texel (" << px << ", " << py
                                      << ") channel " << c << ": pixel " << int(pixel[c])
                                      << ", font " << texel[c] * alpha;
                    }
                }
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
}

// The sum of all channels over a rectangle.
long brightness(const Image& image, int x0, int y0, int x1, int y1) {
    long sum = 0;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            const std::uint8_t* p = image.at(x, y);
            sum += p[0] + p[1] + p[2];
        }
    }
    return sum;
}

TEST(Capture, TenFramesAtSixteenMillisecondsShowTheMeterAndTheCredit) {
    const fs::path dir = capture("ten", "--frames 10 --frame-ms 16");
    for (int i = 0; i < 10; ++i) {
        const Image image = frame(dir, i);
        EXPECT_EQ(image.width, width);
        EXPECT_EQ(image.height, height);
    }
    EXPECT_FALSE(fs::exists(dir / "frame-0010.png"));
    // 11 ticks (setup's and ten frames') over 176 ms.
    expect_text_pixels(frame(dir, 9), "fps = 62.5000", 0, 0);

    // The credit line at y 470 over a black background once the mesh is left out.
    const fs::path flat = capture("ten_flat", "--frames 10 --frame-ms 16 --heightfield 0");
    const Image image = frame(flat, 9);
    expect_text_pixels(image, "fps = 62.5000", 0, 0);
    expect_text_pixels(image, scene_credit_line, 0, 470);
    EXPECT_EQ(brightness(image, 0, 478, width, height), 0);  // nothing below the credit line
}

TEST(Capture, ParticlesRiseAroundTheCentreOfTheWidth) {
    const fs::path dir =
        capture("particles", "--frames 40 --frame-ms 48 --heightfield 0 --start-ms 777");
    const Image image = frame(dir, 39);
    // Everything lit between the two text lines is a sprite.
    long lit = 0;
    double sum_x = 0;
    int min_x = width, max_x = 0;
    for (int y = 8; y < 470; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* p = image.at(x, y);
            if (p[0] + p[1] + p[2] > 30) {
                ++lit;
                sum_x += x;
                min_x = std::min(min_x, x);
                max_x = std::max(max_x, x);
            }
        }
    }
    ASSERT_GT(lit, 50);
    EXPECT_NEAR(sum_x / lit, 320.0, 20.0);
    EXPECT_GT(min_x, 160);
    EXPECT_LT(max_x, 480);
}

TEST(Capture, HeightfieldZeroLeavesTheMeshOut) {
    const fs::path with = capture("mesh_on", "--frames 30");
    const fs::path without = capture("mesh_off", "--frames 30 --heightfield 0");
    // The lower corners lie on the mesh, far from the particles.
    const Image on = frame(with, 29);
    const Image off = frame(without, 29);
    EXPECT_GT(brightness(on, 0, 300, 160, 460), 160L * 160 * 30);
    EXPECT_GT(brightness(on, 480, 300, 640, 460), 160L * 160 * 30);
    EXPECT_EQ(brightness(off, 0, 300, 160, 460), 0);
    EXPECT_EQ(brightness(off, 480, 300, 640, 460), 0);
}

TEST(Capture, AltBlendChangesOnlyHowTheSpritesBlend) {
    // Both runs see the same particles: the same start time seeds the same spiral.
    const std::string options = "--frames 50 --frame-ms 48 --start-ms 4242";
    const fs::path add = capture("blend_add", options + " --alt-blend 0");
    const fs::path cover = capture("blend_cover", options + " --alt-blend 1");
    const Image a = frame(add, 49);
    const Image c = frame(cover, 49);
    long differing = 0;
    long outside = 0;
    for (int y = 8; y < 470; ++y) {
        for (int x = 0; x < width; ++x) {
            if (std::memcmp(a.at(x, y), c.at(x, y), 3) != 0) {
                ++differing;
                outside += (x < 160 || x >= 480) ? 1 : 0;
            }
        }
    }
    EXPECT_GT(differing, 100);
    EXPECT_EQ(outside, 0);  // away from the sprites the pictures are the same
    // Adding never darkens what lies behind a sprite; covering does.
    EXPECT_GT(brightness(a, 160, 8, 480, 470), brightness(c, 160, 8, 480, 470));
}

TEST(Capture, SameOptionsGiveTheSameFrames) {
    const fs::path first = capture("again_1", "--frames 20 --frame-ms 48 --start-ms 99");
    const fs::path second = capture("again_2", "--frames 20 --frame-ms 48 --start-ms 99");
    EXPECT_EQ(frame(first, 19).rgb, frame(second, 19).rgb);
}

TEST(Capture, MissingDataFilesGiveThreeMessagesThatNameThemAndNoFrame) {
    const fs::path dir = fresh_dir("nodata");
    const fs::path empty = dir / "empty";
    fs::create_directories(empty);
    const CaptureRun run = run_capture(
        "--out '" + (dir / "frames").string() + "' --frames 3 --datadir '" + empty.string() + "'",
        dir);
    EXPECT_EQ(run.exit_code, 1);
    std::string messages;
    for (const char* name : {"particle.pcx", "font.pcx", "height.pcx"}) {
        messages += "zelm-capture: \"" + (empty / name).string() +
                    "\": No such file or directory\nError: Error loading texture\n";
    }
    EXPECT_EQ(run.err, messages);
    EXPECT_FALSE(fs::exists(dir / "frames" / "frame-0000.png"));
}

// Another local user may plant links in a folder they can write to, or own the folder.
TEST(Capture, FramesReplacePlantedLinksAndOtherUsersFoldersAreRefused) {
    const fs::path dir = fresh_dir("planted");
    std::ofstream(dir / "victim") << "keep\n";
    fs::create_directories(dir / "frames");
    fs::create_symlink(dir / "victim", dir / "frames" / "frame-0000.png");
    const CaptureRun run = run_capture("--out '" + (dir / "frames").string() + "'", dir);
    EXPECT_EQ(run.exit_code, 0) << run.err;
    EXPECT_EQ(read_file(dir / "victim"), "keep\n");
    EXPECT_FALSE(fs::is_symlink(dir / "frames" / "frame-0000.png"));
    EXPECT_EQ(frame(dir / "frames", 0).width, width);

    fs::create_directories(dir / "folder" / "frame-0000.png");
    const CaptureRun blocked = run_capture("--out '" + (dir / "folder").string() + "'", dir);
    EXPECT_EQ(blocked.exit_code, 1);
    EXPECT_NE(blocked.err.find("frame-0000.png': Is a directory"), std::string::npos)
        << blocked.err;

    if (geteuid() != 0) {
        GTEST_SKIP() << "only root can give a folder to another user";
    }
    const fs::path theirs = dir / "theirs";
    fs::create_directories(theirs);
    ASSERT_EQ(chown(theirs.c_str(), 65534, 65534), 0);  // nobody
    fs::permissions(theirs, fs::perms::all);
    const CaptureRun refused = run_capture("--out '" + theirs.string() + "'", dir);
    EXPECT_EQ(refused.exit_code, 1);
    EXPECT_NE(refused.err.find("belongs to another user"), std::string::npos) << refused.err;
    EXPECT_TRUE(fs::is_empty(theirs));
}

TEST(Capture, OptionsAreCheckedAndExplained) {
    const fs::path dir = fresh_dir("options");
    const CaptureRun help = run_capture("--help", dir);
    EXPECT_EQ(help.exit_code, 0);
    EXPECT_NE(help.out.find("--out DIR"), std::string::npos);
    EXPECT_NE(help.out.find("--alt-blend"), std::string::npos);

    const std::string out = "--out '" + (dir / "frames").string() + "' ";
    const std::vector<std::string> bad_options = {std::string(""),
                                                  "--frames 2",
                                                  out + "--frames",
                                                  out + "--frames x",
                                                  out + "--frames -1",
                                                  out + "--frame-ms 1.5",
                                                  out + "--heightfield 2",
                                                  out + "--alt-blend yes",
                                                  out + "--start-ms 4294967296",
                                                  out + "--speed 3",
                                                  out + "stray"};
    for (const std::string& bad : bad_options) {
        const CaptureRun run = run_capture(bad, dir);
        EXPECT_EQ(run.exit_code, 2) << bad;
        EXPECT_EQ(run.err.rfind("zelm-capture: ", 0), 0u) << bad << ": " << run.err;
        EXPECT_NE(run.err.find("--help"), std::string::npos) << bad;
    }
    EXPECT_FALSE(fs::exists(dir / "frames"));

    // A folder that cannot be made is a run-time failure, not a usage error.
    const CaptureRun unwritable = run_capture("--out /proc/zelm-frames", dir);
    EXPECT_EQ(unwritable.exit_code, 1);
    EXPECT_NE(unwritable.err.find("/proc/zelm-frames"), std::string::npos);
}

}  // namespace
}  // namespace zelm
