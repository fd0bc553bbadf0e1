// The heightfield's per-frame cost: one update in settle and in ripple (with the normal and
// lighting passes), beside the straightforward arithmetic it is held to, and one draw into the
// recording OpenGL. Grids of 32 (the scene's), 64, 128 and 180 cells square.
//
// Run: bench_mesh [--benchmark_filter=Ripple]. Times are per update or per draw.
#include <benchmark/benchmark.h>

#include "frame/frame_clock.hpp"
#include "math/random.hpp"
#include "mesh/heightfield.hpp"
#include "tests/support/recording_gl.hpp"
#include "tests/unit/mesh/heightfield_reference.hpp"

namespace zelm {
namespace {

// A mesh of n x n cells of 16 units in the given state, as the scene would leave it.
void build_mesh(benchmark::State& state, int animation_state) {
    random_seed(1);
    ripple_phase = 0.0f;
    if (heightfield_create(static_cast<int>(state.range(0)), static_cast<int>(state.range(0)),
                           16) == 0) {
        state.SkipWithError("heightfield_create failed");
        return;
    }
    heightfield_request_state(animation_state);
    if (animation_state == heightfield_ripple) {
        // Settle at 50 frames per second, then enter the ripple. (Much coarser steps can hop
        // across the band around 0 for ever.)
        frame_dt = 0.02f;
        while (heightfield.state == heightfield_settle) {
            heightfield_update();
        }
    }
    // A frame time of 0 holds the bumps where they are, so settle never completes.
    frame_dt = animation_state == heightfield_settle ? 0.0f : 1.0f / 300.0f;
}

void report(benchmark::State& state) {
    state.SetItemsProcessed(state.iterations() * heightfield.vertex_count);
    state.counters["vertices"] = heightfield.vertex_count;
}

void BM_Settle(benchmark::State& state) {
    build_mesh(state, heightfield_settle);
    for (auto _ : state) {
        heightfield_update();
        benchmark::DoNotOptimize(heightfield.vertex_colours[0]);
    }
    report(state);
    heightfield_release();
}

void BM_SettleStraightforward(benchmark::State& state) {
    build_mesh(state, heightfield_settle);
    reference::Mesh mesh = reference::copy_of_heightfield();
    for (auto _ : state) {
        reference::update(mesh, frame_dt);
        benchmark::DoNotOptimize(mesh.vertex_colours[0]);
    }
    report(state);
    heightfield_release();
}

void BM_Ripple(benchmark::State& state) {
    build_mesh(state, heightfield_ripple);
    for (auto _ : state) {
        heightfield_update();
        benchmark::DoNotOptimize(heightfield.vertex_colours[0]);
    }
    report(state);
    heightfield_release();
}

void BM_RippleStraightforward(benchmark::State& state) {
    build_mesh(state, heightfield_ripple);
    reference::Mesh mesh = reference::copy_of_heightfield();
    for (auto _ : state) {
        reference::update(mesh, frame_dt);
        benchmark::DoNotOptimize(mesh.vertex_colours[0]);
    }
    report(state);
    heightfield_release();
}

// Each pass on its own, in ripple's last state: where the update's time goes.
void BM_FaceNormals(benchmark::State& state) {
    build_mesh(state, heightfield_ripple);
    heightfield_update();
    for (auto _ : state) {
        heightfield_face_normals();
        benchmark::DoNotOptimize(heightfield.face_normals[0]);
    }
    report(state);
    heightfield_release();
}

void BM_VertexNormals(benchmark::State& state) {
    build_mesh(state, heightfield_ripple);
    heightfield_update();
    for (auto _ : state) {
        heightfield_vertex_normals();
        benchmark::DoNotOptimize(heightfield.vertex_normals[0]);
    }
    report(state);
    heightfield_release();
}

void BM_Light(benchmark::State& state) {
    build_mesh(state, heightfield_ripple);
    heightfield_update();
    for (auto _ : state) {
        heightfield_light();
        benchmark::DoNotOptimize(heightfield.vertex_colours[0]);
    }
    report(state);
    heightfield_release();
}

void BM_Draw(benchmark::State& state) {
    build_mesh(state, heightfield_ripple);
    heightfield_update();
    glrec::keep_pixels = false;
    for (auto _ : state) {
        glrec::reset();  // keeps the log's capacity, so it does not grow
        heightfield_draw();
        benchmark::DoNotOptimize(glrec::gl_calls.data());
    }
    report(state);
    heightfield_release();
}

#define MESH_SIZES Arg(32)->Arg(64)->Arg(128)->Arg(180)->Unit(benchmark::kMicrosecond)
BENCHMARK(BM_Settle)->MESH_SIZES;
BENCHMARK(BM_SettleStraightforward)->MESH_SIZES;
BENCHMARK(BM_Ripple)->MESH_SIZES;
BENCHMARK(BM_RippleStraightforward)->MESH_SIZES;
BENCHMARK(BM_FaceNormals)->MESH_SIZES;
BENCHMARK(BM_VertexNormals)->MESH_SIZES;
BENCHMARK(BM_Light)->MESH_SIZES;
BENCHMARK(BM_Draw)->MESH_SIZES;

}  // namespace
}  // namespace zelm

BENCHMARK_MAIN();
