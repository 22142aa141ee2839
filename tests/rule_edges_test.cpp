// The documented rules at the edges of the intersection and distance
// exports, one test per rule, each over every pair of kinds in both orders;
// the prepared and per-kind exports answer as the stateless ones throughout.
#include <cfloat>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "prepared_owner.h"
#include "record_test_builder.h"
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
// the first is finite, of the second overflows to +infinity. A line of one-vertex sublines has vertices but no point:
// it meets everything at +infinity only.
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

}  // namespace
