// The scene's simulation over days of running: clock, camera orbit, ripple phase and spiral
// emission, without drawing. Rates are measured over the run and must hold within 1 %.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "frame/frame_clock.hpp"
#include "mesh/heightfield.hpp"
#include "particles/particle_system.hpp"
#include "scene/scene.hpp"
#include "tests/support/test_platform.hpp"

namespace zelm {
namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kDaySeconds = 86400.0;

// Degrees or radians gone forward from before to after on a circle of the given period.
double forward_on_circle(double before, double after, double period) {
    double d = std::fmod(after - before, period);
    if (d < 0) {
        d += period;
    }
    return d;
}

// Sets up what the scene's simulation needs: the clock, the camera, a small rippling mesh (the
// phase is what matters; a 2 x 2 grid keeps a million updates quick) and the spiral system.
ParticleSystem* start_simulation(std::uint32_t start_ms) {
    testplatform::now_ms = start_ms;
    frame_clock_start();
    frame_clock_tick();
    camera.position = {0, 0, 130};
    camera.angles = {0, -10, 0};
    orbit_speed = 10.0f;
    EXPECT_NE(heightfield_create(2, 2, 16), 0);
    heightfield_request_state(heightfield_ripple);
    const int id = particle_system_create(particle_spiral);
    particle_system_set_position_by_id(id, 0, 0, 100);
    return particle_system_find(id);
}

struct Totals {
    double yaw_degrees = 0;
    double phase_radians = 0;
    int dt_mismatches = 0;
};

// Steps frames of 1 ms through the clock, the camera, the mesh and the particles, adding up how
// far the camera and the waves went.
Totals step_frames(long frames) {
    Totals totals;
    for (long i = 0; i < frames; ++i) {
        testplatform::now_ms += 1;
        frame_clock_tick();
        if (frame_dt != 0.001f) {
            ++totals.dt_mismatches;
        }
        const double yaw = camera.angles.yaw;
        const double phase = ripple_phase;
        orbit_camera();
        heightfield_update();
        particle_systems_update();
        totals.yaw_degrees += forward_on_circle(yaw, camera.angles.yaw, 360.0);
        totals.phase_radians += forward_on_circle(ripple_phase, phase, 2 * kPi);
    }
    return totals;
}

TEST(Soak, AMillionFramesOfOneMillisecondAcrossTheCounterWrap) {
    // The millisecond counter wraps a quarter of the way in.
    ParticleSystem* spiral = start_simulation(0xFFFFFFFFu - 250000u);
    ASSERT_NE(spiral, nullptr);
    const long frames = 1000000;  // 1000 s
    const Totals totals = step_frames(frames);

    EXPECT_EQ(totals.dt_mismatches, 0);
    EXPECT_NEAR(totals.yaw_degrees, 10.0 * 1000, 10.0 * 1000 * 0.01);
    EXPECT_NEAR(totals.phase_radians, 2.0 * 1000, 2.0 * 1000 * 0.01);
    // Every live particle was born in the last 30 s and one is born every 0.03 s.
    EXPECT_NEAR(spiral->live_count, 1000, 10);
    EXPECT_EQ(heightfield.state, heightfield_ripple);
    EXPECT_LT(std::fabs(camera.angles.yaw), 360.0f);
    EXPECT_LT(std::fabs(ripple_phase), 2 * kPi);
}

TEST(Soak, ThirtyDaysAtAThousandFramesPerSecondKeepTheRates) {
    // Start from the values thirty days of frames would have left in accumulators that only grow.
    const double seconds = 30 * kDaySeconds;
    ParticleSystem* spiral = start_simulation(
        static_cast<std::uint32_t>(static_cast<std::uint64_t>(seconds * 1000) & 0xFFFFFFFFu));
    ASSERT_NE(spiral, nullptr);
    camera.angles.yaw = static_cast<float>(10.0 * seconds);
    ripple_phase = static_cast<float>(-2.0 * seconds);
    spiral->emit_clock = static_cast<float>(seconds);
    spiral->next_emit_time = static_cast<float>(seconds);

    // Settle the mesh (heights of up to 30 at 3 units/s or more) and fill the pool for 31 s.
    step_frames(31000);
    EXPECT_EQ(heightfield.state, heightfield_ripple);
    EXPECT_NEAR(spiral->live_count, 1000, 10);

    const Totals totals = step_frames(60000);
    EXPECT_EQ(totals.dt_mismatches, 0);
    EXPECT_NEAR(totals.yaw_degrees, 10.0 * 60, 10.0 * 60 * 0.01);
    EXPECT_NEAR(totals.phase_radians, 2.0 * 60, 2.0 * 60 * 0.01);
    EXPECT_NEAR(spiral->live_count, 1000, 10);
    // The orbit is still the same circle.
    const double radius = std::hypot(camera.position.x, camera.position.y);
    EXPECT_NEAR(radius, 120.0, 1e-3);
    EXPECT_EQ(camera.position.z, 130.0f);
}

}  // namespace
}  // namespace zelm
