#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

#include "kernel/transform3d.h"
#include "kernel/vector3d.h"
#include "spatialgeom/transform.h"

namespace {

using namespace spatialgeom::kernel;

constexpr double kTolerance = 1e-12;

DPoint3d apply(const transform& t, DPoint3d p) {
    transform_point(&t, &p);
    return p;
}

// Tolerance 0 asks for exact equality.
void expectPoint(const DPoint3d& actual, const DPoint3d& expected, double tolerance = kTolerance) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

void expectTransform(const transform& actual, const transform& expected, double tolerance = 0.0) {
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 4; ++j) EXPECT_NEAR(actual.form3d[i][j], expected.form3d[i][j], tolerance) << i << "," << j;
    }
}

const transform kIdentity{{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}}};

transform translation(DPoint3d by) {
    transform t;
    transform_initTranslation(&t, &by);
    return t;
}

transform scale(DPoint3d factors, DPoint3d fixed) {
    transform t;
    EXPECT_EQ(transform_initScale(&t, &factors, &fixed), SPATIAL_SUCCESS);
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

TEST(AngleConversion, IsOneMultiplicationAndRefusesNullOutput) {
    // 3 degrees and 0.1 radians tell one multiplication apart from x * pi / 180,
    // x / 57.29577951308232 and x * 180 / pi.
    struct Row {
        uint32_t (*convert)(double, double*);
        double in, expected;
    };
    const auto d2r = transform_degrees2radians, r2d = transform_radians2degrees;
    for (const Row& c :
         {Row{d2r, 180.0, std::numbers::pi}, Row{d2r, 90.0, 1.5707963267948966}, Row{d2r, 3.0, 0.05235987755982989},
          Row{d2r, -180.0, -std::numbers::pi}, Row{d2r, 0.0, 0.0}, Row{r2d, std::numbers::pi, 180.0},
          Row{r2d, 1.5707963267948966, 90.0}, Row{r2d, 0.1, 5.729577951308233}, Row{r2d, -std::numbers::pi, -180.0}}) {
        double out = -1.0;
        ASSERT_EQ(c.convert(c.in, &out), SPATIAL_SUCCESS);
        EXPECT_EQ(out, c.expected) << c.in;
        EXPECT_EQ(c.convert(c.in, nullptr), SPATIAL_FAILURE);
    }
}

TEST(TransformMatrix, BuildingBlocks) {
    transform t;
    std::fill(&t.form3d[0][0], &t.form3d[0][0] + 12, 99.0);
    ASSERT_EQ(transform_initRotation(&t, 1, 2, 3, 4, 5, 6, 7, 8, 9), SPATIAL_SUCCESS);
    expectTransform(t, transform{{{1, 2, 3, 0}, {4, 5, 6, 0}, {7, 8, 9, 0}}});
    transform_initIdentity(&t);
    expectTransform(t, kIdentity);
    expectPoint(apply(translation({1, 2, 3}), {0, 0, 0}), {1, 2, 3}, 0);

    // Scale: q -> f + S(q - f), with unequal, negative and zero factors.
    expectPoint(apply(scale({3, -1, 0}, {1, 2, 3}), {2, 5, -7}), {4, -1, 3}, 0);
}

TEST(TransformMatrix, ProductAppliesTheRightFactorFirstAndMayOverwriteEither) {
    const transform a = general();
    expectTransform(product(kIdentity, a), a);
    expectTransform(product(a, kIdentity), a);

    const transform twice = scale({2, 2, 2}, {0, 0, 0}), shift = translation({1, 0, 0});
    expectPoint(apply(product(shift, twice), {1, 1, 1}), {3, 2, 2}, 0);
    expectPoint(apply(product(twice, shift), {1, 1, 1}), {4, 2, 2}, 0);

    const transform b = rotationAboutLine({1, 0, 2}, {0, 3, 1}, 0.7);
    transform intoA = a, intoB = b, square = a;
    transform_multiply(&intoA, &b, &intoA);
    transform_multiply(&a, &intoB, &intoB);
    transform_multiply(&square, &square, &square);
    expectTransform(intoA, product(a, b));
    expectTransform(intoB, product(a, b));
    expectTransform(square, product(a, a));
}

TEST(TransformMatrix, SetFixedPointKeepsTheMatrixAndFixesThePoint) {
    transform t = translation({5, -6, 7});
    const DPoint3d anywhere{1, 2, 3};
    ASSERT_EQ(transform_setFixedPoint(&t, &anywhere), SPATIAL_SUCCESS);
    expectTransform(t, kIdentity);

    t = general();
    const transform before = t;
    const DPoint3d fixed{-2, 0.5, 9};
    transform_setFixedPoint(&t, &fixed);
    expectPoint(apply(t, fixed), fixed);
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) EXPECT_EQ(t.form3d[i][j], before.form3d[i][j]);
    }
}

TEST(TransformMatrix, RotationAboutLineIsARigidMotionFixingTheLineTurningRightHanded) {
    struct LineCase {
        DPoint3d point0, point1;
        double angle;
    };
    const std::vector<DPoint3d> points{{0, 0, 0}, {3, -1, 2}, {-4, 5, 1}, {10, 10, -7}};
    for (const LineCase& c :
         {LineCase{{0, 0, 0}, {0, 0, 1}, 0.5}, LineCase{{1, 2, 3}, {4, -1, 5}, 1.0},
          LineCase{{-7, 0.5, 2}, {-7.25, 3, -1}, 2.5}, LineCase{{100, -200, 300}, {100.001, -200, 300.002}, 0.01}}) {
        SCOPED_TRACE(c.angle);
        const transform t = rotationAboutLine(c.point0, c.point1, c.angle);
        const DPoint3d axis = c.point1 - c.point0;
        for (double s : {-2.0, 0.0, 0.5, 1.0, 3.0})
            expectPoint(apply(t, c.point0 + s * axis), c.point0 + s * axis, 1e-11);
        for (std::size_t i = 0; i < points.size(); ++i) {
            for (std::size_t j = i + 1; j < points.size(); ++j) {
                EXPECT_NEAR(pointDistance(apply(t, points[i]), apply(t, points[j])),
                            pointDistance(points[i], points[j]), 1e-11);
            }
            // The turn from the offset before to the one after points along
            // the axis (all angles here are in (0, pi)).
            const DPoint3d before = points[i] - c.point0, after = apply(t, points[i]) - c.point0;
            EXPECT_TRUE(magnitude(cross(before, axis)) <= 1e-9 || dot(cross(before, after), axis) > 0.0) << i;
        }
    }

    // Seen from the second point the turn is counter-clockwise.
    expectPoint(apply(rotationAboutLine({0, 0, 0}, {0, 0, 5}, std::numbers::pi / 2), {1, 0, 0}), {0, 1, 0});
    expectPoint(apply(rotationAboutLine({0, 0, 5}, {0, 0, 0}, std::numbers::pi / 2), {1, 0, 0}), {0, -1, 0});
    // A third of a turn about (1, 1, 1) through c cycles the axes x -> y -> z.
    const DPoint3d c{2, -3, 4};
    const transform t = rotationAboutLine(c, c + DPoint3d{2, 2, 2}, 2 * std::numbers::pi / 3);
    expectPoint(apply(t, c + DPoint3d{1, 0, 0}), c + DPoint3d{0, 1, 0});
    expectPoint(apply(t, c + DPoint3d{0, 1, 0}), c + DPoint3d{0, 0, 1});
    expectPoint(apply(t, c + DPoint3d{0, 0, 1}), c + DPoint3d{1, 0, 0});

    // An axis of length 1e-300 is still an axis; coincident points or an
    // infinite direction give the identity.
    expectPoint(apply(rotationAboutLine({0, 0, 0}, {0, 0, 1e-300}, std::numbers::pi / 2), {1, 0, 0}), {0, 1, 0});
    expectTransform(rotationAboutLine({1, 2, 3}, {1, 2, 3}, 1.0), kIdentity);
    expectTransform(rotationAboutLine({0, 0, 0}, {std::numeric_limits<double>::infinity(), 0, 0}, 0.5), kIdentity);
}

TEST(TransformMatrix, MirrorReflectsDependsOnlyOnTheNormalsDirection) {
    const DPoint3d planePoint{1, -2, 3}, normal{1, 2, -2};
    const transform m = mirror(planePoint, normal);
    expectTransform(product(m, m), kIdentity, kTolerance);
    // A point at signed distance d from the plane goes to distance -d.
    const DPoint3d unit = (1.0 / 3.0) * normal;
    const DPoint3d inPlane = planePoint + DPoint3d{2, -1, 0};  // (2, -1, 0) is orthogonal to normal
    expectPoint(apply(m, inPlane), inPlane);
    expectPoint(apply(m, inPlane + 4.0 * unit), inPlane - 4.0 * unit);

    const transform expected = mirror({0, 0, 1}, {0, 0, 1});
    expectTransform(expected, transform{{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, -1, 2}}});
    // Lengths whose square overflows or underflows a double still work.
    for (double length : {4.9e-324, 1e-200, 1e-5, 3.0, 1e200, -1e250}) {
        expectTransform(mirror({0, 0, 1}, {0, 0, length}), expected, kTolerance);
    }
    expectPoint(apply(mirror({0, 0, 1}, {1e300, 1e300, 0}), {1, 0, 1}), {0, -1, 1});
    expectTransform(mirror({5, 6, 7}, {0, 0, 0}), kIdentity);  // zero normal
    expectTransform(mirror({5, 6, 7}, {std::numeric_limits<double>::quiet_NaN(), 1, 0}), kIdentity);
}

TEST(TransformMatrix, PointArrayTransformsExactlyCountPoints) {
    const transform t = translation({1, 2, 3});
    DPoint3d points[3] = {{0, 0, 0}, {1, 1, 1}, {9, 9, 9}};
    ASSERT_EQ(transform_pointArray(&t, 2, points), SPATIAL_SUCCESS);
    ASSERT_EQ(transform_pointArray(&t, 0, points), SPATIAL_SUCCESS);
    expectPoint(points[0], {1, 2, 3}, 0);
    expectPoint(points[1], {2, 3, 4}, 0);
    expectPoint(points[2], {9, 9, 9}, 0);
    EXPECT_EQ(transform_pointArray(&t, 0, nullptr), SPATIAL_SUCCESS);
    // The kernel's form writes into another array, leaving the input.
    DPoint3d out[3] = {{7, 7, 7}, {7, 7, 7}, {7, 7, 7}};
    applyToPoints(t, out, points, 2);
    expectPoint(out[1], {3, 5, 7}, 0);
    expectPoint(out[2], {7, 7, 7}, 0);
    expectPoint(points[1], {2, 3, 4}, 0);
}

}  // namespace
