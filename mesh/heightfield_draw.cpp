// Drawing the heightfield: one textured triangle strip per row of cells, each vertex with its
// grey level, under whatever projection the caller has set. The texture repeats every 4 grid
// steps; nothing is restored afterwards.
#include <GL/gl.h>

#include <cstdint>

#include "mesh/heightfield.hpp"

namespace zelm {

namespace {

constexpr GLuint mesh_texture = 4;
// Texture repeats per grid step.
constexpr float texture_scale = 0.25f;

// Emits one vertex: colour, then texture coordinate, then position.
inline void emit_vertex(std::int32_t v, float spacing) {
    const Vec3& p = heightfield.positions[v];
    const GLfloat st[2] = {p.x / spacing * texture_scale, p.y / spacing * texture_scale};
    glColor3fv(&heightfield.vertex_colours[v].r);
    glTexCoord2fv(st);
    glVertex3fv(&p.x);
}

}  // namespace

void heightfield_draw() {
    if (!heightfield_built()) {
        return;
    }
    glEnable(GL_TEXTURE_2D);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glBindTexture(GL_TEXTURE_2D, mesh_texture);
    glEnable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

    const std::int32_t w = heightfield.cols + 1;
    const float spacing = static_cast<float>(heightfield.spacing);
    for (std::int32_t r = 0; r < heightfield.rows; ++r) {
        glBegin(GL_TRIANGLE_STRIP);
        for (std::int32_t c = 0; c < w; ++c) {
            emit_vertex((r + 1) * w + c, spacing);
            emit_vertex(r * w + c, spacing);
        }
        glEnd();
    }
}

}  // namespace zelm
