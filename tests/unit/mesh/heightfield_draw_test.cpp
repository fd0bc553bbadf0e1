// Drawing the heightfield, through the recording OpenGL: the state it sets, the strips, and each
// vertex's colour, texture coordinate and position.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "math/random.hpp"
#include "mesh/heightfield.hpp"
#include "tests/support/recording_gl.hpp"

namespace zelm {
namespace {

using glrec::Fn;

class HeightfieldDraw : public ::testing::Test {
protected:
    void SetUp() override {
        random_seed(1);
        glrec::reset();
    }
    void TearDown() override { heightfield_release(); }
};

TEST_F(HeightfieldDraw, SetsItsStateThenDrawsOneStripPerRowOfCells) {
    ASSERT_NE(heightfield_create(32, 32, 16), 0);
    heightfield_draw();
    const std::vector<std::string> calls = glrec::texts();
    const std::vector<std::string> state(calls.begin(), calls.begin() + 6);
    EXPECT_EQ(state, (std::vector<std::string>{
                         "glEnable(GL_TEXTURE_2D)",
                         "glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE)",
                         "glBindTexture(GL_TEXTURE_2D, 4)",
                         "glEnable(GL_CULL_FACE)",
                         "glEnable(GL_BLEND)",
                         "glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA)",
                     }));
    EXPECT_EQ(glrec::count(Fn::Begin), 32);
    EXPECT_EQ(glrec::count(Fn::End), 32);
    EXPECT_EQ(glrec::count(Fn::Vertex3fv), 32 * 66);
    // Nothing is restored: the last call closes the last strip.
    EXPECT_EQ(calls.back(), "glEnd()");
    EXPECT_EQ(glrec::gl_calls.size(), 6u + 32u * (2u + 66u * 3u));
    EXPECT_EQ(calls[6], "glBegin(GL_TRIANGLE_STRIP)");
}

TEST_F(HeightfieldDraw, EachStripZigzagsFromTheUpperRowWithColourThenTexCoordThenVertex) {
    ASSERT_NE(heightfield_create(3, 2, 16), 0);
    heightfield.vertex_colours[5] = {0.1f, 0.2f, 0.3f};
    heightfield_draw();
    const std::vector<glrec::Call>& calls = glrec::gl_calls;
    const int w = 4;
    std::size_t i = 6;
    for (int r = 0; r < 2; ++r) {
        ASSERT_EQ(calls[i].fn, Fn::Begin);
        ASSERT_EQ(calls[i++].args[0], GL_TRIANGLE_STRIP);
        for (int k = 0; k < 2 * w; ++k) {
            const int v = (k % 2 == 0 ? r + 1 : r) * w + k / 2;
            SCOPED_TRACE(testing::Message() << "row " << r << " vertex " << v);
            const Vec3& p = heightfield.positions[v];
            const VertexColour& colour = heightfield.vertex_colours[v];
            ASSERT_EQ(calls[i].fn, Fn::Color3fv);
            EXPECT_EQ(calls[i].args[0], colour.r);
            EXPECT_EQ(calls[i].args[1], colour.g);
            EXPECT_EQ(calls[i++].args[2], colour.b);
            ASSERT_EQ(calls[i].fn, Fn::TexCoord2fv);
            EXPECT_EQ(calls[i].args[0], p.x / 16 * 0.25f);
            EXPECT_EQ(calls[i++].args[1], p.y / 16 * 0.25f);
            ASSERT_EQ(calls[i].fn, Fn::Vertex3fv);
            EXPECT_EQ(calls[i].args[0], p.x);
            EXPECT_EQ(calls[i].args[1], p.y);
            EXPECT_EQ(calls[i++].args[2], p.z);
        }
        ASSERT_EQ(calls[i++].fn, Fn::End);
    }
    EXPECT_EQ(i, calls.size());
    // Vertex 5, column 1 of row 1, opens the first strip's second column.
    EXPECT_EQ(glrec::to_text(calls[6 + 1 + 6]), "glColor3fv(0.1, 0.2, 0.3)");
}

TEST_F(HeightfieldDraw, TextureRepeatsEveryFourGridStepsFromMinusFourToFour) {
    ASSERT_NE(heightfield_create(32, 32, 16), 0);
    heightfield_draw();
    float lowest = 0;
    float highest = 0;
    for (const glrec::Call& call : glrec::gl_calls) {
        if (call.fn == Fn::TexCoord2fv) {
            lowest = std::min(lowest, static_cast<float>(std::min(call.args[0], call.args[1])));
            highest = std::max(highest, static_cast<float>(std::max(call.args[0], call.args[1])));
        }
    }
    EXPECT_EQ(lowest, -4.0f);
    EXPECT_EQ(highest, 4.0f);
    // The first vertex drawn is column 0 of row 1: (-256, -240) in world units.
    EXPECT_EQ(glrec::to_text(glrec::gl_calls[8]), "glTexCoord2fv(-4, -3.75)");
}

}  // namespace
}  // namespace zelm
