// Intersection exports by situation: holes, degenerate rings, long and
// large members, the pairwise exports' order; a one-vertex subline's
// distance. (Refusals: prepared_geometry_test; touching, collinear,
// coplanar and near-miss configurations, and distances: the generated run
// of exact_answers_test; every kind pair: rule_edges_test.)
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "comb_geometry.h"
#include "record_test_builder.h"
#include "spatialgeom/queries.h"

namespace {

using namespace testrecords;

struct Case {
    std::string name;
    Record first, second;
    double tolerance;
    uint32_t expected;
    std::optional<double> missesAt = {};  // with expected 1: a smaller tolerance at which they do not meet
};

// Each case through spatialWKB_intersectGeometry in both argument orders.
void expectCases(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (bool swapped : {false, true}) {
            auto check = [&](double tolerance, uint32_t expected) {
                uint32_t result = 7;
                ASSERT_EQ(swapped ? spatialWKB_intersectGeometry(c.second.data(), c.first.data(), tolerance, &result)
                                  : spatialWKB_intersectGeometry(c.first.data(), c.second.data(), tolerance, &result),
                          SPATIAL_SUCCESS);
                EXPECT_EQ(result, expected) << (swapped ? "swapped, tolerance " : "as given, tolerance ") << tolerance;
            };
            check(c.tolerance, c.expected);
            if (c.missesAt) check(*c.missesAt, 0);
        }
    }
}

Sublines closedSquare(double x0, double y0, double x1, double y1, double z) {
    return {{{x0, y0, z}, {x1, y0, z}, {x1, y1, z}, {x0, y1, z}}};
}

// A 10 x 10 square in z = 0 with a 4 x 4 hole in its middle.
Record donut() { return polygon({closedSquare(0, 0, 10, 10, 0), closedSquare(3, 3, 7, 7, 0)}); }

TEST(Intersect, HolesOfADonut) {
    const Record axis = line({{{5, 5, -1}, {5, 5, 1}}});
    const Record inner = polygon({closedSquare(4, 4, 6, 6, 0)});
    expectCases({
        {"segment through the hole only", axis, donut(), 0, 0},
        {"segment through the hole, tolerance reaching its edge", axis, donut(), 2, 1, 1.99},
        {"segment in the plane crossing solid part and hole", line({{{-1, 5, 0}, {11, 5, 0}}}), donut(), 0, 1},
        {"second segment crosses the solid part", line({{{5, 5, 1}, {5, 5, -1}, {0, 1, 1}}}), donut(), 0, 1},
        {"multiline whose second member pierces the solid part",
         multiLine({{{{5, 5, -1}, {5, 5, 1}}}, {{{-1, 5, 1}, {3, 5, -1}}}}), donut(), 0, 1},
        {"point on a hole edge", point({3, 5, 0}), donut(), 0, 1},
        {"point on a hole corner", point({7, 7, 0}), donut(), 0, 1},
        {"point inside the hole, tolerance to its edge", point({5, 5, 0}), donut(), 2, 1, 0},
        {"multipoint with one point on a hole edge", multiPoint({{5, 5, 0}, {5, 3, 0}}), donut(), 0, 1},
        {"point in the solid part", point({1, 1, 0}), donut(), 0, 1},
        {"coplanar polygon inside the hole, tolerance to the edge", inner, donut(), 1, 1, 0.99},
        {"coplanar polygon inside the hole", inner, donut(), 0, 0},
        {"polygon above the hole", polygon({closedSquare(4, 4, 6, 6, 0.5)}), donut(), 0, 0},
        {"multipolygon member inside the hole", multiPolygon({{closedSquare(4, 4, 6, 6, 0)}}), donut(), 0, 0},
        {"polygon filling the hole exactly", polygon({closedSquare(3, 3, 7, 7, 0)}), donut(), 0, 1},
        {"polygon covering hole and solid part", polygon({closedSquare(2, 2, 8, 8, 0)}), donut(), 0, 1},
    });
}

TEST(Intersect, DegenerateRings) {
    const Record flat = polygon({{{{0, 0, 0}, {1, 0, 0}, {2, 0, 0}}}});
    const Record bowTie = polygon({{{{0, 0, 0}, {2, 2, 0}, {2, 0, 0}, {0, 2, 0}}}});
    expectCases({
        {"collinear ring: point on its polyline", point({1.5, 0, 0}), flat, 0, 1},
        {"collinear ring: the closing edge counts", point({0.5, 0, 0}), flat, 0, 1},
        {"collinear ring: point beside", point({1, 0.5, 0}), flat, 0.5, 1, 0.4},
        {"ring of one repeated vertex", point({1, 1, 1}), polygon({{{{1, 1, 1}, {1, 1, 1}}}}), 0, 1},
        {"two degenerate rings crossing", flat, polygon({{{{1, -1, 0}, {1, 1, 0}}}}), 0, 1},
        {"bow tie: point in a lobe", point({0.3, 1, 0}), bowTie, 0, 1},
        {"bow tie: point between the lobes", point({1, 0.3, 0}), bowTie, 0.1, 0},
        {"hole without area removes nothing", point({5, 5, 0}),
         polygon({closedSquare(0, 0, 10, 10, 0), {{{3, 5, 0}, {7, 5, 0}}}}), 0, 1},
        {"overlapping holes: a point in both is outside", point({4.5, 5, 0}),
         polygon({closedSquare(0, 0, 10, 10, 0), closedSquare(3, 3, 6, 7, 0), closedSquare(4, 3, 7, 7, 0)}), 0.1, 0},
        {"hole made of two sublines", point({5, 5, 0}),
         polygon({closedSquare(0, 0, 10, 10, 0), {{{3, 3, 0}, {7, 3, 0}}, {{7, 7, 0}, {3, 7, 0}}}}), 0, 0},
    });
}

// Members before the hit hold many vertices; the hit is found wherever it is.
TEST(Intersect, MembersFoundAfterLongEarlierMembers) {
    Vertices longLine;
    for (int i = 0; i < 500; ++i) longLine.push_back({double(i), 50.0 + (i % 2), 0});
    Vertices longRing;
    for (int i = 0; i < 400; ++i) {
        const double angle = 2 * M_PI * i / 400;
        longRing.push_back({30 + 10 * std::cos(angle), 30 + 10 * std::sin(angle), 0});
    }
    const Record lines = multiLine({{longLine}, {longLine}, {{{0, 0, 0}, {2, 2, 0}}}});
    const Record polygons = multiPolygon({{{longRing}}, {{longRing}}, {closedSquare(0.5, 0.5, 1, 1, 0)}});
    expectCases({
        {"third line member", point({1, 1, 0}), lines, 0, 1},
        {"third polygon member", point({0.75, 0.75, 0}), polygons, 0, 1},
        {"third members of both", lines, polygons, 0, 1},
        {"last point of a multipoint", multiPoint(std::vector<DPoint3d>(300, DPoint3d{-5, -5, -5})),
         point({-5, -5, -5}), 0, 1},
    });
}

// Large geometries whose boxes overlap fully: the indexed search must still
// find the one close pair and nothing else.
TEST(Intersect, LargeInterleavedGeometries) {
    const Record comb = polygon({{testgeometry::combRing(250)}});
    const Record weaving = line({testgeometry::weavingLine(249)});
    Vertices gapPoints, gapPointsThenTooth;
    for (int i = 0; i < 249; ++i) gapPoints.push_back({2.0 * i + 1.5, 5, 0});
    gapPointsThenTooth = gapPoints;
    gapPointsThenTooth.push_back({2.0 * 200 + 0.5, 5, 0});
    expectCases({
        {"weaving line, tolerance 0", weaving, comb, 0, 0},
        {"weaving line", weaving, comb, 0.5, 1, 0.4999},
        {"weaving line against the comb's outline", weaving, line({testgeometry::combRing(250)}), 0.5, 1, 0.4999},
        {"points in every gap", multiPoint(gapPoints), comb, 0.4999, 0},
        {"points in every gap, then one in a tooth", multiPoint(gapPointsThenTooth), comb, 0, 1},
        {"point in the last tooth", point({2.0 * 249 + 0.5, 9.5, 0}), comb, 0, 1},
        {"point in the base below a gap", point({2.0 * 100 + 1.5, 0.5, 0}), comb, 0, 1},
    });
}

// Every edge of a star spans much of its box: the edge index must stay
// small and exact all the same.
TEST(Intersect, StarOfLongEdges) {
    Vertices star;
    const int n = 2000;
    for (int k = 0; k < n; ++k) {
        const double angle = 2 * M_PI * k / n, radius = k % 2 == 0 ? 100 : 1;
        star.push_back({radius * std::cos(angle), radius * std::sin(angle), 3});
    }
    const double between = 2 * M_PI * 501 / n;
    expectCases({
        {"centre", point({0, 0, 3}), polygon({{star}}), 0, 1},
        {"a spike's tip", point(star[1000]), polygon({{star}}), 0, 1},
        {"between two spikes", point({50 * std::cos(between), 50 * std::sin(between), 3}), polygon({{star}}), 0.001, 0},
        {"above the centre", line({{{0, 0, 4}, {0.5, 0.5, 5}}}), polygon({{star}}), 1, 1, 0.999},
    });
}

// A one-vertex subline has a vertex but no point: such a vertex on the
// other geometry is no common point.
TEST(Distance, OneVertexSublinesHoldNoPoint) {
    const Record dotThenSegment = line({{{0, 0, 0}}, {{5, 0, 0}, {6, 0, 0}}}), origin = point({0, 0, 0});
    double d = -1;
    DPoint3d onA{}, onB{};
    ASSERT_EQ(spatialWKB_distance(dotThenSegment.data(), origin.data(), &d, &onA, &onB), SPATIAL_SUCCESS);
    EXPECT_EQ(d, 5);
    EXPECT_EQ(onA.x, 5);
}

// The pairwise exports take their kinds in the named order only.
TEST(Intersect, PairwiseExportsTakeTheNamedOrder) {
    const Record point = testrecords::point({1, 1, 0}), square = polygon({closedSquare(0, 0, 2, 2, 0)});
    uint32_t result = 7;
    EXPECT_EQ(spatialWKB_intersectPointPolygon(point.data(), square.data(), 0, &result), SPATIAL_SUCCESS);
    EXPECT_EQ(result, 1u);
    result = 7;
    EXPECT_EQ(spatialWKB_intersectPointPolygon(square.data(), point.data(), 0, &result), SPATIAL_FAILURE);
    EXPECT_EQ(result, 7u);
}

}  // namespace
