// The heightfield's animation: settling, the handoff to the requested state, the ripple, the
// ripple over a very long run, and the whole update against the straightforward arithmetic.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "frame/frame_clock.hpp"
#include "math/random.hpp"
#include "mesh/heightfield.hpp"
#include "tests/unit/mesh/heightfield_reference.hpp"

namespace zelm {
namespace {

class HeightfieldAnimation : public ::testing::Test {
protected:
    void SetUp() override {
        random_seed(1);
        ripple_phase = 0.0f;
        frame_dt = 0.01f;
        ASSERT_NE(heightfield_create(32, 32, 16), 0);
    }
    void TearDown() override { heightfield_release(); }

    static float& z(int v) { return heightfield.positions[v].z; }
    static void set_all_heights(float value) {
        for (int v = 0; v < heightfield.vertex_count; ++v) {
            z(v) = value;
        }
    }
    // Updates until the mesh leaves settle; returns the number of updates.
    static int settle_fully() {
        int updates = 0;
        while (heightfield.state == heightfield_settle && updates < 100000) {
            heightfield_update();
            ++updates;
        }
        return updates;
    }
    static float wave(int v) {
        return static_cast<float>(std::cos(double{heightfield.radial_distance[v] + ripple_phase}) *
                                  10.0);
    }
};

TEST_F(HeightfieldAnimation, SettleBandIsStrictAgainstTheDoubleSixTenths) {
    heightfield_request_state(heightfield_idle);
    frame_dt = 0.0f;  // so that a height that moves shows only by not snapping
    const float just_below = std::nextafter(0.6f, 0.0f);
    ASSERT_GT(0.6f, 0.6);  // the float nearest 0.6 lies above the double
    set_all_heights(0.0f);
    z(0) = 0.6f;
    z(1) = -0.6f;
    z(2) = just_below;
    z(3) = -just_below;
    heightfield_update();
    EXPECT_EQ(z(0), 0.6f);
    EXPECT_EQ(z(1), -0.6f);
    EXPECT_EQ(z(2), 0.0f);
    EXPECT_EQ(z(3), 0.0f);
    EXPECT_EQ(heightfield.state, heightfield_settle);
}

TEST_F(HeightfieldAnimation, SettleSpeedIsProportionalWithAFloorOfThreeUnitsPerSecond) {
    heightfield_request_state(heightfield_ripple);
    frame_dt = 0.5f;
    set_all_heights(0.0f);
    z(0) = 10.0f;   // 8 units/s
    z(1) = 2.0f;    // 1.6 units/s, raised to 3
    z(2) = -2.0f;   // 3 units/s upwards
    z(3) = -10.0f;  // 8 units/s upwards
    z(4) = 3.75f;   // exactly 3 units/s
    heightfield_update();
    EXPECT_EQ(z(0), 6.0f);
    EXPECT_EQ(z(1), 0.5f);
    EXPECT_EQ(z(2), -0.5f);
    EXPECT_EQ(z(3), -6.0f);
    EXPECT_EQ(z(4), 2.25f);
    // The step may overshoot zero; only the band snaps.
    frame_dt = 1.0f;
    z(1) = 2.0f;
    z(2) = -2.0f;
    heightfield_update();
    EXPECT_EQ(z(1), -1.0f);
    EXPECT_EQ(z(2), 1.0f);
}

TEST_F(HeightfieldAnimation, HeightCountsAsSettledOnlyInTheUpdateThatSnapsIt) {
    heightfield_request_state(heightfield_ripple);
    frame_dt = 0.1f;
    set_all_heights(0.0f);
    z(500) = 0.7f;
    heightfield_update();
    EXPECT_FLOAT_EQ(z(500), 0.4f);
    EXPECT_EQ(heightfield.state, heightfield_settle);
    heightfield_update();
    EXPECT_EQ(z(500), 0.0f);
    EXPECT_EQ(heightfield.state, heightfield_ripple);
}

TEST_F(HeightfieldAnimation, SettlingEndsFlatAndTheWavesStartOnTheNextUpdate) {
    heightfield_request_state(heightfield_ripple);
    EXPECT_EQ(heightfield.pending_state, heightfield_ripple);
    // The largest initial magnitude, 30, needs about 3.7 s.
    const int updates = settle_fully();
    EXPECT_NEAR(updates * 0.01, 3.7, 0.15);
    EXPECT_EQ(heightfield.state, heightfield_ripple);
    EXPECT_EQ(heightfield.pending_state, heightfield_idle);
    EXPECT_EQ(ripple_phase, 0.0f);
    const float flat_grey = 0.6f * 0.3f + 0.05f;
    for (int v = 0; v < heightfield.vertex_count; ++v) {
        ASSERT_EQ(z(v), 0.0f) << v;
        ASSERT_EQ(heightfield.vertex_colours[v].r, flat_grey) << v;
    }
    // Entering the ripple filled the scaled distances: corner (256, 256) lies 362.04 away.
    EXPECT_EQ(heightfield.radial_distance[544], 0.0f);
    EXPECT_FLOAT_EQ(heightfield.radial_distance[1088], 362.03867f * 0.033333335f);
    EXPECT_FLOAT_EQ(heightfield.radial_distance[0], heightfield.radial_distance[1088]);

    heightfield_update();
    EXPECT_EQ(ripple_phase, -0.02f);
    for (int v = 0; v < heightfield.vertex_count; ++v) {
        ASSERT_EQ(z(v), wave(v)) << v;
    }
    // The vertex on the z axis follows 10 cos(phase).
    EXPECT_FLOAT_EQ(z(544), 10.0f * std::cos(-0.02f));
}

TEST_F(HeightfieldAnimation, RippleRunsOutwardAtSixtyUnitsPerSecond) {
    heightfield_request_state(heightfield_ripple);
    settle_fully();
    // Along the x axis (row 16) the crest nearest the centre after t seconds lies near 60 t.
    const auto crest_x = [] {
        int best = 544;
        for (int v = 544; v <= 560; ++v) {
            if (z(v) > z(best)) {
                best = v;
            }
        }
        return heightfield.positions[best].x;
    };
    frame_dt = 1.0f;
    heightfield_update();
    EXPECT_EQ(crest_x(), 64.0f);
    frame_dt = 2.0f;
    heightfield_update();
    EXPECT_EQ(crest_x(), 176.0f);
    for (int v = 0; v < heightfield.vertex_count; ++v) {
        ASSERT_LE(std::fabs(z(v)), 10.0f);
    }
}

TEST_F(HeightfieldAnimation, IdleChangesNothing) {
    heightfield_request_state(heightfield_idle);
    settle_fully();
    EXPECT_EQ(heightfield.state, heightfield_idle);
    z(7) = 5.0f;  // a height that settle would move
    const std::vector<Vec3> positions(heightfield.positions, heightfield.positions + 1089);
    const std::vector<VertexColour> colours(heightfield.vertex_colours,
                                            heightfield.vertex_colours + 1089);
    heightfield_update();
    EXPECT_EQ(std::memcmp(positions.data(), heightfield.positions, sizeof(Vec3) * 1089), 0);
    EXPECT_EQ(std::memcmp(colours.data(), heightfield.vertex_colours, sizeof(VertexColour) * 1089),
              0);
}

TEST_F(HeightfieldAnimation, RequestWhileRipplingFlattensFirstAndKeepsThePhase) {
    heightfield_request_state(heightfield_ripple);
    settle_fully();
    for (int frame = 0; frame < 50; ++frame) {
        heightfield_update();
    }
    const float phase = ripple_phase;
    EXPECT_NEAR(phase, -1.0f, 1e-5f);

    heightfield_request_state(heightfield_ripple);
    EXPECT_EQ(heightfield.state, heightfield_settle);
    heightfield_update();
    EXPECT_EQ(heightfield.state, heightfield_settle);  // the waves are 10 high: not flat yet
    settle_fully();
    EXPECT_EQ(ripple_phase, phase);
    heightfield_update();
    EXPECT_FLOAT_EQ(ripple_phase, phase - 0.02f);
    EXPECT_EQ(z(544), wave(544));
}

TEST_F(HeightfieldAnimation, RequestForSettlePassesThroughOneMoreFlatUpdate) {
    heightfield_request_state(heightfield_settle);
    while (heightfield.pending_state == heightfield_settle) {
        heightfield_update();
    }
    EXPECT_EQ(heightfield.state, heightfield_settle);  // entered settle once more
    EXPECT_EQ(heightfield.pending_state, heightfield_idle);
    heightfield_update();
    EXPECT_EQ(heightfield.state, heightfield_idle);
}

TEST_F(HeightfieldAnimation, WavesKeepMovingAfterDaysOfRunning) {
    heightfield_request_state(heightfield_ripple);
    settle_fully();
    // Three days at 500 frames per second. Left to grow, a float phase of that size is spaced
    // 0.03125 apart, and a step of 0.004 would leave it where it is.
    const double days = 3 * 86400.0;
    const float long_run_phase = static_cast<float>(days * -2.0);
    ASSERT_EQ(long_run_phase + 0.002f * -2.0f, long_run_phase);
    ripple_phase = long_run_phase;
    frame_dt = 0.002f;

    // The same wave that the unbounded phase would give, within single-precision rounding.
    heightfield_update();
    const double expected = std::fmod(double{long_run_phase} - 0.004, 2 * M_PI);
    EXPECT_LE(std::fabs(ripple_phase), 6.2831855f);
    EXPECT_NEAR(ripple_phase, expected, 1e-6);
    EXPECT_NEAR(z(544), 10 * std::cos(expected), 1e-4);

    // And it advances at 2 radians per second, frame after frame, across the fold at -2 pi.
    ripple_phase = -6.27f;
    int folds = 0;
    for (int frame = 0; frame < 10000; ++frame) {
        const float before = ripple_phase;
        heightfield_update();
        double step = double{ripple_phase} - before;
        if (step > M_PI) {
            step -= 2 * M_PI;
            ++folds;
        }
        ASSERT_NEAR(step, -0.004, 1e-6) << frame;
        ASSERT_EQ(z(544), wave(544)) << frame;
        ASSERT_LE(std::fabs(ripple_phase), 6.2831855f) << frame;
    }
    EXPECT_EQ(folds, 7);
}

TEST_F(HeightfieldAnimation, UpdatesMatchTheStraightforwardArithmeticBitForBit) {
    for (const int size : {32, 7}) {
        SCOPED_TRACE(size);
        ASSERT_NE(heightfield_create(size, size + 3, 16), 0);
        ripple_phase = 0.37f;
        heightfield_request_state(heightfield_ripple);
        reference::Mesh expected = reference::copy_of_heightfield();
        // Uneven frame times, a fold of the phase, and a second settle from the waves.
        for (int frame = 0; frame < 2000; ++frame) {
            frame_dt = 0.001f * static_cast<float>(1 + random_next() % 40);
            if (frame == 1200) {
                heightfield_request_state(heightfield_ripple);
                expected.state = heightfield_settle;
                expected.pending_state = heightfield_ripple;
            }
            heightfield_update();
            reference::update(expected, frame_dt);
            const auto same = [](const auto& want, const auto* got) {
                return std::memcmp(want.data(), got, sizeof(want[0]) * want.size()) == 0;
            };
            ASSERT_EQ(heightfield.state, expected.state) << frame;
            ASSERT_EQ(std::memcmp(&ripple_phase, &expected.ripple_phase, sizeof(float)), 0);
            ASSERT_TRUE(same(expected.positions, heightfield.positions)) << frame;
            ASSERT_TRUE(same(expected.face_normals, heightfield.face_normals)) << frame;
            ASSERT_TRUE(same(expected.vertex_normals, heightfield.vertex_normals)) << frame;
            ASSERT_TRUE(same(expected.vertex_colours, heightfield.vertex_colours)) << frame;
            ASSERT_TRUE(same(expected.radial_distance, heightfield.radial_distance)) << frame;
        }
        EXPECT_EQ(heightfield.state, heightfield_ripple);
    }
}

}  // namespace
}  // namespace zelm
