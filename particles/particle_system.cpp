// The list of particle systems, their identifiers, and the creation of a system with its pool.
#include "particles/particle_system.hpp"

#include <new>

namespace zelm {

ParticleSystem* particle_system_head = nullptr;
ParticleSystem* particle_system_tail = nullptr;
std::int32_t particle_system_last_id = 0;

namespace {

// What each emitter type fixes at creation.
struct EmitterType {
    float emit_interval;  // seconds
    std::int32_t capacity;
};

constexpr EmitterType kFountain{0.009f, 250};
constexpr EmitterType kSpiral{0.03f, 2000};

}  // namespace

// Allocates, initialises and appends a system; 0 when memory or the type fails, -1 when memory
// for its particles ran out.
int particle_system_create(int type) {
    ParticleSystem* system = new (std::nothrow) ParticleSystem;
    if (system == nullptr) {
        return 0;
    }
    system->next = nullptr;
    system->type = type;
    const int init = particle_system_init(system);
    if (init <= 0) {
        delete system;
        return init;
    }
    if (particle_system_tail == nullptr) {
        particle_system_head = system;
    } else {
        particle_system_tail->next = system;
        system->prev = particle_system_tail;
    }
    particle_system_tail = system;
    return system->id;
}

// Walks the list from its head.
ParticleSystem* particle_system_find(int id) {
    for (ParticleSystem* system = particle_system_head; system != nullptr; system = system->next) {
        if (system->id == id) {
            return system;
        }
    }
    return nullptr;
}

// Stores the position unchanged.
void particle_system_set_position(ParticleSystem* system, float x, float y, float z) {
    system->position = Vec3{x, y, z};
}

// Moves the system with the id, if any.
void particle_system_set_position_by_id(int id, float x, float y, float z) {
    ParticleSystem* system = particle_system_find(id);
    if (system != nullptr) {
        particle_system_set_position(system, x, y, z);
    }
}

// A dead record: at the origin, at rest, white and opaque.
Particle* particle_new() {
    return new (std::nothrow) Particle{{0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 0.0f}, {1, 1, 1, 1}, -1.0f};
}

// The freshly spawned state.
void particle_reset(Particle* particle) {
    *particle = Particle{{0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 0.0f}, {1, 1, 1, 1}, 0.0f};
}

// The id is taken before the type is looked at, so a refused type still uses one up.
int particle_system_init(ParticleSystem* system) {
    system->id = ++particle_system_last_id;
    system->prev = nullptr;
    system->next = nullptr;
    system->position = Vec3{0.0f, 0.0f, 0.0f};
    system->drift_velocity = Vec3{0.0f, 0.0f, 0.0f};

    EmitterType emitter{};
    if (system->type == particle_fountain) {
        emitter = kFountain;
    } else if (system->type == particle_spiral) {
        emitter = kSpiral;
    } else {
        return 0;
    }

    system->emit_clock = 0.0f;
    system->live_count = 0;
    system->emit_duration = 0.0f;
    system->active = 1;
    system->emit_interval = emitter.emit_interval;
    system->capacity = emitter.capacity;
    system->next_emit_time = 0.0f;

    // Without the pointer array the system cannot exist: refuse it like an unknown type, so
    // that creation frees the record.
    system->particles = new (std::nothrow) Particle*[emitter.capacity];
    if (system->particles == nullptr) {
        return 0;
    }
    for (std::int32_t i = 0; i < emitter.capacity; ++i) {
        system->particles[i] = particle_new();
        if (system->particles[i] == nullptr) {
            while (i > 0) {
                delete system->particles[--i];
            }
            delete[] system->particles;
            return -1;
        }
    }
    return 1;
}

}  // namespace zelm
