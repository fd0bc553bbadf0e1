// Per-frame cost of the particle systems: update, sort and sprite drawing (into the recording
// OpenGL) of a spiral system at steady state, at 1000 frames per second with the scene's
// circling camera. Run: build/<dir>/bench/particles/bench_particles
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "frame/camera.hpp"
#include "frame/frame_clock.hpp"
#include "particles/particle_system.hpp"
#include "tests/support/recording_gl.hpp"

namespace zelm {
namespace {

constexpr float kFrame = 0.001f;  // seconds

// The scene's orbit: radius 120 at height 130, 10 degrees per second.
void orbit(float dt) {
    camera.angles.yaw += 10.0f * dt;
    const double r = camera.angles.yaw * kDegreesToRadians;
    camera.position = Vec3{static_cast<float>(std::cos(r) * -120.0),
                           static_cast<float>(std::sin(r) * 120.0), 130.0f};
}

// The axis the drawing sorts on for the system (as particle_system_draw picks it).
int sort_axis(const ParticleSystem* s) {
    const Vec3 d{s->position.x - camera.position.x, s->position.y - camera.position.y,
                 s->position.z - camera.position.z};
    return dominant_axis(Vec3{std::fabs(d.x), std::fabs(d.y), std::fabs(d.z)});
}

// One spiral system at (0, 0, 100) whose steady state holds about `live` particles, run with
// 50 ms frames for a minute of its time and then 1 ms frames for a second.
ParticleSystem* steady_spiral(int live) {
    static ParticleSystem* system = nullptr;
    if (system == nullptr) {
        system = particle_system_find(particle_system_create(particle_spiral));
        particle_system_set_position(system, 0.0f, 0.0f, 100.0f);
    }
    // Lifetime 30 s over the interval; a little under the pool when asking for all of it.
    system->emit_interval = 30.0f / (static_cast<float>(live) * (live >= 2000 ? 0.99f : 1.0f));
    camera = Camera{{-120, 0, 130}, {0, -10, 0}};
    for (int i = 0; i < 1200; ++i) {
        frame_dt = 0.05f;
        orbit(frame_dt);
        particle_systems_update();
        particle_sort(system, 0, system->live_count - 1, sort_axis(system));
    }
    frame_dt = kFrame;
    for (int i = 0; i < 1000; ++i) {
        orbit(kFrame);
        particle_systems_update();
        particle_sort(system, 0, system->live_count - 1, sort_axis(system));
    }
    return system;
}

// What draw_frame does for the particles: update, then sort and draw.
void BM_UpdateAndDraw(benchmark::State& state) {
    ParticleSystem* s = steady_spiral(static_cast<int>(state.range(0)));
    glrec::gl_calls.reserve(16 * 2048 + 64);
    for (auto _ : state) {
        orbit(kFrame);
        glrec::gl_calls.clear();
        particle_systems_update();
        particle_systems_draw();
    }
    state.counters["live"] = s->live_count;
    state.SetComplexityN(s->live_count);
}
BENCHMARK(BM_UpdateAndDraw)->Arg(250)->Arg(1000)->Arg(2000)->Unit(benchmark::kMicrosecond);

// Update and sort without the GL calls.
void BM_UpdateAndSort(benchmark::State& state) {
    ParticleSystem* s = steady_spiral(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        orbit(kFrame);
        particle_systems_update();
        particle_sort(s, 0, s->live_count - 1, sort_axis(s));
    }
    state.counters["live"] = s->live_count;
    state.SetComplexityN(s->live_count);
}
BENCHMARK(BM_UpdateAndSort)
    ->Arg(250)
    ->Arg(1000)
    ->Arg(2000)
    ->Unit(benchmark::kMicrosecond)
    ->Complexity(benchmark::oNLogN);

// The update alone.
void BM_Update(benchmark::State& state) {
    ParticleSystem* s = steady_spiral(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        orbit(kFrame);
        particle_systems_update();
        benchmark::DoNotOptimize(s->live_count);
    }
    state.counters["live"] = s->live_count;
}
BENCHMARK(BM_Update)->Arg(250)->Arg(1000)->Arg(2000)->Unit(benchmark::kMicrosecond);

// The sorting steps written out with particle_partition alone, for comparison: the order that
// particle_sort reproduces, without its quicker route.
void plain_quicksort(Particle** particles, int first, int last, int axis) {
    while (first < last) {
        const int pivot = particle_partition(particles, first, last, axis);
        plain_quicksort(particles, first, pivot - 1, axis);
        first = pivot + 1;
    }
}

// The sort alone, on last frame's order: a frame's update is made once, and every iteration
// sorts a copy of the pool as that update left it (the copy is included in the time).
template <bool plain>
void sort_from_snapshot(benchmark::State& state, bool switch_axis) {
    ParticleSystem* s = steady_spiral(static_cast<int>(state.range(0)));
    orbit(kFrame);
    particle_systems_update();
    int axis = sort_axis(s);
    if (switch_axis) {
        // Last frame sorted along the other horizontal axis.
        particle_sort(s, 0, s->live_count - 1, 1 - axis);
    }
    const std::vector<Particle*> snapshot(s->particles, s->particles + s->live_count);
    for (auto _ : state) {
        std::memcpy(s->particles, snapshot.data(), snapshot.size() * sizeof(Particle*));
        if (plain) {
            plain_quicksort(s->particles, 0, s->live_count - 1, axis);
        } else {
            particle_sort(s, 0, s->live_count - 1, axis);
        }
        benchmark::DoNotOptimize(s->particles[0]);
    }
    state.counters["live"] = s->live_count;
    state.SetComplexityN(s->live_count);
}

void BM_SortLastFrameOrder(benchmark::State& state) {
    sort_from_snapshot<false>(state, false);
}
void BM_SortAfterAxisSwitch(benchmark::State& state) {
    sort_from_snapshot<false>(state, true);
}
void BM_PlainQuicksortLastFrameOrder(benchmark::State& state) {
    sort_from_snapshot<true>(state, false);
}
void BM_PlainQuicksortAfterAxisSwitch(benchmark::State& state) {
    sort_from_snapshot<true>(state, true);
}
BENCHMARK(BM_SortLastFrameOrder)
    ->Arg(250)
    ->Arg(1000)
    ->Arg(2000)
    ->Unit(benchmark::kMicrosecond)
    ->Complexity(benchmark::oNLogN);
BENCHMARK(BM_PlainQuicksortLastFrameOrder)
    ->Arg(250)
    ->Arg(1000)
    ->Arg(2000)
    ->Unit(benchmark::kMicrosecond)
    ->Complexity(benchmark::oNLogN);
BENCHMARK(BM_SortAfterAxisSwitch)
    ->Arg(250)
    ->Arg(1000)
    ->Arg(2000)
    ->Unit(benchmark::kMicrosecond)
    ->Complexity(benchmark::oNLogN);
BENCHMARK(BM_PlainQuicksortAfterAxisSwitch)
    ->Arg(250)
    ->Arg(1000)
    ->Arg(2000)
    ->Unit(benchmark::kMicrosecond)
    ->Complexity(benchmark::oNLogN);

}  // namespace
}  // namespace zelm

BENCHMARK_MAIN();
