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
};

extern HeightfieldMesh heightfield;
extern float ripple_phase;

int heightfield_create(int cols, int rows, int spacing);
void heightfield_release();
void heightfield_init_positions();
void heightfield_build_triangles();

void heightfield_face_normals();
void heightfield_vertex_normals();
void heightfield_light();

void heightfield_request_state(int state);
void heightfield_enter_state(int state);
void heightfield_update();
void heightfield_draw();

}  // namespace zelm
