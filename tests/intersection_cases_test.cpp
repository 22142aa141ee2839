// Intersection exports on cases too large for the exact reference to
// answer quickly or that it cannot express; the pairwise exports' order.
// (The hand-worked holes, degenerate rings and a star of long edges: the
// named configurations of exact_answers_test; refusals:
// prepared_geometry_test; every kind pair: rule_edges_test.)
#include <cmath>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "comb_geometry.h"
#include "prepared_owner.h"
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

Sublines closedSquare(double x0, double y0, double x1, double y1, double z) {
    return {{{x0, y0, z}, {x1, y0, z}, {x1, y1, z}, {x0, y1, z}}};
}

// Geometries too large for the exact reference's time: members before the
// hit hold many vertices (the hit is found wherever it is); a comb and a
// line weaving between its teeth, whose boxes overlap fully (the indexed
// search must still find the one close pair and nothing else). And a hole
// made of two sublines, one ring, which the reference cannot express. Each
// case through spatialWKB_intersectGeometry in both argument orders.
TEST(Intersect, LargeGeometriesAndSplitRings) {
    Vertices longLine, longRing, gapPoints;
    for (int i = 0; i < 500; ++i) longLine.push_back({double(i), 50.0 + (i % 2), 0});
    for (int i = 0; i < 400; ++i)
        longRing.push_back({30 + 10 * std::cos(2 * M_PI * i / 400), 30 + 10 * std::sin(2 * M_PI * i / 400), 0});
    for (int i = 0; i < 249; ++i) gapPoints.push_back({2.0 * i + 1.5, 5, 0});
    Vertices gapPointsThenTooth = gapPoints;
    gapPointsThenTooth.push_back({2.0 * 200 + 0.5, 5, 0});
    const Record lines = multiLine({{longLine}, {longLine}, {{{0, 0, 0}, {2, 2, 0}}}});
    const Record polygons = multiPolygon({{{longRing}}, {{longRing}}, {closedSquare(0.5, 0.5, 1, 1, 0)}});
    const Record comb = polygon({{testgeometry::combRing(250)}}), weaving = line({testgeometry::weavingLine(249)});
    const Case cases[] = {
        {"third line member", point({1, 1, 0}), lines, 0, 1},
        {"third polygon member", point({0.75, 0.75, 0}), polygons, 0, 1},
        {"third members of both", lines, polygons, 0, 1},
        {"last point of a multipoint", multiPoint(std::vector<DPoint3d>(300, DPoint3d{-5, -5, -5})),
         point({-5, -5, -5}), 0, 1},
        {"weaving line, tolerance 0", weaving, comb, 0, 0},
        {"weaving line", weaving, comb, 0.5, 1, 0.4999},
        {"weaving line against the comb's outline", weaving, line({testgeometry::combRing(250)}), 0.5, 1, 0.4999},
        {"points in every gap", multiPoint(gapPoints), comb, 0.4999, 0},
        {"points in every gap, then one in a tooth", multiPoint(gapPointsThenTooth), comb, 0, 1},
        {"point in the last tooth", point({2.0 * 249 + 0.5, 9.5, 0}), comb, 0, 1},
        {"point in the base below a gap", point({2.0 * 100 + 1.5, 0.5, 0}), comb, 0, 1},
        {"hole made of two sublines", point({5, 5, 0}),
         polygon({closedSquare(0, 0, 10, 10, 0), {{{3, 3, 0}, {7, 3, 0}}, {{7, 7, 0}, {3, 7, 0}}}}), 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const auto& [x, y] : {std::pair(&c.first, &c.second), std::pair(&c.second, &c.first)}) {
            SCOPED_TRACE(x == &c.first ? "as given" : "swapped");
            EXPECT_EQ(intersection(x->data(), y->data(), c.tolerance), c.expected) << "tolerance " << c.tolerance;
            if (c.missesAt) {
                EXPECT_EQ(intersection(x->data(), y->data(), *c.missesAt), 0u) << *c.missesAt;
            }
        }
    }
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
