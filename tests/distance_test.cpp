// The distance export against the exact reference (exact_reference.h) on
// the generated configurations of exact_configurations.h (every kind pair
// among them): the value must be the exact distance rounded upwards (so
// within 4 ulps of it), the same in both argument orders; the points must
// lie on their geometries and be that far apart, within a few ulps of the
// coordinates' magnitude; the intersection export must agree at the value
// and one ulp either side. Then a few worked cases. (Statuses:
// intersection_cases_test.)
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <map>
#include <string>

#include <gtest/gtest.h>

#include "exact_configurations.h"
#include "exact_reference.h"
#include "record_test_builder.h"
#include "spatialgeom/queries.h"
#include "spatialgeom/record_ptr.h"

namespace {

using namespace exact;
using namespace exact::cases;

using spatialgeom::RecordPtr;

// Ulps between two non-negative doubles.
std::uint64_t ulpsApart(double a, double b) {
    const std::uint64_t x = std::bit_cast<std::uint64_t>(a), y = std::bit_cast<std::uint64_t>(b);
    return x > y ? x - y : y - x;
}

double largestCoordinate(const RefGeometry& g) {
    double m = 0;
    const auto add = [&](const Vertices& v) {
        for (const DPoint3d& p : v) m = std::max({m, std::fabs(p.x), std::fabs(p.y), std::fabs(p.z)});
    };
    add(g.points);
    for (const Vertices& s : g.sublines) add(s);
    for (const RefPolygon& p : g.polygons)
        for (const Vertices& r : p.rings) add(r);
    return m;
}

mpq_class squared(double d) {
    const mpq_class q(d);
    return q * q;
}

struct Failures {
    std::map<std::string, long> byCheck;
    std::string examples;
    void note(const std::string& check, const Pair& pair, const std::string& detail) {
        if (byCheck[check]++ < 2 && examples.size() < 6000)
            examples += check + " [" + pair.variant + "]\n  A: " + toWkt(pair.a) + "\n  B: " + toWkt(pair.b) + "\n  " +
                        detail + "\n";
    }
};

TEST(Distance, AgreesWithTheExactReference) {
    long perClass = 120;
    if (const char* requested = std::getenv("SPATIALGEOM_DISTANCE_CASES"))
        perClass = std::max(1L, std::atol(requested));
    Failures failures;
    long cases = 0;
    std::map<std::pair<int, int>, long> kindPairs;
    std::uint64_t seed = 7;
    for (const ConfigurationClass& cls : configurationClasses()) {
        Rng rng{seed++ * 0x9E3779B97F4A7C15ull};
        // (The random grid geometries, of every kind, also cover the kind
        // pairs the named classes leave out.)
        const long runs = std::string(cls.name) == "random grid geometries" ? 4 * perClass : perClass;
        for (long i = 0; i < runs; ++i) {
            const Pair pair = cls.generate(rng);
            const std::optional<mpq_class> d2 = exactSquaredDistance(pair.a, pair.b);
            if (!d2) continue;  // an empty geometry: the records are refused anyway
            const RecordPtr a(buildRecord(pair.a)), b(buildRecord(pair.b));
            ASSERT_TRUE(a.get() && b.get());
            ++cases;
            ++kindPairs[{std::min(int(pair.a.kind), int(pair.b.kind)), std::max(int(pair.a.kind), int(pair.b.kind))}];
            double d = -1, back = -1;
            DPoint3d onA{}, onB{};
            ASSERT_EQ(spatialWKB_distance(a.get(), b.get(), &d, &onA, &onB), SPATIAL_SUCCESS);
            ASSERT_EQ(spatialWKB_distance(b.get(), a.get(), &back, nullptr, nullptr), SPATIAL_SUCCESS);
            const double rounded = roundedSqrt(*d2);
            char detail[200];
            std::snprintf(detail, sizeof detail, "distance %.17g, exact about %.17g", d, rounded);
            if (ulpsApart(d, rounded) > 4) failures.note("beyond 4 ulps", pair, detail);
            // Rounded upwards: d^2 >= d2 > (previous double)^2.
            if (squared(d) < *d2 || (d > 0 && squared(std::nextafter(d, 0.0)) >= *d2))
                failures.note("not the upward rounding", pair, detail);
            if (back != d) failures.note("not symmetric", pair, detail);

            // The points: on their geometries and that far apart, within
            // a few ulps of the coordinates' magnitude.
            const double slack = 32 * std::numeric_limits<double>::epsilon() *
                                 std::max(largestCoordinate(pair.a), largestCoordinate(pair.b));
            const auto finitePoint = [](const DPoint3d& p) {
                return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
            };
            if (!finitePoint(onA) || !finitePoint(onB)) {
                failures.note("point not finite", pair, detail);
                continue;
            }
            const std::optional<mpq_class> offA = exactSquaredDistance(point(onA), pair.a),
                                           offB = exactSquaredDistance(point(onB), pair.b);
            if (!offA || !offB || *offA > squared(slack) || *offB > squared(slack)) {
                std::snprintf(detail, sizeof detail, "points (%.17g %.17g %.17g) (%.17g %.17g %.17g) off by %g, %g",
                              onA.x, onA.y, onA.z, onB.x, onB.y, onB.z, offA ? std::sqrt(offA->get_d()) : -1.0,
                              offB ? std::sqrt(offB->get_d()) : -1.0);
                failures.note("point off its geometry", pair, detail);
            }
            const double apart =
                std::sqrt(std::pow(onA.x - onB.x, 2) + std::pow(onA.y - onB.y, 2) + std::pow(onA.z - onB.z, 2));
            if (std::fabs(apart - d) > slack) {
                std::snprintf(detail, sizeof detail, "points %.17g apart, distance %.17g", apart, d);
                failures.note("points not at the distance", pair, detail);
            }
            if (d == 0 && !(onA.x == onB.x && onA.y == onB.y && onA.z == onB.z))
                failures.note("meeting without a common point", pair, "");

            // The intersection export at the distance and one ulp around it.
            for (double t : {d, std::nextafter(d, 0.0), std::nextafter(d, INFINITY)}) {
                const Owed owed = owedAnswer(pair.a, pair.b, d2, t);
                std::uint32_t meets = 7;
                ASSERT_EQ(spatialWKB_intersectGeometry(a.get(), b.get(), t, &meets), SPATIAL_SUCCESS);
                if (owed != Owed::either && int(meets) != int(owed == Owed::yes)) {
                    std::snprintf(detail, sizeof detail, "tolerance %.17g: intersects %u, distance %.17g", t, meets, d);
                    failures.note("intersection disagrees", pair, detail);
                }
                // The distance decides the exact meeting (the boxes' test aside).
                if (meetsAt(d2, t) != (t >= d)) failures.note("distance and exact meeting disagree", pair, detail);
            }
        }
    }
    std::string summary;
    for (const auto& [check, n] : failures.byCheck) summary += "  " + check + ": " + std::to_string(n) + "\n";
    std::printf("distance: %ld cases, %zu kind pairs\n%s", cases, kindPairs.size(), summary.c_str());
    EXPECT_TRUE(failures.byCheck.empty()) << summary << failures.examples;
    EXPECT_EQ(kindPairs.size(), 21u);
    for (int i = 1; i <= 6; ++i)
        for (int j = i; j <= 6; ++j) {
            const long seen = kindPairs[std::pair(i, j)];
            EXPECT_GT(seen, 0) << "kinds " << i << " and " << j;
        }
}

// A warped polygon whose plane is known only coarsely (features of 1e-7
// on a ring of size 5): the nearest point lies on a lifted edge, whose
// computed ends are far from the exact ones (found by the fuzz target).
TEST(Distance, PointsOnCoarselyLiftedEdges) {
    const RefGeometry a = multiPoint({{1e-7, 7, 0}});
    const RefGeometry b = polygon({{{0, 1e-7, 2}, {0, 0, 0}, {2.0000001, 5, 5}, {0, 0, 1e-7}, {0, 0, 0}, {0, 0, 0}}});
    const RecordPtr ra(buildRecord(a)), rb(buildRecord(b));
    double d = -1;
    DPoint3d onA{}, onB{};
    ASSERT_EQ(spatialWKB_distance(ra.get(), rb.get(), &d, &onA, &onB), SPATIAL_SUCCESS);
    const mpq_class d2 = *exactSquaredDistance(a, b);
    EXPECT_TRUE(squared(d) >= d2 && squared(std::nextafter(d, 0.0)) < d2) << d;
    EXPECT_LE(std::sqrt(exactSquaredDistance(point(onB), b)->get_d()), 1e-14);
    EXPECT_EQ(onA.y, 7);
}

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

// Nearly parallel segments whose floating-point closest points lie far
// from the exact ones: another pair looks nearest, and the points must
// still come from the pair at the distance.
TEST(Distance, PointsOfANearlyParallelPairThatLooksFarther) {
    const double e = 0x1p-40;  // about 9.1e-13
    const RefGeometry a = multiLineString({{{7, 1e-7, 0}, {0, 0, 0}, {0, 2, 6.5}}});
    const RefGeometry b = lineString({{0.1, e, e}, {e, e, e}});
    const RecordPtr ra(buildRecord(a)), rb(buildRecord(b));
    double d = -1;
    DPoint3d onA{}, onB{};
    ASSERT_EQ(spatialWKB_distance(ra.get(), rb.get(), &d, &onA, &onB), SPATIAL_SUCCESS);
    EXPECT_EQ(squared(d) >= *exactSquaredDistance(a, b), true);
    EXPECT_LT(d, 1.01 * e);  // not the vertex pair, about 1.2 e apart
    const double apart =
        std::sqrt(std::pow(onA.x - onB.x, 2) + std::pow(onA.y - onB.y, 2) + std::pow(onA.z - onB.z, 2));
    EXPECT_NEAR(apart, d, 32 * std::numeric_limits<double>::epsilon() * 7);
    EXPECT_GT(onA.x, 1e-5);  // near x = e * 7e7, where the lines come closest
}

}  // namespace
