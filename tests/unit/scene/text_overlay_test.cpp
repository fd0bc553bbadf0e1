// The text overlay through the recording OpenGL: the exact calls, glyph cells and quads.
#include "scene/text_overlay.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/support/recording_gl.hpp"

namespace zelm {
namespace {

using glrec::Fn;

// The texture coordinates and vertices of every glyph quad, in call order.
struct Corner {
    double s, t, x, y;
};

std::vector<Corner> corners() {
    std::vector<Corner> out;
    const glrec::Call* tex = nullptr;
    for (const glrec::Call& c : glrec::gl_calls) {
        if (c.fn == Fn::TexCoord2f) {
            tex = &c;
        } else if (c.fn == Fn::Vertex2f) {
            EXPECT_NE(tex, nullptr) << "vertex without a texture coordinate";
            out.push_back({tex->args[0], tex->args[1], c.args[0], c.args[1]});
            tex = nullptr;
        }
    }
    return out;
}

// Expects the four corners of one glyph: cell (column, row), top-left at (x, y).
void expect_glyph(const Corner* q, int column, int row, double x, double y) {
    const double s0 = column * 0.0625, t0 = row * 0.0625;
    const Corner want[4] = {{s0, t0, x, y},
                            {s0 + 0.0625, t0, x + 8, y},
                            {s0 + 0.0625, t0 + 0.0625, x + 8, y + 8},
                            {s0, t0 + 0.0625, x, y + 8}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_DOUBLE_EQ(q[i].s, want[i].s) << "corner " << i;
        EXPECT_DOUBLE_EQ(q[i].t, want[i].t) << "corner " << i;
        EXPECT_DOUBLE_EQ(q[i].x, want[i].x) << "corner " << i;
        EXPECT_DOUBLE_EQ(q[i].y, want[i].y) << "corner " << i;
    }
}

TEST(DrawText, EmptyStringMakesNoCall) {
    glrec::reset();
    EXPECT_EQ(draw_text("", 0, 0, 0), 1);
    EXPECT_TRUE(glrec::gl_calls.empty());
}

TEST(DrawText, LetterAIsOneQuadUnderTheOverlayProjection) {
    glrec::reset();
    EXPECT_EQ(draw_text("A", 16, 470, 0), 1);
    const std::vector<std::string> want = {
        "glMatrixMode(GL_PROJECTION)",
        "glPushMatrix()",
        "glLoadIdentity()",
        "gluOrtho2D(0, 640, 480, 0)",
        "glEnable(GL_TEXTURE_2D)",
        "glBindTexture(GL_TEXTURE_2D, 2)",
        "glDisable(GL_CULL_FACE)",
        "glEnable(GL_BLEND)",
        "glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA)",
        "glBegin(GL_QUADS)",
        "glColor4f(1, 1, 1, 0.5)",
        "glTexCoord2f(0.0625, 0.25)",
        "glVertex2f(16, 470)",
        "glTexCoord2f(0.125, 0.25)",
        "glVertex2f(24, 470)",
        "glTexCoord2f(0.125, 0.3125)",
        "glVertex2f(24, 478)",
        "glTexCoord2f(0.0625, 0.3125)",
        "glVertex2f(16, 478)",
        "glEnd()",
        "glPopMatrix()",
    };
    EXPECT_EQ(glrec::texts(), want);
}

TEST(DrawText, FontIndexPicksTheTexture) {
    glrec::reset();
    draw_text("x", 0, 0, 1);
    EXPECT_EQ(glrec::texts()[5], "glBindTexture(GL_TEXTURE_2D, 3)");
}

TEST(DrawText, HighBytesAreSignedCodes) {
    glrec::reset();
    draw_text("\x80\x81\xff", 0, 0, 0);
    const std::vector<Corner> q = corners();
    ASSERT_EQ(q.size(), 12u);
    expect_glyph(&q[0], 0, -8, 0, 0);   // 128 is -128: row -8, which the repeat maps to row 8
    expect_glyph(&q[4], 1, -7, 8, 0);   // 129 is -127
    expect_glyph(&q[8], 15, 0, 16, 0);  // 255 is -1: row 0, column 15
}

TEST(DrawText, EveryByteAdvancesOneCellAndEightyFillTheWidth) {
    glrec::reset();
    std::string line;
    for (int i = 0; i < 80; ++i) {
        line += static_cast<char>(32 + i);  // includes the space, drawn like any glyph
    }
    draw_text(line.c_str(), 0, 0, 0);
    EXPECT_EQ(glrec::count(Fn::Begin), 1);  // one batch for the whole string
    EXPECT_EQ(glrec::count(Fn::End), 1);
    const std::vector<Corner> q = corners();
    ASSERT_EQ(q.size(), 320u);
    for (int i = 0; i < 80; ++i) {
        const int code = 32 + i;
        expect_glyph(&q[4 * i], code & 15, code / 16, 8.0 * i, 0);
    }
    EXPECT_DOUBLE_EQ(q.front().x, 0);
    EXPECT_DOUBLE_EQ(q[318].x, 640);  // the last glyph's right edge is the overlay's right edge
}

TEST(DrawText, TheOutputScaleRoundsToWholePixelsPerTexel) {
    EXPECT_EQ(text_pixel_scale(120), 1);
    EXPECT_EQ(text_pixel_scale(150), 1);  // 1.25
    EXPECT_EQ(text_pixel_scale(180), 2);  // 1.5
    EXPECT_EQ(text_pixel_scale(360), 3);
    EXPECT_EQ(text_pixel_scale(0), 1);
}

// At a whole scale the texels are sampled, not blended; at any other the cells are sampled half
// a texel (of the mipmap level in use) inside their edges, and nothing else changes.
TEST(DrawText, ScaledTextKeepsNeighbouringCellsOut) {
    for (const float scale : {2.0f, 1.6f, 0.5f}) {
        overlay_pixel_scale = scale;
        glrec::reset();
        draw_text("A", 0, 0, 0);
        overlay_pixel_scale = 1.0f;
        const std::vector<std::string> calls = glrec::texts();
        const bool nearest = std::find(calls.begin(), calls.end(),
                                       "glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, "
                                       "GL_NEAREST)") != calls.end();
        EXPECT_EQ(nearest, scale == 2.0f) << scale;
        if (nearest) {
            EXPECT_EQ(calls[calls.size() - 2],
                      "glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR)");
        }
        const double inset = scale == 2.0f ? 0.0 : (scale > 1.0f ? 0.5 : 1.0) / 128.0;
        const std::vector<Corner> q = corners();
        ASSERT_EQ(q.size(), 4u);
        EXPECT_DOUBLE_EQ(q[0].s, 0.0625 + inset) << scale;
        EXPECT_DOUBLE_EQ(q[2].s, 0.125 - inset) << scale;
        EXPECT_DOUBLE_EQ(q[0].t, 0.25 + inset) << scale;
        EXPECT_DOUBLE_EQ(q[2].t, 0.3125 - inset) << scale;
        EXPECT_DOUBLE_EQ(q[2].x, 8);
    }
}

TEST(DrawText, ControlBytesDrawTheirCellsToo) {
    glrec::reset();
    draw_text("a\nb", 100, 200, 0);
    const std::vector<Corner> q = corners();
    ASSERT_EQ(q.size(), 12u);
    expect_glyph(&q[4], 10, 0, 108, 200);  // line feed: no line break, just its cell
    expect_glyph(&q[8], 2, 6, 116, 200);
}

// A 16 x 16 PCX of literal bytes with a grey palette.
std::string write_tiny_pcx() {
    const std::string path = ::testing::TempDir() + "tiny_font.pcx";
    std::vector<unsigned char> file(128, 0);
    file[0] = 10;
    file[1] = 5;
    file[2] = 1;
    file[3] = 8;
    file[8] = 15;   // xmax
    file[10] = 15;  // ymax
    for (int i = 0; i < 256; ++i) {
        file.push_back(static_cast<unsigned char>(i % 100));
    }
    file.push_back(12);
    for (int i = 0; i < 768; ++i) {
        file.push_back(static_cast<unsigned char>(i / 3));
    }
    std::FILE* f = std::fopen(path.c_str(), "wb");
    EXPECT_NE(f, nullptr);
    std::fwrite(file.data(), 1, file.size(), f);
    std::fclose(f);
    return path;
}

TEST(LoadFont, LoadsIntoTheTextureAfterTheFontIndex) {
    glrec::reset();
    EXPECT_EQ(load_font("/nonexistent/font.pcx", 0), 0);
    EXPECT_EQ(font_initialised, 1);
    EXPECT_TRUE(glrec::gl_calls.empty());

    const std::string path = write_tiny_pcx();
    EXPECT_NE(load_font(path.c_str(), 0), 0);
    ASSERT_FALSE(glrec::tex_images.empty());
    for (const glrec::TexImage& image : glrec::tex_images) {
        EXPECT_EQ(image.texture, 2u);
    }
    EXPECT_EQ(glrec::tex_images[0].width, 16);
    std::remove(path.c_str());
}

}  // namespace
}  // namespace zelm
