// SSE2 building blocks of the heightfield's normal passes, shared by the two-lane code and the
// AVX2 code that the processor may run instead. Each lane repeats the straightforward arithmetic
// (same operations, same precision, same order), so results are identical bit for bit.
//
// Internal to mesh/: included by heightfield_normals.cpp and heightfield_normals_avx2.cpp.
#pragma once

#include <cstdint>

#include "mesh/heightfield.hpp"

#if defined(__SSE2__) && !defined(ZELM_MESH_SCALAR)
#define ZELM_MESH_SSE2 1
#include <immintrin.h>
#if defined(__GNUC__) && !defined(ZELM_MESH_NO_AVX2)
#define ZELM_MESH_AVX2 1
#endif
#endif

namespace zelm::heightfield_lanes {

// Not unit length: about 1.044.
inline constexpr Vec3 light_direction = {0.0f, -1.0f, 0.3f};
inline constexpr float diffuse_factor = 0.6f;
inline constexpr float ambient_floor = 0.05f;

#if defined(ZELM_MESH_SSE2)

// x, y and z of a Vec3 followed by whatever float lies after it; the buffers read this way have
// one spare element at the end.
inline __m128 load4(const Vec3& v) {
    return _mm_loadu_ps(&v.x);
}

// Writes the x, y and z lanes of v.
inline void store3(Vec3& out, __m128 v) {
    _mm_storel_pi(reinterpret_cast<__m64*>(&out.x), v);
    _mm_store_ss(&out.z, _mm_movehl_ps(v, v));
}

// Rounds both lanes to single precision and back.
inline __m128d to_float_and_back(__m128d v) {
    return _mm_cvtps_pd(_mm_cvtpd_ps(v));
}

// The edges of two triangles, one triangle per double lane: e[0..2] = e1 x, y, z and
// e[3..5] = e2 x, y, z. The subtractions are single precision, as in edges_of().
inline void edge_lanes(const Vec3* p, const MeshTriangle& ta, const MeshTriangle& tb,
                       __m128d e[6]) {
    const __m128 aa = load4(p[ta.i0]);
    const __m128 ab = load4(p[tb.i0]);
    for (int k = 0; k < 2; ++k) {
        const __m128 da = _mm_sub_ps(load4(p[k == 0 ? ta.i1 : ta.i2]), aa);
        const __m128 db = _mm_sub_ps(load4(p[k == 0 ? tb.i1 : tb.i2]), ab);
        const __m128 xy = _mm_unpacklo_ps(da, db);  // xa, xb, ya, yb
        e[3 * k] = _mm_cvtps_pd(xy);
        e[3 * k + 1] = _mm_cvtps_pd(_mm_movehl_ps(xy, xy));
        e[3 * k + 2] = _mm_cvtps_pd(_mm_unpackhi_ps(da, db));
    }
}

// face_normal() of two triangles at once, each as x, y, z, 0: the same operations in the same
// order, so that each lane rounds exactly as the scalar code does. (Inlined by force: a call
// passing vectors through memory costs a third of the pass.)
[[gnu::always_inline]] inline void face_normal_pair(const Vec3* p, const MeshTriangle& ta,
                                                    const MeshTriangle& tb, __m128& out_a,
                                                    __m128& out_b) {
    __m128d e[6];
    edge_lanes(p, ta, tb, e);
    const __m128d x = to_float_and_back(_mm_sub_pd(_mm_mul_pd(e[1], e[5]), _mm_mul_pd(e[4], e[2])));
    const __m128d y = to_float_and_back(_mm_sub_pd(_mm_mul_pd(e[3], e[2]), _mm_mul_pd(e[0], e[5])));
    const __m128d z = to_float_and_back(_mm_sub_pd(_mm_mul_pd(e[0], e[4]), _mm_mul_pd(e[3], e[1])));
    const __m128d length =
        _mm_sqrt_pd(_mm_add_pd(_mm_add_pd(_mm_mul_pd(y, y), _mm_mul_pd(z, z)), _mm_mul_pd(x, x)));
    // A zero-length lane keeps its vector as it is: multiplying by exactly 1 does that, signs
    // of zero included.
    const __m128d zero = _mm_cmpeq_pd(length, _mm_setzero_pd());
    const __m128d one = _mm_set1_pd(1.0);
    const __m128d k = _mm_or_pd(_mm_and_pd(zero, one),
                                _mm_andnot_pd(zero, _mm_div_pd(one, to_float_and_back(length))));
    // Each conversion leaves its upper two lanes 0.
    const __m128 xs = _mm_cvtpd_ps(_mm_mul_pd(x, k));
    const __m128 ys = _mm_cvtpd_ps(_mm_mul_pd(y, k));
    const __m128 zs = _mm_cvtpd_ps(_mm_mul_pd(z, k));
    const __m128 xy = _mm_unpacklo_ps(xs, ys);  // xa, ya, xb, yb
    out_a = _mm_shuffle_ps(xy, zs, _MM_SHUFFLE(3, 0, 1, 0));
    out_b = _mm_shuffle_ps(xy, zs, _MM_SHUFFLE(3, 1, 3, 2));
}

// Sum of the face normals of vertex v, in triangle order from (0, 0, 0), as three float sums in
// the first three lanes; counts each of the vertex's triangle corners into counts[v]. An inner
// vertex of the grid lies in six triangles: that case runs without a loop, so that the next
// vertices' sums can start while this one's additions wait on each other.
inline __m128 face_sum(std::int32_t v, std::int32_t* counts) {
    const float* face = &heightfield.face_normals[0].x;
    const std::int32_t* run = heightfield.vertex_faces + heightfield.vertex_face_start[v];
    const std::int32_t* end = heightfield.vertex_faces + heightfield.vertex_face_start[v + 1];
    __m128 sum = _mm_setzero_ps();
    std::int32_t corners = 0;
    if (end - run == 6) {
        for (int j = 0; j < 6; ++j) {
            sum = _mm_add_ps(sum, _mm_loadu_ps(face + run[j]));
            ++corners;
        }
    } else {
        for (; run != end; ++run) {
            sum = _mm_add_ps(sum, _mm_loadu_ps(face + *run));
            ++corners;
        }
    }
    counts[v] += corners;
    return sum;
}

// The grey level of vertex normal n (x, y, z, any) in every lane, as heightfield_light() forms it.
inline __m128 grey_of(__m128 n) {
    const __m128 m =
        _mm_mul_ps(n, _mm_setr_ps(light_direction.x, light_direction.y, light_direction.z, 0.0f));
    const __m128 d = _mm_add_ps(_mm_add_ps(_mm_shuffle_ps(m, m, _MM_SHUFFLE(1, 1, 1, 1)),
                                           _mm_shuffle_ps(m, m, _MM_SHUFFLE(2, 2, 2, 2))),
                                _mm_shuffle_ps(m, m, _MM_SHUFFLE(0, 0, 0, 0)));
    // max(0, d) returns its second operand unless 0 > d: d < 0 ? 0 : d, NaN and -0 included.
    const __m128 lit = _mm_max_ps(_mm_setzero_ps(), d);
    return _mm_add_ps(_mm_mul_ps(_mm_set1_ps(diffuse_factor), lit), _mm_set1_ps(ambient_floor));
}

// Vertex v's normal (its face sum over its count) and, when light is set, its colour.
template <bool light>
inline void vertex_mean(std::int32_t v, std::int32_t* counts) {
    const __m128 sum = face_sum(v, counts);
    const __m128 n = _mm_div_ps(sum, _mm_set1_ps(static_cast<float>(counts[v])));
    store3(heightfield.vertex_normals[v], n);
    if (light) {
        const __m128 g = grey_of(n);
        _mm_storel_pi(reinterpret_cast<__m64*>(&heightfield.vertex_colours[v].r), g);
        _mm_store_ss(&heightfield.vertex_colours[v].b, g);
    }
}

#endif

#if defined(ZELM_MESH_AVX2)

// Whether this processor runs the AVX2 passes below.
bool has_avx2();

// Every face normal, eight triangles at a time, reading the vertices by their place in the grid
// (the triangle list is the grid's, as heightfield_build_triangles() makes it).
// With face_lanes set, also writes the normals there (see HeightfieldMesh::face_lanes).
void face_normals_by_cells(float* face_lanes);

// Every vertex normal and, when light is set, every colour, two vertices at a time, counting
// each vertex's triangle corners into counts. With face_lanes (as face_normals_by_cells() left
// them this update), the grid's inner vertices go eight at a time.
void vertex_means_by_pairs(std::int32_t* counts, bool light, const float* face_lanes);

#endif

}  // namespace zelm::heightfield_lanes
