// The heightfield's normals and lighting: a unit normal per triangle, the mean of the adjacent
// face normals per vertex, and a grey level per vertex from a fixed directional light.
//
// These passes run over the whole mesh after every animation step. The face normal repeats the
// arithmetic of cross_product and normalize_vector (same operations, same precision, same order),
// two triangles at a time where SSE2 is available (ZELM_MESH_SCALAR turns that off) and more
// where AVX2 is (heightfield_normals_avx2.cpp); unit tests hold every way to the straightforward
// arithmetic bit for bit.
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "mesh/heightfield.hpp"
#include "mesh/heightfield_lanes.hpp"

namespace zelm {

namespace {

using namespace heightfield_lanes;

#if defined(ZELM_MESH_SSE2)

// Every face normal, two at a time (the count is even, two per cell).
void face_normals_by_pairs() {
    const Vec3* p = heightfield.positions;
    const MeshTriangle* t = heightfield.triangles;
    Vec3* out = heightfield.face_normals;
    for (std::int32_t i = 0; i + 1 < heightfield.triangle_count; i += 2) {
        __m128 a;
        __m128 b;
        face_normal_pair(p, t[i], t[i + 1], a, b);
        store3(out[i], a);
        store3(out[i + 1], b);
    }
}

// Every vertex normal and, when light is set, every colour, counting each vertex's corners
// into counts on the way.
void vertex_normals_from(std::int32_t* counts, bool light,
                         [[maybe_unused]] const float* face_lanes) {
#if defined(ZELM_MESH_AVX2)
    if (has_avx2()) {
        vertex_means_by_pairs(counts, light, face_lanes);
        return;
    }
#endif
    for (std::int32_t v = 0, nv = heightfield.vertex_count; v < nv; ++v) {
        if (light) {
            vertex_mean<true>(v, counts);
        } else {
            vertex_mean<false>(v, counts);
        }
    }
}

#else

// The edges (b - a) and (c - a) of one triangle, in single precision.
struct Edges {
    Vec3 e1;
    Vec3 e2;
};

inline Edges edges_of(const Vec3* p, const MeshTriangle& t) {
    const Vec3& a = p[t.i0];
    const Vec3& b = p[t.i1];
    const Vec3& c = p[t.i2];
    return {{b.x - a.x, b.y - a.y, b.z - a.z}, {c.x - a.x, c.y - a.y, c.z - a.z}};
}

// e1 x e2, normalised unless it is zero.
inline Vec3 face_normal(const Edges& e) {
    Vec3 n = {
        static_cast<float>(static_cast<double>(e.e1.y) * e.e2.z -
                           static_cast<double>(e.e2.y) * e.e1.z),
        static_cast<float>(static_cast<double>(e.e2.x) * e.e1.z -
                           static_cast<double>(e.e1.x) * e.e2.z),
        static_cast<float>(static_cast<double>(e.e1.x) * e.e2.y -
                           static_cast<double>(e.e2.x) * e.e1.y),
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

// Adds one adjacent face normal to a vertex's sum.
inline void add_face(Vec3& sum, const Vec3& face) {
    sum.x += face.x;
    sum.y += face.y;
    sum.z += face.z;
}

// Adds 1 to the count of each corner of each triangle.
void count_corners(std::int32_t* counts) {
    const MeshTriangle* t = heightfield.triangles;
    for (std::int32_t i = 0, nt = heightfield.triangle_count; i < nt; ++i) {
        ++counts[t[i].i0];
        ++counts[t[i].i1];
        ++counts[t[i].i2];
    }
}

#endif

// The vertex-normal pass's temporary reference counts, one per vertex, all 0; the process ends
// when there is no memory for them.
std::int32_t* allocate_counts() {
    auto* counts = static_cast<std::int32_t*>(
        std::calloc(static_cast<std::size_t>(heightfield.vertex_count), sizeof(std::int32_t)));
    if (counts == nullptr) {
        std::exit(-1);
    }
    return counts;
}

}  // namespace

void heightfield_face_normals() {
    if (!heightfield_built()) {
        return;
    }
#if defined(ZELM_MESH_AVX2)
    if (has_avx2()) {
        face_normals_by_cells(nullptr);
        return;
    }
#endif
#if defined(ZELM_MESH_SSE2)
    face_normals_by_pairs();
#else
    const Vec3* p = heightfield.positions;
    const MeshTriangle* t = heightfield.triangles;
    Vec3* out = heightfield.face_normals;
    for (std::int32_t i = 0, nt = heightfield.triangle_count; i < nt; ++i) {
        out[i] = face_normal(edges_of(p, t[i]));
    }
#endif
}

void heightfield_vertex_normals() {
    if (!heightfield_built()) {
        return;
    }
    std::int32_t* counts = allocate_counts();
#if defined(ZELM_MESH_SSE2)
    vertex_normals_from(counts, false, nullptr);
#else
    count_corners(counts);
    const std::int32_t nv = heightfield.vertex_count;
    const std::int32_t nt = heightfield.triangle_count;
    const MeshTriangle* t = heightfield.triangles;
    const Vec3* face = heightfield.face_normals;
    Vec3* normals = heightfield.vertex_normals;
    for (std::int32_t v = 0; v < nv; ++v) {
        normals[v] = {0.0f, 0.0f, 0.0f};
    }
    for (std::int32_t i = 0; i < nt; ++i) {
        add_face(normals[t[i].i0], face[i]);
        add_face(normals[t[i].i1], face[i]);
        add_face(normals[t[i].i2], face[i]);
    }
    for (std::int32_t v = 0; v < nv; ++v) {
        normals[v].x /= counts[v];
        normals[v].y /= counts[v];
        normals[v].z /= counts[v];
    }
#endif
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

void heightfield_normals_and_light() {
    if (!heightfield_built()) {
        return;
    }
#if defined(ZELM_MESH_SSE2)
    // Here the face normals are this update's own, so they may hand their lanes on.
    const float* face_lanes = nullptr;
#if defined(ZELM_MESH_AVX2)
    if (has_avx2()) {
        face_normals_by_cells(heightfield.face_lanes);
        face_lanes = heightfield.face_lanes;
    } else {
        face_normals_by_pairs();
    }
#else
    face_normals_by_pairs();
#endif
    std::int32_t* counts = allocate_counts();
    vertex_normals_from(counts, true, face_lanes);
    std::free(counts);
#else
    heightfield_face_normals();
    heightfield_vertex_normals();
    heightfield_light();
#endif
}

}  // namespace zelm
