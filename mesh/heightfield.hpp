// The heightfield: one process-wide grid of vertices in the x-y plane whose heights settle from
// random bumps and then ripple outward, lit per vertex on the CPU and drawn as textured strips.
//
// Units: world units for positions, seconds for frame_dt, radians for the ripple phase.
#pragma once

#include <cstdint>

#include "math/vector.hpp"

namespace zelm {

struct MeshTriangle {
    std::int16_t i0;
    std::int16_t i1;
    std::int16_t i2;
};

struct VertexColour {
    float r;
    float g;
    float b;
};

enum HeightfieldState : std::int32_t {
    heightfield_idle = 0,
    heightfield_settle = 1,
    heightfield_ripple = 2,
};

struct HeightfieldMesh {
    std::int32_t state;
    std::int32_t pending_state;
    std::int32_t cols;
    std::int32_t rows;
    std::int32_t spacing;
    std::int32_t vertex_count;
    std::int32_t triangle_count;
    Vec3* positions;
    float* radial_distance;
    Vec3* vertex_normals;
    VertexColour* vertex_colours;
    MeshTriangle* triangles;
    Vec3* face_normals;
    // The ripple's heights depend on the radial distance only, and a centred grid repeats each
    // distance up to eight times: the distinct distances (ascending), their heights this frame
    // and each vertex's slot in them, filled on entering the ripple.
    std::int32_t radial_slot_count;
    float* radial_slot_distance;
    float* radial_slot_height;
    std::uint16_t* radial_slot;
    // The triangles that use each vertex, one entry per corner, in triangle order: vertex v's run
    // is vertex_faces[vertex_face_start[v]] up to vertex_faces[vertex_face_start[v + 1]]. Built
    // with the triangle list, which does not change after creation, so that the vertex-normal
    // pass gathers each vertex's faces in one go instead of scattering every face to its corners.
    std::int32_t* vertex_face_start;
    std::int32_t* vertex_faces;
};

extern HeightfieldMesh heightfield;

// Radians; 0 at program start, not reset by creation. Kept within one period of 2 pi either side
// of 0, so that single-precision steps of frame_dt x 2 still move it after days of running.
extern float ripple_phase;

// Indices are signed 16-bit, so a mesh holds at most this many vertices.
inline constexpr int heightfield_max_vertices = 32768;

// Builds the mesh: random heights, triangles, normals and colours. Returns 1, or 0 with nothing
// allocated (out of memory, fewer than one cell, spacing below 1, or too many vertices), or -1
// when memory for the first normal pass ran out (the process is to end with -1).
int heightfield_create(int cols, int rows, int spacing);

// Frees every buffer and clears the pointers; counts and states stay.
void heightfield_release();

// True when creation succeeded and the buffers exist.
bool heightfield_built();

// x and y on the grid centred on the origin, z from the random source in vertex order.
void heightfield_init_positions();

// Two counter-clockwise triangles per cell, split along the (c + 1, r) - (c, r + 1) diagonal.
void heightfield_build_triangles();

// Unit normal of each triangle.
void heightfield_face_normals();

// Mean of the adjacent face normals; 1, or 0 when its temporary array cannot be allocated.
int heightfield_vertex_normals();

// Grey level of each vertex from a fixed directional light with a constant floor.
void heightfield_light();

// The three passes above in order, with the same results; each vertex is lit as soon as its
// normal is done. 1, or 0 as heightfield_vertex_normals.
int heightfield_normals_and_light();

// Settles the mesh flat, then enters state.
void heightfield_request_state(int state);

// The work done when state begins: the ripple fills the radial distances.
void heightfield_enter_state(int state);

// One animation step, scaled by frame_dt; 1, or 0 when memory for the normals ran out.
int heightfield_update();

// Draws the mesh as textured, per-vertex coloured triangle strips under the current projection.
void heightfield_draw();

}  // namespace zelm
