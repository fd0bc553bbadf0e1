// The state every particle test starts from, as a new process has it: no systems and ids from
// 1, the spiral unseeded, and the random source, clock, camera, blend factor, recording OpenGL
// and test platform at their defaults. The systems a test made are freed after it.
#pragma once

#include <GL/gl.h>
#include <gtest/gtest.h>

#include "frame/camera.hpp"
#include "frame/frame_clock.hpp"
#include "math/random.hpp"
#include "particles/particle_system.hpp"
#include "tests/support/recording_gl.hpp"
#include "tests/support/test_platform.hpp"

namespace zelm {

class ParticleState : public ::testing::Test {
protected:
    void SetUp() override {
        free_systems();
        spiral_seeded = 0;
        spiral_yaw = 0.0f;
        spiral_pitch = 0.0f;
        particle_blend_dst = GL_ONE;
        random_seed(1);
        frame_dt = 0.0f;
        frame_clock = {};
        camera = {};
        glrec::reset();
        testplatform::reset();
    }

    void TearDown() override { free_systems(); }

    static void free_systems() {
        ParticleSystem* system = particle_system_head;
        while (system != nullptr) {
            ParticleSystem* next = system->next;
            for (int i = 0; i < system->capacity; ++i) {
                delete system->particles[i];
            }
            delete[] system->particles;
            delete system;
            system = next;
        }
        particle_system_head = nullptr;
        particle_system_tail = nullptr;
        particle_system_last_id = 0;
    }
};

}  // namespace zelm
