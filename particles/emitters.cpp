// Emitter behaviours: every frame each active system drifts, spawns on its emission clock, ages,
// moves and fades its live particles, retires those that reach their lifetime, and packs the live
// ones to the front of its pool.
//
// Units: seconds, world units, degrees. Everything is 32-bit float arithmetic; the per-pass
// coefficients are computed once per pass as floats.
#include <cmath>
#include <utility>

#include "frame/frame_clock.hpp"
#include "math/random.hpp"
#include "math/vector.hpp"
#include "particles/particle_system.hpp"
#include "platform/platform.hpp"

namespace zelm {

int spiral_seeded = 0;
float spiral_yaw = 0.0f;
float spiral_pitch = 0.0f;

namespace {

constexpr float kFountainLifetime = 2.0f;
constexpr float kSpiralLifetime = 30.0f;

// With unlimited emission the two emission times only grow, and a float that only grows soon
// cannot take a millisecond step. Once emit_clock reaches kEmitClockLimit both times are moved
// back by the same whole multiple of kEmitClockShift (a power of two, so the move is exact);
// spawning only depends on their difference.
constexpr float kEmitClockLimit = 64.0f;
constexpr float kEmitClockShift = 32.0f;

// Keeps emit_clock below kEmitClockLimit while emission is unlimited.
void bound_emission_times(ParticleSystem* system) {
    if (system->emit_duration != 0.0f || !(system->emit_clock >= kEmitClockLimit)) {
        return;
    }
    const float shift = (std::floor(system->emit_clock / kEmitClockShift) - 1.0f) * kEmitClockShift;
    system->emit_clock -= shift;
    system->next_emit_time -= shift;
}

// Runs the emission clock and spawns one particle per whole interval passed, as far as the pool
// has free records; birth(particle) gives a reset record its type's values.
template <typename Birth>
void emit(ParticleSystem* system, Birth birth) {
    if (!(system->emit_duration == 0.0f || system->emit_clock + frame_dt < system->emit_duration)) {
        return;
    }
    system->emit_clock += frame_dt;
    if (system->live_count != system->capacity) {
        while (system->emit_clock > system->next_emit_time) {
            system->next_emit_time += system->emit_interval;
            Particle* particle = system->particles[system->live_count];
            particle_reset(particle);
            birth(particle);
            ++system->live_count;
            if (system->live_count == system->capacity) {
                break;
            }
        }
    }
    bound_emission_times(system);
}

// Fountain birth values, from nine random draws in this order.
void fountain_birth(Particle* p) {
    const float level = static_cast<float>(random_next() % 50 + 155) * (1.0f / 255.0f);
    p->colour[0] = level;
    p->colour[1] = level;
    p->colour[2] = 1.0f;
    p->colour[3] = 0.4f;

    const float yaw = static_cast<float>(random_next() % 360);
    const float pitch = static_cast<float>(random_next() % 15 + 75);
    angle_vectors(Angles{0.0f, pitch, yaw}, &p->velocity, nullptr, nullptr);

    p->position = Vec3{p->velocity.x, p->velocity.y, 0.0f};
    p->position.x *= static_cast<float>(random_next() % 5);
    p->position.y *= static_cast<float>(random_next() % 5);
    p->position.z *= static_cast<float>(random_next() % 5);

    p->velocity.x *= static_cast<float>(random_next() % 20 + 170);
    p->velocity.y *= static_cast<float>(random_next() % 20 + 170);
    p->velocity.z *= static_cast<float>(random_next() % 20 + 170);
}

// Spiral birth values: the next point of the turning spiral; no random draws.
void spiral_birth(Particle* p) {
    p->colour[0] = 0.5f;
    p->colour[1] = 1.0f;
    p->colour[2] = 1.0f;
    p->colour[3] = 0.7f;

    spiral_pitch += 0.1f;
    spiral_yaw += 19.0f;
    angle_vectors(Angles{0.0f, spiral_pitch, spiral_yaw}, &p->position, nullptr, nullptr);
    // 0.01 times the running angle is taken as radians: the radius swings between 50 and -50.
    // The cosine is the double one rounded to float: float cosines differ between C libraries
    // (glibc's and msvcrt's), and the Linux and Windows builds must agree.
    const float cosine = static_cast<float>(std::cos(static_cast<double>(0.01f * spiral_pitch)));
    const float radius = cosine * 50.0f;
    p->position.x *= radius;
    p->position.y *= radius;
    p->position.z *= radius;

    angle_vectors(Angles{0.0f, spiral_pitch + 60.0f, spiral_yaw - 90.0f}, &p->velocity, nullptr,
                  nullptr);
    p->velocity.x *= 10.0f;
    p->velocity.y *= 10.0f;
    p->velocity.z *= 10.0f;

    // The wrap follows the spawn, so a spawn may use an angle up to one step above 36000.
    if (spiral_yaw > 36000.0f) {
        spiral_yaw -= 72000.0f;
    }
    if (spiral_pitch > 36000.0f) {
        spiral_pitch -= 72000.0f;
    }
}

// Compaction with the back scan starting at entry from: every entry above it is known to be
// dead, so the scan from the end of the pool would only have walked over them.
void compact_from(ParticleSystem* system, std::int32_t from) {
    Particle** particles = system->particles;
    std::int32_t i = 0;
    std::int32_t j = system->capacity - 1;
    if (j <= 0) {
        return;
    }
    j = from;
    for (;;) {
        while (i < system->live_count && particles[i]->age > 0.0f) {
            ++i;
        }
        while (j > 0 && particles[j]->age < 0.0f) {
            --j;
        }
        if (i >= j) {
            return;
        }
        std::swap(particles[i], particles[j]);
        ++i;
        --j;
        if (i >= j) {
            return;
        }
    }
}

// Ages every particle that was live when the pass began (step.fade for each, then death at the
// lifetime or step.move for a survivor) and compacts the pool. Without a death in a frame that
// took time every live age is above 0, the scans would swap nothing, and compaction is skipped.
template <typename Step>
void age_and_compact(ParticleSystem* system, float lifetime, Step step) {
    const float dt = frame_dt;
    Particle** particles = system->particles;
    const std::int32_t count = system->live_count;
    for (std::int32_t i = 0; i < count; ++i) {
        Particle* p = particles[i];
        p->age += dt;
        step.fade(p);
        if (p->age >= lifetime) {
            p->age = -1.0f;
            --system->live_count;
        } else {
            step.move(p);
        }
    }
    if (system->live_count != count || !(dt > 0.0f)) {
        // Entries from count on were dead before the pass.
        compact_from(system, count > 0 ? count - 1 : 0);
    }
}

struct FountainStep {
    float dt;
    float fade_rg;  // 0.125 dt
    float fade_b;   // 0.125 dt * 1.2
    float gravity;  // 200 dt

    void fade(Particle* p) const {
        p->colour[0] -= fade_rg;
        p->colour[1] -= fade_rg;
        p->colour[2] -= fade_b;
    }
    void move(Particle* p) const {
        p->position.x += p->velocity.x * dt;
        p->position.y += p->velocity.y * dt;
        p->position.z += p->velocity.z * dt;
        p->velocity.z -= gravity;
    }
};

struct SpiralStep {
    float dt;
    float fade_r;  // -0.01 dt
    float fade_g;  // -dt / 3
    float fade_b;  // -0.04 dt
    float pull;    // -0.15 dt
    float growth;  // 1 + 0.1 dt

    void fade(Particle* p) const {
        p->colour[0] += fade_r;
        p->colour[1] += fade_g;
        p->colour[2] += fade_b;
    }
    void move(Particle* p) const {
        p->position.x += p->velocity.x * dt;
        p->position.y += p->velocity.y * dt;
        p->position.z += p->velocity.z * dt;
        p->velocity.x += pull * p->position.x;
        p->velocity.y += pull * p->position.y;
        p->velocity.z += pull * p->position.z;
        p->velocity.x *= growth;
        p->velocity.y *= growth;
        p->velocity.z *= growth;
    }
};

}  // namespace

// Drifts and updates every active system in list order.
void particle_systems_update() {
    for (ParticleSystem* system = particle_system_head; system != nullptr; system = system->next) {
        if (system->active == 0) {
            continue;
        }
        system->position.x += system->drift_velocity.x * frame_dt;
        system->position.y += system->drift_velocity.y * frame_dt;
        system->position.z += system->drift_velocity.z * frame_dt;
        if (system->type == particle_fountain) {
            fountain_update(system);
        } else if (system->type == particle_spiral) {
            spiral_update(system);
        }
    }
}

// Emission, then the ageing pass and compaction.
void fountain_update(ParticleSystem* system) {
    emit(system, fountain_birth);
    const float dt = frame_dt;
    const float fade_rg = 0.125f * dt;
    age_and_compact(system, kFountainLifetime,
                    FountainStep{dt, fade_rg, fade_rg * 1.2f, 200.0f * dt});
}

// Seeding on the first call of the process, then emission, ageing pass, compaction.
void spiral_update(ParticleSystem* system) {
    if (spiral_seeded == 0) {
        spiral_seeded = 1;
        random_seed(platform_time_ms());
        spiral_yaw = static_cast<float>(random_next() % 72000 - 36000);
        spiral_pitch = static_cast<float>(random_next() % 72000 - 36000);
    }
    emit(system, spiral_birth);
    const float dt = frame_dt;
    age_and_compact(
        system, kSpiralLifetime,
        SpiralStep{dt, -0.01f * dt, -dt / 3.0f, -0.04f * dt, -0.15f * dt, 1.0f + 0.1f * dt});
}

// Swaps dead records in the live range with live ones from the end of the pool.
void particle_system_compact(ParticleSystem* system) {
    compact_from(system, system->capacity - 1);
}

}  // namespace zelm
