// The heightfield's normal passes with AVX2, for processors that have it (chosen at run time):
// face normals four triangles to a register, vertex normals and colours two vertices to one.
// Compiled for AVX2 function by function, so the rest of the program runs anywhere; nothing here
// fuses a multiplication with an addition, which would change the results' last bits.
#include "mesh/heightfield_lanes.hpp"

#if defined(ZELM_MESH_AVX2)

namespace zelm::heightfield_lanes {

namespace {

// Rounds the four lanes to single precision and back.
[[gnu::target("avx2")]] inline __m256d to_float_and_back4(__m256d v) {
    return _mm256_cvtps_pd(_mm256_cvtpd_ps(v));
}

// The cross product of four triangles, rounded to float, and its length before rounding.
struct QuadCross {
    __m256d x;
    __m256d y;
    __m256d z;
    __m256d length;
};

// The first half of face_normal_pair() for four triangles, from their edges in single precision
// (e1 x, y, z and e2 x, y, z, one triangle per lane): the same operations in the same order in
// each lane. (Multiplications and subtractions stay separate: no fused multiply-add.)
[[gnu::target("avx2")]] inline void cross_quad(const __m128 edges[6], QuadCross& out) {
    __m256d e[6];
    for (int k = 0; k < 6; ++k) {
        e[k] = _mm256_cvtps_pd(edges[k]);
    }
    const __m256d x =
        to_float_and_back4(_mm256_sub_pd(_mm256_mul_pd(e[1], e[5]), _mm256_mul_pd(e[4], e[2])));
    const __m256d y =
        to_float_and_back4(_mm256_sub_pd(_mm256_mul_pd(e[3], e[2]), _mm256_mul_pd(e[0], e[5])));
    const __m256d z =
        to_float_and_back4(_mm256_sub_pd(_mm256_mul_pd(e[0], e[4]), _mm256_mul_pd(e[3], e[1])));
    out.x = x;
    out.y = y;
    out.z = z;
    out.length = _mm256_sqrt_pd(_mm256_add_pd(
        _mm256_add_pd(_mm256_mul_pd(y, y), _mm256_mul_pd(z, z)), _mm256_mul_pd(x, x)));
}

// The unit normals of four triangles, one per float lane.
struct QuadNormal {
    __m128 x;
    __m128 y;
    __m128 z;
};

// The second half: the cross product scaled to unit length unless it is zero, as floats.
[[gnu::target("avx2")]] inline QuadNormal normalise_quad(const QuadCross& c) {
    const __m256d zero = _mm256_cmp_pd(c.length, _mm256_setzero_pd(), _CMP_EQ_OQ);
    const __m256d one = _mm256_set1_pd(1.0);
    const __m256d k = _mm256_blendv_pd(_mm256_div_pd(one, to_float_and_back4(c.length)), one, zero);
    return {_mm256_cvtpd_ps(_mm256_mul_pd(c.x, k)), _mm256_cvtpd_ps(_mm256_mul_pd(c.y, k)),
            _mm256_cvtpd_ps(_mm256_mul_pd(c.z, k))};
}

// Writes lanes 0 to 3 of x, y and z to out[0..3].
inline void store_quad(__m128 xs, __m128 ys, __m128 zs, Vec3* out) {
    // Twelve floats x0 y0 z0 x1 | y1 z1 x2 y2 | z2 x3 y3 z3.
    const __m128 xy01 = _mm_unpacklo_ps(xs, ys);  // x0 y0 x1 y1
    const __m128 xy23 = _mm_unpackhi_ps(xs, ys);  // x2 y2 x3 y3
    const __m128 z0x1 = _mm_shuffle_ps(zs, xy01, _MM_SHUFFLE(2, 2, 0, 0));
    const __m128 y1z1 = _mm_shuffle_ps(xy01, zs, _MM_SHUFFLE(1, 1, 3, 3));
    const __m128 z2x3 = _mm_shuffle_ps(zs, xy23, _MM_SHUFFLE(2, 2, 2, 2));
    const __m128 y3z3 = _mm_shuffle_ps(xy23, zs, _MM_SHUFFLE(3, 3, 3, 3));
    float* f = &out[0].x;
    _mm_storeu_ps(f, _mm_shuffle_ps(xy01, z0x1, _MM_SHUFFLE(2, 0, 1, 0)));
    _mm_storeu_ps(f + 4, _mm_shuffle_ps(y1z1, xy23, _MM_SHUFFLE(1, 0, 2, 0)));
    _mm_storeu_ps(f + 8, _mm_shuffle_ps(z2x3, y3z3, _MM_SHUFFLE(2, 0, 2, 0)));
}

// Copies the positions into position_lanes as three arrays: every x, every y, every z.
void split_positions() {
    const std::int32_t nv = heightfield.vertex_count;
    const float* p = &heightfield.positions[0].x;
    float* x = heightfield.position_lanes;
    float* y = x + nv;
    float* z = y + nv;
    std::int32_t v = 0;
    for (; v + 3 < nv; v += 4) {
        const __m128 a = _mm_loadu_ps(p + 3 * v);      // x0 y0 z0 x1
        const __m128 b = _mm_loadu_ps(p + 3 * v + 4);  // y1 z1 x2 y2
        const __m128 c = _mm_loadu_ps(p + 3 * v + 8);  // z2 x3 y3 z3
        const __m128 x23 = _mm_shuffle_ps(b, c, _MM_SHUFFLE(1, 1, 2, 2));
        const __m128 y01 = _mm_shuffle_ps(a, b, _MM_SHUFFLE(0, 0, 1, 1));
        const __m128 y23 = _mm_shuffle_ps(b, c, _MM_SHUFFLE(2, 2, 3, 3));
        const __m128 z01 = _mm_shuffle_ps(a, b, _MM_SHUFFLE(1, 1, 2, 2));
        _mm_storeu_ps(x + v, _mm_shuffle_ps(a, x23, _MM_SHUFFLE(2, 0, 3, 0)));
        _mm_storeu_ps(y + v, _mm_shuffle_ps(y01, y23, _MM_SHUFFLE(2, 0, 2, 0)));
        _mm_storeu_ps(z + v, _mm_shuffle_ps(z01, c, _MM_SHUFFLE(3, 0, 2, 0)));
    }
    for (; v < nv; ++v) {
        x[v] = p[3 * v];
        y[v] = p[3 * v + 1];
        z[v] = p[3 * v + 2];
    }
}

// The cross products of the eight triangles of cells c to c + 3 of the row whose first vertex is
// row: the first triangles of the four cells into a, the second ones into b. Vertex v of a cell
// is (row + c) and the cell's triangles are (v, v + 1, v + w) and (v + w, v + 1, v + w + 1).
[[gnu::target("avx2")]] inline void cross_cells(const float* lanes, std::int32_t nv, std::int32_t w,
                                                std::int32_t v, QuadCross& a, QuadCross& b) {
    __m128 ea[6];
    __m128 eb[6];
    for (int k = 0; k < 3; ++k) {
        const float* l = lanes + k * nv + v;
        const __m128 p0 = _mm_loadu_ps(l);
        const __m128 p1 = _mm_loadu_ps(l + 1);
        const __m128 p2 = _mm_loadu_ps(l + w);
        const __m128 p3 = _mm_loadu_ps(l + w + 1);
        ea[k] = _mm_sub_ps(p1, p0);
        ea[3 + k] = _mm_sub_ps(p2, p0);
        eb[k] = _mm_sub_ps(p1, p2);
        eb[3 + k] = _mm_sub_ps(p3, p2);
    }
    cross_quad(ea, a);
    cross_quad(eb, b);
}

// Every face normal, eight triangles (four cells) at a time along each row, and the cells left
// at a row's end two triangles at a time. It reads the vertices by their place in the grid,
// which is how heightfield_build_triangles() lists them. A block's square roots all start
// before any division waits on one: done cell group by cell group, the waiting work fills the
// scheduler and the square roots no longer overlap.
[[gnu::target("avx2")]] void face_normals_in_groups(float* face_lanes) {
    constexpr std::int32_t block = 4;  // groups of four cells
    split_positions();
    const float* lanes = heightfield.position_lanes;
    const std::int32_t nv = heightfield.vertex_count;
    const std::int32_t cols = heightfield.cols;
    const std::int32_t w = cols + 1;
    const std::int32_t groups = cols / 4;
    const Vec3* p = heightfield.positions;
    const MeshTriangle* t = heightfield.triangles;
    Vec3* out = heightfield.face_normals;
    const std::int32_t cells = cols * heightfield.rows;
    QuadCross a[block];
    QuadCross b[block];
    for (std::int32_t r = 0; r < heightfield.rows; ++r) {
        const std::int32_t row = r * w;
        Vec3* row_out = out + 2 * r * cols;
        for (std::int32_t first = 0; first < groups; first += block) {
            const std::int32_t n = groups - first < block ? groups - first : block;
            for (std::int32_t g = 0; g < n; ++g) {
                cross_cells(lanes, nv, w, row + 4 * (first + g), a[g], b[g]);
            }
            for (std::int32_t g = 0; g < n; ++g) {
                const QuadNormal na = normalise_quad(a[g]);
                const QuadNormal nb = normalise_quad(b[g]);
                if (face_lanes != nullptr) {
                    float* f = face_lanes + r * cols + 4 * (first + g);
                    _mm_storeu_ps(f, na.x);
                    _mm_storeu_ps(f + cells, na.y);
                    _mm_storeu_ps(f + 2 * cells, na.z);
                    _mm_storeu_ps(f + 3 * cells, nb.x);
                    _mm_storeu_ps(f + 4 * cells, nb.y);
                    _mm_storeu_ps(f + 5 * cells, nb.z);
                }
                // Triangle order: first and second of cell 0, of cell 1, ...
                Vec3* o = row_out + 8 * (first + g);
                store_quad(_mm_unpacklo_ps(na.x, nb.x), _mm_unpacklo_ps(na.y, nb.y),
                           _mm_unpacklo_ps(na.z, nb.z), o);
                store_quad(_mm_unpackhi_ps(na.x, nb.x), _mm_unpackhi_ps(na.y, nb.y),
                           _mm_unpackhi_ps(na.z, nb.z), o + 4);
            }
        }
        for (std::int32_t c = 4 * groups; c < cols; ++c) {
            const std::int32_t i = 2 * (r * cols + c);
            __m128 fa;
            __m128 fb;
            face_normal_pair(p, t[i], t[i + 1], fa, fb);
            store3(out[i], fa);
            store3(out[i + 1], fb);
            if (face_lanes != nullptr) {
                const std::int32_t k = r * cols + c;
                for (int j = 0; j < 3; ++j) {
                    face_lanes[k + j * cells] = (&out[i].x)[j];
                    face_lanes[k + (3 + j) * cells] = (&out[i + 1].x)[j];
                }
            }
        }
    }
    // Clean upper halves before the SSE code that follows; GCC does not always insert this.
    _mm256_zeroupper();
}

// grey_of() of two vertex normals, one per 128-bit half.
[[gnu::target("avx2")]] inline __m256 grey_of2(__m256 n) {
    const __m256 m = _mm256_mul_ps(
        n, _mm256_setr_ps(light_direction.x, light_direction.y, light_direction.z, 0.0f,
                          light_direction.x, light_direction.y, light_direction.z, 0.0f));
    const __m256 d = _mm256_add_ps(_mm256_add_ps(_mm256_shuffle_ps(m, m, _MM_SHUFFLE(1, 1, 1, 1)),
                                                 _mm256_shuffle_ps(m, m, _MM_SHUFFLE(2, 2, 2, 2))),
                                   _mm256_shuffle_ps(m, m, _MM_SHUFFLE(0, 0, 0, 0)));
    const __m256 lit = _mm256_max_ps(_mm256_setzero_ps(), d);
    return _mm256_add_ps(_mm256_mul_ps(_mm256_set1_ps(diffuse_factor), lit),
                         _mm256_set1_ps(ambient_floor));
}

// The means of vertices begin to end, two at a time, one division for both. Each four-float
// store writes one float past its vertex, which a later vertex overwrites; the last vertex of the
// mesh goes alone, as three floats.
template <bool light>
[[gnu::target("avx2")]] inline void means_by_pairs(std::int32_t begin, std::int32_t end,
                                                   std::int32_t* counts) {
    const std::int32_t nv = heightfield.vertex_count;
    float* normals = &heightfield.vertex_normals[0].x;
    float* colours = &heightfield.vertex_colours[0].r;
    std::int32_t v = begin;
    for (; v + 1 < end && v + 2 < nv; v += 2) {
        const __m128 a = face_sum(v, counts);
        const __m128 b = face_sum(v + 1, counts);
        const __m256 count = _mm256_set_m128(_mm_set1_ps(static_cast<float>(counts[v + 1])),
                                             _mm_set1_ps(static_cast<float>(counts[v])));
        const __m256 n = _mm256_div_ps(_mm256_set_m128(b, a), count);
        _mm_storeu_ps(normals + 3 * v, _mm256_castps256_ps128(n));
        _mm_storeu_ps(normals + 3 * v + 3, _mm256_extractf128_ps(n, 1));
        if (light) {
            const __m256 g = grey_of2(n);
            _mm_storeu_ps(colours + 3 * v, _mm256_castps256_ps128(g));
            _mm_storeu_ps(colours + 3 * v + 3, _mm256_extractf128_ps(g, 1));
        }
    }
    for (; v < end; ++v) {
        vertex_mean<light>(v, counts);
    }
}

// Eight inner vertices from (r, c) on, from the cells' normals in face_lanes. An inner vertex
// lies in six triangles, in this order: the second of cell (r - 1, c - 1), both of (r - 1, c),
// both of (r, c - 1) and the first of (r, c); each lane adds them from 0 as face_sum() does,
// and counts the vertex's corners from its list.
template <bool light>
[[gnu::target("avx2")]] inline void inner_means8(std::int32_t r, std::int32_t c,
                                                 std::int32_t* counts, const float* face_lanes) {
    const std::int32_t cols = heightfield.cols;
    const std::int32_t cells = cols * heightfield.rows;
    const std::int32_t v = r * (cols + 1) + c;
    const std::int32_t below = (r - 1) * cols + c;
    const std::int32_t here = r * cols + c;
    __m256 n[3];
    const std::int32_t* start = heightfield.vertex_face_start;
    const __m256i corners =
        _mm256_sub_epi32(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(start + v + 1)),
                         _mm256_loadu_si256(reinterpret_cast<const __m256i*>(start + v)));
    __m256i* count = reinterpret_cast<__m256i*>(counts + v);
    _mm256_storeu_si256(count, _mm256_add_epi32(_mm256_loadu_si256(count), corners));
    const __m256 divisor = _mm256_cvtepi32_ps(_mm256_loadu_si256(count));
    for (int k = 0; k < 3; ++k) {
        const float* first = face_lanes + k * cells;
        const float* second = face_lanes + (3 + k) * cells;
        __m256 sum = _mm256_setzero_ps();
        sum = _mm256_add_ps(sum, _mm256_loadu_ps(second + below - 1));
        sum = _mm256_add_ps(sum, _mm256_loadu_ps(first + below));
        sum = _mm256_add_ps(sum, _mm256_loadu_ps(second + below));
        sum = _mm256_add_ps(sum, _mm256_loadu_ps(first + here - 1));
        sum = _mm256_add_ps(sum, _mm256_loadu_ps(second + here - 1));
        sum = _mm256_add_ps(sum, _mm256_loadu_ps(first + here));
        n[k] = _mm256_div_ps(sum, divisor);
    }
    Vec3* normals = heightfield.vertex_normals + v;
    store_quad(_mm256_castps256_ps128(n[0]), _mm256_castps256_ps128(n[1]),
               _mm256_castps256_ps128(n[2]), normals);
    store_quad(_mm256_extractf128_ps(n[0], 1), _mm256_extractf128_ps(n[1], 1),
               _mm256_extractf128_ps(n[2], 1), normals + 4);
    if (light) {
        // As grey_of(): d = (y * -1 + z * 0.3) + x * 0, then max(0, d).
        const __m256 d =
            _mm256_add_ps(_mm256_add_ps(_mm256_mul_ps(n[1], _mm256_set1_ps(light_direction.y)),
                                        _mm256_mul_ps(n[2], _mm256_set1_ps(light_direction.z))),
                          _mm256_mul_ps(n[0], _mm256_set1_ps(light_direction.x)));
        const __m256 lit = _mm256_max_ps(_mm256_setzero_ps(), d);
        const __m256 g = _mm256_add_ps(_mm256_mul_ps(_mm256_set1_ps(diffuse_factor), lit),
                                       _mm256_set1_ps(ambient_floor));
        const __m128 lo = _mm256_castps256_ps128(g);
        const __m128 hi = _mm256_extractf128_ps(g, 1);
        Vec3* colours = reinterpret_cast<Vec3*>(heightfield.vertex_colours + v);
        store_quad(lo, lo, lo, colours);
        store_quad(hi, hi, hi, colours + 4);
    }
}

// Every vertex mean, row by row: with face_lanes, runs of eight inner vertices from them, and
// the rest two at a time.
template <bool light>
[[gnu::target("avx2")]] void all_means(std::int32_t* counts, const float* face_lanes) {
    const std::int32_t cols = heightfield.cols;
    const std::int32_t rows = heightfield.rows;
    const std::int32_t w = cols + 1;
    for (std::int32_t r = 0; r <= rows; ++r) {
        const std::int32_t row = r * w;
        std::int32_t c = 0;
        if (face_lanes != nullptr && r > 0 && r < rows) {
            means_by_pairs<light>(row, row + 1, counts);
            for (c = 1; c + 8 <= cols; c += 8) {
                inner_means8<light>(r, c, counts, face_lanes);
            }
        }
        means_by_pairs<light>(row + c, row + w, counts);
    }
    _mm256_zeroupper();
}

}  // namespace

// (A target attribute here, on a function declared without one, would make GCC treat the two as
// different versions of it; the work is in the functions above.)
void face_normals_by_cells(float* face_lanes) {
    face_normals_in_groups(face_lanes);
}

// Calls the pass for light or without it.
void vertex_means_by_pairs(std::int32_t* counts, bool light, const float* face_lanes) {
    if (light) {
        all_means<true>(counts, face_lanes);
    } else {
        all_means<false>(counts, face_lanes);
    }
}

// Asks the processor once.
bool has_avx2() {
    static const bool avx2 = __builtin_cpu_supports("avx2") != 0;
    return avx2;
}

}  // namespace zelm::heightfield_lanes

#endif
