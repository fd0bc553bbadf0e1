// Bitmap font text overlay. Overlay space is 640 x 480 (or the size given) with its origin at the
// top-left corner and y growing downward; a glyph is an 8 x 8 quad textured with one cell of a
// 16 x 16 grid.
#include "scene/text_overlay.hpp"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>

#include "textures/pcx_loader.hpp"

namespace zelm {

extern const FontMetrics font_metrics = {8, 8, 0.0625f, 0.0625f, 128.0f, 128.0f};
int font_initialised = 0;
extern const int overlay_width = 640;
extern const int overlay_height = 480;
float overlay_pixel_scale = 1.0f;

namespace {

// The font module's one-time initialisation: nothing to prepare but the flag.
void font_init() {
    font_initialised = 1;
}

// Half a texel of the mipmap level that the sampler takes at this scale (the level nearest the
// minification; the full image when magnified), in texels of the full image: inset by it, a
// cell's samples never reach the texels of the cells beside it.
float cell_inset_texels(float pixels_per_texel) {
    float texels = 0.5f;
    for (float p = pixels_per_texel; p < 0.7071f && texels < 4.0f; p *= 2.0f) {
        texels *= 2.0f;
    }
    return texels;
}

}  // namespace

int text_pixel_scale(int scale_120) {
    return std::max(1, (scale_120 + 60) / 120);
}

// Loads the PCX font at path into texture id font_index + 2.
int load_font(const char* path, int font_index) {
    if (font_initialised == 0) {
        font_init();
    }
    return load_pcx_texture(path, font_index + 2);
}

// Draws text in the fixed overlay space.
int draw_text(const char* text, float x, float y, int font_index) {
    return draw_text_in(text, x, y, font_index, overlay_width, overlay_height);
}

// Draws text as one batch of glyph quads under an orthographic overlay projection.
int draw_text_in(const char* text, float x, float y, int font_index, double width, double height) {
    if (text == nullptr || text[0] == '\0') {
        return 1;
    }
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluOrtho2D(0, width, height, 0);

    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(font_index + 2));
    // The glyph quads wind clockwise on screen.
    glDisable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    const float scale = overlay_pixel_scale;
    const bool whole = scale > 1.0f && std::floor(scale) == scale;
    const float inset = (scale != 1.0f && !whole) ? cell_inset_texels(scale) : 0.0f;
    const float inset_s = inset / font_metrics.image_width;
    const float inset_t = inset / font_metrics.image_height;
    if (whole) {  // each texel a block of whole pixels, not a blend of its neighbours
        glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, static_cast<GLfloat>(GL_NEAREST));
    }

    glBegin(GL_QUADS);
    glColor4f(1.0f, 1.0f, 1.0f, 0.5f);
    const float w = static_cast<float>(font_metrics.glyph_width);
    const float h = static_cast<float>(font_metrics.glyph_height);
    for (const char* p = text; *p != '\0'; ++p) {
        // Bytes of 128 and above are negative codes; their cells wrap by the texture's repeat.
        const int code = static_cast<signed char>(*p);
        const int column = code & 15;
        const int row = code / 16;
        const float s0 = static_cast<float>(column) * font_metrics.cell_s + inset_s;
        const float s1 = s0 + font_metrics.cell_s - 2.0f * inset_s;
        const float t0 = static_cast<float>(row) * font_metrics.cell_t + inset_t;
        const float t1 = t0 + font_metrics.cell_t - 2.0f * inset_t;
        glTexCoord2f(s0, t0);
        glVertex2f(x, y);
        glTexCoord2f(s1, t0);
        glVertex2f(x + w, y);
        glTexCoord2f(s1, t1);
        glVertex2f(x + w, y + h);
        glTexCoord2f(s0, t1);
        glVertex2f(x, y + h);
        x += w;
    }
    glEnd();
    if (whole) {
        glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, static_cast<GLfloat>(GL_LINEAR));
    }
    glPopMatrix();
    return 1;
}

}  // namespace zelm
