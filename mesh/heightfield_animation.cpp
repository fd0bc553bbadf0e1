// The heightfield's animation: every requested state is reached through settle, which brings
// each height to 0; ripple then runs circular waves outward from the z axis.
//
// Units: heights in world units, frame_dt in seconds, the ripple phase and distances in radians.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "frame/frame_clock.hpp"
#include "mesh/heightfield.hpp"

namespace zelm {

float ripple_phase = 0.0f;

namespace {

// Heights strictly inside (-0.6, 0.6) snap to 0; the float height is compared as a double.
constexpr double settle_band = 0.6;
// Heights move towards 0 at this fraction of themselves per second...
constexpr double settle_rate = 0.8;
// ...but never slower than this many units per second.
constexpr float min_settle_speed = 3.0f;
// Radians of wave per world unit (1/30).
constexpr float ripple_scale = 0.033333335f;
// Radians per second.
constexpr double ripple_speed = -2.0;
constexpr double ripple_amplitude = 10.0;
constexpr double two_pi = 6.283185307179586;

// Moves every height one step towards 0; returns how many lie in the band (now 0).
std::int32_t settle_heights() {
    const float dt = frame_dt;
    std::int32_t settled = 0;
    Vec3* p = heightfield.positions;
    for (std::int32_t v = 0, n = heightfield.vertex_count; v < n; ++v) {
        const float z = p[v].z;
        if (-settle_band < z && z < settle_band) {
            p[v].z = 0.0f;
            ++settled;
        } else {
            float s = static_cast<float>(z * settle_rate);
            if (-min_settle_speed < s && s < min_settle_speed) {
                s = s > 0.0f ? min_settle_speed : -min_settle_speed;
            }
            p[v].z = z - dt * s;
        }
    }
    return settled;
}

// Advances the phase, folding whole periods back towards 0: a float that only grew would, after
// hours, be too coarse for a step of frame_dt x 2 to change it, and the waves would stop.
void advance_ripple_phase() {
    double phase = ripple_phase + frame_dt * ripple_speed;
    if (!(std::fabs(phase) < two_pi)) {
        phase = std::fmod(phase, two_pi);
    }
    ripple_phase = static_cast<float>(phase);
}

// Sets every height to amplitude x cos(distance + phase). Vertices at the same distance share
// one cosine: the wave is computed once per distinct distance, then looked up per vertex.
void ripple_heights() {
    const float phase = ripple_phase;
    const float* distance = heightfield.radial_slot_distance;
    float* height = heightfield.radial_slot_height;
    for (std::int32_t s = 0, n = heightfield.radial_slot_count; s < n; ++s) {
        height[s] = static_cast<float>(std::cos(static_cast<double>(distance[s] + phase)) *
                                       ripple_amplitude);
    }
    const std::uint16_t* slot = heightfield.radial_slot;
    Vec3* p = heightfield.positions;
    for (std::int32_t v = 0, n = heightfield.vertex_count; v < n; ++v) {
        p[v].z = height[slot[v]];
    }
}

// Fills radial_distance and the table of distinct distances with each vertex's slot in it.
void fill_radial_distances() {
    const std::int32_t nv = heightfield.vertex_count;
    const Vec3* p = heightfield.positions;
    float* distance = heightfield.radial_distance;
    for (std::int32_t v = 0; v < nv; ++v) {
        const float r2 = p[v].x * p[v].x + p[v].y * p[v].y;
        distance[v] = static_cast<float>(std::sqrt(static_cast<double>(r2)) * ripple_scale);
    }
    float* table = heightfield.radial_slot_distance;
    std::copy(distance, distance + nv, table);
    std::sort(table, table + nv);
    float* end = std::unique(table, table + nv);
    heightfield.radial_slot_count = static_cast<std::int32_t>(end - table);
    for (std::int32_t v = 0; v < nv; ++v) {
        heightfield.radial_slot[v] =
            static_cast<std::uint16_t>(std::lower_bound(table, end, distance[v]) - table);
    }
}

}  // namespace

void heightfield_request_state(int state) {
    heightfield.state = heightfield_settle;
    heightfield.pending_state = state;
}

void heightfield_enter_state(int state) {
    if (state == heightfield_ripple && heightfield_built()) {
        fill_radial_distances();
    }
}

int heightfield_update() {
    if (!heightfield_built()) {
        return 1;
    }
    switch (heightfield.state) {
        case heightfield_settle:
            if (settle_heights() == heightfield.vertex_count) {
                heightfield.state = heightfield.pending_state;
                heightfield_enter_state(heightfield.state);
                heightfield.pending_state = heightfield_idle;
            }
            break;
        case heightfield_ripple:
            advance_ripple_phase();
            ripple_heights();
            break;
        default:
            return 1;
    }
    return heightfield_normals_and_light();
}

}  // namespace zelm
