// The list of particle systems: ids, linking, look-ups and the state of a new system.
#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "particles/particle_system.hpp"
#include "tests/unit/particles/particle_state.hpp"

namespace zelm {
namespace {

using ParticleList = ParticleState;

TEST_F(ParticleList, FirstCreationIsIdOneWithAFreshSpiral) {
    ASSERT_EQ(particle_system_create(particle_spiral), 1);
    ParticleSystem* s = particle_system_head;
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(particle_system_tail, s);
    EXPECT_EQ(s->next, nullptr);
    EXPECT_EQ(s->prev, nullptr);
    EXPECT_EQ(s->type, particle_spiral);
    EXPECT_EQ(s->capacity, 2000);
    EXPECT_EQ(s->emit_interval, 0.03f);
    EXPECT_EQ(s->live_count, 0);
    EXPECT_EQ(s->emit_clock, 0.0f);
    EXPECT_EQ(s->next_emit_time, 0.0f);
    EXPECT_EQ(s->emit_duration, 0.0f);
    EXPECT_EQ(s->active, 1);
    EXPECT_EQ(s->position.x, 0.0f);
    EXPECT_EQ(s->position.y, 0.0f);
    EXPECT_EQ(s->position.z, 0.0f);

    // Every entry points at its own dead record.
    std::set<Particle*> records;
    for (int i = 0; i < s->capacity; ++i) {
        const Particle* p = s->particles[i];
        ASSERT_NE(p, nullptr);
        records.insert(s->particles[i]);
        EXPECT_EQ(p->age, -1.0f);
        EXPECT_EQ(p->colour[0], 1.0f);
        EXPECT_EQ(p->colour[3], 1.0f);
        EXPECT_EQ(p->velocity.z, 0.0f);
    }
    EXPECT_EQ(records.size(), 2000u);
}

TEST_F(ParticleList, RefusedTypesUseUpIdsAndLinkNothing) {
    EXPECT_EQ(particle_system_create(0), 0);
    EXPECT_EQ(particle_system_create(3), 0);
    EXPECT_EQ(particle_system_create(-1), 0);
    EXPECT_EQ(particle_system_head, nullptr);
    EXPECT_EQ(particle_system_tail, nullptr);

    EXPECT_EQ(particle_system_create(particle_fountain), 4);
    ParticleSystem* s = particle_system_find(4);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->capacity, 250);
    EXPECT_EQ(s->emit_interval, 0.009f);
    EXPECT_EQ(particle_system_find(1), nullptr);
}

TEST_F(ParticleList, SystemsAreAppendedInCreationOrder) {
    const int first = particle_system_create(particle_spiral);
    const int second = particle_system_create(particle_fountain);
    ParticleSystem* a = particle_system_find(first);
    ParticleSystem* b = particle_system_find(second);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(particle_system_head, a);
    EXPECT_EQ(particle_system_tail, b);
    EXPECT_EQ(a->next, b);
    EXPECT_EQ(b->prev, a);
    EXPECT_EQ(a->prev, nullptr);
    EXPECT_EQ(b->next, nullptr);
    EXPECT_NE(a->particles[0], b->particles[0]);
}

TEST_F(ParticleList, UnknownIdsFindNothingAndMoveNothing) {
    const int id = particle_system_create(particle_spiral);
    EXPECT_EQ(particle_system_find(0), nullptr);
    EXPECT_EQ(particle_system_find(id + 1), nullptr);
    particle_system_set_position_by_id(0, 5.0f, 6.0f, 7.0f);
    particle_system_set_position_by_id(id + 1, 5.0f, 6.0f, 7.0f);
    const ParticleSystem* s = particle_system_find(id);
    EXPECT_EQ(s->position.x, 0.0f);
    EXPECT_EQ(s->position.z, 0.0f);

    particle_system_set_position_by_id(id, 0.0f, -0.0f, 100.0f);
    EXPECT_EQ(s->position.x, 0.0f);
    EXPECT_TRUE(std::signbit(s->position.y));  // stored unchanged
    EXPECT_EQ(s->position.z, 100.0f);
}

TEST_F(ParticleList, ResetGivesTheSpawnedStateNewGivesTheDeadOne) {
    Particle* p = particle_new();
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->age, -1.0f);
    *p = Particle{{1, 2, 3}, {4, 5, 6}, {0.1f, 0.2f, 0.3f, 0.4f}, 7.0f};
    particle_reset(p);
    EXPECT_EQ(p->age, 0.0f);
    EXPECT_EQ(p->position.x, 0.0f);
    EXPECT_EQ(p->position.z, 0.0f);
    EXPECT_EQ(p->velocity.y, 0.0f);
    for (float c : p->colour) {
        EXPECT_EQ(c, 1.0f);
    }
    delete p;
}

}  // namespace
}  // namespace zelm
