// Memory: what creation does when allocations fail, and that the per-frame work allocates
// nothing. This executable replaces the global operator new to count and to fail allocations.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "frame/frame_clock.hpp"
#include "particles/particle_system.hpp"
#include "tests/unit/particles/particle_state.hpp"

namespace {

long allocations = 0;
long fail_in = -1;  // the countdown to the nothrow allocation that fails; -1 never

void* counted(std::size_t size) {
    ++allocations;
    void* p = std::malloc(size == 0 ? 1 : size);
    if (p == nullptr) {
        throw std::bad_alloc();
    }
    return p;
}

void* counted_nothrow(std::size_t size) noexcept {
    if (fail_in >= 0 && fail_in-- == 0) {
        return nullptr;
    }
    try {
        return counted(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

}  // namespace

void* operator new(std::size_t size) {
    return counted(size);
}
void* operator new[](std::size_t size) {
    return counted(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return counted_nothrow(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return counted_nothrow(size);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}

namespace zelm {
namespace {

using ParticleMemory = ParticleState;

TEST_F(ParticleMemory, NoSystemRecordMeansNoSystemAndNoId) {
    fail_in = 0;  // the system record
    EXPECT_EQ(particle_system_create(particle_spiral), 0);
    fail_in = -1;
    EXPECT_EQ(particle_system_head, nullptr);
    EXPECT_EQ(particle_system_create(particle_spiral), 1);
}

TEST_F(ParticleMemory, NoPointerArrayRefusesTheSystemAfterTakingAnId) {
    fail_in = 1;  // the record succeeds, the pointer array fails
    EXPECT_EQ(particle_system_create(particle_fountain), 0);
    fail_in = -1;
    EXPECT_EQ(particle_system_head, nullptr);
    EXPECT_EQ(particle_system_tail, nullptr);
    EXPECT_EQ(particle_system_create(particle_fountain), 2);
}

TEST_F(ParticleMemory, NoParticleRecordRefusesTheSystemWithMinusOne) {
    fail_in = 2 + 100;  // the record, the array, 100 particles, then failure
    EXPECT_EQ(particle_system_create(particle_spiral), -1);
    fail_in = -1;
    EXPECT_EQ(particle_system_head, nullptr);
}

TEST_F(ParticleMemory, UpdateSortAndCompactionAllocateNothing) {
    ParticleSystem* s = particle_system_find(particle_system_create(particle_spiral));
    particle_system_create(particle_fountain);
    frame_dt = 0.02f;
    for (int i = 0; i < 200; ++i) {
        particle_systems_update();
    }
    const long before = allocations;
    for (int i = 0; i < 200; ++i) {
        particle_systems_update();
        particle_sort(s, 0, s->live_count - 1, i % 3);
    }
    EXPECT_EQ(allocations, before);
    EXPECT_GT(s->live_count, 250);
}

}  // namespace
}  // namespace zelm
