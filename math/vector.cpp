#include "math/vector.hpp"

#include <cmath>

namespace zelm {

int dominant_axis(const Vec3& v) {
    if (v.y < v.x) {
        return v.z < v.x ? 0 : 2;
    }
    return v.z < v.y ? 1 : 2;
}

void angle_vectors(const Angles& angles, Vec3* forward, Vec3* right, Vec3* up) {
    // Each sine and cosine is rounded to float before use, as the results depend on it.
    const double roll = angles.roll * kDegreesToRadians;
    const double pitch = angles.pitch * kDegreesToRadians;
    const double yaw = angles.yaw * kDegreesToRadians;
    const double sr = static_cast<float>(std::sin(roll));
    const double cr = static_cast<float>(std::cos(roll));
    const double sp = static_cast<float>(std::sin(pitch));
    const double cp = static_cast<float>(std::cos(pitch));
    const double sy = static_cast<float>(std::sin(yaw));
    const double cy = static_cast<float>(std::cos(yaw));

    if (forward != nullptr) {
        forward->x = static_cast<float>(cp * cy);
        forward->y = static_cast<float>(-(cp * sy));
        forward->z = static_cast<float>(sp);
    }
    if (right != nullptr) {
        right->x = static_cast<float>(-(sr * sp * cy + cr * sy));
        right->y = static_cast<float>(-(sr * sp * sy + cr * cy));
        right->z = static_cast<float>(cp * sr);
    }
    if (up != nullptr) {
        up->x = static_cast<float>(sr * sy - cr * sp * cy);
        up->y = static_cast<float>(cr * sp * sy - sr * cy);
        up->z = static_cast<float>(cp * cr);
    }
}

float normalize_vector(const Vec3& in, Vec3& out) {
    const double x = in.x;
    const double y = in.y;
    const double z = in.z;
    const double length = std::sqrt(y * y + z * z + x * x);
    if (length == 0.0) {
        return 0.0f;
    }
    const float rounded = static_cast<float>(length);
    const double k = 1.0 / rounded;
    out.x = static_cast<float>(x * k);
    out.y = static_cast<float>(y * k);
    out.z = static_cast<float>(z * k);
    return rounded;
}

void cross_product(const Vec3& a, const Vec3& b, Vec3& out) {
    out.x = static_cast<float>(static_cast<double>(a.y) * b.z - static_cast<double>(b.y) * a.z);
    out.y = static_cast<float>(static_cast<double>(b.x) * a.z - static_cast<double>(a.x) * b.z);
    out.z = static_cast<float>(static_cast<double>(a.x) * b.y - static_cast<double>(b.x) * a.y);
}

}  // namespace zelm
