// The heightfield's normals and lighting: a unit normal per triangle, the mean of the adjacent
// face normals per vertex, and a grey level per vertex from a fixed directional light.
//
// These passes run over the whole mesh after every animation step. Each vertex gathers its
// faces from the list built at creation (HeightfieldMesh::vertex_faces), in triangle order, so
// its sum is formed in the same order as scattering each face to its corners would form it.
// Where SSE2 is part of the target (every x86-64), the face normals go two at a time, one per
// double lane: the square root and the division, which bound this pass, then cost half. Each
// lane repeats the operations of cross_product and normalize_vector in the same order and
// precision, so the results are the same bit for bit; ZELM_MESH_SCALAR turns the lanes off so
// that the unit tests cover both ways.
#include <cstdint>
#include <cstdlib>

#include "mesh/heightfield.hpp"

#if defined(__SSE2__) && !defined(ZELM_MESH_SCALAR)
#define ZELM_MESH_SSE2 1
#include <emmintrin.h>
#endif

namespace zelm {

namespace {

// Not unit length: about 1.044.
constexpr Vec3 light_direction = {0.0f, -1.0f, 0.3f};
constexpr float diffuse_factor = 0.6f;
constexpr float ambient_floor = 0.05f;

// The unit normal of triangle t, or the zero vector for a triangle of no area.
Vec3 face_normal(const Vec3* p, const MeshTriangle& t) {
    const Vec3& a = p[t.i0];
    const Vec3& b = p[t.i1];
    const Vec3& c = p[t.i2];
    const Vec3 e1 = {b.x - a.x, b.y - a.y, b.z - a.z};
    const Vec3 e2 = {c.x - a.x, c.y - a.y, c.z - a.z};
    Vec3 n;
    cross_product(e1, e2, n);
    normalize_vector(n, n);
    return n;
}

#if defined(ZELM_MESH_SSE2)

// The edge b - a of two triangles, one per double lane: x, y and z.
struct EdgeLanes {
    __m128d x;
    __m128d y;
    __m128d z;
};

// The edges are subtracted in single precision, as in face_normal().
EdgeLanes edge_lanes(const Vec3& a0, const Vec3& b0, const Vec3& a1, const Vec3& b1) {
    return {_mm_cvtps_pd(_mm_setr_ps(b0.x - a0.x, b1.x - a1.x, 0.0f, 0.0f)),
            _mm_cvtps_pd(_mm_setr_ps(b0.y - a0.y, b1.y - a1.y, 0.0f, 0.0f)),
            _mm_cvtps_pd(_mm_setr_ps(b0.z - a0.z, b1.z - a1.z, 0.0f, 0.0f))};
}

// Rounds both lanes to single precision and back.
__m128d to_float_and_back(__m128d v) {
    return _mm_cvtps_pd(_mm_cvtpd_ps(v));
}

// face_normal() of triangles t0 and t1, written to n0 and n1.
void face_normal_pair(const Vec3* p, const MeshTriangle& t0, const MeshTriangle& t1, Vec3& n0,
                      Vec3& n1) {
    const EdgeLanes e1 = edge_lanes(p[t0.i0], p[t0.i1], p[t1.i0], p[t1.i1]);
    const EdgeLanes e2 = edge_lanes(p[t0.i0], p[t0.i2], p[t1.i0], p[t1.i2]);
    const __m128d x = to_float_and_back(_mm_sub_pd(_mm_mul_pd(e1.y, e2.z), _mm_mul_pd(e2.y, e1.z)));
    const __m128d y = to_float_and_back(_mm_sub_pd(_mm_mul_pd(e2.x, e1.z), _mm_mul_pd(e1.x, e2.z)));
    const __m128d z = to_float_and_back(_mm_sub_pd(_mm_mul_pd(e1.x, e2.y), _mm_mul_pd(e2.x, e1.y)));
    const __m128d length =
        _mm_sqrt_pd(_mm_add_pd(_mm_add_pd(_mm_mul_pd(y, y), _mm_mul_pd(z, z)), _mm_mul_pd(x, x)));
    // A lane of length 0 keeps its vector: multiplying by exactly 1 does that, signs of zero
    // included.
    const __m128d zero = _mm_cmpeq_pd(length, _mm_setzero_pd());
    const __m128d one = _mm_set1_pd(1.0);
    const __m128d k = _mm_or_pd(_mm_and_pd(zero, one),
                                _mm_andnot_pd(zero, _mm_div_pd(one, to_float_and_back(length))));
    float xs[4];
    float ys[4];
    float zs[4];
    _mm_storeu_ps(xs, _mm_cvtpd_ps(_mm_mul_pd(x, k)));
    _mm_storeu_ps(ys, _mm_cvtpd_ps(_mm_mul_pd(y, k)));
    _mm_storeu_ps(zs, _mm_cvtpd_ps(_mm_mul_pd(z, k)));
    n0 = {xs[0], ys[0], zs[0]};
    n1 = {xs[1], ys[1], zs[1]};
}

#endif

// The mean of vertex v's face normals; adds its number of triangle corners to counts[v].
Vec3 vertex_mean(std::int32_t v, std::int32_t* counts) {
    const Vec3* face = heightfield.face_normals;
    const std::int32_t* run = heightfield.vertex_faces + heightfield.vertex_face_start[v];
    const std::int32_t* end = heightfield.vertex_faces + heightfield.vertex_face_start[v + 1];
    Vec3 sum = {0.0f, 0.0f, 0.0f};
    for (; run != end; ++run) {
        const Vec3& f = face[*run];
        sum.x += f.x;
        sum.y += f.y;
        sum.z += f.z;
        ++counts[v];
    }
    return {sum.x / counts[v], sum.y / counts[v], sum.z / counts[v]};
}

// The grey level of vertex normal n.
float grey_of(const Vec3& n) {
    float d = n.y * light_direction.y + n.z * light_direction.z + n.x * light_direction.x;
    if (d < 0.0f) {
        d = 0.0f;
    }
    return diffuse_factor * d + ambient_floor;
}

// Every vertex normal and, when light is set, every colour as soon as its normal is done; 0 when
// there is no memory for the pass's temporary reference counts (one per vertex, all 0).
int vertex_normals(bool light) {
    auto* counts = static_cast<std::int32_t*>(
        std::calloc(static_cast<std::size_t>(heightfield.vertex_count), sizeof(std::int32_t)));
    if (counts == nullptr) {
        return 0;
    }
    Vec3* normals = heightfield.vertex_normals;
    VertexColour* colours = heightfield.vertex_colours;
    for (std::int32_t v = 0, n = heightfield.vertex_count; v < n; ++v) {
        normals[v] = vertex_mean(v, counts);
        if (light) {
            const float g = grey_of(normals[v]);
            colours[v] = {g, g, g};
        }
    }
    std::free(counts);
    return 1;
}

}  // namespace

void heightfield_face_normals() {
    if (!heightfield_built()) {
        return;
    }
    const Vec3* p = heightfield.positions;
    const MeshTriangle* t = heightfield.triangles;
    Vec3* out = heightfield.face_normals;
    const std::int32_t nt = heightfield.triangle_count;
    std::int32_t i = 0;
#if defined(ZELM_MESH_SSE2)
    for (; i + 1 < nt; i += 2) {
        face_normal_pair(p, t[i], t[i + 1], out[i], out[i + 1]);
    }
#endif
    for (; i < nt; ++i) {
        out[i] = face_normal(p, t[i]);
    }
}

int heightfield_vertex_normals() {
    return heightfield_built() ? vertex_normals(false) : 1;
}

void heightfield_light() {
    if (!heightfield_built()) {
        return;
    }
    const Vec3* normals = heightfield.vertex_normals;
    VertexColour* colours = heightfield.vertex_colours;
    for (std::int32_t v = 0, n = heightfield.vertex_count; v < n; ++v) {
        const float g = grey_of(normals[v]);
        colours[v] = {g, g, g};
    }
}

int heightfield_normals_and_light() {
    if (!heightfield_built()) {
        return 1;
    }
    heightfield_face_normals();
    return vertex_normals(true);
}

}  // namespace zelm
