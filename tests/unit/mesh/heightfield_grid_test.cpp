// The heightfield's grid: layout, triangle list, random initial heights, and what creation
// refuses.
#include <gtest/gtest.h>

#include <cstdint>

#include "math/random.hpp"
#include "mesh/heightfield.hpp"
#include "tests/support/recording_gl.hpp"

namespace zelm {
namespace {

class HeightfieldGrid : public ::testing::Test {
protected:
    void SetUp() override { random_seed(1); }
    void TearDown() override { heightfield_release(); }
};

void expect_vertex(int index, float x, float y) {
    SCOPED_TRACE(index);
    EXPECT_EQ(heightfield.positions[index].x, x);
    EXPECT_EQ(heightfield.positions[index].y, y);
}

void expect_triangle(int index, int i0, int i1, int i2) {
    SCOPED_TRACE(index);
    EXPECT_EQ(heightfield.triangles[index].i0, i0);
    EXPECT_EQ(heightfield.triangles[index].i1, i1);
    EXPECT_EQ(heightfield.triangles[index].i2, i2);
}

TEST_F(HeightfieldGrid, SceneMeshHasItsCornersAndTriangles) {
    ASSERT_NE(heightfield_create(32, 32, 16), 0);
    EXPECT_EQ(heightfield.vertex_count, 1089);
    EXPECT_EQ(heightfield.triangle_count, 2048);
    EXPECT_EQ(heightfield.state, heightfield_idle);
    EXPECT_EQ(heightfield.pending_state, heightfield_idle);
    expect_vertex(0, -256, -256);
    expect_vertex(1, -240, -256);
    expect_vertex(32, 256, -256);
    expect_vertex(33, -256, -240);
    expect_vertex(1056, -256, 256);
    expect_vertex(1088, 256, 256);
    expect_triangle(0, 0, 1, 33);
    expect_triangle(1, 33, 1, 34);
    expect_triangle(2, 1, 2, 34);
    expect_triangle(64, 33, 34, 66);
    expect_triangle(2046, 1054, 1055, 1087);
    expect_triangle(2047, 1087, 1055, 1088);
}

TEST_F(HeightfieldGrid, OddColumnCountHalvesDownwards) {
    ASSERT_NE(heightfield_create(3, 2, 16), 0);
    EXPECT_EQ(heightfield.vertex_count, 12);
    for (int c = 0; c < 4; ++c) {
        expect_vertex(c, static_cast<float>(-16 + 16 * c), -16);
        expect_vertex(8 + c, static_cast<float>(-16 + 16 * c), 16);
    }
}

TEST_F(HeightfieldGrid, HeightsAreTheFirstValuesOfTheUnseededSourceInVertexOrder) {
    ASSERT_NE(heightfield_create(32, 32, 16), 0);
    // The source's rule, written out here so that the test does not lean on it.
    std::uint32_t state = 1;
    for (int v = 0; v < 1089; ++v) {
        state = state * 214013u + 2531011u;
        const int d = static_cast<int>((state >> 16) & 0x7FFF);
        ASSERT_EQ(heightfield.positions[v].z, static_cast<float>(d % 60 - 30)) << v;
    }
    // 41 % 60 - 30 and 18467 % 60 - 30.
    EXPECT_EQ(heightfield.positions[0].z, 11.0f);
    EXPECT_EQ(heightfield.positions[1].z, 17.0f);
    // Exactly one value per vertex was drawn.
    state = state * 214013u + 2531011u;
    EXPECT_EQ(random_next(), static_cast<int>((state >> 16) & 0x7FFF));
}

TEST_F(HeightfieldGrid, CreationLeavesNormalsAndColoursReady) {
    ASSERT_NE(heightfield_create(4, 4, 16), 0);
    for (int v = 0; v < heightfield.vertex_count; ++v) {
        const float g = heightfield.vertex_colours[v].r;
        EXPECT_GE(g, 0.05f);
        EXPECT_LE(g, 0.68f);
        EXPECT_EQ(heightfield.vertex_colours[v].g, g);
        EXPECT_EQ(heightfield.vertex_colours[v].b, g);
    }
}

TEST_F(HeightfieldGrid, LargestIndexableGridIsAcceptedAndOneMoreVertexIsNot) {
    // 180 x 180 cells: 32761 vertices, the last index still fits in 16 signed bits.
    ASSERT_NE(heightfield_create(180, 180, 16), 0);
    EXPECT_EQ(heightfield.triangles[heightfield.triangle_count - 1].i2, 32760);
    // 16383 x 1 cells is 32768 vertices, the limit itself.
    ASSERT_NE(heightfield_create(16383, 1, 16), 0);
    EXPECT_EQ(heightfield.vertex_count, 32768);
    EXPECT_EQ(heightfield.triangles[heightfield.triangle_count - 1].i2, 32767);
    EXPECT_EQ(heightfield_create(181, 181, 16), 0);
    EXPECT_EQ(heightfield.positions, nullptr);
}

TEST_F(HeightfieldGrid, RefusedSizesAllocateNothingAndLaterCallsDoNothing) {
    const int refused[][3] = {
        {0, 32, 16},   {32, 0, 16}, {-3, -3, 16}, {32, 32, 0}, {2147483647, 2147483647, 16},
        {16384, 1, 16}};
    for (const auto& size : refused) {
        SCOPED_TRACE(testing::Message() << size[0] << " x " << size[1] << " @ " << size[2]);
        ASSERT_NE(heightfield_create(8, 8, 16), 0);
        EXPECT_EQ(heightfield_create(size[0], size[1], size[2]), 0);
        EXPECT_FALSE(heightfield_built());
        EXPECT_EQ(heightfield.positions, nullptr);
        EXPECT_EQ(heightfield.radial_distance, nullptr);
        EXPECT_EQ(heightfield.vertex_normals, nullptr);
        EXPECT_EQ(heightfield.vertex_colours, nullptr);
        EXPECT_EQ(heightfield.triangles, nullptr);
        EXPECT_EQ(heightfield.face_normals, nullptr);

        heightfield_request_state(heightfield_ripple);
        glrec::reset();
        for (int frame = 0; frame < 3; ++frame) {
            heightfield_update();
            heightfield_draw();
        }
        EXPECT_TRUE(glrec::gl_calls.empty());
        heightfield_face_normals();
        heightfield_vertex_normals();
        heightfield_light();
        heightfield_enter_state(heightfield_ripple);
    }
}

TEST_F(HeightfieldGrid, ReleaseClearsPointersAndKeepsCounts) {
    ASSERT_NE(heightfield_create(32, 32, 16), 0);
    heightfield_request_state(heightfield_ripple);
    heightfield_release();
    EXPECT_FALSE(heightfield_built());
    EXPECT_EQ(heightfield.triangles, nullptr);
    EXPECT_EQ(heightfield.vertex_count, 1089);
    EXPECT_EQ(heightfield.state, heightfield_settle);
    heightfield_release();  // a second release finds nothing to free
}

}  // namespace
}  // namespace zelm
