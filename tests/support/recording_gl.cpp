#include "tests/support/recording_gl.hpp"

#include <GL/glu.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>

namespace zelm::glrec {

std::vector<Call> gl_calls;
std::vector<TexImage> tex_images;
bool keep_pixels = true;
int copied_levels = std::numeric_limits<int>::max();
GLenum next_gl_error = GL_NO_ERROR;

namespace {

GLuint bound_texture = 0;

struct FnInfo {
    const char* name;
    // One letter per argument: e enum, E enum passed as a float, b clear bits, n number.
    const char* kinds;
};

const FnInfo& info(Fn fn) {
    static const FnInfo table[] = {
        {"glBegin", "e"},
        {"glEnd", ""},
        {"glVertex2f", "nn"},
        {"glVertex3fv", "nnn"},
        {"glTexCoord2f", "nn"},
        {"glTexCoord2fv", "nn"},
        {"glColor3fv", "nnn"},
        {"glColor4f", "nnnn"},
        {"glBindTexture", "en"},
        {"glTexImage2D", "ennnnneen"},
        {"glTexParameterf", "eeE"},
        {"glTexEnvf", "eeE"},
        {"glPixelStorei", "en"},
        {"glEnable", "e"},
        {"glDisable", "e"},
        {"glBlendFunc", "ee"},
        {"glCullFace", "e"},
        {"glDepthFunc", "e"},
        {"glShadeModel", "e"},
        {"glHint", "ee"},
        {"glClearColor", "nnnn"},
        {"glClearDepth", "n"},
        {"glClear", "b"},
        {"glViewport", "nnnn"},
        {"glMatrixMode", "e"},
        {"glPushMatrix", ""},
        {"glPopMatrix", ""},
        {"glLoadIdentity", ""},
        {"glRotatef", "nnnn"},
        {"glTranslatef", "nnn"},
        {"gluPerspective", "nnnn"},
        {"gluOrtho2D", "nnnn"},
        {"glGetError", ""},
        {"glFinish", ""},
        {"glFlush", ""},
        {"glReadPixels", "nnnnee"},
    };
    return table[static_cast<int>(fn)];
}

void record(Fn fn, std::initializer_list<double> args) {
    Call call{fn, static_cast<std::uint8_t>(args.size()), {}};
    std::copy(args.begin(), args.end(), call.args);
    gl_calls.push_back(call);
}

std::string number(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%g", v);
    return buf;
}

}  // namespace

std::string enum_name(GLenum value) {
    struct Named {
        GLenum value;
        const char* name;
    };
    // Enums that share a value with GL_ZERO/GL_ONE/GL_FALSE are printed by the context
    // that needs them; here each value has one name.
    static const Named names[] = {
        {GL_QUADS, "GL_QUADS"},
        {GL_TRIANGLE_STRIP, "GL_TRIANGLE_STRIP"},
        {GL_TRIANGLES, "GL_TRIANGLES"},
        {GL_TEXTURE_2D, "GL_TEXTURE_2D"},
        {GL_TEXTURE_WRAP_S, "GL_TEXTURE_WRAP_S"},
        {GL_TEXTURE_WRAP_T, "GL_TEXTURE_WRAP_T"},
        {GL_TEXTURE_MIN_FILTER, "GL_TEXTURE_MIN_FILTER"},
        {GL_TEXTURE_MAG_FILTER, "GL_TEXTURE_MAG_FILTER"},
        {GL_REPEAT, "GL_REPEAT"},
        {GL_CLAMP, "GL_CLAMP"},
        {GL_LINEAR, "GL_LINEAR"},
        {GL_NEAREST, "GL_NEAREST"},
        {GL_LINEAR_MIPMAP_NEAREST, "GL_LINEAR_MIPMAP_NEAREST"},
        {GL_LINEAR_MIPMAP_LINEAR, "GL_LINEAR_MIPMAP_LINEAR"},
        {GL_TEXTURE_ENV, "GL_TEXTURE_ENV"},
        {GL_TEXTURE_ENV_MODE, "GL_TEXTURE_ENV_MODE"},
        {GL_MODULATE, "GL_MODULATE"},
        {GL_REPLACE, "GL_REPLACE"},
        {GL_RGBA, "GL_RGBA"},
        {GL_RGB, "GL_RGB"},
        {GL_UNSIGNED_BYTE, "GL_UNSIGNED_BYTE"},
        {GL_UNPACK_ALIGNMENT, "GL_UNPACK_ALIGNMENT"},
        {GL_PACK_ALIGNMENT, "GL_PACK_ALIGNMENT"},
        {GL_BLEND, "GL_BLEND"},
        {GL_CULL_FACE, "GL_CULL_FACE"},
        {GL_DEPTH_TEST, "GL_DEPTH_TEST"},
        {GL_SRC_ALPHA, "GL_SRC_ALPHA"},
        {GL_ONE_MINUS_SRC_ALPHA, "GL_ONE_MINUS_SRC_ALPHA"},
        {GL_ONE, "GL_ONE"},
        {GL_BACK, "GL_BACK"},
        {GL_FRONT, "GL_FRONT"},
        {GL_LEQUAL, "GL_LEQUAL"},
        {GL_LESS, "GL_LESS"},
        {GL_SMOOTH, "GL_SMOOTH"},
        {GL_FLAT, "GL_FLAT"},
        {GL_PERSPECTIVE_CORRECTION_HINT, "GL_PERSPECTIVE_CORRECTION_HINT"},
        {GL_NICEST, "GL_NICEST"},
        {GL_FASTEST, "GL_FASTEST"},
        {GL_PROJECTION, "GL_PROJECTION"},
        {GL_MODELVIEW, "GL_MODELVIEW"},
    };
    for (const Named& n : names) {
        if (n.value == value) {
            return n.name;
        }
    }
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%X", value);
    return buf;
}

std::string to_text(const Call& call) {
    const FnInfo& fi = info(call.fn);
    std::string text = fi.name;
    text += '(';
    for (int i = 0; i < call.argc; ++i) {
        if (i > 0) {
            text += ", ";
        }
        const double v = call.args[i];
        switch (fi.kinds[i]) {
            case 'e':
            case 'E':
                // GL_ZERO and GL_ONE as blend factors; 0 elsewhere is a plain number.
                if (v == 0) {
                    text += (call.fn == Fn::BlendFunc) ? "GL_ZERO" : "0";
                } else {
                    text += enum_name(static_cast<GLenum>(v));
                }
                break;
            case 'b': {
                const auto bits = static_cast<GLbitfield>(v);
                std::string parts;
                if (bits & GL_COLOR_BUFFER_BIT)
                    parts += "GL_COLOR_BUFFER_BIT";
                if (bits & GL_DEPTH_BUFFER_BIT) {
                    parts += parts.empty() ? "" : " | ";
                    parts += "GL_DEPTH_BUFFER_BIT";
                }
                text += parts.empty() ? number(v) : parts;
                break;
            }
            default:
                text += number(v);
        }
    }
    text += ')';
    return text;
}

std::vector<std::string> texts() {
    std::vector<std::string> out;
    out.reserve(gl_calls.size());
    for (const Call& c : gl_calls) {
        out.push_back(to_text(c));
    }
    return out;
}

std::vector<std::string> texts_without(std::initializer_list<Fn> skip) {
    std::vector<std::string> out;
    for (const Call& c : gl_calls) {
        if (std::find(skip.begin(), skip.end(), c.fn) == skip.end()) {
            out.push_back(to_text(c));
        }
    }
    return out;
}

int count(Fn fn) {
    return static_cast<int>(std::count_if(gl_calls.begin(), gl_calls.end(),
                                          [fn](const Call& c) { return c.fn == fn; }));
}

void reset() {
    gl_calls.clear();
    tex_images.clear();
    bound_texture = 0;
    next_gl_error = GL_NO_ERROR;
}

}  // namespace zelm::glrec

using zelm::glrec::Fn;
using zelm::glrec::record;

// The recorded functions, with the signatures of <GL/gl.h> and <GL/glu.h>.
void glBegin(GLenum mode) {
    record(Fn::Begin, {double(mode)});
}
void glEnd() {
    record(Fn::End, {});
}
void glVertex2f(GLfloat x, GLfloat y) {
    record(Fn::Vertex2f, {x, y});
}
void glVertex3fv(const GLfloat* v) {
    record(Fn::Vertex3fv, {v[0], v[1], v[2]});
}
void glTexCoord2f(GLfloat s, GLfloat t) {
    record(Fn::TexCoord2f, {s, t});
}
void glTexCoord2fv(const GLfloat* v) {
    record(Fn::TexCoord2fv, {v[0], v[1]});
}
void glColor3fv(const GLfloat* v) {
    record(Fn::Color3fv, {v[0], v[1], v[2]});
}
void glColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a) {
    record(Fn::Color4f, {r, g, b, a});
}
void glBindTexture(GLenum target, GLuint texture) {
    zelm::glrec::bound_texture = texture;
    record(Fn::BindTexture, {double(target), double(texture)});
}
void glTexImage2D(GLenum target, GLint level, GLint internal_format, GLsizei width, GLsizei height,
                  GLint border, GLenum format, GLenum type, const GLvoid* pixels) {
    record(Fn::TexImage2D,
           {double(target), double(level), double(internal_format), double(width), double(height),
            double(border), double(format), double(type), pixels != nullptr ? 1.0 : 0.0});
    if (zelm::glrec::keep_pixels) {
        zelm::glrec::TexImage image{zelm::glrec::bound_texture, level, width, height, {}};
        if (pixels != nullptr && width > 0 && height > 0 && level < zelm::glrec::copied_levels) {
            const auto* bytes = static_cast<const std::uint8_t*>(pixels);
            image.pixels.assign(bytes, bytes + std::size_t(width) * std::size_t(height) * 4);
        }
        zelm::glrec::tex_images.push_back(std::move(image));
    }
}
void glTexParameterf(GLenum target, GLenum pname, GLfloat param) {
    record(Fn::TexParameterf, {double(target), double(pname), param});
}
void glTexEnvf(GLenum target, GLenum pname, GLfloat param) {
    record(Fn::TexEnvf, {double(target), double(pname), param});
}
void glPixelStorei(GLenum pname, GLint param) {
    record(Fn::PixelStorei, {double(pname), double(param)});
}
void glEnable(GLenum cap) {
    record(Fn::Enable, {double(cap)});
}
void glDisable(GLenum cap) {
    record(Fn::Disable, {double(cap)});
}
void glBlendFunc(GLenum sfactor, GLenum dfactor) {
    record(Fn::BlendFunc, {double(sfactor), double(dfactor)});
}
void glCullFace(GLenum mode) {
    record(Fn::CullFace, {double(mode)});
}
void glDepthFunc(GLenum func) {
    record(Fn::DepthFunc, {double(func)});
}
void glShadeModel(GLenum mode) {
    record(Fn::ShadeModel, {double(mode)});
}
void glHint(GLenum target, GLenum mode) {
    record(Fn::Hint, {double(target), double(mode)});
}
void glClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a) {
    record(Fn::ClearColor, {r, g, b, a});
}
void glClearDepth(GLclampd depth) {
    record(Fn::ClearDepth, {depth});
}
void glClear(GLbitfield mask) {
    record(Fn::Clear, {double(mask)});
}
void glViewport(GLint x, GLint y, GLsizei width, GLsizei height) {
    record(Fn::Viewport, {double(x), double(y), double(width), double(height)});
}
void glMatrixMode(GLenum mode) {
    record(Fn::MatrixMode, {double(mode)});
}
void glPushMatrix() {
    record(Fn::PushMatrix, {});
}
void glPopMatrix() {
    record(Fn::PopMatrix, {});
}
void glLoadIdentity() {
    record(Fn::LoadIdentity, {});
}
void glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z) {
    record(Fn::Rotatef, {angle, x, y, z});
}
void glTranslatef(GLfloat x, GLfloat y, GLfloat z) {
    record(Fn::Translatef, {x, y, z});
}
void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble z_near, GLdouble z_far) {
    record(Fn::Perspective, {fovy, aspect, z_near, z_far});
}
void gluOrtho2D(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top) {
    record(Fn::Ortho2D, {left, right, bottom, top});
}
GLenum glGetError() {
    record(Fn::GetError, {});
    const GLenum error = zelm::glrec::next_gl_error;
    zelm::glrec::next_gl_error = GL_NO_ERROR;
    return error;
}
void glFinish() {
    record(Fn::Finish, {});
}
void glFlush() {
    record(Fn::Flush, {});
}
void glReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type,
                  GLvoid* pixels) {
    record(Fn::ReadPixels,
           {double(x), double(y), double(width), double(height), double(format), double(type)});
    if (pixels != nullptr && width > 0 && height > 0) {
        const std::size_t channels = (format == GL_RGB) ? 3 : 4;
        std::memset(pixels, 0, std::size_t(width) * std::size_t(height) * channels);
    }
}
