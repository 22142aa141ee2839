#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "kernel/vector3d.h"
#include "spatialgeom/transform.h"

namespace {

using Corvane::cross;
using Corvane::cvgDPoint3d_distance;
using Corvane::dot;
using Corvane::magnitude;
using Corvane::operator-;
using Corvane::operator+;
using Corvane::operator*;

constexpr double kTolerance = 1e-12;

DPoint3d apply(const transform& t, DPoint3d p) {
    transform_point(&t, &p);
    return p;
}

void expectExactly(const DPoint3d& actual, const DPoint3d& expected) {
    EXPECT_EQ(actual.x, expected.x);
    EXPECT_EQ(actual.y, expected.y);
    EXPECT_EQ(actual.z, expected.z);
}

void expectNear(const DPoint3d& actual, const DPoint3d& expected, double tolerance = kTolerance) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

void expectSameTransform(const transform& actual, const transform& expected) {
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 4; ++j) EXPECT_EQ(actual.form3d[i][j], expected.form3d[i][j]) << i << "," << j;
    }
}

void expectNearTransform(const transform& actual, const transform& expected) {
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 4; ++j) EXPECT_NEAR(actual.form3d[i][j], expected.form3d[i][j], kTolerance) << i << "," << j;
    }
}

void expectAllFinite(const transform& t) {
    for (const auto& row : t.form3d) {
        for (double value : row) EXPECT_TRUE(std::isfinite(value));
    }
}

transform identity() {
    transform t;
    transform_initIdentity(&t);
    return t;
}

transform translation(DPoint3d by) {
    transform t;
    transform_initTranslation(&t, &by);
    return t;
}

transform rotationAboutLine(DPoint3d point0, DPoint3d point1, double angle) {
    transform t;
    EXPECT_EQ(transform_initRotationAboutLine(&t, &point0, &point1, angle), SPATIAL_SUCCESS);
    return t;
}

transform mirror(DPoint3d planePoint, DPoint3d normal) {
    transform t;
    EXPECT_EQ(transform_initMirror(&t, &planePoint, &normal), SPATIAL_SUCCESS);
    return t;
}

transform product(const transform& a, const transform& b) {
    transform out;
    transform_multiply(&a, &b, &out);
    return out;
}

// A transform with twelve distinct values, no zeros and no ones.
transform general() {
    transform t;
    transform_initRotation(&t, 0.5, -1.25, 2.0, 3.5, 0.75, -0.125, 1.5, 2.25, -3.0);
    const DPoint3d fixed{4.0, -5.0, 6.5};
    transform_setFixedPoint(&t, &fixed);
    return t;
}

// ---- Angles.

struct AngleCase {
    double in;
    double expected;
};

TEST(AngleConversion, DegreesToRadiansIsOneMultiplication) {
    // 3 degrees tells one multiplication apart from x * pi / 180 and from
    // x / 57.29577951308232, which both give 0.052359877559829883.
    for (const AngleCase& c : {AngleCase{180.0, std::numbers::pi}, AngleCase{90.0, 1.5707963267948966},
                               AngleCase{3.0, 0.05235987755982989}, AngleCase{-180.0, -std::numbers::pi},
                               AngleCase{0.0, 0.0}}) {
        double out = -1.0;
        ASSERT_EQ(transform_degrees2radians(c.in, &out), SPATIAL_SUCCESS);
        EXPECT_EQ(out, c.expected) << c.in;
    }
}

TEST(AngleConversion, RadiansToDegreesIsOneMultiplication) {
    // 0.1 tells one multiplication apart from x * 180 / pi (5.7295779513082321).
    for (const AngleCase& c : {AngleCase{std::numbers::pi, 180.0}, AngleCase{1.5707963267948966, 90.0},
                               AngleCase{0.1, 5.729577951308233}, AngleCase{-std::numbers::pi, -180.0}}) {
        double out = -1.0;
        ASSERT_EQ(transform_radians2degrees(c.in, &out), SPATIAL_SUCCESS);
        EXPECT_EQ(out, c.expected) << c.in;
    }
}

TEST(AngleConversion, NullOutputIsRefused) {
    EXPECT_EQ(transform_degrees2radians(1.0, nullptr), SPATIAL_FAILURE);
    EXPECT_EQ(transform_radians2degrees(1.0, nullptr), SPATIAL_FAILURE);
}

// ---- Building blocks.

TEST(TransformMatrix, RotationTakesRowsInOrderWithZeroTranslation) {
    transform t;
    std::fill(&t.form3d[0][0], &t.form3d[0][0] + 12, 99.0);
    ASSERT_EQ(transform_initRotation(&t, 1, 2, 3, 4, 5, 6, 7, 8, 9), SPATIAL_SUCCESS);
    expectSameTransform(t, transform{{{1, 2, 3, 0}, {4, 5, 6, 0}, {7, 8, 9, 0}}});
    expectExactly(apply(t, {1, 0, 0}), {1, 4, 7});
}

TEST(TransformMatrix, TranslationMovesTheOrigin) {
    expectExactly(apply(translation({1, 2, 3}), {0, 0, 0}), {1, 2, 3});
    expectSameTransform(identity(), transform{{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}}});
}

TEST(TransformMatrix, ScaleKeepsItsFixedPoint) {
    transform t;
    const DPoint3d twice{2, 2, 2}, ones{1, 1, 1};
    ASSERT_EQ(transform_initScale(&t, &twice, &ones), SPATIAL_SUCCESS);
    expectExactly(apply(t, {1, 1, 1}), {1, 1, 1});
    expectExactly(apply(t, {2, 2, 2}), {3, 3, 3});

    // Unequal, negative and zero factors: q -> f + S(q - f).
    const DPoint3d factors{3, -1, 0}, fixed{1, 2, 3};
    ASSERT_EQ(transform_initScale(&t, &factors, &fixed), SPATIAL_SUCCESS);
    expectExactly(apply(t, {2, 5, -7}), {4, -1, 3});
}

// ---- Products.

TEST(TransformMatrix, IdentityIsNeutralOnBothSides) {
    const transform a = general();
    expectSameTransform(product(identity(), a), a);
    expectSameTransform(product(a, identity()), a);
}

TEST(TransformMatrix, ProductAppliesTheRightFactorFirst) {
    transform scale;
    const DPoint3d twice{2, 2, 2}, origin{0, 0, 0};
    transform_initScale(&scale, &twice, &origin);
    const transform shift = translation({1, 0, 0});
    expectExactly(apply(product(shift, scale), {1, 1, 1}), {3, 2, 2});
    expectExactly(apply(product(scale, shift), {1, 1, 1}), {4, 2, 2});
}

TEST(TransformMatrix, ProductMayOverwriteEitherFactor) {
    const transform a = general();
    const transform b = rotationAboutLine({1, 0, 2}, {0, 3, 1}, 0.7);
    const transform expected = product(a, b);

    transform intoA = a;
    transform_multiply(&intoA, &b, &intoA);
    expectSameTransform(intoA, expected);

    transform intoB = b;
    transform_multiply(&a, &intoB, &intoB);
    expectSameTransform(intoB, expected);

    transform square = a;
    transform_multiply(&square, &square, &square);
    expectSameTransform(square, product(a, a));
}

TEST(TransformMatrix, SetFixedPointKeepsTheMatrixAndFixesThePoint) {
    transform t = translation({5, -6, 7});
    const DPoint3d anywhere{1, 2, 3};
    ASSERT_EQ(transform_setFixedPoint(&t, &anywhere), SPATIAL_SUCCESS);
    expectSameTransform(t, identity());

    t = general();
    const transform before = t;
    const DPoint3d fixed{-2, 0.5, 9};
    transform_setFixedPoint(&t, &fixed);
    expectNear(apply(t, fixed), fixed);
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) EXPECT_EQ(t.form3d[i][j], before.form3d[i][j]);
    }
}

// ---- Rotation about a line.

struct LineCase {
    DPoint3d point0;
    DPoint3d point1;
    double angle;
};

class RotationAboutLine : public testing::TestWithParam<LineCase> {};

TEST_P(RotationAboutLine, IsARigidMotionThatFixesTheLineAndTurnsRightHanded) {
    const LineCase& c = GetParam();
    const transform t = rotationAboutLine(c.point0, c.point1, c.angle);
    const DPoint3d axis = c.point1 - c.point0;

    for (double s : {-2.0, 0.0, 0.5, 1.0, 3.0}) {
        const DPoint3d onLine = c.point0 + s * axis;
        expectNear(apply(t, onLine), onLine, 1e-11);
    }

    const std::vector<DPoint3d> points{{0, 0, 0}, {3, -1, 2}, {-4, 5, 1}, {10, 10, -7}};
    for (std::size_t i = 0; i < points.size(); ++i) {
        for (std::size_t j = i + 1; j < points.size(); ++j) {
            EXPECT_NEAR(cvgDPoint3d_distance(apply(t, points[i]), apply(t, points[j])),
                        cvgDPoint3d_distance(points[i], points[j]), 1e-11);
        }
        // Sense: the turn from the offset before to the offset after points
        // along the axis (all angles here are in (0, pi)).
        const DPoint3d before = points[i] - c.point0;
        const DPoint3d after = apply(t, points[i]) - c.point0;
        const double turn = dot(cross(before, after), axis);
        if (magnitude(cross(before, axis)) > 1e-9) {
            EXPECT_GT(turn, 0.0) << i;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Lines, RotationAboutLine,
                         testing::Values(LineCase{{0, 0, 0}, {0, 0, 1}, 0.5},
                                         LineCase{{1, 2, 3}, {4, -1, 5}, 1.0},
                                         LineCase{{-7, 0.5, 2}, {-7.25, 3, -1}, 2.5},
                                         LineCase{{100, -200, 300}, {100.001, -200, 300.002}, 0.01}),
                         [](const testing::TestParamInfo<LineCase>& info) {
                             return "Line" + std::to_string(info.index);
                         });

TEST(TransformMatrix, RotationSenseIsCounterClockwiseSeenFromTheSecondPoint) {
    // Looking down +z, a quarter turn takes +x to +y.
    expectNear(apply(rotationAboutLine({0, 0, 0}, {0, 0, 5}, std::numbers::pi / 2), {1, 0, 0}), {0, 1, 0});
    expectNear(apply(rotationAboutLine({0, 0, 5}, {0, 0, 0}, std::numbers::pi / 2), {1, 0, 0}), {0, -1, 0});

    // A third of a turn about (1, 1, 1) through c cycles the axes x -> y -> z.
    const DPoint3d c{2, -3, 4};
    const transform t = rotationAboutLine(c, c + DPoint3d{2, 2, 2}, 2 * std::numbers::pi / 3);
    expectNear(apply(t, c + DPoint3d{1, 0, 0}), c + DPoint3d{0, 1, 0});
    expectNear(apply(t, c + DPoint3d{0, 1, 0}), c + DPoint3d{0, 0, 1});
    expectNear(apply(t, c + DPoint3d{0, 0, 1}), c + DPoint3d{1, 0, 0});
}

TEST(TransformMatrix, RotationAboutCoincidentPointsIsTheIdentity) {
    const transform t = rotationAboutLine({1, 2, 3}, {1, 2, 3}, 1.0);
    expectSameTransform(t, identity());
}

// ---- Mirror.

TEST(TransformMatrix, MirrorReflectsAndIsItsOwnInverse) {
    const DPoint3d planePoint{1, -2, 3}, normal{1, 2, -2};
    const transform m = mirror(planePoint, normal);
    expectNearTransform(product(m, m), identity());

    // A point at signed distance d from the plane goes to distance -d.
    const DPoint3d unit = (1.0 / 3.0) * normal;
    const DPoint3d inPlane = planePoint + DPoint3d{2, -1, 0};  // (2, -1, 0) is orthogonal to normal
    expectNear(apply(m, inPlane), inPlane);
    expectNear(apply(m, inPlane + 4.0 * unit), inPlane - 4.0 * unit);
}

TEST(TransformMatrix, MirrorDependsOnlyOnTheNormalsDirection) {
    const DPoint3d planePoint{0, 0, 1};
    const transform expected = mirror(planePoint, {0, 0, 1});
    expectSameTransform(expected, transform{{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, -1, 2}}});
    // Lengths whose square overflows or underflows a double still work.
    for (double length : {1e-200, 1e-5, 3.0, 1e200, -1e250}) {
        expectNearTransform(mirror(planePoint, {0, 0, length}), expected);
    }
    const transform tilted = mirror(planePoint, {1e300, 1e300, 0});
    expectNear(apply(tilted, {1, 0, 1}), {0, -1, 1});
}

TEST(TransformMatrix, MirrorInAZeroNormalIsTheIdentity) {
    const transform t = mirror({5, 6, 7}, {0, 0, 0});
    expectAllFinite(t);
    expectSameTransform(t, identity());
}

// ---- Points.

TEST(TransformMatrix, PointArrayTransformsExactlyCountPoints) {
    const transform t = translation({1, 2, 3});
    DPoint3d points[3] = {{0, 0, 0}, {1, 1, 1}, {9, 9, 9}};
    ASSERT_EQ(transform_pointArray(&t, 2, points), SPATIAL_SUCCESS);
    expectExactly(points[0], {1, 2, 3});
    expectExactly(points[1], {2, 3, 4});
    expectExactly(points[2], {9, 9, 9});

    ASSERT_EQ(transform_pointArray(&t, 0, points), SPATIAL_SUCCESS);
    expectExactly(points[0], {1, 2, 3});
    EXPECT_EQ(transform_pointArray(&t, 0, nullptr), SPATIAL_SUCCESS);
}

}  // namespace
