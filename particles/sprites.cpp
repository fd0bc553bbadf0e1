// Depth sorting and sprite drawing: each system's live particles are sorted along the world axis
// on which the system lies farthest from the camera, then drawn far to near as camera-facing
// textured squares in one GL_QUADS batch.
//
// Units: world units; the sprite half-size is 0.8 (1.6 units on a side).
#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <utility>

#include "frame/camera.hpp"
#include "math/vector.hpp"
#include "particles/particle_system.hpp"

namespace zelm {

unsigned particle_blend_dst = GL_ONE;

namespace {

constexpr GLuint kSpriteTexture = 3;
constexpr float kSpriteHalfSize = 0.8f;

// The particle's position component along the axis (0 x, 1 y, 2 z).
float coordinate(const Particle* particle, int axis) {
    return axis == 0 ? particle->position.x
                     : (axis == 1 ? particle->position.y : particle->position.z);
}

// One sprite: its colour, then four corners spanned by r and u, each after its texture coordinate.
void draw_sprite(const Particle* particle, const Vec3& r, const Vec3& u) {
    const Vec3& p = particle->position;
    glColor4f(particle->colour[0], particle->colour[1], particle->colour[2], particle->colour[3]);
    const float corner1[3] = {p.x - r.x - u.x, p.y - r.y - u.y, p.z - r.z - u.z};
    const float corner2[3] = {p.x - r.x + u.x, p.y - r.y + u.y, p.z - r.z + u.z};
    const float corner3[3] = {p.x + r.x + u.x, p.y + r.y + u.y, p.z + r.z + u.z};
    const float corner4[3] = {p.x + r.x - u.x, p.y + r.y - u.y, p.z + r.z - u.z};
    glTexCoord2f(0.0f, 1.0f);
    glVertex3fv(corner1);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3fv(corner2);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3fv(corner3);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3fv(corner4);
}

// The drawing order: quicksort with recursion on the left part, the loop going on with the
// right. Equal keys come out in the order these exact steps give them.
void quicksort(Particle** particles, int first, int last, int axis) {
    while (first < last) {
        const int pivot = particle_partition(particles, first, last, axis);
        quicksort(particles, first, pivot - 1, axis);
        first = pivot + 1;
    }
}

// A key and its particle, sorted side by side so that comparisons need no pointer chase.
struct SortEntry {
    float key;
    Particle* particle;
};

// Room for the largest pool of any emitter type; per-frame sorting allocates nothing.
constexpr int kSortEntries = 2000;
SortEntry sort_entries[kSortEntries];

// When every key of the range is distinct (and a number), its ascending order is unique, so any
// correct sort gives the quicksort's result. This one sorts the keys apart from the pool:
// insertion sort, which is linear on last frame's nearly sorted order, handing over to
// std::sort once it has moved more than a few entries per key (after the axis changes). The
// pool is rewritten only when the sorted keys are strictly ascending; returns whether it was.
bool sort_distinct_keys(Particle** particles, int first, int last, int axis) {
    const int count = last - first + 1;
    if (count > kSortEntries) {
        return false;
    }
    SortEntry* entries = sort_entries;
    for (int i = 0; i < count; ++i) {
        Particle* particle = particles[first + i];
        const float key = coordinate(particle, axis);
        if (std::isnan(key)) {
            return false;
        }
        entries[i] = SortEntry{key, particle};
    }

    long moves_left = 4L * count;
    for (int i = 1; i < count; ++i) {
        const SortEntry entry = entries[i];
        int j = i;
        while (j > 0 && entry.key < entries[j - 1].key) {
            entries[j] = entries[j - 1];
            --j;
        }
        entries[j] = entry;
        moves_left -= i - j;
        if (moves_left < 0) {
            std::sort(entries, entries + count,
                      [](const SortEntry& a, const SortEntry& b) { return a.key < b.key; });
            break;
        }
    }

    for (int i = 1; i < count; ++i) {
        if (!(entries[i - 1].key < entries[i].key)) {
            return false;  // a tie: only the quicksort's own steps give its order
        }
    }
    for (int i = 0; i < count; ++i) {
        particles[first + i] = entries[i].particle;
    }
    return true;
}

}  // namespace

// Every system in list order, active or not.
void particle_systems_draw() {
    for (ParticleSystem* system = particle_system_head; system != nullptr; system = system->next) {
        particle_system_draw(system);
    }
}

// Sorts along the dominant axis of the offset from the camera and draws far to near.
void particle_system_draw(ParticleSystem* system) {
    const Vec3 d{system->position.x - camera.position.x, system->position.y - camera.position.y,
                 system->position.z - camera.position.z};
    const int axis = dominant_axis(Vec3{std::fabs(d.x), std::fabs(d.y), std::fabs(d.z)});
    const float along = axis == 0 ? d.x : (axis == 1 ? d.y : d.z);
    // The sort is ascending; start from the end that lies farther from the camera.
    const bool last_to_first = along > 0.0f;

    particle_sort(system, 0, system->live_count - 1, axis);

    Vec3 r{};
    Vec3 u{};
    angle_vectors(camera.angles, nullptr, &r, &u);
    r = Vec3{r.x * kSpriteHalfSize, r.y * kSpriteHalfSize, r.z * kSpriteHalfSize};
    u = Vec3{u.x * kSpriteHalfSize, u.y * kSpriteHalfSize, u.z * kSpriteHalfSize};

    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glTranslatef(system->position.x, system->position.y, system->position.z);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, kSpriteTexture);
    glDisable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, particle_blend_dst);

    if (system->active != 0) {
        glBegin(GL_QUADS);
        Particle* const* particles = system->particles;
        const int count = system->live_count;
        if (last_to_first) {
            for (int i = count - 1; i >= 0; --i) {
                draw_sprite(particles[i], r, u);
            }
        } else {
            for (int i = 0; i < count; ++i) {
                draw_sprite(particles[i], r, u);
            }
        }
        glEnd();
    }

    glPopMatrix();
    glDisable(GL_BLEND);
    glEnable(GL_CULL_FACE);
}

// Sorts the range as the quicksort below would, taking the quicker route when it is sure to give
// the same order.
void particle_sort(ParticleSystem* system, int first, int last, int axis) {
    if (first >= last || sort_distinct_keys(system->particles, first, last, axis)) {
        return;
    }
    quicksort(system->particles, first, last, axis);
}

// Lomuto partition around the middle entry; entries equal to the pivot stay on its right.
int particle_partition(Particle** particles, int first, int last, int axis) {
    const int mid = (first + last) / 2;
    std::swap(particles[first], particles[mid]);
    const float pivot = coordinate(particles[first], axis);
    int store = first;
    for (int r = first + 1; r <= last; ++r) {
        if (pivot > coordinate(particles[r], axis)) {
            ++store;
            std::swap(particles[store], particles[r]);
        }
    }
    std::swap(particles[first], particles[store]);
    return store;
}

}  // namespace zelm
