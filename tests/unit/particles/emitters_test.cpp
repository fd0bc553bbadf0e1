// Emission, the two emitter types, ageing, deaths and compaction.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <set>

#include "frame/frame_clock.hpp"
#include "math/random.hpp"
#include "particles/particle_system.hpp"
#include "tests/support/test_platform.hpp"
#include "tests/unit/particles/particle_state.hpp"

namespace zelm {
namespace {

using Emission = ParticleState;
using Lifetime = ParticleState;
using Fountain = ParticleState;
using Spiral = ParticleState;
using Compaction = ParticleState;
using LongRun = ParticleState;

ParticleSystem* make(int type) {
    return particle_system_find(particle_system_create(type));
}

// Runs one update with the frame length dt.
void frame(float dt) {
    frame_dt = dt;
    particle_systems_update();
}

// Live records first, dead ones (age exactly -1) after.
::testing::AssertionResult packed(const ParticleSystem* s) {
    if (s->live_count < 0 || s->live_count > s->capacity) {
        return ::testing::AssertionFailure() << "live_count " << s->live_count;
    }
    for (int i = 0; i < s->capacity; ++i) {
        const float age = s->particles[i]->age;
        if (i < s->live_count ? !(age >= 0.0f) : age != -1.0f) {
            return ::testing::AssertionFailure()
                   << "entry " << i << " has age " << age << " with live_count " << s->live_count;
        }
    }
    return ::testing::AssertionSuccess();
}

TEST_F(Emission, FirstFrameOfFiftyMillisecondsSpawnsTwo) {
    ParticleSystem* s = make(particle_spiral);
    frame(0.05f);
    EXPECT_EQ(s->live_count, 2);  // at emission times 0 and 0.03
    EXPECT_EQ(s->emit_clock, 0.05f);
    EXPECT_EQ(s->next_emit_time, 0.03f + 0.03f);
    EXPECT_EQ(s->particles[0]->age, 0.05f);
    EXPECT_TRUE(packed(s));
}

TEST_F(Emission, ZeroFrameSpawnsNothingAgesNothingMovesNothing) {
    ParticleSystem* s = make(particle_spiral);
    frame(0.0f);
    EXPECT_EQ(s->live_count, 0);  // emit_clock 0 is not past next_emit_time 0
    frame(0.1f);
    const Particle before = *s->particles[1];
    const int live = s->live_count;
    frame(0.0f);
    EXPECT_EQ(s->live_count, live);
    const Particle& after = *s->particles[1];
    EXPECT_EQ(after.age, before.age);
    EXPECT_EQ(after.position.x, before.position.x);
    EXPECT_EQ(after.velocity.z, before.velocity.z);
    EXPECT_EQ(after.colour[1], before.colour[1]);
}

TEST_F(Emission, FullPoolKeepsTheBacklogUntilRecordsAreFree) {
    ParticleSystem* s = make(particle_spiral);
    frame(0.0f);  // seeds the spiral
    for (int i = 0; i < s->capacity; ++i) {
        s->particles[i]->age = i < 5 ? 29.95f : 1.0f;
    }
    s->live_count = s->capacity;

    frame(0.1f);  // full at emission: nothing spawns; then five die
    EXPECT_EQ(s->emit_clock, 0.1f);
    EXPECT_EQ(s->next_emit_time, 0.0f);
    EXPECT_EQ(s->live_count, s->capacity - 5);
    EXPECT_TRUE(packed(s));

    frame(0.1f);  // the backlog of seven spawns fills the five free records
    EXPECT_EQ(s->live_count, s->capacity);
    float expected_next = 0.0f;
    for (int i = 0; i < 5; ++i) {
        expected_next += 0.03f;
    }
    EXPECT_EQ(s->next_emit_time, expected_next);

    frame(0.0f);
    EXPECT_EQ(s->next_emit_time, expected_next);
    EXPECT_TRUE(packed(s));
}

TEST_F(Emission, HeldBackSpawnsComeEvenInAZeroFrame) {
    ParticleSystem* s = make(particle_spiral);
    frame(0.0f);
    for (int i = 0; i < s->capacity; ++i) {
        s->particles[i]->age = i < 3 ? 29.9f : 1.0f;
    }
    s->live_count = s->capacity;
    frame(0.2f);  // three die after a full emission
    ASSERT_EQ(s->live_count, s->capacity - 3);
    frame(0.0f);
    EXPECT_EQ(s->live_count, s->capacity);
    EXPECT_TRUE(packed(s));
}

TEST_F(Emission, DurationGateClosesWithoutAdvancingTheClock) {
    ParticleSystem* s = make(particle_fountain);
    s->emit_duration = 0.1f;
    frame(0.06f);
    EXPECT_EQ(s->emit_clock, 0.06f);
    const int live = s->live_count;
    EXPECT_EQ(live, 7);  // 0, 0.009, ..., 0.054
    frame(0.06f);        // 0.12 is not below 0.1
    EXPECT_EQ(s->emit_clock, 0.06f);
    EXPECT_EQ(s->live_count, live);
    frame(0.03f);  // a shorter frame opens it again
    EXPECT_EQ(s->emit_clock, 0.06f + 0.03f);
    EXPECT_GT(s->live_count, live);
}

TEST_F(Emission, InactiveSystemsNeitherDriftNorEmit) {
    ParticleSystem* a = make(particle_fountain);
    ParticleSystem* b = make(particle_fountain);
    a->drift_velocity = Vec3{1.0f, -2.0f, 4.0f};
    b->drift_velocity = a->drift_velocity;
    b->active = 0;
    frame(0.5f);
    EXPECT_EQ(a->position.x, 0.5f);
    EXPECT_EQ(a->position.y, -1.0f);
    EXPECT_EQ(a->position.z, 2.0f);
    EXPECT_GT(a->live_count, 0);
    EXPECT_EQ(b->position.x, 0.0f);
    EXPECT_EQ(b->live_count, 0);
    EXPECT_EQ(b->emit_clock, 0.0f);
}

TEST_F(Lifetime, FountainDiesAtTwoSecondsExactly) {
    ParticleSystem* s = make(particle_fountain);
    frame(0.001f);
    Particle* p = s->particles[0];
    p->age = 1.5f;
    frame(0.4999f);
    EXPECT_GT(p->age, 0.0f);  // 1.9999 lives
    p->age = 1.5f;
    frame(0.5f);
    EXPECT_EQ(p->age, -1.0f);
    EXPECT_TRUE(packed(s));
}

TEST_F(Lifetime, SpiralDiesAtThirtySecondsExactly) {
    ParticleSystem* s = make(particle_spiral);
    frame(7.5f);
    Particle* first = s->particles[0];
    const Vec3 moved = first->position;
    frame(7.5f);
    frame(7.5f);
    EXPECT_EQ(first->age, 22.5f);
    const Vec3 before = first->position;
    frame(7.5f);  // 30.0: dies, and nothing else happens to it
    EXPECT_EQ(first->age, -1.0f);
    EXPECT_EQ(first->position.x, before.x);
    EXPECT_NE(before.x, moved.x);
    EXPECT_TRUE(packed(s));
}

TEST_F(Fountain, BirthFollowsTheNineDrawsInOrder) {
    ParticleSystem* s = make(particle_fountain);
    random_seed(2026);  // draws 6654 26038 5409 28694 199 4728 22735 32634 6804, then 26467
    const float dt = 0.001f;
    frame(dt);
    ASSERT_EQ(s->live_count, 1);
    const Particle& p = *s->particles[0];

    // Colour: (6654 mod 50 + 155) / 255 = 159 / 255, then one pass of fading.
    const float level = 159.0f * (1.0f / 255.0f);
    EXPECT_FLOAT_EQ(p.colour[0], level - 0.125f * dt);
    EXPECT_FLOAT_EQ(p.colour[1], level - 0.125f * dt);
    EXPECT_FLOAT_EQ(p.colour[2], 1.0f - 0.125f * dt * 1.2f);
    EXPECT_EQ(p.colour[3], 0.4f);

    // Yaw 26038 mod 360 = 118, pitch 5409 mod 15 + 75 = 84: forward is
    // (cos 84 cos 118, -cos 84 sin 118, sin 84) = (-0.0490731, -0.0922932, 0.9945219).
    // Position multipliers 4, 4, 3; velocity multipliers 185, 184, 174.
    const Vec3 velocity{-0.0490731f * 185, -0.0922932f * 184, 0.9945219f * 174};
    EXPECT_NEAR(p.position.x, -0.0490731f * 4 + velocity.x * dt, 2e-6);
    EXPECT_NEAR(p.position.y, -0.0922932f * 4 + velocity.y * dt, 2e-6);
    EXPECT_NEAR(p.position.z, 0.0f + velocity.z * dt, 2e-6);
    EXPECT_NEAR(p.velocity.x, velocity.x, 1e-4);
    EXPECT_NEAR(p.velocity.y, velocity.y, 1e-4);
    EXPECT_NEAR(p.velocity.z, velocity.z - 200.0f * dt, 1e-4);
    EXPECT_EQ(p.age, dt);
    EXPECT_EQ(random_next(), 26467);  // exactly nine draws were taken
}

TEST_F(Spiral, SeedsOnceFromTheClockAndStartsFromTwoDraws) {
    ParticleSystem* a = make(particle_spiral);
    make(particle_spiral);
    testplatform::now_ms = 777;  // draws 2575, 3391, then 8067
    frame(0.0f);
    EXPECT_EQ(spiral_seeded, 1);
    EXPECT_EQ(spiral_yaw, 2575.0f - 36000.0f);
    EXPECT_EQ(spiral_pitch, 3391.0f - 36000.0f);
    testplatform::now_ms = 4242;
    frame(0.0f);
    EXPECT_EQ(spiral_yaw, 2575.0f - 36000.0f);
    EXPECT_EQ(random_next(), 8067);
    EXPECT_EQ(a->live_count, 0);
}

TEST_F(Spiral, BirthIsTheNextPointOfTheSpiral) {
    ParticleSystem* s = make(particle_spiral);
    frame(0.0f);
    spiral_yaw = 71.0f;
    spiral_pitch = 29.9f;
    const float dt = 1e-6f;
    frame(dt);
    ASSERT_EQ(s->live_count, 1);
    const Particle& p = *s->particles[0];
    EXPECT_EQ(spiral_yaw, 90.0f);
    EXPECT_EQ(spiral_pitch, 29.9f + 0.1f);
    // Radius cos(0.3 rad) * 50 = 47.76683 along forward(pitch 30, yaw 90) = (0, -cos 30, sin 30);
    // velocity 10 along forward(pitch 90, yaw 0) = (0, 0, 1).
    EXPECT_NEAR(p.position.x, 0.0f, 1e-4);
    EXPECT_NEAR(p.position.y, -41.36728f, 1e-4);
    EXPECT_NEAR(p.position.z, 23.88341f, 1e-4);
    EXPECT_NEAR(p.velocity.x, 0.0f, 1e-3);
    EXPECT_NEAR(p.velocity.z, 10.0f, 1e-3);
    EXPECT_FLOAT_EQ(p.colour[0], 0.5f - 0.01f * dt);
    EXPECT_FLOAT_EQ(p.colour[1], 1.0f - dt / 3.0f);
    EXPECT_EQ(p.colour[3], 0.7f);
}

TEST_F(Spiral, AnglesWrapAfterTheSpawnThatPassesThem) {
    ParticleSystem* s = make(particle_spiral);
    frame(0.0f);
    spiral_yaw = 35981.0f;
    spiral_pitch = 35999.95f;
    frame(1e-6f);
    ASSERT_EQ(s->live_count, 1);
    EXPECT_EQ(spiral_yaw, 36000.0f);  // exactly 36000 stays
    const float passed = 35999.95f + 0.1f;
    ASSERT_GT(passed, 36000.0f);
    EXPECT_EQ(spiral_pitch, passed - 72000.0f);
    // The spawn used the angle before the wrap: the radius is cos(0.01 * 36000.05) * 50, which
    // differs from the wrapped angle's by about 0.05.
    const Vec3& p = s->particles[0]->position;
    const float radius = std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z);
    EXPECT_NEAR(radius, std::fabs(std::cos(0.01f * passed) * 50.0f), 2e-3);
    EXPECT_GT(std::fabs(radius - std::fabs(std::cos(0.01f * (passed - 72000.0f)) * 50.0f)), 0.02f);

    frame(0.03f);
    ASSERT_EQ(s->live_count, 2);
    EXPECT_EQ(spiral_yaw, 36019.0f - 72000.0f);
}

TEST_F(Compaction, LiveFirstAfterThousandsOfRandomFrames) {
    ParticleSystem* spiral = make(particle_spiral);
    ParticleSystem* fountain = make(particle_fountain);
    fountain->drift_velocity = Vec3{3.0f, 0.0f, -1.0f};
    const std::set<Particle*> spiral_records(spiral->particles,
                                             spiral->particles + spiral->capacity);
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    int full_frames = 0;
    for (int n = 0; n < 6000; ++n) {
        const float pick = unit(rng);
        // Mostly real frame lengths (whole milliseconds), some stalls, some zero frames.
        const float dt = pick < 0.1f   ? 0.0f
                         : pick < 0.9f ? static_cast<float>(1 + rng() % 50) * 0.001f
                                       : unit(rng) * 4.0f;
        frame(dt);
        ASSERT_TRUE(packed(spiral)) << "frame " << n;
        ASSERT_TRUE(packed(fountain)) << "frame " << n;
        full_frames += fountain->live_count == fountain->capacity;
    }
    EXPECT_GT(full_frames, 0);  // the backlog path was taken
    const std::set<Particle*> after(spiral->particles, spiral->particles + spiral->capacity);
    EXPECT_EQ(after, spiral_records);  // only pointers moved
}

TEST_F(Compaction, DeadEntriesInTheLiveRangeTakeLiveOnesFromTheEnd) {
    ParticleSystem* s = make(particle_fountain);
    Particle** p = s->particles;
    Particle* const original[6] = {p[0], p[1], p[2], p[3], p[4], p[5]};
    const float ages[6] = {0.5f, -1.0f, 0.7f, -1.0f, 0.9f, 1.1f};
    for (int i = 0; i < 6; ++i) {
        p[i]->age = ages[i];
    }
    s->live_count = 4;
    particle_system_compact(s);
    EXPECT_EQ(p[0], original[0]);
    EXPECT_EQ(p[1], original[5]);
    EXPECT_EQ(p[2], original[2]);
    EXPECT_EQ(p[3], original[4]);
    EXPECT_EQ(p[4], original[3]);
    EXPECT_EQ(p[5], original[1]);
    EXPECT_TRUE(packed(s));
}

TEST_F(LongRun, DaysOfUnlimitedEmissionKeepOneSpawnPerInterval) {
    ParticleSystem* s = make(particle_spiral);
    frame(0.0f);
    // Three days of unlimited emission: as plain growing floats these would no longer move by a
    // millisecond (their spacing there is 1/32 s).
    s->emit_clock = 259200.0f;
    s->next_emit_time = 259200.0f - 0.015f;
    int spawns = 0;
    int last_spawn = -1;
    int shortest_gap = 1 << 30;
    int longest_gap = 0;
    for (int n = 0; n < 30000; ++n) {  // 30 s of 1 ms frames
        const int before = s->live_count;
        frame(0.001f);
        ASSERT_LT(s->emit_clock, 64.0f);
        ASSERT_LT(s->next_emit_time, 64.0f);
        ASSERT_LT(s->emit_clock - s->next_emit_time, 0.03f);
        if (s->live_count > before) {
            ASSERT_EQ(s->live_count, before + 1) << "a burst at frame " << n;
            ++spawns;
            // The first moves out of the 1/32 s grid may be uneven; after that, no jitter.
            if (last_spawn >= 0 && n >= 1000) {
                shortest_gap = std::min(shortest_gap, n - last_spawn);
                longest_gap = std::max(longest_gap, n - last_spawn);
            }
            last_spawn = n;
        }
    }
    EXPECT_NEAR(spawns, 1000, 2);
    EXPECT_GE(shortest_gap, 29);
    EXPECT_LE(longest_gap, 31);
}

TEST_F(LongRun, LimitedEmissionKeepsItsClock) {
    ParticleSystem* s = make(particle_fountain);
    s->emit_duration = 1000.0f;
    s->emit_clock = 100.0f;
    s->next_emit_time = 100.0f;
    frame(0.001f);
    EXPECT_EQ(s->emit_clock, 100.0f + 0.001f);
}

}  // namespace
}  // namespace zelm
