#include <random>

#include <gtest/gtest.h>

#include "kernel/exact_predicates.h"
#include "kernel/segment_distance.h"

namespace {

using namespace spatialgeom::kernel;
using Int = __int128;

// Coordinates are integers scaled by 2^-20: exact as doubles, and their
// determinants are exact in 128-bit integers.
constexpr double kScale = 0x1p-20;

int sign(Int v) { return (v > 0) - (v < 0); }

struct IPoint {
    long long x, y, z;
    DPoint3d d() const { return {x * kScale, y * kScale, z * kScale}; }
};

Int integerOrient2d(const IPoint& a, const IPoint& b, const IPoint& c) {
    return Int(a.x - c.x) * (b.y - c.y) - Int(a.y - c.y) * (b.x - c.x);
}

Int integerOrient3d(const IPoint& a, const IPoint& b, const IPoint& c, const IPoint& d) {
    const Int adx = a.x - d.x, ady = a.y - d.y, adz = a.z - d.z;
    const Int bdx = b.x - d.x, bdy = b.y - d.y, bdz = b.z - d.z;
    const Int cdx = c.x - d.x, cdy = c.y - d.y, cdz = c.z - d.z;
    return adz * (bdx * cdy - cdx * bdy) + bdz * (cdx * ady - adx * cdy) + cdz * (adx * bdy - bdx * ady);
}

// Points on or one unit off a line or plane through large coordinates:
// where plain floating-point evaluation gets signs wrong.
class NearlyDegenerate : public ::testing::Test {
protected:
    long long big() { return std::uniform_int_distribution<long long>(-(1LL << 39), 1LL << 39)(rng); }
    long long small() { return std::uniform_int_distribution<long long>(-(1LL << 12), 1LL << 12)(rng); }
    long long nudge() { return std::uniform_int_distribution<long long>(-1, 1)(rng); }
    std::mt19937_64 rng{12345};
};

TEST_F(NearlyDegenerate, OrientationsMatchExactIntegers) {
    int zeros2d = 0, zeros3d = 0;
    for (int i = 0; i < 20000; ++i) {
        const IPoint a{big(), big(), big()};
        const IPoint u{small(), small(), small()}, v{small(), small(), small()};
        const auto at = [&](long long s, long long t, long long n) {
            return IPoint{a.x + s * u.x + t * v.x + n, a.y + s * u.y + t * v.y, a.z + s * u.z + t * v.z};
        };
        // In the plane (z ignored): b on the line a + s u, c on it or one unit
        // beside it along x.
        const IPoint b2 = at(small(), 0, 0), c2 = at(small(), 0, nudge());
        const int expected2d = sign(integerOrient2d(a, b2, c2));
        zeros2d += expected2d == 0;
        ASSERT_EQ(orient2d(a.d().x, a.d().y, b2.d().x, b2.d().y, c2.d().x, c2.d().y), expected2d) << i;
        // In space: d in the plane of a, b and c, or one unit beside it.
        const IPoint b = at(small(), small(), 0), c = at(small(), small(), 0), d = at(small(), small(), nudge());
        const int expected3d = sign(integerOrient3d(a, b, c, d));
        zeros3d += expected3d == 0;
        ASSERT_EQ(orient3d(a.d(), b.d(), c.d(), d.d()), expected3d) << i;
    }
    EXPECT_GT(zeros2d, 1000);
    EXPECT_GT(zeros3d, 1000);
}

TEST(SegmentContact, ExactCasesAndDegenerateSegments) {
    const Segment3d diagonal{{0.1, 0.2, 0.3}, {0.7, 1.4, 2.1}};  // direction (0.6, 1.2, 1.8)
    struct Row {
        const char* name;
        Segment3d other;
        bool meets;
    };
    const Row rows[] = {
        {"shared end", {{0.7, 1.4, 2.1}, {5, 5, 5}}, true},
        {"zero-length at the start", {{0.1, 0.2, 0.3}, {0.1, 0.2, 0.3}}, true},
        {"zero-length just off the start",
         {{0.1, 0.2, std::nextafter(0.3, 1.0)}, {0.1, 0.2, std::nextafter(0.3, 1.0)}},
         false},
        {"collinear beyond the end", {{1.3, 2.6, 3.9}, {1.9, 3.8, 5.7}}, false},
        {"skew", {{0, 0, 1}, {1, 1, 1}}, false},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(segmentsIntersect(diagonal, row.other), row.meets) << row.name;
        EXPECT_EQ(segmentsIntersect(row.other, diagonal), row.meets) << row.name;
    }
    // Collinear overlap and a point in the interior of an axis-parallel segment.
    EXPECT_TRUE(segmentsIntersect({{0, 0, 0}, {2, 0, 0}}, {{1, 0, 0}, {3, 0, 0}}));
    EXPECT_TRUE(segmentsIntersect({{0.1, 7, 3}, {0.7, 7, 3}}, {{0.3, 7, 3}, {0.3, 7, 3}}));
}

TEST(SegmentDistance, BoundedClosestApproach) {
    // Closest points of the lines lie outside the first segment: the
    // distance is between the nearest points of the segments.
    EXPECT_NEAR(segmentDistance({{0, 0, 0}, {1, 0, 0}}, {{2, -1, 0}, {3, 1, 0}}), std::sqrt(1.8), 1e-15);
    EXPECT_DOUBLE_EQ(segmentDistance({{-1, 0, 0}, {1, 0, 0}}, {{0, -1, 2}, {0, 1, 2}}), 2.0);
    EXPECT_DOUBLE_EQ(segmentDistance({{0, 0, 0}, {4, 0, 0}}, {{1, 3, 0}, {2, 3, 0}}), 3.0);
    EXPECT_DOUBLE_EQ(segmentDistance({{0, 0, 0}, {0, 0, 0}}, {{0, 0, 0}, {0, 0, 0}}), 0.0);
    DPoint3d nearest;
    EXPECT_EQ(projectOntoSegment({{0.1, 0.2, 0.3}, {0.7, 1.3, 2.9}}, &nearest, {5, 5, 5}), 1.0);
    EXPECT_EQ(nearest.z, 2.9);  // the end itself, not start + (end - start)
}

}  // namespace
