#include "tests/unit/mesh/heightfield_reference.hpp"

#include <cmath>
#include <cstdlib>

namespace zelm::reference {

Mesh copy_of_heightfield() {
    const HeightfieldMesh& h = heightfield;
    const auto nv = static_cast<std::size_t>(h.vertex_count);
    const auto nt = static_cast<std::size_t>(h.triangle_count);
    return Mesh{h.state,
                h.pending_state,
                h.cols,
                h.rows,
                h.vertex_count,
                h.triangle_count,
                {h.positions, h.positions + nv},
                {h.radial_distance, h.radial_distance + nv},
                {h.vertex_normals, h.vertex_normals + nv},
                {h.vertex_colours, h.vertex_colours + nv},
                {h.triangles, h.triangles + nt},
                {h.face_normals, h.face_normals + nt},
                ripple_phase};
}

void normals_and_light(Mesh& m) {
    for (std::int32_t t = 0; t < m.triangle_count; ++t) {
        const Vec3& a = m.positions[m.triangles[t].i0];
        const Vec3& b = m.positions[m.triangles[t].i1];
        const Vec3& c = m.positions[m.triangles[t].i2];
        const Vec3 e1 = {b.x - a.x, b.y - a.y, b.z - a.z};
        const Vec3 e2 = {c.x - a.x, c.y - a.y, c.z - a.z};
        Vec3 n;
        cross_product(e1, e2, n);
        normalize_vector(n, n);
        m.face_normals[t] = n;
    }

    auto* counts = static_cast<std::int32_t*>(std::malloc(sizeof(std::int32_t) * m.vertex_count));
    for (std::int32_t v = 0; v < m.vertex_count; ++v) {
        counts[v] = 0;
    }
    for (std::int32_t v = 0; v < m.vertex_count; ++v) {
        m.vertex_normals[v] = {0.0f, 0.0f, 0.0f};
    }
    for (std::int32_t t = 0; t < m.triangle_count; ++t) {
        const std::int16_t corners[3] = {m.triangles[t].i0, m.triangles[t].i1, m.triangles[t].i2};
        for (const std::int16_t v : corners) {
            m.vertex_normals[v].x += m.face_normals[t].x;
            m.vertex_normals[v].y += m.face_normals[t].y;
            m.vertex_normals[v].z += m.face_normals[t].z;
            counts[v] += 1;
        }
    }
    for (std::int32_t v = 0; v < m.vertex_count; ++v) {
        m.vertex_normals[v].x = m.vertex_normals[v].x / counts[v];
        m.vertex_normals[v].y = m.vertex_normals[v].y / counts[v];
        m.vertex_normals[v].z = m.vertex_normals[v].z / counts[v];
    }
    std::free(counts);

    for (std::int32_t v = 0; v < m.vertex_count; ++v) {
        const Vec3& n = m.vertex_normals[v];
        float d = n.y * -1.0f + n.z * 0.3f + n.x * 0.0f;
        if (d < 0.0f) {
            d = 0.0f;
        }
        const float g = 0.6f * d + 0.05f;
        m.vertex_colours[v] = {g, g, g};
    }
}

void update(Mesh& m, float dt) {
    if (m.state == 1) {
        std::int32_t settled = 0;
        for (Vec3& p : m.positions) {
            if (p.z > -0.6 && p.z < 0.6) {
                p.z = 0.0f;
                ++settled;
            } else {
                float s = static_cast<float>(p.z * 0.8);
                if (s > -3.0f && s < 3.0f) {
                    s = s > 0.0f ? 3.0f : -3.0f;
                }
                p.z = p.z - dt * s;
            }
        }
        if (settled == m.vertex_count) {
            m.state = m.pending_state;
            if (m.state == 2) {
                for (std::int32_t v = 0; v < m.vertex_count; ++v) {
                    const Vec3& p = m.positions[v];
                    m.radial_distance[v] =
                        static_cast<float>(std::sqrt(double{p.x * p.x + p.y * p.y}) * 0.033333335f);
                }
            }
            m.pending_state = 0;
        }
    } else if (m.state == 2) {
        double phase = m.ripple_phase + dt * -2.0;
        if (!(std::fabs(phase) < 6.283185307179586)) {
            phase = std::fmod(phase, 6.283185307179586);
        }
        m.ripple_phase = static_cast<float>(phase);
        for (std::int32_t v = 0; v < m.vertex_count; ++v) {
            m.positions[v].z =
                static_cast<float>(std::cos(double{m.radial_distance[v] + m.ripple_phase}) * 10.0);
        }
    } else {
        return;
    }
    normals_and_light(m);
}

}  // namespace zelm::reference
