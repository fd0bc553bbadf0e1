// The heightfield's normals and lighting: a unit normal per triangle, the mean of the adjacent
// face normals per vertex, and a grey level per vertex from a fixed directional light.
//
// These passes run over the whole mesh after every animation step, so the face normal repeats
// the arithmetic of cross_product and normalize_vector inline (same operations, same precision,
// same order; a unit test holds them to identical bits).
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "mesh/heightfield.hpp"

namespace zelm {

namespace {

// Not unit length: about 1.044.
constexpr Vec3 light_direction = {0.0f, -1.0f, 0.3f};
constexpr float diffuse_factor = 0.6f;
constexpr float ambient_floor = 0.05f;

// The unit normal of the triangle (a, b, c): (b - a) x (c - a), normalised unless it is zero.
inline Vec3 face_normal(const Vec3& a, const Vec3& b, const Vec3& c) {
    const Vec3 e1 = {b.x - a.x, b.y - a.y, b.z - a.z};
    const Vec3 e2 = {c.x - a.x, c.y - a.y, c.z - a.z};
    Vec3 n = {
        static_cast<float>(static_cast<double>(e1.y) * e2.z - static_cast<double>(e2.y) * e1.z),
        static_cast<float>(static_cast<double>(e2.x) * e1.z - static_cast<double>(e1.x) * e2.z),
        static_cast<float>(static_cast<double>(e1.x) * e2.y - static_cast<double>(e2.x) * e1.y),
    };
    const double x = n.x;
    const double y = n.y;
    const double z = n.z;
    const double length = std::sqrt(y * y + z * z + x * x);
    if (length != 0.0) {
        const double k = 1.0 / static_cast<float>(length);
        n = {static_cast<float>(x * k), static_cast<float>(y * k), static_cast<float>(z * k)};
    }
    return n;
}

// Adds one adjacent face normal to a vertex's sum and count.
inline void add_face(Vec3& sum, std::int32_t& count, const Vec3& face) {
    sum.x += face.x;
    sum.y += face.y;
    sum.z += face.z;
    ++count;
}

}  // namespace

void heightfield_face_normals() {
    if (!heightfield_built()) {
        return;
    }
    const Vec3* p = heightfield.positions;
    const MeshTriangle* t = heightfield.triangles;
    Vec3* out = heightfield.face_normals;
    for (std::int32_t i = 0, n = heightfield.triangle_count; i < n; ++i) {
        out[i] = face_normal(p[t[i].i0], p[t[i].i1], p[t[i].i2]);
    }
}

void heightfield_vertex_normals() {
    if (!heightfield_built()) {
        return;
    }
    const std::int32_t nv = heightfield.vertex_count;
    auto* counts =
        static_cast<std::int32_t*>(std::calloc(static_cast<std::size_t>(nv), sizeof(std::int32_t)));
    if (counts == nullptr) {
        std::exit(-1);
    }
    Vec3* normals = heightfield.vertex_normals;
    for (std::int32_t v = 0; v < nv; ++v) {
        normals[v] = {0.0f, 0.0f, 0.0f};
    }
    const MeshTriangle* t = heightfield.triangles;
    const Vec3* face = heightfield.face_normals;
    for (std::int32_t i = 0, n = heightfield.triangle_count; i < n; ++i) {
        add_face(normals[t[i].i0], counts[t[i].i0], face[i]);
        add_face(normals[t[i].i1], counts[t[i].i1], face[i]);
        add_face(normals[t[i].i2], counts[t[i].i2], face[i]);
    }
    for (std::int32_t v = 0; v < nv; ++v) {
        normals[v].x /= counts[v];
        normals[v].y /= counts[v];
        normals[v].z /= counts[v];
    }
    std::free(counts);
}

void heightfield_light() {
    if (!heightfield_built()) {
        return;
    }
    const Vec3* normals = heightfield.vertex_normals;
    VertexColour* colours = heightfield.vertex_colours;
    for (std::int32_t v = 0, n = heightfield.vertex_count; v < n; ++v) {
        float d = normals[v].y * light_direction.y + normals[v].z * light_direction.z +
                  normals[v].x * light_direction.x;
        if (d < 0.0f) {
            d = 0.0f;
        }
        const float g = diffuse_factor * d + ambient_floor;
        colours[v] = {g, g, g};
    }
}

}  // namespace zelm
