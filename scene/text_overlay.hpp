// Bitmap font text overlay: lines of text over the finished picture, in an overlay space whose
// origin is the top-left corner (y grows downward): a fixed 640 x 480 one stretched to the
// window, or the window's own pixels, where every glyph texel is a whole number of pixels. Glyphs
// are cells of a 16 x 16 grid in the font texture; font index i lives in texture id i + 2.
#pragma once

namespace zelm {

struct FontMetrics {
    int glyph_width;  // overlay pixels per glyph and advance
    int glyph_height;
    float cell_s;  // one glyph cell in texture coordinates
    float cell_t;
    float image_width;  // nominal font image size, for the half texel that keeps cells apart
    float image_height;
};

extern const FontMetrics font_metrics;
extern int font_initialised;
extern const int overlay_width;
extern const int overlay_height;

// Pixels per overlay unit, set by a shell that draws the overlay at another size: a whole number
// makes each font texel that many pixels square, sharp; any other scale samples each glyph cell
// half a texel inside its edges, so that no texel of a neighbouring glyph bleeds in. 1 (default):
// one unit, one pixel, as the fixed 640 x 480 space and the window's own pixels draw it.
extern float overlay_pixel_scale;

// The pixels a font texel takes on an output of the given scale (in 120ths): the scale rounded to
// the nearest whole number, at least 1, so that text keeps its apparent size and its edges stay
// on pixel boundaries.
int text_pixel_scale(int scale_120);

// Loads the PCX font at path into texture id font_index + 2; non-zero on success.
int load_font(const char* path, int font_index);

// Draws text with its first glyph's top-left corner at overlay (x, y). Always returns 1.
int draw_text(const char* text, float x, float y, int font_index);

// draw_text in an overlay space of width x height units spread over the viewport.
int draw_text_in(const char* text, float x, float y, int font_index, double width, double height);

}  // namespace zelm
