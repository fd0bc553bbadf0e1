// The camera and its transform: the little of the scene that the sprite drawing reads, kept
// apart so that the particles link without the whole scene.
//
// Units: world units (z up) for the position, degrees for the angles.
#pragma once

#include "math/vector.hpp"

namespace zelm {

struct Camera {
    Vec3 position;
    Angles angles;
};

extern Camera camera;

// Multiplies the view of the camera onto the current matrix: the world's z-up axes turned into
// the eye's y-up axes, then the camera's roll, pitch and yaw, then its position.
void apply_camera_transform(const Camera& view);

}  // namespace zelm
