// Depth sorting and sprite drawing, through the recording OpenGL.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "frame/camera.hpp"
#include "particles/particle_system.hpp"
#include "tests/support/recording_gl.hpp"
#include "tests/unit/particles/particle_state.hpp"

namespace zelm {
namespace {

using ParticleSort = ParticleState;
using ParticleDraw = ParticleState;

using glrec::Fn;

// A fountain whose first live particles sit at the given x, y, z with red = their index.
ParticleSystem* system_with(const std::vector<Vec3>& positions) {
    ParticleSystem* s = particle_system_find(particle_system_create(particle_fountain));
    for (size_t i = 0; i < positions.size(); ++i) {
        Particle* p = s->particles[i];
        particle_reset(p);
        p->position = positions[i];
        p->colour[0] = static_cast<float>(i);
    }
    s->live_count = static_cast<int>(positions.size());
    return s;
}

// The red values (original indices) of the live particles in pool order.
std::vector<int> pool_order(const ParticleSystem* s) {
    std::vector<int> order;
    for (int i = 0; i < s->live_count; ++i) {
        order.push_back(static_cast<int>(s->particles[i]->colour[0]));
    }
    return order;
}

// The red values of the sprites in the order they were drawn.
std::vector<int> drawn_order() {
    std::vector<int> order;
    for (const glrec::Call& call : glrec::gl_calls) {
        if (call.fn == Fn::Color4f) {
            order.push_back(static_cast<int>(call.args[0]));
        }
    }
    return order;
}

TEST_F(ParticleSort, PartitionKeepsEqualKeysRightOfThePivot) {
    // x keys 2, 1, 2, 0, 2: the middle entry (index 2) is the pivot.
    ParticleSystem* s = system_with({{2, 9, 9}, {1, 9, 9}, {2, 9, 9}, {0, 9, 9}, {2, 9, 9}});
    EXPECT_EQ(particle_partition(s->particles, 0, 4, 0), 2);
    EXPECT_EQ(pool_order(s), (std::vector<int>{3, 1, 2, 0, 4}));
}

TEST_F(ParticleSort, TiesComeOutInTheOrderTheStepsGive) {
    ParticleSystem* s = system_with({{2, 9, 9}, {1, 9, 9}, {2, 9, 9}, {0, 9, 9}, {2, 9, 9}});
    particle_sort(s, 0, 4, 0);
    EXPECT_EQ(pool_order(s), (std::vector<int>{3, 1, 2, 0, 4}));

    // Three equal keys: the first partition moves the middle one to the front.
    ParticleSystem* t = system_with({{0, 0, 5}, {0, 0, 5}, {0, 0, 5}});
    particle_sort(t, 0, 2, 2);
    EXPECT_EQ(pool_order(t), (std::vector<int>{1, 0, 2}));
}

TEST_F(ParticleSort, SortsAscendingAlongTheChosenAxisOnly) {
    ParticleSystem* s =
        system_with({{0, 5, -1}, {9, 4, -2}, {-3, 3, -3}, {7, 2, -4}, {1, 1, -5}, {4, 0.5f, -6}});
    particle_sort(s, 0, 5, 1);
    EXPECT_EQ(pool_order(s), (std::vector<int>{5, 4, 3, 2, 1, 0}));
    particle_sort(s, 0, 5, 0);
    EXPECT_EQ(pool_order(s), (std::vector<int>{2, 0, 4, 5, 3, 1}));
    // A sub-range leaves the rest alone.
    particle_sort(s, 1, 3, 2);
    EXPECT_EQ(pool_order(s), (std::vector<int>{2, 5, 4, 0, 3, 1}));
}

// The sort's steps written out with the partition: the order every sort must reproduce.
void reference_sort(Particle** particles, int first, int last, int axis) {
    while (first < last) {
        const int pivot = particle_partition(particles, first, last, axis);
        reference_sort(particles, first, pivot - 1, axis);
        first = pivot + 1;
    }
}

TEST_F(ParticleSort, SameOrderAsTheQuicksortStepsOnEveryKindOfInput) {
    ParticleSystem* s = particle_system_find(particle_system_create(particle_spiral));
    std::mt19937 rng(11);
    std::uniform_real_distribution<float> wide(-60.0f, 60.0f);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    std::vector<Particle*> expected(s->capacity);
    for (int round = 0; round < 400; ++round) {
        const int kind = round % 8;
        const int count = round % 50 == 0 ? s->capacity : static_cast<int>(rng() % 300);
        const int axis = static_cast<int>(rng() % 3);
        for (int i = 0; i < count; ++i) {
            Particle* p = s->particles[i];
            float key = wide(rng);
            if (kind == 1) {
                key = static_cast<float>(rng() % 7);  // many ties
            } else if (kind == 2) {
                key = static_cast<float>(i);  // sorted
            } else if (kind == 3) {
                key = static_cast<float>(count - i);  // reversed
            } else if (kind == 4) {
                key = static_cast<float>(std::min(i, count - i));  // organ pipe, with ties
            } else if (kind == 5 && i % 37 == 5) {
                key = (i % 2) != 0 ? 0.0f : -0.0f;  // equal zeros of both signs
            } else if (kind == 6 && i == count / 2) {
                key = nan;
            }
            (axis == 0 ? p->position.x : (axis == 1 ? p->position.y : p->position.z)) = key;
        }
        if (kind == 7) {
            // Last frame's order disturbed by a little motion and a spawn at the end.
            reference_sort(s->particles, 0, count - 1, axis);
            for (int i = 0; i < count; ++i) {
                Particle* p = s->particles[i];
                (axis == 0 ? p->position.x : (axis == 1 ? p->position.y : p->position.z)) +=
                    wide(rng) * 0.01f;
            }
        }
        const int first = round % 3 == 0 ? std::min(3, count) : 0;
        std::copy(s->particles, s->particles + s->capacity, expected.begin());
        reference_sort(expected.data(), first, count - 1, axis);
        particle_sort(s, first, count - 1, axis);
        ASSERT_TRUE(std::equal(expected.begin(), expected.end(), s->particles))
            << "round " << round << " kind " << kind << " count " << count;
    }
}

TEST_F(ParticleDraw, StateCallsAndOneBatchOfCornersInOrder) {
    ParticleSystem* s = system_with({{1, 2, 3}});
    s->particles[0]->colour[1] = 0.25f;
    s->particles[0]->colour[2] = -0.5f;  // passed on unclamped
    s->particles[0]->colour[3] = 0.7f;
    particle_system_set_position(s, 0.0f, 0.0f, 100.0f);
    camera = Camera{{-120, 0, 130}, {0, 0, 0}};  // right (0, -1, 0), up (0, 0, 1)
    glrec::reset();
    particle_systems_draw();
    const std::vector<std::string> expected = {
        "glMatrixMode(GL_PROJECTION)",
        "glPushMatrix()",
        "glTranslatef(0, 0, 100)",
        "glEnable(GL_TEXTURE_2D)",
        "glBindTexture(GL_TEXTURE_2D, 3)",
        "glDisable(GL_CULL_FACE)",
        "glEnable(GL_BLEND)",
        "glBlendFunc(GL_SRC_ALPHA, GL_ONE)",
        "glBegin(GL_QUADS)",
        "glColor4f(0, 0.25, -0.5, 0.7)",
        "glTexCoord2f(0, 1)",
        "glVertex3fv(1, 2.8, 2.2)",
        "glTexCoord2f(0, 0)",
        "glVertex3fv(1, 2.8, 3.8)",
        "glTexCoord2f(1, 0)",
        "glVertex3fv(1, 1.2, 3.8)",
        "glTexCoord2f(1, 1)",
        "glVertex3fv(1, 1.2, 2.2)",
        "glEnd()",
        "glPopMatrix()",
        "glDisable(GL_BLEND)",
        "glEnable(GL_CULL_FACE)",
    };
    EXPECT_EQ(glrec::texts(), expected);
}

TEST_F(ParticleDraw, SpriteAxesFollowTheCamerasRightAndUp) {
    system_with({{0, 0, 0}});
    camera = Camera{{0, 120, 130}, {0, -10, 90}};
    // right (-1, 0, 0), up (0, sin -10, cos 10), each times 0.8.
    glrec::reset();
    particle_systems_draw();
    std::vector<const glrec::Call*> vertices;
    for (const glrec::Call& call : glrec::gl_calls) {
        if (call.fn == Fn::Vertex3fv) {
            vertices.push_back(&call);
        }
    }
    ASSERT_EQ(vertices.size(), 4u);
    const double r = 0.8;
    const double uy = -0.173648 * 0.8;
    const double uz = 0.984808 * 0.8;
    const double corners[4][3] = {{r, -uy, -uz}, {r, uy, uz}, {-r, uy, uz}, {-r, -uy, -uz}};
    for (int c = 0; c < 4; ++c) {
        for (int k = 0; k < 3; ++k) {
            EXPECT_NEAR(vertices[c]->args[k], corners[c][k], 1e-5) << "corner " << c + 1;
        }
    }
}

TEST_F(ParticleDraw, FarEndOfTheSortedRangeIsDrawnFirst) {
    // The system lies along +x from the camera: the largest x is farthest and comes first.
    ParticleSystem* s = system_with({{3, 0, 0}, {-5, 0, 0}, {8, 0, 0}, {0, 0, 0}});
    particle_system_set_position(s, 0.0f, 0.0f, 100.0f);
    camera.position = Vec3{-120, 0, 130};
    glrec::reset();
    particle_systems_draw();
    EXPECT_EQ(pool_order(s), (std::vector<int>{1, 3, 0, 2}));  // the pool keeps the sort
    EXPECT_EQ(drawn_order(), (std::vector<int>{2, 0, 3, 1}));

    camera.position = Vec3{120, 0, 130};  // now along -x: first to last
    glrec::reset();
    particle_systems_draw();
    EXPECT_EQ(drawn_order(), (std::vector<int>{1, 3, 0, 2}));
}

TEST_F(ParticleDraw, EqualOffsetsPickTheLaterAxisAndZeroDrawsFirstToLast) {
    ParticleSystem* s = system_with({{1, 4, 0}, {2, 3, 0}, {3, 2, 0}});
    // |d.x| == |d.y| == 50: y wins and d.y > 0, so the largest y is drawn first.
    camera.position = Vec3{50, -50, 0};
    glrec::reset();
    particle_systems_draw();
    EXPECT_EQ(drawn_order(), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(pool_order(s), (std::vector<int>{2, 1, 0}));

    // No offset at all: axis z (every tie goes to the later axis), drawn first to last.
    s->particles[0]->position.z = 1;
    s->particles[1]->position.z = 3;
    s->particles[2]->position.z = 2;
    camera.position = Vec3{0, 0, 0};
    glrec::reset();
    particle_systems_draw();
    EXPECT_EQ(drawn_order(), (std::vector<int>{2, 0, 1}));
}

TEST_F(ParticleDraw, InactiveSystemIsSortedAndSetsStateButDrawsNothing) {
    ParticleSystem* s = system_with({{0, 0, 2}, {0, 0, 1}});
    s->active = 0;
    particle_blend_dst = GL_ONE_MINUS_SRC_ALPHA;
    camera.position = Vec3{0, 0, 100};
    glrec::reset();
    particle_systems_draw();
    EXPECT_EQ(pool_order(s), (std::vector<int>{1, 0}));
    const std::vector<std::string> expected = {
        "glMatrixMode(GL_PROJECTION)",
        "glPushMatrix()",
        "glTranslatef(0, 0, 0)",
        "glEnable(GL_TEXTURE_2D)",
        "glBindTexture(GL_TEXTURE_2D, 3)",
        "glDisable(GL_CULL_FACE)",
        "glEnable(GL_BLEND)",
        "glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA)",
        "glPopMatrix()",
        "glDisable(GL_BLEND)",
        "glEnable(GL_CULL_FACE)",
    };
    EXPECT_EQ(glrec::texts(), expected);
}

TEST_F(ParticleDraw, EverySystemGetsItsOwnBatchEmptyOnesToo) {
    ParticleSystem* empty = particle_system_find(particle_system_create(particle_spiral));
    ParticleSystem* two = system_with({{0, 0, 0}, {1, 1, 1}});
    particle_system_set_position(empty, 5.0f, 6.0f, 7.0f);
    particle_system_set_position(two, -1.0f, -2.0f, -3.0f);
    glrec::reset();
    particle_systems_draw();
    EXPECT_EQ(glrec::count(Fn::Begin), 2);
    EXPECT_EQ(glrec::count(Fn::End), 2);
    EXPECT_EQ(glrec::count(Fn::PushMatrix), 2);
    EXPECT_EQ(glrec::count(Fn::Color4f), 2);
    EXPECT_EQ(glrec::count(Fn::Vertex3fv), 8);
    const std::vector<std::string> calls = glrec::texts();
    ASSERT_GE(calls.size(), 16u);
    EXPECT_EQ(calls[2], "glTranslatef(5, 6, 7)");
    EXPECT_EQ(calls[8], "glBegin(GL_QUADS)");
    EXPECT_EQ(calls[9], "glEnd()");  // the empty system's batch
    EXPECT_EQ(calls[14], "glPushMatrix()");
    EXPECT_EQ(calls[15], "glTranslatef(-1, -2, -3)");
}

}  // namespace
}  // namespace zelm
