// The documented rules at the edges of the intersection and distance
// exports, one test per rule, each over every pair of kinds in both orders;
// the prepared and per-kind exports answer as the stateless ones throughout.
// Then, through the same exports, intersection cases the exact reference
// cannot answer (too large for its time, or a hole of two sublines), and
// the pairwise exports' order. (Hand-worked holes, degenerate rings and a
// star of long edges: the named configurations of exact_answers_test;
// refusals: prepared_geometry_test.)
#include <cfloat>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <limits>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "comb_geometry.h"
#include "prepared_owner.h"
#include "record_test_builder.h"
#include "ring_around.h"
#include "spatialgeom/queries.h"
#include "spatialgeom/records.h"

namespace {

using namespace testrecords;

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// One record of each kind 1 to 6, every one with a vertex at `at` and the
// rest at `at` plus multiples of `step` along x, y and z (the polygons in
// the plane z = at.z), so that two such sets built with opposite steps
// meet at `at` alone.
std::vector<Record> everyKind(const DPoint3d& at, double step) {
    const auto off = [&](double dx, double dy, double dz) {
        return DPoint3d{at.x + dx * step, at.y + dy * step, at.z + dz * step};
    };
    const Vertices square = {at, off(1, 0, 0), off(1, 1, 0), off(0, 1, 0), at};
    return {point(at),
            line({{at, off(1, 0, 0)}}),
            polygon({{square}}),
            multiPoint({at, off(1, 1, 1)}),
            multiLine({{{at, off(0, 1, 0)}}, {{off(1, 0, 0), off(1, 1, 0)}}}),
            multiPolygon({{{square}}})};
}

// body(x, y) for every record x of one set and y of the other, in both orders.
template <typename Body>
void forEveryKindPair(const std::vector<Record>& a, const std::vector<Record>& b, Body&& body) {
    for (std::size_t i = 0; i < a.size(); ++i)
        for (std::size_t j = 0; j < b.size(); ++j) {
            SCOPED_TRACE("kinds " + std::to_string(i + 1) + "-" + std::to_string(j + 1));
            body(a[i], b[j]);
            body(b[j], a[i]);
        }
}

using Intersect = std::uint32_t (*)(const void*, const void*, double, std::uint32_t*);
const Intersect kPerKind[6] = {spatialWKB_intersectGeometryPoint,           spatialWKB_intersectGeometryLineString,
                               spatialWKB_intersectGeometryPolygon,         spatialWKB_intersectGeometryMultiPoint,
                               spatialWKB_intersectGeometryMultiLineString, spatialWKB_intersectGeometryMultiPolygon};

// The intersection's result, or 2 + status when refused; the prepared
// export must give the same, and the one for the second record's kind the
// same status and, where the answer is specified, the same answer.
std::uint32_t meets(const Record& a, const Record& b, double tolerance, bool specified = true) {
    std::uint32_t result = 7, preparedResult = 7, perKindResult = 7, type = 0;
    const std::uint32_t status = spatialWKB_intersectGeometry(a.data(), b.data(), tolerance, &result);
    EXPECT_EQ(spatialWKB_getType(b.data(), &type), SPATIAL_SUCCESS);
    EXPECT_EQ(kPerKind[type - 1](a.data(), b.data(), tolerance, &perKindResult), status);
    if (specified) {
        EXPECT_EQ(perKindResult, result) << "per kind, tolerance " << tolerance;
    }
    const Prepared prepared(a.data());
    EXPECT_EQ(prepared.status, SPATIAL_SUCCESS);
    EXPECT_EQ(spatialWKB_intersectPrepared(prepared.handle, b.data(), tolerance, &preparedResult), status);
    EXPECT_EQ(preparedResult, result) << "prepared, tolerance " << tolerance;
    return status == SPATIAL_SUCCESS ? result : 2 + status;
}

// The distance; the prepared export must give the same bits.
DistanceAnswer measure(const Record& a, const Record& b) {
    const DistanceAnswer m = statelessDistance(a.data(), b.data());
    const Prepared prepared(a.data());
    EXPECT_EQ(preparedDistance(prepared.handle, b.data()), m);
    return m;
}

bool allNaN(const DPoint3d& p) { return std::isnan(p.x) && std::isnan(p.y) && std::isnan(p.z); }

// Far apart, and farther than the largest double: +infinity meets both,
// 1e299 not the first, the largest double not the second; the distance of
// the first is finite, of the second overflows to +infinity. A line of
// one-vertex sublines has vertices but no point: it meets everything at
// +infinity only.
TEST(RuleEdges, InfiniteToleranceMeetsEverythingWithVertices) {
    const std::vector<Record> near = everyKind({0, 0, 0}, 1);
    forEveryKindPair(near, everyKind({1e300, -1e300, 1e300}, 1e299), [](const Record& x, const Record& y) {
        EXPECT_EQ(meets(x, y, kInf), 1u);
        EXPECT_EQ(meets(x, y, 1e299), 0u);
        const double d = measure(x, y).distance;
        EXPECT_TRUE(d > 1e300 && d < kInf) << d;
    });
    forEveryKindPair(near, everyKind({-DBL_MAX, -DBL_MAX, -DBL_MAX}, DBL_MAX / 4),
                     [](const Record& x, const Record& y) {
                         EXPECT_EQ(meets(x, y, kInf), 1u);
                         EXPECT_EQ(meets(x, y, DBL_MAX), 0u);
                         const DistanceAnswer m = measure(x, y);
                         EXPECT_EQ(m.status, SPATIAL_SUCCESS);
                         EXPECT_EQ(m.distance, kInf);
                     });
    const Record pointless = line({{{5, 5, 5}}, {{6, 6, 6}}});
    for (std::size_t i = 0; i < near.size(); ++i) {
        SCOPED_TRACE("kind " + std::to_string(i + 1) + " and a line without a segment");
        EXPECT_EQ(meets(near[i], pointless, kInf), 1u);
        EXPECT_EQ(meets(pointless, near[i], kInf), 1u);
        EXPECT_EQ(meets(near[i], pointless, DBL_MAX), 0u);
        const DistanceAnswer m = measure(pointless, near[i]);
        EXPECT_EQ(m.status, SPATIAL_SUCCESS);
        EXPECT_EQ(m.distance, kInf);
        EXPECT_TRUE(allNaN(m.onFirst) && allNaN(m.onSecond));
    }
}

// Coordinates of -0 are the coordinates 0: geometries at -0 and 0 meet
// at tolerance 0 and at -0, at no tolerance below 0 or NaN (an answer of 0
// with status 0), at distance 0 with the same point on each. Lifted by the
// least subnormal, they are that far apart: they meet at that tolerance
// and not at 0 (its square is 0 in floating point).
TEST(RuleEdges, NegativeZeroIsZeroAndNegativeOrNaNToleranceMeetsNothing) {
    const double tiny = std::numeric_limits<double>::denorm_min();
    const std::vector<Record> a = everyKind({-0.0, -0.0, -0.0}, 1);
    forEveryKindPair(a, everyKind({0, 0, 0}, -1), [tiny](const Record& x, const Record& y) {
        EXPECT_EQ(meets(x, y, 0.0), 1u);
        EXPECT_EQ(meets(x, y, -0.0), 1u);
        for (double below : {-tiny, -1.0, -kInf, kNaN, -kNaN}) EXPECT_EQ(meets(x, y, below), 0u) << below;
        const DistanceAnswer m = measure(x, y);
        EXPECT_EQ(m.status, SPATIAL_SUCCESS);
        EXPECT_EQ(m.distance, 0.0);
        EXPECT_TRUE(samePoint(m.onFirst, m.onSecond));
        EXPECT_TRUE(samePoint(m.onFirst, {0, 0, 0}));
    });
    forEveryKindPair(a, everyKind({0, 0, tiny}, -1), [tiny](const Record& x, const Record& y) {
        EXPECT_EQ(meets(x, y, 0.0), 0u);
        EXPECT_EQ(meets(x, y, tiny), 1u);
        EXPECT_EQ(measure(x, y).distance, tiny);
    });
}

// An infinite or NaN coordinate anywhere: status 0 and an answer of 0 or 1
// at every tolerance; the distance NaN, and NaN points.
TEST(RuleEdges, NonFiniteCoordinatesGiveStatusZeroAndNaNDistances) {
    const std::vector<Record> finite = everyKind({0, 0, 0}, 1);
    for (const DPoint3d& at : {DPoint3d{kInf, 0, 0}, DPoint3d{0, -kInf, 0}, DPoint3d{0, 0, kNaN}}) {
        SCOPED_TRACE("at " + std::to_string(at.x) + " " + std::to_string(at.y) + " " + std::to_string(at.z));
        std::vector<Record> nonFinite = everyKind(at, 1);
        // Its first vertex inside the finite square: found there, the rest
        // must still be read.
        const Vertices late = {{0.25, 0.25, 0}, {0.75, 0.25, 0}, at, {0.25, 0.75, 0}, {0.25, 0.25, 0}};
        nonFinite.push_back(polygon({{late}}));
        forEveryKindPair(nonFinite, finite, [](const Record& x, const Record& y) {
            for (double tolerance : {0.0, 1.0, kInf}) EXPECT_LE(meets(x, y, tolerance, false), 1u) << tolerance;
            const DistanceAnswer m = measure(x, y);
            EXPECT_EQ(m.status, SPATIAL_SUCCESS);
            EXPECT_TRUE(std::isnan(m.distance)) << m.distance;
            EXPECT_TRUE(allNaN(m.onFirst) && allNaN(m.onSecond));
        });
    }
}

// A polygon (found by the prepared-geometry fuzzer, read from its seed)
// whose rings off the plane of its outer ring lift to points beyond the
// largest double: its distance is refused (32768), not rounded from
// infinities; its intersections are answered.
TEST(RuleEdges, ADistanceReachingBeyondTheDoublesIsRefused) {
    std::ifstream seed(SPATIALGEOM_FUZZ_CORPUS_DIR "/prepared/lifted-hole-beyond-doubles", std::ios::binary);
    const std::vector<char> input((std::istreambuf_iterator<char>(seed)), std::istreambuf_iterator<char>());
    ASSERT_GT(input.size(), 12u);
    std::uint32_t length = 0;  // after the tolerance: the first record's length, then the record
    std::memcpy(&length, input.data() + 8, 4);
    length %= input.size() - 12 + 1;
    std::vector<std::uint64_t> record(length / 8 + 1);
    std::memcpy(record.data(), input.data() + 12, length);
    ASSERT_EQ(spatialWKB_checkRecord(record.data(), length), SPATIAL_SUCCESS);
    const Record other = point({4, 4, 0});
    double distance = 7;
    EXPECT_EQ(spatialWKB_distance(record.data(), other.data(), &distance, nullptr, nullptr), SPATIAL_FAILURE);
    EXPECT_EQ(distance, 7);
    std::uint32_t result = 7;
    EXPECT_EQ(spatialWKB_intersectGeometry(record.data(), other.data(), 0.0, &result), SPATIAL_SUCCESS);
    EXPECT_LE(result, 1u);
}

// A polygon member without rings holds no point, first or last of its
// multipolygon: the other member answers alone.
TEST(RuleEdges, APolygonWithoutRingsHoldsNoPoint) {
    const Vertices square = {{0, 0, 0}, {4, 0, 0}, {4, 4, 0}, {0, 4, 0}, {0, 0, 0}};
    for (const Record& shapes : {multiPolygon({{}, {{square}}}), multiPolygon({{{square}}, {}})}) {
        for (const auto& [other, expected] : {std::pair{point({1, 1, 0}), 1u}, std::pair{point({1, 1, 3}), 0u}}) {
            EXPECT_EQ(meets(shapes, other, 0.0), expected);
            EXPECT_EQ(meets(other, shapes, 0.0), expected);
            EXPECT_EQ(measure(shapes, other).distance, expected == 1 ? 0.0 : 3.0);
        }
    }
}

// Geometries too large for the exact reference's time: members before the
// hit hold many vertices (the hit is found wherever it is); a comb and a
// line weaving between its teeth, whose boxes overlap fully (the indexed
// search must still find the one close pair and nothing else). And a hole
// made of two sublines, one ring, which the reference cannot express. Each
// case in both argument orders, through every intersection export.
TEST(Intersect, LargeGeometriesAndSplitRings) {
    struct Case {
        std::string name;
        Record first, second;
        double tolerance;
        uint32_t expected;
        std::optional<double> missesAt = {};  // with expected 1: a smaller tolerance at which they do not meet
    };
    const auto closedSquare = [](double x0, double y0, double x1, double y1, double z) {
        return Sublines{{{x0, y0, z}, {x1, y0, z}, {x1, y1, z}, {x0, y1, z}}};
    };
    Vertices longLine, gapPoints;
    for (int i = 0; i < 500; ++i) longLine.push_back({double(i), 50.0 + (i % 2), 0});
    const Vertices longRing = ringAround(400, 30, 30, 10, 0, 1, 0, 0, 0, false);  // a circle in z = 0
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
            EXPECT_EQ(meets(*x, *y, c.tolerance), c.expected) << "tolerance " << c.tolerance;
            if (c.missesAt) {
                EXPECT_EQ(meets(*x, *y, *c.missesAt), 0u) << *c.missesAt;
            }
        }
    }
}

// The pairwise exports take their kinds in the named order only.
TEST(Intersect, PairwiseExportsTakeTheNamedOrder) {
    const Record point = testrecords::point({1, 1, 0}),
                 square = polygon({{{{0, 0, 0}, {2, 0, 0}, {2, 2, 0}, {0, 2, 0}}}});
    uint32_t result = 7;
    EXPECT_EQ(spatialWKB_intersectPointPolygon(point.data(), square.data(), 0, &result), SPATIAL_SUCCESS);
    EXPECT_EQ(result, 1u);
    result = 7;
    EXPECT_EQ(spatialWKB_intersectPointPolygon(square.data(), point.data(), 0, &result), SPATIAL_FAILURE);
    EXPECT_EQ(result, 7u);
}

}  // namespace
