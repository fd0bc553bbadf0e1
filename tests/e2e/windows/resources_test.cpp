// The Windows resources as windres compiles them: dialog 101 control by control, icon group
// 102, bitmap 103 and string 1; and the two images, which make_images.py regenerates byte for
// byte.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

using Bytes = std::vector<std::uint8_t>;

Bytes read_file(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A little-endian reader over one resource's bytes that fails the test instead of overrunning.
struct Reader {
    const Bytes& bytes;
    std::size_t at = 0;

    std::uint32_t take(int size) {
        if (at + size > bytes.size()) {
            ADD_FAILURE() << "read past the end at " << at;
            at = bytes.size();
            return 0;
        }
        std::uint32_t value = 0;
        for (int i = 0; i < size; ++i) {
            value |= static_cast<std::uint32_t>(bytes[at + i]) << (8 * i);
        }
        at += size;
        return value;
    }
    std::uint16_t word() { return static_cast<std::uint16_t>(take(2)); }
    std::uint32_t dword() { return take(4); }
    void align(std::size_t to) { at = (at + to - 1) / to * to; }
    // A NUL-terminated UTF-16 string of ASCII characters.
    std::string text() {
        std::string out;
        for (std::uint16_t c = word(); c != 0 && at < bytes.size(); c = word()) {
            out.push_back(static_cast<char>(c));
        }
        return out;
    }
    // A name or an ordinal (0xFFFF, then the number); ordinals come back as "#number".
    std::string name_or_ordinal() {
        const std::size_t start = at;
        if (word() == 0xFFFF) {
            return "#" + std::to_string(word());
        }
        at = start;
        return text();
    }
};

struct Resource {
    std::string type;  // "#5" for RT_DIALOG and so on
    std::string name;
    Bytes data;
};

// Compiles zelm.rc to the .res format and splits it into its resources.
std::vector<Resource> compile_resources() {
    // One file per process: ctest runs the resource tests side by side.
    const fs::path res = fs::path(::testing::TempDir()) /
                         ("zelm_resources_test-" + std::to_string(getpid()) + ".res");
    const std::string command = std::string(ZELM_WINDRES) + " " + ZELM_RC_DEFINES + " -I " +
                                ZELM_RESOURCES + " -O res " + ZELM_RESOURCES + "/zelm.rc -o " +
                                res.string();
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    const Bytes file = read_file(res);
    std::vector<Resource> resources;
    Reader reader{file};
    while (reader.at + 8 <= file.size()) {
        const std::size_t start = reader.at;
        const std::uint32_t data_size = reader.dword();
        const std::uint32_t header_size = reader.dword();
        Resource resource;
        resource.type = reader.name_or_ordinal();
        resource.name = reader.name_or_ordinal();
        const std::size_t data_at = start + header_size;
        if (data_at + data_size > file.size()) {
            ADD_FAILURE() << "resource " << resource.name << " runs past the end";
            break;
        }
        resource.data.assign(file.begin() + data_at, file.begin() + data_at + data_size);
        if (data_size != 0) {  // the first, empty entry marks the format
            resources.push_back(resource);
        }
        reader.at = data_at + data_size;
        reader.align(4);
    }
    return resources;
}

const Resource* find(const std::vector<Resource>& resources, const std::string& type,
                     const std::string& name) {
    for (const Resource& r : resources) {
        if (r.type == type && r.name == name) {
            return &r;
        }
    }
    ADD_FAILURE() << "no resource of type " << type << " named " << name;
    return nullptr;
}

struct Control {
    std::uint16_t id;
    std::string window_class;  // "#128" button, "#129" edit, "#130" static
    std::uint32_t style;
    std::int16_t x, y, width, height;
    std::string text;  // "" where only a prefix is checked below
};

TEST(Resources, DialogTemplateHoldsTheFourteenControlsInTabOrder) {
    const auto resources = compile_resources();
    const Resource* dialog = find(resources, "#5", "#101");
    ASSERT_NE(dialog, nullptr);
    Reader r{dialog->data};
    EXPECT_EQ(r.dword(), 0x90C800C0u) << "style";
    EXPECT_EQ(r.dword(), 0u) << "extended style";
    const std::uint16_t count = r.word();
    ASSERT_EQ(count, 14);
    EXPECT_EQ(r.word(), 0);  // x
    EXPECT_EQ(r.word(), 0);  // y
    EXPECT_EQ(r.word(), 306);
    EXPECT_EQ(r.word(), 201);
    EXPECT_EQ(r.word(), 0) << "no menu";
    EXPECT_EQ(r.word(), 0) << "the standard dialog class";
    EXPECT_EQ(r.text(), "SOLUNE Configuration Dialog");
    EXPECT_EQ(r.word(), 8) << "point size";
    EXPECT_EQ(r.text(), "MS Sans Serif");

    const std::uint16_t none = 0xFFFF;
    const Control expected[] = {
        {1, "#128", 0x50010001, 249, 5, 50, 15, "OK"},
        {2, "#128", 0x50010000, 249, 25, 50, 15, "Cancel"},
        {1008, "#129", 0x50810080, 10, 20, 210, 15, ""},
        {none, "#128", 0x50000007, 5, 7, 220, 33, "Full path to data directory"},
        {1009, "#128", 0x50010003, 10, 50, 135, 15, "Use heightfield (disable for software)"},
        {1010, "#128", 0x50010003, 10, 65, 204, 15,
         "Use alternate blending (for Permedia2, and maybe others)"},
        {1011, "#128", 0x50010003, 10, 80, 170, 15, "Run Fullscreen (Check only for 2D/3D boards)"},
        {none, "#130", 0x5000000E, 260, 60, 32, 30, "#103"},
        {none, "#128", 0x50000007, 5, 105, 295, 90, ""},
        {none, "#130", 0x50020000, 10, 115, 260, 10, ""},
        {none, "#130", 0x50020000, 10, 130, 255, 20, ""},
        {none, "#130", 0x50020000, 10, 155, 260, 10, ""},
        {none, "#130", 0x50020000, 10, 170, 260, 10, ""},
        {none, "#130", 0x50020000, 10, 180, 260, 10, ""},
    };
    for (int i = 0; i < count; ++i) {
        SCOPED_TRACE("control " + std::to_string(i + 1));
        r.align(4);
        const Control& want = expected[i];
        EXPECT_EQ(r.dword(), want.style);
        EXPECT_EQ(r.dword(), 0u) << "extended style";
        EXPECT_EQ(static_cast<std::int16_t>(r.word()), want.x);
        EXPECT_EQ(static_cast<std::int16_t>(r.word()), want.y);
        EXPECT_EQ(static_cast<std::int16_t>(r.word()), want.width);
        EXPECT_EQ(static_cast<std::int16_t>(r.word()), want.height);
        EXPECT_EQ(r.word(), want.id);
        EXPECT_EQ(r.name_or_ordinal(), want.window_class);
        const std::string text = r.name_or_ordinal();
        if (i == 8) {
            EXPECT_EQ(text.rfind("ZELM", 0), 0u) << "the title, then a tagline: " << text;
            EXPECT_GT(text.size(), 6u);
        } else if (i >= 9) {
            EXPECT_GE(text.size(), 10u) << "a credit line: " << text;
        } else {
            EXPECT_EQ(text, want.text);
        }
        EXPECT_EQ(r.word(), 0) << "no creation data";
    }
}

TEST(Resources, IconBitmapAndDescription) {
    const auto resources = compile_resources();

    // Icon group 102: one 32x32 image of 16 colours, icon image 1.
    const Resource* group = find(resources, "#14", "#102");
    ASSERT_NE(group, nullptr);
    Reader g{group->data};
    EXPECT_EQ(g.word(), 0);
    EXPECT_EQ(g.word(), 1) << "an icon";
    ASSERT_EQ(g.word(), 1) << "one image";
    EXPECT_EQ(g.take(1), 32u);
    EXPECT_EQ(g.take(1), 32u);
    EXPECT_EQ(g.take(1), 16u) << "colours";
    EXPECT_EQ(g.take(1), 0u);
    EXPECT_EQ(g.word(), 1) << "planes";
    EXPECT_EQ(g.word(), 4) << "bits per pixel";
    g.dword();
    const std::uint16_t image_id = g.word();
    EXPECT_EQ(image_id, 1);
    const Resource* icon = find(resources, "#3", "#" + std::to_string(image_id));
    ASSERT_NE(icon, nullptr);
    Reader i{icon->data};
    EXPECT_EQ(i.dword(), 40u);
    EXPECT_EQ(i.dword(), 32u);
    EXPECT_EQ(i.dword(), 64u) << "colour image and mask";
    EXPECT_EQ(i.word(), 1);
    EXPECT_EQ(i.word(), 4);
    EXPECT_EQ(icon->data.size(), 40u + 16 * 4 + 32 * 16 + 32 * 4);

    // Bitmap 103: 48x48, 4 bits per pixel, 16-colour palette, uncompressed.
    const Resource* bitmap = find(resources, "#2", "#103");
    ASSERT_NE(bitmap, nullptr);
    Reader b{bitmap->data};
    EXPECT_EQ(b.dword(), 40u);
    EXPECT_EQ(b.dword(), 48u);
    EXPECT_EQ(b.dword(), 48u);
    EXPECT_EQ(b.word(), 1);
    EXPECT_EQ(b.word(), 4);
    EXPECT_EQ(b.dword(), 0u) << "BI_RGB";
    b.dword();
    b.dword();
    b.dword();
    EXPECT_EQ(b.dword(), 16u) << "colours used";
    EXPECT_EQ(bitmap->data.size(), 40u + 16 * 4 + 48 * 24);

    // String 1 lives in block 1, at index 1 (index 0, string 0, is empty).
    const Resource* strings = find(resources, "#6", "#1");
    ASSERT_NE(strings, nullptr);
    Reader s{strings->data};
    EXPECT_EQ(s.word(), 0) << "string 0";
    const std::uint16_t length = s.word();
    std::string description;
    for (int k = 0; k < length; ++k) {
        description.push_back(static_cast<char>(s.word()));
    }
    EXPECT_EQ(description.rfind("Zelm ", 0), 0u) << description;
    EXPECT_GT(description.size(), 10u) << "a credit follows the name";
}

TEST(Resources, ImagesAreWhatTheGeneratorDraws) {
    const fs::path out = fs::path(::testing::TempDir()) / "zelm_images";
    fs::remove_all(out);
    fs::create_directories(out);
    const std::string command =
        std::string("python3 ") + ZELM_RESOURCES + "/make_images.py " + out.string();
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    for (const char* name : {"zelm.ico", "zelm.bmp"}) {
        const Bytes made = read_file(out / name);
        EXPECT_FALSE(made.empty()) << name;
        EXPECT_TRUE(made == read_file(fs::path(ZELM_RESOURCES) / name))
            << name << " differs from what make_images.py draws";
    }
}

}  // namespace
