// A prepared polygon answers every test the same whether it scans its
// edges (its first tests) or uses its grid (once built), and whether
// consecutive segments share their containment test or not.
#include <cmath>
#include <numbers>
#include <random>

#include <gtest/gtest.h>

#include "queries/prepared_polygon.h"
#include "records/navigation.h"
#include "tests/record_test_builder.h"

namespace {

using testrecords::Vertices;

// A star-like ring of n vertices around (cx, cy) in the plane z = slope * x + h
// (slope 0: a constant-z plane, where no orientation predicate is used).
Vertices starRing(int n, double cx, double cy, double radius, double slope, double h, bool clockwise) {
    Vertices ring;
    for (int i = 0; i < n; ++i) {
        const double angle = 2 * std::numbers::pi * i / n * (clockwise ? -1 : 1);
        const double r = radius * (i % 2 ? 0.6 : 1.0);
        const double x = cx + r * std::cos(angle), y = cy + r * std::sin(angle);
        ring.push_back({x, y, slope * x + h});
    }
    return ring;
}

const spatialgeom::Byte* ringsOf(const testrecords::Record& polygon) {
    return spatialgeom::polygonBody(static_cast<const spatialgeom::Byte*>(polygon.data()));
}

std::vector<spatialgeom::kernel::Segment3d> chainAndPoints(std::mt19937& random, double slope) {
    std::uniform_real_distribution<double> coordinate(-12.0, 12.0);
    std::vector<spatialgeom::kernel::Segment3d> queries;
    DPoint3d last{coordinate(random), coordinate(random), 0.0};
    for (int i = 0; i < 300; ++i) {
        // In the plane, or just off it, as a chain or as a point.
        const double x = coordinate(random), y = coordinate(random);
        const DPoint3d next{x, y, slope * x + (i % 5 == 0 ? 0.25 : 0.0)};
        queries.push_back({i % 7 == 0 ? next : last, next});
        last = next;
    }
    return queries;
}

TEST(PreparedPolygon, ScanAndGridGiveTheSameAnswers) {
    std::mt19937 random(17);
    for (double slope : {0.0, 0.3}) {
        for (double tolerance : {0.0, 0.2}) {
            const testrecords::Record polygon = testrecords::polygon(
                {{starRing(400, 0, 0, 10, slope, 0, false)}, {starRing(40, 2, 1, 3, slope, 0, true)}});
            const spatialgeom::Byte* rings = ringsOf(polygon);
            spatialgeom::PreparedPolygon longLived(rings, tolerance);
            int meets = 0;
            for (const spatialgeom::kernel::Segment3d& query : chainAndPoints(random, slope)) {
                spatialgeom::PreparedPolygon fresh(rings, tolerance);
                const bool expected = fresh.meetsSegment(query);
                ASSERT_EQ(longLived.meetsSegment(query), expected) << "slope " << slope << " tolerance " << tolerance;
                meets += expected;
            }
            EXPECT_GT(meets, 10);
            EXPECT_LT(meets, 290);
        }
    }
}

TEST(PreparedPolygon, PolygonTestsAgreeBeforeAndAfterIndexing) {
    const testrecords::Record big = testrecords::polygon({{starRing(400, 0, 0, 10, 0, 0, false)}});
    const spatialgeom::Byte* bigRings = ringsOf(big);
    spatialgeom::PreparedPolygon indexed(bigRings, 0.0);
    for (int warmUp = 0; warmUp < 8; ++warmUp) indexed.meetsSegment({{50, 50, 0}, {50, 50, 0}});
    for (double cx : {0.0, 5.0, 9.5, 10.5, 14.0, 30.0}) {
        const testrecords::Record small = testrecords::polygon({{starRing(12, cx, 0, 1, 0, 0, false)}});
        spatialgeom::PreparedPolygon other(ringsOf(small), 0.0);
        spatialgeom::PreparedPolygon fresh(bigRings, 0.0);
        EXPECT_EQ(indexed.meetsPolygon(other), fresh.meetsPolygon(other)) << cx;
    }
}

}  // namespace
