// Vectors and view angles shared by the mesh, the particles and the camera.
//
// Units: positions in world units (right-handed, z up); angles in degrees, turned into radians
// only inside sine and cosine. Results are 32-bit floats; products and sums are formed in double.
#pragma once

namespace zelm {

struct Vec3 {
    float x;
    float y;
    float z;
};

// roll turns about x, pitch about y, yaw about z; all in degrees.
struct Angles {
    float roll;
    float pitch;
    float yaw;
};

inline constexpr double kDegreesToRadians = 0.017453292519943295;

// Index of the largest component (0 x, 1 y, 2 z); ties go to the later axis.
int dominant_axis(const Vec3& v);

// Forward, right and up vectors of the angles; a null output is neither computed nor written.
void angle_vectors(const Angles& angles, Vec3* forward, Vec3* right, Vec3* up);

// Writes the unit vector of in to out (which may be in) and returns the length of in.
// A vector of length 0 leaves out untouched and returns 0.
float normalize_vector(const Vec3& in, Vec3& out);

// out = a x b; out must not be a or b.
void cross_product(const Vec3& a, const Vec3& b, Vec3& out);

}  // namespace zelm
