// Particle systems: emitters with fixed pools of particle records, kept in one doubly linked
// list in creation order, updated and drawn once per frame.
//
// Units: world units (particle positions relative to their system), seconds, degrees for the
// spiral's running angles. All emitter and particle arithmetic is in 32-bit floats.
#pragma once

#include <cstdint>

#include "math/vector.hpp"

namespace zelm {

struct Particle {
    Vec3 position;    // relative to the owning system
    Vec3 velocity;    // units per second
    float colour[4];  // r, g, b, a; not clamped
    float age;        // seconds since spawn; -1 marks a dead record
};

enum ParticleSystemType : std::int32_t {
    particle_fountain = 1,
    particle_spiral = 2,
};

struct ParticleSystem {
    ParticleSystem* next;
    ParticleSystem* prev;
    std::int32_t id;
    std::int32_t type;
    Vec3 position;
    Vec3 drift_velocity;  // units per second
    float emit_clock;     // seconds of emission so far
    float emit_duration;  // 0: unlimited
    float emit_interval;  // seconds between two spawns
    float next_emit_time;
    std::int32_t live_count;  // live records are particles[0 .. live_count - 1]
    std::int32_t capacity;
    Particle** particles;  // capacity pointers, each to its own record
    std::uint8_t active;
};

extern ParticleSystem* particle_system_head;
extern ParticleSystem* particle_system_tail;
extern std::int32_t particle_system_last_id;

// Creates a system of the type (1 fountain, 2 spiral) at the list's tail; returns its id, 0 when
// refused, or -1 when memory for its particles ran out (the process is to end with -1).
int particle_system_create(int type);
// The first system in list order with the id, or null.
ParticleSystem* particle_system_find(int id);
// Stores the position unchanged.
void particle_system_set_position(ParticleSystem* system, float x, float y, float z);
// Moves the system with the id; does nothing when there is none.
void particle_system_set_position_by_id(int id, float x, float y, float z);
// A new record in the dead state, or null when memory is exhausted.
Particle* particle_new();
// Puts a record in the freshly spawned state (age 0).
void particle_reset(Particle* particle);
// Fills a system whose type is set and allocates its pool; 1, 0 for an unknown type or no
// pointer array, -1 when a particle cannot be allocated (nothing of the pool is kept).
int particle_system_init(ParticleSystem* system);

// The spiral emitter's running angles, shared by every spiral system; seeded by the first
// spiral update of the process.
extern int spiral_seeded;
extern float spiral_yaw;    // degrees, +19 per spawn
extern float spiral_pitch;  // degrees, +0.1 per spawn

// Drifts, emits, ages and compacts every active system, scaled by frame_dt.
void particle_systems_update();
// Emission, ageing pass and compaction of a fountain (type 1).
void fountain_update(ParticleSystem* system);
// Seeding (once per process), emission, ageing pass and compaction of a spiral (type 2).
void spiral_update(ParticleSystem* system);
// Swaps pointers so that the live records come first.
void particle_system_compact(ParticleSystem* system);

// The sprites' destination blend factor: GL_ONE (additive), or GL_ONE_MINUS_SRC_ALPHA when the
// alternate blending setting is on. Set by scene setup.
extern unsigned particle_blend_dst;

// Sorts and draws every system in list order, active or not.
void particle_systems_draw();
// Sorts one system's live particles along the camera's dominant axis and draws its sprites.
void particle_system_draw(ParticleSystem* system);
// Sorts particles[first .. last] (inclusive) by ascending position along the axis (0 x, 1 y, 2 z).
void particle_sort(ParticleSystem* system, int first, int last, int axis);
// Partitions particles[first .. last] around its middle entry; returns the pivot's final index.
int particle_partition(Particle** particles, int first, int last, int axis);

}  // namespace zelm
