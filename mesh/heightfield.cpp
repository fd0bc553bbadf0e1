// The heightfield's grid and buffers: creation, release, the initial positions and the triangle
// list. Positions are in world units; the grid lies in the x-y plane centred on the origin.
#include <cstdint>
#include <cstdlib>

#include "math/random.hpp"
#include "mesh/heightfield.hpp"

namespace zelm {

HeightfieldMesh heightfield{};

namespace {

// Allocates count elements of T into slot; false when the heap refuses.
template <typename T>
bool allocate(T*& slot, std::int32_t count) {
    slot = static_cast<T*>(std::malloc(sizeof(T) * static_cast<std::size_t>(count)));
    return slot != nullptr;
}

// Frees one buffer if it is allocated and clears its pointer.
template <typename T>
void release(T*& slot) {
    std::free(slot);
    slot = nullptr;
}

// Lists, for each vertex, the triangles that use it, in triangle order and corner by corner.
void build_vertex_faces() {
    const std::int32_t nv = heightfield.vertex_count;
    const std::int32_t nt = heightfield.triangle_count;
    const MeshTriangle* t = heightfield.triangles;
    std::int32_t* start = heightfield.vertex_face_start;
    // Count each vertex's corners into start[v + 1], then turn the counts into run starts.
    for (std::int32_t v = 0; v <= nv; ++v) {
        start[v] = 0;
    }
    for (std::int32_t i = 0; i < nt; ++i) {
        ++start[t[i].i0 + 1];
        ++start[t[i].i1 + 1];
        ++start[t[i].i2 + 1];
    }
    for (std::int32_t v = 0; v < nv; ++v) {
        start[v + 1] += start[v];
    }
    // Fill each run in triangle order, moving start[v] along it; afterwards start[v] is where
    // run v + 1 begins, so shifting by one restores the starts.
    for (std::int32_t i = 0; i < nt; ++i) {
        heightfield.vertex_faces[start[t[i].i0]++] = i;
        heightfield.vertex_faces[start[t[i].i1]++] = i;
        heightfield.vertex_faces[start[t[i].i2]++] = i;
    }
    for (std::int32_t v = nv; v > 0; --v) {
        start[v] = start[v - 1];
    }
    start[0] = 0;
}

}  // namespace

int heightfield_create(int cols, int rows, int spacing) {
    // A second creation replaces the mesh instead of leaking the first one's buffers.
    heightfield_release();
    heightfield.state = heightfield_idle;
    heightfield.pending_state = heightfield_idle;
    heightfield.cols = cols;
    heightfield.rows = rows;
    heightfield.spacing = spacing;
    heightfield.radial_slot_count = 0;

    // Without a cell some vertices lie in no triangle, and past the limit the 16-bit indices
    // would wrap and address memory outside the buffers.
    const std::int64_t vertices =
        (static_cast<std::int64_t>(cols) + 1) * (static_cast<std::int64_t>(rows) + 1);
    if (cols < 1 || rows < 1 || spacing < 1 || vertices > heightfield_max_vertices) {
        heightfield.vertex_count = 0;
        heightfield.triangle_count = 0;
        return 0;
    }
    heightfield.vertex_count = static_cast<std::int32_t>(vertices);
    heightfield.triangle_count = cols * rows * 2;

    const std::int32_t nv = heightfield.vertex_count;
    const std::int32_t nt = heightfield.triangle_count;
    if (!allocate(heightfield.positions, nv) || !allocate(heightfield.radial_distance, nv) ||
        !allocate(heightfield.vertex_normals, nv) || !allocate(heightfield.vertex_colours, nv) ||
        !allocate(heightfield.triangles, nt) || !allocate(heightfield.face_normals, nt) ||
        !allocate(heightfield.radial_slot_distance, nv) ||
        !allocate(heightfield.radial_slot_height, nv) || !allocate(heightfield.radial_slot, nv) ||
        !allocate(heightfield.vertex_faces, 3 * nt) ||
        !allocate(heightfield.vertex_face_start, nv + 1)) {
        heightfield_release();
        return 0;
    }

    heightfield_init_positions();
    heightfield_build_triangles();
    build_vertex_faces();
    // The distances depend on x and y only; filling them now keeps the ripple's tables valid
    // even for a state set directly rather than through settle.
    heightfield_enter_state(heightfield_ripple);
    return heightfield_normals_and_light() != 0 ? 1 : -1;
}

void heightfield_release() {
    release(heightfield.positions);
    release(heightfield.radial_distance);
    release(heightfield.vertex_normals);
    release(heightfield.vertex_colours);
    release(heightfield.triangles);
    release(heightfield.face_normals);
    release(heightfield.radial_slot_distance);
    release(heightfield.radial_slot_height);
    release(heightfield.radial_slot);
    release(heightfield.vertex_faces);
    release(heightfield.vertex_face_start);
}

bool heightfield_built() {
    // Creation allocates all or nothing, and the last buffer it allocates is vertex_face_start.
    return heightfield.vertex_face_start != nullptr;
}

void heightfield_init_positions() {
    const int cols = heightfield.cols;
    const int rows = heightfield.rows;
    const int spacing = heightfield.spacing;
    Vec3* p = heightfield.positions;
    for (int r = 0; r <= rows; ++r) {
        for (int c = 0; c <= cols; ++c) {
            p->x = static_cast<float>(-(cols / 2) * spacing + c * spacing);
            p->y = static_cast<float>(-(rows / 2) * spacing + r * spacing);
            p->z = static_cast<float>(random_next() % 60 - 30);
            ++p;
        }
    }
}

void heightfield_build_triangles() {
    const int cols = heightfield.cols;
    const int w = cols + 1;
    for (int r = 0; r < heightfield.rows; ++r) {
        for (int c = 0; c < cols; ++c) {
            const int v = r * w + c;
            const int k = r * cols + c;
            MeshTriangle* t = &heightfield.triangles[2 * k];
            t[0] = {static_cast<std::int16_t>(v), static_cast<std::int16_t>(v + 1),
                    static_cast<std::int16_t>(v + w)};
            t[1] = {static_cast<std::int16_t>(v + w), static_cast<std::int16_t>(v + 1),
                    static_cast<std::int16_t>(v + w + 1)};
        }
    }
}

}  // namespace zelm
