#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "kernel/transform3d.h"

namespace {

using namespace spatialgeom::kernel;

const transform kIdentity{{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}}};

void expectSameTransform(const transform& actual, const transform& expected) {
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 4; ++j) EXPECT_EQ(actual.form3d[i][j], expected.form3d[i][j]) << i << "," << j;
    }
}

TEST(KernelTransform, DegenerateAxisOrNormalGivesIdentityAndFalse) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (int degenerate = 0; degenerate < 4; ++degenerate) {
        transform t = transform{{{9, 9, 9, 9}, {9, 9, 9, 9}, {9, 9, 9, 9}}};
        switch (degenerate) {
            case 0: EXPECT_FALSE(initRotationAboutLine(&t, {1, 2, 3}, {1, 2, 3}, 0.5)); break;
            case 1: EXPECT_FALSE(initRotationAboutLine(&t, {0, 0, 0}, {inf, 0, 0}, 0.5)); break;
            case 2: EXPECT_FALSE(initMirror(&t, {1, 2, 3}, {0, 0, 0})); break;
            default: EXPECT_FALSE(initMirror(&t, {1, 2, 3}, {nan, 1, 0}));
        }
        expectSameTransform(t, kIdentity);
    }
    transform t;
    EXPECT_TRUE(initRotationAboutLine(&t, {0, 0, 0}, {0, 0, 1e-300}, 0.5));
    EXPECT_TRUE(initMirror(&t, {0, 0, 0}, {0, 4.9e-324, 0}));
    EXPECT_EQ(t.form3d[1][1], -1.0);
}

TEST(KernelTransform, ScaleCompleteRowsScalesTranslationsToo) {
    transform source;
    initTranslation(&source, {1, 2, 3});
    source.form3d[0][1] = 5;
    transform t;
    scaleRows(&t, &source, 2, -1, 0);
    expectSameTransform(t, transform{{{2, 10, 0, 2}, {0, -1, 0, -2}, {0, 0, 0, 0}}});

    scaleRows(&source, &source, 2, -1, 0);  // in place
    expectSameTransform(source, t);

    scaleRows(&t, nullptr, 4, 5, 6);
    expectSameTransform(t, transform{{{4, 0, 0, 0}, {0, 5, 0, 0}, {0, 0, 6, 0}}});
}

TEST(KernelTransform, PointApplicationInPlaceAndIntoAnotherArray) {
    RotMatrix m;
    initMatrixFromRows(&m, 0, -1, 0, 1, 0, 0, 0, 0, 2);
    transform t;
    initFromMatrix(&t, m);
    setFixedPoint(&t, {1, 1, 1});

    DPoint3d p{2, 1, 3};
    applyToPoint(t, &p, p);
    EXPECT_TRUE(p.x == 1.0 && p.y == 2.0 && p.z == 5.0);

    const DPoint3d in[2] = {{1, 1, 1}, {2, 1, 3}};
    DPoint3d out[3] = {{7, 7, 7}, {7, 7, 7}, {7, 7, 7}};
    applyToPoints(t, out, in, 2);
    EXPECT_EQ(out[0].x, 1.0);
    EXPECT_EQ(out[1].z, 5.0);
    EXPECT_EQ(out[2].x, 7.0);
    EXPECT_EQ(in[1].x, 2.0);
}

}  // namespace
