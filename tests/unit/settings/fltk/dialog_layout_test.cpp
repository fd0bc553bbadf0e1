// The dialog's controls placed from their dialog-unit boxes, and its picture.
#include <FL/Fl_BMP_Image.H>
#include <FL/Fl_Pixmap.H>
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "settings/fltk/fltk_config_dialog.hpp"
#include "settings/fltk/zelm_dialog_bitmap.xpm"

using namespace zelm;

namespace {

void expect_rect(const DialogRect& r, int x, int y, int w, int h) {
    EXPECT_EQ(r.x, x);
    EXPECT_EQ(r.y, y);
    EXPECT_EQ(r.w, w);
    EXPECT_EQ(r.h, h);
}

TEST(DialogLayout, DialogUnitsBecomePixelsOfAnEightPointFont) {
    expect_rect(dialog_units_to_pixels(0, 0, 306, 201), 0, 0, 459, 327);    // the window
    expect_rect(dialog_units_to_pixels(249, 5, 50, 15), 374, 8, 75, 24);    // OK
    expect_rect(dialog_units_to_pixels(249, 25, 50, 15), 374, 41, 75, 24);  // Cancel
    expect_rect(dialog_units_to_pixels(10, 20, 210, 15), 15, 33, 315, 24);  // the edit field
    // The picture control's 32 x 30 units hold the 48 x 48 bitmap.
    expect_rect(dialog_units_to_pixels(260, 60, 32, 30), 390, 98, 48, 49);
}

// The RGB colour of each pixel of a one-character-per-pixel XPM with "#RRGGBB", "black" and
// "white" colours.
std::vector<unsigned> xpm_pixels(const char* const* xpm) {
    int w = 0, h = 0, colours = 0, chars = 0;
    std::sscanf(xpm[0], "%d %d %d %d", &w, &h, &colours, &chars);
    std::map<char, unsigned> palette;
    for (int i = 1; i <= colours; ++i) {
        const std::string colour = std::string(xpm[i]).substr(4);
        palette[xpm[i][0]] = colour == "black"   ? 0x000000u
                             : colour == "white" ? 0xFFFFFFu
                                                 : std::stoul(colour.substr(1), nullptr, 16);
    }
    std::vector<unsigned> pixels;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            pixels.push_back(palette.at(xpm[1 + colours + y][x]));
        }
    }
    return pixels;
}

// Both dialogs show one picture: the pixmap must not drift from the Windows bitmap.
TEST(DialogLayout, PictureIsTheWindowsBitmap) {
    Fl_BMP_Image bitmap(ZELM_RESOURCES_DIR "/zelm.bmp");
    ASSERT_EQ(bitmap.w(), 48);
    ASSERT_EQ(bitmap.h(), 48);
    ASSERT_GE(bitmap.d(), 3);
    const std::vector<unsigned> picture = xpm_pixels(zelm_dialog_bitmap);
    ASSERT_EQ(picture.size(), 48u * 48u);
    const auto* rgb = reinterpret_cast<const unsigned char*>(bitmap.data()[0]);
    int differing = 0;
    for (int i = 0; i < 48 * 48; ++i) {
        const unsigned char* p = rgb + i * bitmap.d();
        differing += ((p[0] << 16) | (p[1] << 8) | p[2]) != static_cast<int>(picture[i]) ? 1 : 0;
    }
    EXPECT_EQ(differing, 0);
}

}  // namespace
