// Distances worked out by hand. (The generated run against the exact
// reference and configurations found by the fuzz targets:
// exact_answers_test; statuses: intersection_cases_test.)
#include <cmath>

#include <gtest/gtest.h>

#include "exact_reference.h"
#include "record_test_builder.h"
#include "spatialgeom/queries.h"
#include "spatialgeom/record_ptr.h"

namespace {

using namespace exact;

using spatialgeom::RecordPtr;

// A one-vertex subline has a vertex but no point: such a vertex on the
// other geometry is no common point.
TEST(Distance, OneVertexSublinesHoldNoPoint) {
    const testrecords::Record dotThenSegment = testrecords::line({{{0, 0, 0}}, {{5, 0, 0}, {6, 0, 0}}});
    const testrecords::Record origin = testrecords::point({0, 0, 0});
    double d = -1;
    DPoint3d onA{}, onB{};
    ASSERT_EQ(spatialWKB_distance(dotThenSegment.data(), origin.data(), &d, &onA, &onB), SPATIAL_SUCCESS);
    EXPECT_EQ(d, 5);
    EXPECT_EQ(onA.x, 5);
}

// Worked by hand: a point over a tilted square's hole is nearest to the
// hole's ring; a segment through the square's region meets it; a point
// over the region is at its height.
TEST(Distance, WorkedCases) {
    const std::vector<Vertices> donut = {{{0, 0, 0}, {4, 0, 0}, {4, 4, 0}, {0, 4, 0}, {0, 0, 0}},
                                         {{1, 1, 0}, {3, 1, 0}, {3, 3, 0}, {1, 3, 0}, {1, 1, 0}}};
    const RecordPtr square(buildRecord(polygon(donut)));
    const auto distanceTo = [&](const RefGeometry& g, DPoint3d* onA, DPoint3d* onB) {
        const RecordPtr other(buildRecord(g));
        double d = -1;
        EXPECT_EQ(spatialWKB_distance(other.get(), square.get(), &d, onA, onB), SPATIAL_SUCCESS);
        return d;
    };
    DPoint3d onA{}, onB{};
    EXPECT_EQ(distanceTo(point({2, 1.5, 0}), &onA, &onB), 0.5);  // in the hole, half a unit from its ring
    EXPECT_EQ(onB.y, 1);
    EXPECT_EQ(distanceTo(point({0.5, 0.5, 3}), &onA, &onB), 3);  // over the region
    EXPECT_EQ(onB.x, 0.5);
    EXPECT_EQ(onB.z, 0);
    EXPECT_EQ(distanceTo(lineString({{0.5, 2, -1}, {0.5, 2, 1}}), &onA, &onB), 0);  // through the region
    EXPECT_EQ(onA.x, onB.x);
    EXPECT_EQ(onB.z, 0);
    EXPECT_EQ(distanceTo(point({2, 2, 1}), &onA, &onB), std::sqrt(2.0));  // over the hole's centre
}

}  // namespace
