#include "sim/mat3.h"
#include "sim/vec3.h"
#include "sim/view_transform.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

void expectVec(const Vec3& v, float x, float y, float z, float tol = 1e-5f)
{
    EXPECT_NEAR(v.x, x, tol);
    EXPECT_NEAR(v.y, y, tol);
    EXPECT_NEAR(v.z, z, tol);
}

Mat3 sample(float base)
{
    Mat3 m;
    for (int i = 0; i < 9; ++i)
        m.m[i] = base + static_cast<float>(i * i) - 3.0f * static_cast<float>(i);
    return m;
}

TEST(Vec3Test, LengthAndNormalisingIncludingTheZeroVector)
{
    EXPECT_FLOAT_EQ(Vec3(3, 0, 4).length(), 5.0f);
    expectVec(Vec3(3, 0, 4).normalized(), 0.6f, 0.0f, 0.8f);
    Vec3 zero = Vec3(0, 0, 0).normalized();
    EXPECT_EQ(zero.x, 0.0f);
    EXPECT_EQ(zero.y, 0.0f);
    EXPECT_EQ(zero.z, 0.0f);
}

TEST(Vec3Test, CrossProductFollowsTheRightHandRule)
{
    expectVec(cross(Vec3(1, 0, 0), Vec3(0, 1, 0)), 0, 0, 1);
    expectVec(cross(Vec3(1, 0, 0), Vec3(0, -1, 0)), 0, 0, -1);
    expectVec(cross(Vec3(0, 1, 0), Vec3(0, 0, 1)), 1, 0, 0);
}

TEST(Vec3Test, ArithmeticAndIndexing)
{
    Vec3 v(1, 2, 3);
    v += Vec3(1, 1, 1);
    v -= Vec3(0.5f, 0.5f, 0.5f);
    expectVec(v, 1.5f, 2.5f, 3.5f);
    expectVec(v * -2.0f, -3.0f, -5.0f, -7.0f);
    expectVec(Vec3(1, 2, 3) - Vec3(3, 2, 1), -2, 0, 2);
    EXPECT_FLOAT_EQ(dot(Vec3(1, 2, 3), Vec3(4, -5, 6)), 12.0f);
    v[2] = 9.0f;
    EXPECT_EQ(v.z, 9.0f);
    const Vec3 c(7, 8, 9);
    EXPECT_EQ(c[1], 8.0f);
}

TEST(Mat3Test, ProductInPlaceMatchesAFreshProduct)
{
    Mat3 m = sample(1.0f), n = sample(-2.0f);
    Mat3 fresh = m * n;
    Mat3 left = m;
    left = left * n;
    Mat3 right = n;
    right = m * right;
    for (int i = 0; i < 9; ++i) {
        EXPECT_FLOAT_EQ(left.m[i], fresh.m[i]);
        EXPECT_FLOAT_EQ(right.m[i], fresh.m[i]);
    }
    // Spot-check one element by hand: row 1 of m times column 2 of n.
    float expected = m.at(1, 0) * n.at(0, 2) + m.at(1, 1) * n.at(1, 2) + m.at(1, 2) * n.at(2, 2);
    EXPECT_FLOAT_EQ(fresh.at(1, 2), expected);
}

TEST(Mat3Test, AxisRotationsAreFrameRotations)
{
    float a = 0.7f, c = std::cos(a), s = std::sin(a);
    expectVec(rotationZ(a) * Vec3(1, 0, 0), c, -s, 0);
    expectVec(rotationX(a) * Vec3(0, 1, 0), 0, c, -s);
    expectVec(rotationY(a) * Vec3(0, 0, 1), -s, 0, c);
    expectVec(Mat3::identity() * Vec3(4, 5, 6), 4, 5, 6);
}

TEST(ViewTransformTest, ComposesXThenYThenZ)
{
    ViewTransform view;
    expectVec(view.toView(Vec3(1, 2, 3)), 1, 2, 3);

    view.set(Vec3(10, 20, 30), 0.0f, 0.0f, 0.0f);
    expectVec(view.toView(Vec3(11, 22, 33)), 1, 2, 3);

    view.set(Vec3(0, 0, 0), 0.3f, -0.4f, 0.5f);
    Mat3 expected = (rotationX(0.3f) * rotationY(-0.4f)) * rotationZ(0.5f);
    Mat3 got = view.rotation();
    for (int i = 0; i < 9; ++i)
        EXPECT_FLOAT_EQ(got.m[i], expected.m[i]);
}

TEST(ViewTransformTest, CameraBehindAndAboveLooksAtTheMarble)
{
    // Camera 400 behind and 350 above the marble (up is -z), pitched down.
    Vec3 marbleAt(0, 0, 0);
    ViewTransform view;
    view.set(Vec3(0, -400, -350), -std::atan(400.0f / 350.0f), 0.0f, 0.0f);
    Vec3 v = view.toView(marbleAt);
    EXPECT_NEAR(v.x, 0.0f, 1e-3f);
    EXPECT_NEAR(v.y, 0.0f, 1e-3f);
    EXPECT_NEAR(v.z, 531.5f, 0.05f);
}

} // namespace
