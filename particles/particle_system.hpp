// Particle systems: emitters with fixed pools of particle records, kept in one doubly linked
// list in creation order. Positions in world units (particles relative to their system),
// times in seconds.
#pragma once

#include <cstdint>

#include "math/vector.hpp"

namespace zelm {

struct Particle {
    Vec3 position;  // relative to the owning system
    Vec3 velocity;  // units per second
    float colour[4];  // r, g, b, a; not clamped
    float age;      // seconds since spawn; -1 marks a dead record
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
    Vec3 drift_velocity;
    float emit_clock;
    float emit_duration;  // 0: unlimited
    float emit_interval;
    float next_emit_time;
    std::int32_t live_count;
    std::int32_t capacity;
    Particle** particles;
    std::uint8_t active;
};

extern ParticleSystem* particle_system_head;
extern ParticleSystem* particle_system_tail;
extern std::int32_t particle_system_last_id;

int particle_system_create(int type);
ParticleSystem* particle_system_find(int id);
void particle_system_set_position(ParticleSystem* system, float x, float y, float z);
void particle_system_set_position_by_id(int id, float x, float y, float z);
Particle* particle_new();
void particle_reset(Particle* particle);
int particle_system_init(ParticleSystem* system);

// Per-frame motion and emission.
extern int spiral_seeded;
extern float spiral_yaw;
extern float spiral_pitch;

void particle_systems_update();
void fountain_update(ParticleSystem* system);
void spiral_update(ParticleSystem* system);
void particle_system_compact(ParticleSystem* system);

// Depth sorting and sprites.
void particle_systems_draw();
void particle_system_draw(ParticleSystem* system);
void particle_sort(ParticleSystem* system, int first, int last, int axis);
int particle_partition(Particle** particles, int first, int last, int axis);

}  // namespace zelm
