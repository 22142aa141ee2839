// The one-pass point-in-polygon path for polygons lying in a plane of
// constant coordinate: it answers for points of that plane only, and its
// answers are the exact reference's, on every axis, with rings split into
// several sublines, at vertices, on edges, one ulp off them and in holes.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "queries/flat_point_scan.h"
#include "records/navigation.h"
#include "tests/exact_configurations.h"
#include "tests/exact_reference.h"
#include "tests/record_test_builder.h"

namespace {

using exact::cases::inAxisPlane;
using testrecords::Vertices;

TEST(FlatPointScan, AgreesWithTheExactReferenceInEachAxisPlane) {
    // An outer ring with a notch, and a hole touching nothing (u, v).
    const double outer[][2] = {{0, 0}, {8, 0}, {8, 8}, {4, 3}, {0, 8}};
    const double hole[][2] = {{5, 1}, {7, 1}, {7, 2}, {5, 2}};
    std::mt19937 random(5);
    std::uniform_int_distribution<int> grid(-2, 20);
    for (int k = 0; k < 3; ++k) {
        const double c = k == 1 ? -0.75 : 0.5;
        Vertices o, h;
        for (const auto& uv : outer) o.push_back(inAxisPlane(k, c, uv[0], uv[1]));
        for (const auto& uv : hole) h.push_back(inAxisPlane(k, c, uv[0], uv[1]));
        // Each ring stored as two sublines (its edges run across them).
        const testrecords::Record record =
            testrecords::polygon({{Vertices(o.begin(), o.begin() + 2), Vertices(o.begin() + 2, o.end())},
                                  {Vertices(h.begin(), h.begin() + 3), Vertices(h.begin() + 3, h.end())}});
        const spatialgeom::Byte* rings = spatialgeom::polygonBody(static_cast<const spatialgeom::Byte*>(record.data()));
        const exact::RefGeometry reference = exact::polygon({o, h});

        std::vector<DPoint3d> probes(o.begin(), o.end());
        probes.insert(probes.end(), h.begin(), h.end());
        for (int i = 0; i < 200; ++i) probes.push_back(inAxisPlane(k, c, grid(random) * 0.5, grid(random) * 0.5));
        for (const auto& [u, v] : {std::pair{6.0, 5.25}, {2.0, 5.5}, {6.0, 1.0}, {7.0, 1.5}, {4.0, 3.0}}) {
            probes.push_back(inAxisPlane(k, c, u, v));  // on an edge of either ring
            probes.push_back(inAxisPlane(k, c, std::nextafter(u, 100.0), std::nextafter(v, -100.0)));
            probes.push_back(inAxisPlane(k, c, std::nextafter(u, -100.0), std::nextafter(v, 100.0)));
        }
        for (double tolerance : {0.0, 0.25, 1.0}) {
            int inside = 0;
            for (const DPoint3d& p : probes) {
                const std::optional<bool> answer = spatialgeom::pointMeetsFlatPolygon(p, rings, tolerance);
                ASSERT_TRUE(answer.has_value()) << k;
                const bool expected = exact::exactlyMeets(reference, exact::point(p), tolerance);
                ASSERT_EQ(*answer, expected)
                    << "axis " << k << " tolerance " << tolerance << " at " << p.x << " " << p.y << " " << p.z;
                inside += expected;
            }
            EXPECT_GT(inside, 20);
            EXPECT_LT(inside, int(probes.size()) - 20);
        }
        // Off the plane, the general test answers.
        EXPECT_FALSE(spatialgeom::pointMeetsFlatPolygon(inAxisPlane(k, c + 1, 1, 1), rings, 2.0).has_value());
    }
}

TEST(FlatPointScan, LeavesOtherPolygonsToTheGeneralTest) {
    const auto body = [](const testrecords::Record& r) {
        return spatialgeom::polygonBody(static_cast<const spatialgeom::Byte*>(r.data()));
    };
    // A vertex off the plane, even one far from the point.
    const testrecords::Record tilted = testrecords::polygon({{{{0, 0, 0}, {4, 0, 0}, {4, 4, 0}, {0, 4, 1e-300}}}});
    EXPECT_FALSE(spatialgeom::pointMeetsFlatPolygon({1, 1, 0}, body(tilted), 0.0).has_value());
    // ... unless the point is on the polyline, which belongs to any polygon.
    EXPECT_EQ(spatialgeom::pointMeetsFlatPolygon({2, 0, 0}, body(tilted), 0.0), true);
    // A hole off the plane lifts the region's boundary: the general test.
    const testrecords::Record liftedHole =
        testrecords::polygon({{{{0, 0, 0}, {4, 0, 0}, {4, 4, 0}, {0, 4, 0}}}, {{{1, 1, 0}, {2, 1, 0}, {2, 2, 0.5}}}});
    EXPECT_FALSE(spatialgeom::pointMeetsFlatPolygon({3, 3, 0}, body(liftedHole), 0.0).has_value());
    // A coordinate that is not finite, even far from the point on the
    // polyline: the general test's (unspecified) answer, as everywhere.
    const testrecords::Record notFinite = testrecords::polygon({{{{NAN, 0, 0}, {4, 0, 0}, {4, 4, 0}, {0, 4, 0}}}});
    EXPECT_FALSE(spatialgeom::pointMeetsFlatPolygon({4, 4, 0}, body(notFinite), 0.0).has_value());
    // Nothing to scan.
    const testrecords::Record empty = testrecords::polygon({{{}}});
    EXPECT_FALSE(spatialgeom::pointMeetsFlatPolygon({0, 0, 0}, body(empty), 0.0).has_value());
    // A coordinate the predicates cannot take where the ray crosses.
    const testrecords::Record huge = testrecords::polygon({{{{0, 0, 0}, {1e301, 0, 0}, {0, 4, 0}}}});
    EXPECT_FALSE(spatialgeom::pointMeetsFlatPolygon({1, 1, 0}, body(huge), 0.0).has_value());
}

}  // namespace
