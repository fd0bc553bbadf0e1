// A straightforward copy of the heightfield's animation and passes: one loop per step, a cosine
// per vertex, the math library's cross product and normalisation. The tests hold the mesh to
// its results bit for bit, and the benchmark measures the mesh against it.
#pragma once

#include <cstdint>
#include <vector>

#include "mesh/heightfield.hpp"

namespace zelm::reference {

struct Mesh {
    std::int32_t state;
    std::int32_t pending_state;
    std::int32_t cols;
    std::int32_t rows;
    std::int32_t vertex_count;
    std::int32_t triangle_count;
    std::vector<Vec3> positions;
    std::vector<float> radial_distance;
    std::vector<Vec3> vertex_normals;
    std::vector<VertexColour> vertex_colours;
    std::vector<MeshTriangle> triangles;
    std::vector<Vec3> face_normals;
    float ripple_phase;
};

// A copy of the process-wide mesh and ripple phase as they stand.
Mesh copy_of_heightfield();

// The three passes, in order.
void normals_and_light(Mesh& mesh);

// One animation step of dt seconds.
void update(Mesh& mesh, float dt);

}  // namespace zelm::reference
