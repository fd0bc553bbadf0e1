// The heightfield's face normals, vertex normals and grey levels.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "math/random.hpp"
#include "mesh/heightfield.hpp"
#include "tests/unit/mesh/heightfield_reference.hpp"

namespace zelm {
namespace {

class HeightfieldLighting : public ::testing::Test {
protected:
    void SetUp() override {
        random_seed(1);
        ASSERT_NE(heightfield_create(4, 4, 16), 0);
    }
    void TearDown() override { heightfield_release(); }

    static void flatten() {
        for (int v = 0; v < heightfield.vertex_count; ++v) {
            heightfield.positions[v].z = 0.0f;
        }
    }
    static void run_passes() {
        heightfield_face_normals();
        heightfield_vertex_normals();
        heightfield_light();
    }
    // The grey level that the light gives a vertex normal n.
    static float grey_of(Vec3 n) {
        heightfield.vertex_normals[0] = n;
        heightfield_light();
        return heightfield.vertex_colours[0].r;
    }
};

TEST_F(HeightfieldLighting, FlatMeshFacesUpAndIsGreyEverywhere) {
    flatten();
    run_passes();
    // 0.6 x 0.3 + 0.05 in single precision.
    const float flat_grey = 0.6f * 0.3f + 0.05f;
    EXPECT_NEAR(flat_grey, 0.23f, 1e-7f);
    for (int t = 0; t < heightfield.triangle_count; ++t) {
        ASSERT_EQ(heightfield.face_normals[t].x, 0.0f) << t;
        ASSERT_EQ(heightfield.face_normals[t].y, 0.0f) << t;
        ASSERT_EQ(heightfield.face_normals[t].z, 1.0f) << t;
    }
    for (int v = 0; v < heightfield.vertex_count; ++v) {
        ASSERT_EQ(heightfield.vertex_normals[v].z, 1.0f) << v;
        ASSERT_EQ(heightfield.vertex_colours[v].r, flat_grey) << v;
        ASSERT_EQ(heightfield.vertex_colours[v].g, flat_grey) << v;
        ASSERT_EQ(heightfield.vertex_colours[v].b, flat_grey) << v;
    }
}

TEST_F(HeightfieldLighting, LightFavoursNormalsFacingMinusYAndUpWithAFloor) {
    EXPECT_EQ(grey_of({0, 0, 0}), 0.05f);
    EXPECT_FLOAT_EQ(grey_of({0, -1, 0}), 0.65f);
    EXPECT_EQ(grey_of({0, 1, 0}), 0.05f);
    EXPECT_EQ(grey_of({1, 0, 0}), 0.05f);
    EXPECT_EQ(grey_of({-1, 0, 0}), 0.05f);
    EXPECT_EQ(grey_of({0, 0, -1}), 0.05f);
    // The brightest unit normal points along the light's direction.
    const float k = 1.0f / std::sqrt(1.09f);
    EXPECT_NEAR(grey_of({0, -k, 0.3f * k}), 0.6f * std::sqrt(1.09f) + 0.05f, 1e-6f);
}

TEST_F(HeightfieldLighting, VertexNormalIsTheUnnormalisedMeanOfItsFaces) {
    flatten();
    // One raised vertex at column 2, row 2 (index 12) tilts the six faces around it.
    heightfield.positions[12].z = 16.0f;
    run_passes();
    // Corner (0, 0) lies in triangle 0 only and takes its normal exactly.
    EXPECT_EQ(heightfield.vertex_normals[0].x, heightfield.face_normals[0].x);
    EXPECT_EQ(heightfield.vertex_normals[0].z, heightfield.face_normals[0].z);
    // The raised vertex's faces point outward in every direction, so their mean is straight up
    // but shorter than 1: the peak is darker than a flat vertex.
    const Vec3 peak = heightfield.vertex_normals[12];
    EXPECT_NEAR(peak.x, 0.0f, 1e-6f);
    EXPECT_NEAR(peak.y, 0.0f, 1e-6f);
    EXPECT_GT(peak.z, 0.5f);
    EXPECT_LT(peak.z, 1.0f);
    EXPECT_LT(heightfield.vertex_colours[12].r, 0.6f * 0.3f + 0.05f);
    // Its neighbour towards -y (index 7) leans towards -y and is brighter than flat.
    EXPECT_LT(heightfield.vertex_normals[7].y, 0.0f);
    EXPECT_GT(heightfield.vertex_colours[7].r, 0.6f * 0.3f + 0.05f);
    // The mean over the six triangles around vertex 12, summed in triangle order.
    Vec3 sum = {0, 0, 0};
    int count = 0;
    for (int t = 0; t < heightfield.triangle_count; ++t) {
        const MeshTriangle& tri = heightfield.triangles[t];
        if (tri.i0 == 12 || tri.i1 == 12 || tri.i2 == 12) {
            sum.x += heightfield.face_normals[t].x;
            sum.y += heightfield.face_normals[t].y;
            sum.z += heightfield.face_normals[t].z;
            ++count;
        }
    }
    EXPECT_EQ(count, 6);
    EXPECT_EQ(peak.x, sum.x / 6);
    EXPECT_EQ(peak.y, sum.y / 6);
    EXPECT_EQ(peak.z, sum.z / 6);
}

TEST_F(HeightfieldLighting, DegenerateTriangleKeepsAZeroNormalAndStillCounts) {
    flatten();
    // Folding vertex 1 onto vertex 0 collapses triangle 0 (0, 1, 5) to a line.
    heightfield.positions[1] = heightfield.positions[0];
    run_passes();
    EXPECT_EQ(heightfield.face_normals[0].x, 0.0f);
    EXPECT_EQ(heightfield.face_normals[0].y, 0.0f);
    EXPECT_EQ(heightfield.face_normals[0].z, 0.0f);
    // Vertex 0 has only that triangle: its normal is zero and its grey the floor.
    EXPECT_EQ(heightfield.vertex_normals[0].z, 0.0f);
    EXPECT_EQ(heightfield.vertex_colours[0].r, 0.05f);
    // Vertex 5 (column 0, row 1) shares it with two flat triangles: (0 + 1 + 1) / 3.
    EXPECT_EQ(heightfield.vertex_normals[5].z, 2.0f / 3.0f);
}

TEST_F(HeightfieldLighting, CellsSplitAlongTheirRisingDiagonal) {
    flatten();
    // Raising vertex 1, corner (1, 0) of cell (0, 0), tilts both triangles of that cell: triangle
    // 0 (0, 1, 5) rises towards +x and triangle 1 (5, 1, 6) towards -y, so their normals lean
    // the other way, each in one axis only.
    heightfield.positions[1].z = 8.0f;
    run_passes();
    EXPECT_LT(heightfield.face_normals[0].x, 0.0f);
    EXPECT_EQ(heightfield.face_normals[0].y, 0.0f);
    EXPECT_EQ(heightfield.face_normals[1].x, 0.0f);
    EXPECT_GT(heightfield.face_normals[1].y, 0.0f);
    // Cell (1, 0) holds vertex 1 as its corner (0, 0) and tilts too; cell (0, 1) stays flat.
    EXPECT_GT(heightfield.face_normals[2].x, 0.0f);
    EXPECT_EQ(heightfield.face_normals[8].z, 1.0f);
    EXPECT_EQ(heightfield.face_normals[9].z, 1.0f);
}

// Rows of every length modulo the passes' group sizes, odd vertex counts, a single cell, and
// surfaces that are not waves: random heights of every scale, folded triangles and signed zeros.
TEST(HeightfieldPasses, MatchTheStraightforwardArithmeticBitForBitOnAnyGrid) {
    const auto same = [](const auto& want, const auto* got) {
        return std::memcmp(want.data(), got, sizeof(want[0]) * want.size()) == 0;
    };
    const int sizes[][2] = {{1, 1}, {2, 5}, {3, 3}, {5, 2}, {6, 1}, {9, 4}, {12, 3}, {33, 2}};
    random_seed(7);
    for (const auto& size : sizes) {
        SCOPED_TRACE(testing::Message() << size[0] << " x " << size[1]);
        ASSERT_NE(heightfield_create(size[0], size[1], 16), 0);
        for (int round = 0; round < 20; ++round) {
            // Round 0 is flat: some face normals then hold -0, which a sum started from 0 turns
            // into +0.
            Vec3* p = heightfield.positions;
            for (int v = 0; v < heightfield.vertex_count; ++v) {
                const int pick = round == 0 ? 3 : random_next() % 8;
                const float scale = pick == 0 ? 1e-3f : pick == 1 ? 1e4f : 1.0f;
                p[v].z = pick == 2 ? -0.0f
                         : pick == 3
                             ? 0.0f
                             : scale * static_cast<float>(random_next() % 2001 - 1000) / 7.0f;
            }
            // Fold a vertex onto its neighbour: the triangles between them have no area.
            if (round > 0) {
                const int v = random_next() % (heightfield.vertex_count - 1);
                p[v + 1] = p[v];
            }

            reference::Mesh expected = reference::copy_of_heightfield();
            reference::normals_and_light(expected);
            heightfield_face_normals();
            heightfield_vertex_normals();
            heightfield_light();
            ASSERT_TRUE(same(expected.face_normals, heightfield.face_normals)) << round;
            ASSERT_TRUE(same(expected.vertex_normals, heightfield.vertex_normals)) << round;
            ASSERT_TRUE(same(expected.vertex_colours, heightfield.vertex_colours)) << round;

            std::memset(heightfield.face_normals, 0xff, sizeof(Vec3) * heightfield.triangle_count);
            std::memset(heightfield.vertex_normals, 0xff, sizeof(Vec3) * heightfield.vertex_count);
            std::memset(heightfield.vertex_colours, 0xff,
                        sizeof(VertexColour) * heightfield.vertex_count);
            heightfield_normals_and_light();
            ASSERT_TRUE(same(expected.face_normals, heightfield.face_normals)) << round;
            ASSERT_TRUE(same(expected.vertex_normals, heightfield.vertex_normals)) << round;
            ASSERT_TRUE(same(expected.vertex_colours, heightfield.vertex_colours)) << round;
        }
        heightfield_release();
    }
}

}  // namespace
}  // namespace zelm
