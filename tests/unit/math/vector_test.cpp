#include "math/vector.hpp"

#include <gtest/gtest.h>

namespace zelm {
namespace {

TEST(DominantAxis, TiesGoToTheLaterAxis) {
    EXPECT_EQ(dominant_axis({1, 1, 1}), 2);
    EXPECT_EQ(dominant_axis({2, 2, 1}), 1);
    EXPECT_EQ(dominant_axis({2, 1, 2}), 2);
    EXPECT_EQ(dominant_axis({3, 1, 2}), 0);
    EXPECT_EQ(dominant_axis({1, 3, 2}), 1);
    EXPECT_EQ(dominant_axis({1, 2, 3}), 2);
}

void expect_vec(const Vec3& v, float x, float y, float z, float tolerance = 1e-6f) {
    EXPECT_NEAR(v.x, x, tolerance);
    EXPECT_NEAR(v.y, y, tolerance);
    EXPECT_NEAR(v.z, z, tolerance);
}

TEST(AngleVectors, ZeroAnglesGiveTheWorldAxes) {
    Vec3 forward{}, right{}, up{};
    angle_vectors({0, 0, 0}, &forward, &right, &up);
    EXPECT_EQ(forward.x, 1.0f);
    EXPECT_EQ(forward.y, 0.0f);
    EXPECT_EQ(forward.z, 0.0f);
    expect_vec(right, 0, -1, 0);
    expect_vec(up, 0, 0, 1);
}

TEST(AngleVectors, PitchDownAndQuarterYaw) {
    Vec3 forward{};
    angle_vectors({0, -10, 0}, &forward, nullptr, nullptr);
    expect_vec(forward, 0.98480775f, 0, -0.17364818f);

    Vec3 right{};
    angle_vectors({0, 0, 90}, &forward, &right, nullptr);
    expect_vec(forward, 0, -1, 0);
    expect_vec(right, -1, 0, 0);
}

TEST(AngleVectors, RollEntersRightAndUpWithTheGivenSigns) {
    // roll 90, pitch 0, yaw 0: sr 1, cr 0 -> right (0, 0, 1), up (0, -1, 0).
    Vec3 forward{}, right{}, up{};
    angle_vectors({90, 0, 0}, &forward, &right, &up);
    expect_vec(forward, 1, 0, 0);
    expect_vec(right, 0, 0, 1);
    expect_vec(up, 0, -1, 0);

    // roll 30, pitch 20, yaw 40 against the formulas evaluated by hand in double.
    angle_vectors({30, 20, 40}, &forward, &right, &up);
    expect_vec(forward, 0.71984631f, -0.60402277f, 0.34202014f, 2e-6f);
    expect_vec(right, -0.68767172f, -0.77333710f, 0.46984631f, 2e-6f);
    expect_vec(up, 0.09449287f, -0.19262973f, 0.81379768f, 2e-6f);
}

TEST(AngleVectors, AbsentOutputsAreNotWritten) {
    Vec3 right{7, 7, 7};
    Vec3 up{};
    angle_vectors({0, 0, 0}, nullptr, nullptr, &up);
    expect_vec(up, 0, 0, 1);
    EXPECT_EQ(right.x, 7.0f);
}

TEST(NormalizeVector, ReturnsTheLengthAndScalesInPlace) {
    Vec3 v{3, 4, 0};
    EXPECT_EQ(normalize_vector(v, v), 5.0f);
    EXPECT_FLOAT_EQ(v.x, 0.6f);
    EXPECT_FLOAT_EQ(v.y, 0.8f);
    EXPECT_EQ(v.z, 0.0f);
}

TEST(NormalizeVector, ZeroVectorLeavesTheOutputAlone) {
    Vec3 out{9, 8, 7};
    EXPECT_EQ(normalize_vector({0, 0, 0}, out), 0.0f);
    expect_vec(out, 9, 8, 7, 0);
}

TEST(CrossProduct, RightHanded) {
    Vec3 out{};
    cross_product({1, 0, 0}, {0, 1, 0}, out);
    expect_vec(out, 0, 0, 1, 0);
    cross_product({0, 1, 0}, {1, 0, 0}, out);
    expect_vec(out, 0, 0, -1, 0);
    cross_product({2, 3, 4}, {5, 6, 7}, out);
    expect_vec(out, -3, 6, -3, 0);
}

TEST(CrossProduct, ProductsAreFormedInDouble) {
    // In float, 4097 * 4097 - 4096 * 4098 loses the 1; in double it is exact.
    Vec3 out{};
    cross_product({0, 4097, 4096}, {0, 4098, 4097}, out);
    EXPECT_EQ(out.x, 1.0f);
}

}  // namespace
}  // namespace zelm
