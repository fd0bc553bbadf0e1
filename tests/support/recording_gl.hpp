// A recording OpenGL for unit tests: every gl*/glu* function the program uses is defined here,
// and each call is appended to gl_calls with its arguments, so that a test can assert the exact
// call sequence. Unit-test executables link this instead of libGL and libGLU.
#pragma once

#include <GL/gl.h>

#include <cstdint>
#include <string>
#include <vector>

namespace zelm::glrec {

enum class Fn : std::uint8_t {
    Begin,
    End,
    Vertex2f,
    Vertex3fv,
    TexCoord2f,
    TexCoord2fv,
    Color3fv,
    Color4f,
    BindTexture,
    TexImage2D,
    TexParameterf,
    TexEnvf,
    PixelStorei,
    Enable,
    Disable,
    BlendFunc,
    CullFace,
    DepthFunc,
    ShadeModel,
    Hint,
    ClearColor,
    ClearDepth,
    Clear,
    Viewport,
    MatrixMode,
    PushMatrix,
    PopMatrix,
    LoadIdentity,
    Rotatef,
    Translatef,
    Perspective,
    Ortho2D,
    GetError,
    Finish,
    Flush,
    ReadPixels,
};

struct Call {
    Fn fn;
    std::uint8_t argc;
    double args[9];
};

// One glTexImage2D upload, with a copy of its pixels (only while keep_pixels is set, and only
// for levels below copied_levels).
struct TexImage {
    GLuint texture;  // the binding at the time of the call
    GLint level;
    GLsizei width;
    GLsizei height;
    std::vector<std::uint8_t> pixels;
};

extern std::vector<Call> gl_calls;
extern std::vector<TexImage> tex_images;
extern bool keep_pixels;      // record glTexImage2D uploads in tex_images (default true)
extern int copied_levels;     // levels whose pixels those records copy (default all)
extern GLenum next_gl_error;  // what glGetError answers (default GL_NO_ERROR)

// Forgets every recorded call and upload.
void reset();

// "glBindTexture(GL_TEXTURE_2D, 3)": enums by name, numbers with %g.
std::string to_text(const Call& call);

// Every recorded call as text, in order.
std::vector<std::string> texts();

// The recorded calls as text, leaving out those whose function is in skip.
std::vector<std::string> texts_without(std::initializer_list<Fn> skip);

// How many recorded calls have the function fn.
int count(Fn fn);

// The name of a GL enum ("GL_TEXTURE_2D"), or its value in hex when unknown.
std::string enum_name(GLenum value);

}  // namespace zelm::glrec
