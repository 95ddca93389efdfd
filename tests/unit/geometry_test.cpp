#include <gtest/gtest.h>

#include <cmath>

#include "geometry/bezier.h"
#include "geometry/vector.h"

static void ExpectVector(const Vector3& v, float x, float y, float z) {
    EXPECT_FLOAT_EQ(v.x, x);
    EXPECT_FLOAT_EQ(v.y, y);
    EXPECT_FLOAT_EQ(v.z, z);
}

TEST(VectorOps, CrossProductIsRightHanded) {
    Vector3 out;
    ExpectVector(VecCross(out, {1, 2, 3}, {4, 5, 6}), -3, 6, -3);
    ExpectVector(VecCross(out, {1, 0, 0}, {0, 1, 0}), 0, 0, 1);
    ExpectVector(VecCross(out, {0, 0, 1}, {1, 0, 0}), 0, 1, 0);
    ExpectVector(VecCross(out, {2, -7, 0.5f}, {2, -7, 0.5f}), 0, 0, 0);
    // The axis the turned primitives rotate about: (-d.y, d.x, 0).
    ExpectVector(VecCross(out, {0, 0, 1}, {3, -2, 9}), 2, 3, 0);
}

TEST(VectorOps, DestinationMayAliasAnInput) {
    const Vector3 a = {1, 2, 3};
    const Vector3 b = {4, 5, 6};
    Vector3 separate;
    Vector3 aliased = a;
    VecCross(separate, a, b);
    VecCross(aliased, aliased, b);
    ExpectVector(aliased, separate.x, separate.y, separate.z);
    aliased = b;
    VecCross(aliased, a, aliased);
    ExpectVector(aliased, separate.x, separate.y, separate.z);

    aliased = a;
    VecAdd(aliased, aliased, b);
    ExpectVector(aliased, 5, 7, 9);
    aliased = a;
    VecSub(aliased, aliased, b);
    ExpectVector(aliased, -3, -3, -3);
    aliased = a;
    VecSub(aliased, b, aliased);
    ExpectVector(aliased, 3, 3, 3);
    aliased = {3, 0, 4};
    VecNormalize(aliased, aliased);
    ExpectVector(aliased, 0.6f, 0, 0.8f);
    aliased = {2, 4, 6};
    VecDivComponents(aliased, aliased, aliased);
    ExpectVector(aliased, 1, 1, 1);
    // The scalar read through a reference into the destination itself.
    aliased = {2, 4, 6};
    VecScale(aliased, aliased, aliased.x);
    ExpectVector(aliased, 4, 8, 12);
    aliased = {2, 4, 6};
    VecDivScalar(aliased, aliased, aliased.x);
    ExpectVector(aliased, 1, 2, 3);
}

TEST(VectorOps, ArithmeticAndChaining) {
    Vector3 out;
    Vector3 other;
    EXPECT_FLOAT_EQ(VecDot({1, 2, 3}, {4, 5, 6}), 32);
    EXPECT_FLOAT_EQ(VecLength({3, 4, 12}), 13);
    ExpectVector(VecNormalize(out, {3, 0, 4}), 0.6f, 0, 0.8f);
    ExpectVector(VecDivScalar(out, {2, 4, 6}, 2), 1, 2, 3);
    ExpectVector(VecDivComponents(out, {2, 4, 6}, {2, 2, 3}), 1, 2, 2);
    ExpectVector(VecScale(out, {1, 2, 3}, 0.5f), 0.5f, 1, 1.5f);
    EXPECT_EQ(&VecAdd(out, {1, 1, 1}, {2, 2, 2}), &out);
    EXPECT_FLOAT_EQ(VecLength(VecSub(other, VecScale(out, {1, 2, 2}, 2), {0, 0, 0})), 6);
}

TEST(VectorOps, AngleCoversZeroToPi) {
    EXPECT_FLOAT_EQ(VecAngle({1, 0, 0}, {0, 1, 0}), static_cast<float>(M_PI / 2));
    EXPECT_EQ(VecAngle({0, 0, 2}, {0, 0, 1}), 0.0f);
    EXPECT_FLOAT_EQ(VecAngle({0, 0, -1}, {0, 0, 1}), static_cast<float>(M_PI));
    EXPECT_FLOAT_EQ(VecAngle({1, 0, 1}, {0, 0, 5}), static_cast<float>(M_PI / 4));
}

TEST(VectorOps, WrappersComputeInDoubleAndTakeTheBaseFirst) {
    EXPECT_EQ(PowF(2, 3), 8.0f);
    EXPECT_EQ(PowF(3, 2), 9.0f);
    EXPECT_EQ(SqrtF(2), static_cast<float>(std::sqrt(2.0)));
    EXPECT_EQ(AcosF(0), static_cast<float>(M_PI / 2));
    EXPECT_EQ(SinF(1.0f), static_cast<float>(std::sin(1.0)));
    EXPECT_EQ(CosF(1.0f), static_cast<float>(std::cos(1.0)));
    // 1.001f to the 2399th: the shrinking picture's end point relies on the
    // double-precision power of the float base.
    EXPECT_EQ(PowF(1.001f, 2399.0f), static_cast<float>(std::pow(1.001f, 2399.0)));
}

TEST(VectorOps, DegenerateInputGivesNanWithoutTrapping) {
    Vector3 out;
    VecNormalize(out, {0, 0, 0});
    EXPECT_TRUE(std::isnan(out.x) && std::isnan(out.y) && std::isnan(out.z));
    VecDivScalar(out, {1, -1, 0}, 0);
    EXPECT_TRUE(std::isinf(out.x) && out.x > 0);
    EXPECT_TRUE(std::isinf(out.y) && out.y < 0);
    EXPECT_TRUE(std::isnan(out.z));
    EXPECT_TRUE(std::isnan(VecAngle({0, 0, 0}, {0, 0, 1})));
    EXPECT_TRUE(std::isnan(AcosF(2)));
    EXPECT_TRUE(std::isnan(SqrtF(-1)));
}

static const Vector3 kPath[4] = {{0, 0, 0}, {5, 6.5f, 40}, {-12, -2, 80}, {15, 4, 120}};

TEST(Bezier, EndsAreTheOuterControlPointsExactly) {
    Vector3 out;
    BezierPoint(out, 0, kPath[0], kPath[1], kPath[2], kPath[3]);
    EXPECT_EQ(out.x, 0);
    EXPECT_EQ(out.y, 0);
    EXPECT_EQ(out.z, 0);
    const Vector3 a = {0.3f, -1.7f, 2.9f};
    const Vector3 d = {-4.1f, 0.7f, 13.3f};
    BezierPoint(out, 1, a, kPath[1], kPath[2], d);
    EXPECT_EQ(out.x, d.x);
    EXPECT_EQ(out.y, d.y);
    EXPECT_EQ(out.z, d.z);
}

TEST(Bezier, PathCurveHalfwayAndEvenlySpacedZ) {
    Vector3 out;
    ExpectVector(BezierPoint(out, 0.5f, kPath[0], kPath[1], kPath[2], kPath[3]), -0.75f, 2.1875f,
                 60);
    for (float t : {0.01f, 0.25f, 0.7f, 0.996f}) {
        BezierPoint(out, t, kPath[0], kPath[1], kPath[2], kPath[3]);
        EXPECT_NEAR(out.z, 120 * t, 1e-4) << "t " << t;
    }
    // The camera's first target.
    BezierPoint(out, 0.01f, kPath[0], kPath[1], kPath[2], kPath[3]);
    EXPECT_NEAR(out.x, 0.1435, 1e-4);
    EXPECT_NEAR(out.y, 0.1905, 1e-4);
}

TEST(Bezier, ExtrapolatesAndTangentIsTheForwardDirection) {
    const Vector3 line[4] = {{0, 0, 0}, {0, 0, 1}, {0, 0, 2}, {0, 0, 3}};
    Vector3 out;
    for (float t : {-1.0f, 0.0f, 0.4f, 1.0f, 2.0f}) {
        BezierPoint(out, t, line[0], line[1], line[2], line[3]);
        EXPECT_FLOAT_EQ(out.z, 3 * t) << "t " << t;
        EXPECT_EQ(out.x, 0);
        BezierTangent(out, t, line[0], line[1], line[2], line[3]);
        ExpectVector(out, 0, 0, 1);
    }
    // Reversed control points: the direction follows the parameter.
    BezierTangent(out, 0.5f, line[3], line[2], line[1], line[0]);
    ExpectVector(out, 0, 0, -1);
    // On the path curve the tangent is a unit vector heading along +z.
    BezierTangent(out, 0.3f, kPath[0], kPath[1], kPath[2], kPath[3]);
    EXPECT_NEAR(VecLength(out), 1.0f, 1e-6);
    EXPECT_GT(out.z, 0.9f);
}

TEST(Bezier, CoincidingPointsGiveNanTangent) {
    const Vector3 p = {1, 2, 3};
    Vector3 out;
    BezierTangent(out, 0.5f, p, p, p, p);
    EXPECT_TRUE(std::isnan(out.x) && std::isnan(out.y) && std::isnan(out.z));
}
