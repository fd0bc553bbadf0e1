#include "math/vector.hpp"

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <random>

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

// The bits of v's components, so that comparisons tell every last bit and the sign of zero.
std::array<std::uint32_t, 3> bits(const Vec3& v) {
    return {std::bit_cast<std::uint32_t>(v.x), std::bit_cast<std::uint32_t>(v.y),
            std::bit_cast<std::uint32_t>(v.z)};
}

TEST(AngleVectors, EachSineAndCosineIsRoundedToFloat) {
    // Skipping the rounding of the sines and cosines gives up.y -0.00303057861 here.
    Vec3 forward{}, right{}, up{};
    angle_vectors({0, -10, 1}, &forward, &right, &up);
    EXPECT_EQ(bits(forward), bits({0x1.f82510p-1f, -0x1.19989cp-6f, -0x1.63a1a8p-3f}));
    EXPECT_EQ(bits(right), bits({-0x1.1df0b2p-6f, -0x1.ffec0ap-1f, 0.0f}));
    EXPECT_EQ(bits(up), bits({0x1.6393cap-3f, -0x1.8d3956p-9f, 0x1.f838b8p-1f}));
}

// angle_vectors written out step by step: each sine and cosine stored as a float through
// memory, every product and sum in double.
void reference_angle_vectors(const Angles& a, Vec3& forward, Vec3& right, Vec3& up) {
    volatile float s[6];
    s[0] = static_cast<float>(std::sin(a.roll * kDegreesToRadians));
    s[1] = static_cast<float>(std::cos(a.roll * kDegreesToRadians));
    s[2] = static_cast<float>(std::sin(a.pitch * kDegreesToRadians));
    s[3] = static_cast<float>(std::cos(a.pitch * kDegreesToRadians));
    s[4] = static_cast<float>(std::sin(a.yaw * kDegreesToRadians));
    s[5] = static_cast<float>(std::cos(a.yaw * kDegreesToRadians));
    const double sr = s[0], cr = s[1], sp = s[2], cp = s[3], sy = s[4], cy = s[5];
    forward = {static_cast<float>(cp * cy), static_cast<float>(-(cp * sy)), static_cast<float>(sp)};
    right = {static_cast<float>(-(sr * sp * cy + cr * sy)),
             static_cast<float>(-(sr * sp * sy + cr * cy)), static_cast<float>(cp * sr)};
    up = {static_cast<float>(sr * sy - cr * sp * cy), static_cast<float>(cr * sp * sy - sr * cy),
          static_cast<float>(cp * cr)};
}

TEST(AngleVectors, MatchesTheStepByStepRoundingOnRandomAngles) {
    std::mt19937 engine(13);
    std::uniform_real_distribution<float> degrees(-400.0f, 400.0f);
    int differing = 0;
    for (int i = 0; i < 100000; ++i) {
        const Angles a{degrees(engine), degrees(engine), degrees(engine)};
        Vec3 forward{}, right{}, up{}, want_forward{}, want_right{}, want_up{};
        angle_vectors(a, &forward, &right, &up);
        reference_angle_vectors(a, want_forward, want_right, want_up);
        if (bits(forward) != bits(want_forward) || bits(right) != bits(want_right) ||
            bits(up) != bits(want_up)) {
            if (differing++ == 0) {
                ADD_FAILURE() << "first at roll " << a.roll << " pitch " << a.pitch << " yaw "
                              << a.yaw;
            }
        }
    }
    EXPECT_EQ(differing, 0);
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

TEST(NormalizeVector, ScalesByTheReciprocalOfTheFloatLength) {
    // With the double length, or a float reciprocal, y would come out as 0x1.c2a21ap-1.
    const Vec3 in{-0x1.a9120ap+5f, 0x1.8c8410p+6f, -0x1.7ca08ap+2f};
    Vec3 out{};
    EXPECT_EQ(std::bit_cast<std::uint32_t>(normalize_vector(in, out)),
              std::bit_cast<std::uint32_t>(0x1.c28356p+6f));
    EXPECT_EQ(bits(out), bits({-0x1.e315c2p-2f, 0x1.c2a218p-1f, -0x1.b0936ep-5f}));
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
