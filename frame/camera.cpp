// The camera and its transform (see camera.hpp).
#include "frame/camera.hpp"

#include <GL/gl.h>

namespace zelm {

Camera camera{};

// Each call multiplies onto the right of the current matrix; with all angles 0 the camera looks
// along world +x with +z up.
void apply_camera_transform(const Camera& view) {
    glRotatef(-90.0f, 1.0f, 0.0f, 0.0f);
    glRotatef(90.0f, 0.0f, 0.0f, 1.0f);
    glRotatef(view.angles.roll, 1.0f, 0.0f, 0.0f);
    glRotatef(view.angles.pitch, 0.0f, 1.0f, 0.0f);
    glRotatef(view.angles.yaw, 0.0f, 0.0f, 1.0f);
    glTranslatef(-view.position.x, -view.position.y, -view.position.z);
}

}  // namespace zelm
