// Recorded calls back onto the real OpenGL. Arguments were recorded as doubles; each goes back
// to the type of its parameter.
#include "bench/scene/gl_replay.hpp"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdio>

namespace zelm {

using glrec::Call;
using glrec::Fn;

// Writes calls to path as raw records; 1 on success.
int write_call_stream(const std::string& path, const std::vector<Call>& calls) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return 0;
    }
    const bool ok = std::fwrite(calls.data(), sizeof(Call), calls.size(), file) == calls.size();
    return (std::fclose(file) == 0 && ok) ? 1 : 0;
}

// Reads a stream written by write_call_stream; 1 on success.
int read_call_stream(const std::string& path, std::vector<Call>& calls) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return 0;
    }
    calls.clear();
    Call call{};
    while (std::fread(&call, sizeof call, 1, file) == 1) {
        calls.push_back(call);
    }
    const bool ok = std::feof(file) != 0;
    std::fclose(file);
    return ok ? 1 : 0;
}

namespace {

GLenum e(double v) {
    return static_cast<GLenum>(v);
}
GLfloat f(double v) {
    return static_cast<GLfloat>(v);
}
GLint i(double v) {
    return static_cast<GLint>(v);
}

// Issues one call.
void replay(const Call& c) {
    const double* a = c.args;
    switch (c.fn) {
        case Fn::Begin:
            glBegin(e(a[0]));
            break;
        case Fn::End:
            glEnd();
            break;
        case Fn::Vertex2f:
            glVertex2f(f(a[0]), f(a[1]));
            break;
        case Fn::Vertex3fv: {
            const GLfloat v[3] = {f(a[0]), f(a[1]), f(a[2])};
            glVertex3fv(v);
            break;
        }
        case Fn::TexCoord2f:
            glTexCoord2f(f(a[0]), f(a[1]));
            break;
        case Fn::TexCoord2fv: {
            const GLfloat v[2] = {f(a[0]), f(a[1])};
            glTexCoord2fv(v);
            break;
        }
        case Fn::Color3fv: {
            const GLfloat v[3] = {f(a[0]), f(a[1]), f(a[2])};
            glColor3fv(v);
            break;
        }
        case Fn::Color4f:
            glColor4f(f(a[0]), f(a[1]), f(a[2]), f(a[3]));
            break;
        case Fn::BindTexture:
            glBindTexture(e(a[0]), static_cast<GLuint>(a[1]));
            break;
        case Fn::TexParameterf:
            glTexParameterf(e(a[0]), e(a[1]), f(a[2]));
            break;
        case Fn::TexEnvf:
            glTexEnvf(e(a[0]), e(a[1]), f(a[2]));
            break;
        case Fn::PixelStorei:
            glPixelStorei(e(a[0]), i(a[1]));
            break;
        case Fn::Enable:
            glEnable(e(a[0]));
            break;
        case Fn::Disable:
            glDisable(e(a[0]));
            break;
        case Fn::BlendFunc:
            glBlendFunc(e(a[0]), e(a[1]));
            break;
        case Fn::CullFace:
            glCullFace(e(a[0]));
            break;
        case Fn::DepthFunc:
            glDepthFunc(e(a[0]));
            break;
        case Fn::ShadeModel:
            glShadeModel(e(a[0]));
            break;
        case Fn::Hint:
            glHint(e(a[0]), e(a[1]));
            break;
        case Fn::ClearColor:
            glClearColor(f(a[0]), f(a[1]), f(a[2]), f(a[3]));
            break;
        case Fn::ClearDepth:
            glClearDepth(a[0]);
            break;
        case Fn::Clear:
            glClear(static_cast<GLbitfield>(a[0]));
            break;
        case Fn::Viewport:
            glViewport(i(a[0]), i(a[1]), i(a[2]), i(a[3]));
            break;
        case Fn::MatrixMode:
            glMatrixMode(e(a[0]));
            break;
        case Fn::PushMatrix:
            glPushMatrix();
            break;
        case Fn::PopMatrix:
            glPopMatrix();
            break;
        case Fn::LoadIdentity:
            glLoadIdentity();
            break;
        case Fn::Rotatef:
            glRotatef(f(a[0]), f(a[1]), f(a[2]), f(a[3]));
            break;
        case Fn::Translatef:
            glTranslatef(f(a[0]), f(a[1]), f(a[2]));
            break;
        case Fn::Perspective:
            gluPerspective(a[0], a[1], a[2], a[3]);
            break;
        case Fn::Ortho2D:
            gluOrtho2D(a[0], a[1], a[2], a[3]);
            break;
        case Fn::GetError:
            glGetError();
            break;
        case Fn::Finish:
            glFinish();
            break;
        case Fn::Flush:
            glFlush();
            break;
        case Fn::TexImage2D:
        case Fn::ReadPixels:
            break;
    }
}

}  // namespace

// Issues every call on the current context, in order.
void replay_calls(const std::vector<Call>& calls) {
    for (const Call& c : calls) {
        replay(c);
    }
}

}  // namespace zelm
