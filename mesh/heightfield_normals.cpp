// The heightfield's normals and lighting: a unit normal per triangle, the mean of the adjacent
// face normals per vertex, and a grey level per vertex from a fixed directional light.
//
// These passes run over the whole mesh after every animation step. The face normal repeats the
// arithmetic of cross_product and normalize_vector (same operations, same precision, same order),
// two triangles at a time where SSE2 is available (ZELM_MESH_SCALAR turns that off); unit tests
// hold both ways to the straightforward arithmetic bit for bit.
#include <cmath>
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

// The vertex-normal pass keeps each vertex's sum as one four-float vector whose fourth lane
// stays 0, so that adding a face normal is one load, one add and one store; the lanes add
// exactly as three float sums do.
struct NormalSums {
    float* sums;
    std::int32_t* counts;

    // Starts every sum at (0, 0, 0).
    void clear(std::int32_t nv) const {
        for (std::int32_t v = 0; v < nv; ++v) {
            _mm_storeu_ps(sums + 4 * v, _mm_setzero_ps());
        }
    }
    // Adds face normal f (x, y, z, 0) to vertex v.
    void add(std::int32_t v, __m128 f) const {
        float* s = sums + 4 * v;
        _mm_storeu_ps(s, _mm_add_ps(_mm_loadu_ps(s), f));
        ++counts[v];
    }
    // Adds face normal fa and then fb to vertex v.
    void add_both(std::int32_t v, __m128 fa, __m128 fb) const {
        float* s = sums + 4 * v;
        _mm_storeu_ps(s, _mm_add_ps(_mm_add_ps(_mm_loadu_ps(s), fa), fb));
        counts[v] += 2;
    }
    // Adds face normal f to the corners of t, in order.
    void add(const MeshTriangle& t, __m128 f) const {
        add(t.i0, f);
        add(t.i1, f);
        add(t.i2, f);
    }
    // Adds the face normals of two consecutive triangles a and b. The two triangles of a cell
    // share two corners (a's i2 and i1 are b's i0 and i1); each of those takes both of its
    // additions, in order, with one load and one store. (Were a's i1 and i2 the same vertex,
    // that would change its order of additions, so such a pair goes corner by corner.)
    void add_pair(const MeshTriangle& a, const MeshTriangle& b, __m128 fa, __m128 fb) const {
        if (b.i0 != a.i2 || b.i1 != a.i1 || a.i1 == a.i2) {
            add(a, fa);
            add(b, fb);
            return;
        }
        add(a.i0, fa);
        add_both(a.i1, fa, fb);
        add_both(a.i2, fa, fb);
        add(b.i2, fb);
    }
    // Writes each sum divided by its count.
    void write_means(std::int32_t nv, Vec3* normals) const {
        for (std::int32_t v = 0; v < nv; ++v) {
            store3(normals[v], _mm_div_ps(_mm_loadu_ps(sums + 4 * v),
                                          _mm_set1_ps(static_cast<float>(counts[v]))));
        }
    }
};

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

// Adds one adjacent face normal to a vertex's sum and count.
inline void add_face(Vec3& sum, std::int32_t& count, const Vec3& face) {
    sum.x += face.x;
    sum.y += face.y;
    sum.z += face.z;
    ++count;
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
    const std::int32_t nv = heightfield.vertex_count;
    const std::int32_t nt = heightfield.triangle_count;
    const MeshTriangle* t = heightfield.triangles;
    const Vec3* face = heightfield.face_normals;
#if defined(ZELM_MESH_SSE2)
    const NormalSums sums = {heightfield.normal_sums, counts};
    sums.clear(nv);
    const __m128 xyz = _mm_castsi128_ps(_mm_set_epi32(0, -1, -1, -1));
    for (std::int32_t i = 0; i + 1 < nt; i += 2) {
        sums.add_pair(t[i], t[i + 1], _mm_and_ps(load4(face[i]), xyz),
                      _mm_and_ps(load4(face[i + 1]), xyz));
    }
    sums.write_means(nv, heightfield.vertex_normals);
#else
    Vec3* normals = heightfield.vertex_normals;
    for (std::int32_t v = 0; v < nv; ++v) {
        normals[v] = {0.0f, 0.0f, 0.0f};
    }
    for (std::int32_t i = 0; i < nt; ++i) {
        add_face(normals[t[i].i0], counts[t[i].i0], face[i]);
        add_face(normals[t[i].i1], counts[t[i].i1], face[i]);
        add_face(normals[t[i].i2], counts[t[i].i2], face[i]);
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

}  // namespace zelm
