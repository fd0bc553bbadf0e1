// Definitions of the camera and the particle blend factor (see camera.hpp).
#include "scene/camera.hpp"

#include <GL/gl.h>

namespace zelm {

Camera camera{};
unsigned particle_blend_dst = GL_ONE;

}  // namespace zelm
