// The intersection exports against the exact reference (exact_reference.h):
// first the reference itself on distances worked out by hand and against
// dense sampling, then named configurations, then a differential run over
// generated configurations that are hard for floating point (nearly
// parallel segments, shared vertices, vertices on edges, tilted rings that
// are planar only approximately, points over holes), each at tolerances at
// and one ulp around the exact distance, in both argument orders.
//
// SPATIALGEOM_EXACT_CASES=N runs about N cases instead of the default
// 20,000 (a few seconds, also under the sanitizers);
// SPATIALGEOM_EXACT_REPORT=FILE writes the summary and a few disagreements
// of each configuration class to FILE.
#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <limits>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "exact_configurations.h"
#include "exact_reference.h"
#include "spatialgeom/queries.h"
#include "spatialgeom/record_ptr.h"

namespace {

using namespace exact;
using namespace exact::cases;

using spatialgeom::RecordPtr;

// The library's answer, or -1 for a failure status.
int libraryAnswer(const void* a, const void* b, double tolerance) {
    std::uint32_t result = 7;
    if (spatialWKB_intersectGeometry(a, b, tolerance, &result) != SPATIAL_SUCCESS) return -1;
    return static_cast<int>(result);
}

void* parsed(const char* text) {
    void* record = nullptr;
    EXPECT_EQ(spatialParse_string(text, &record), 0) << text;
    return record;
}

mpq_class q(const char* text) { return mpq_class(text); }

// ---- The reference on distances worked out by hand.

const Vertices kSquare = {{0, 0, 0}, {2, 0, 0}, {2, 2, 0}, {0, 2, 0}, {0, 0, 0}};
const std::vector<Vertices> kDonut = {{{0, 0, 0}, {4, 0, 0}, {4, 4, 0}, {0, 4, 0}, {0, 0, 0}},
                                      {{1, 1, 0}, {3, 1, 0}, {3, 3, 0}, {1, 3, 0}, {1, 1, 0}}};
// Not planar: the Newell normal about (0,0,0) is (-2,-2,8), the plane
// z = (x + y) / 4; (2,0,0) and (0,2,0) lift to z = 1/2.
const Vertices kWarped = {{0, 0, 0}, {2, 0, 0}, {2, 2, 1}, {0, 2, 0}};

TEST(ExactReference, HandWorkedDistances) {
    struct Row {
        const char* what;
        RefGeometry a, b;
        mpq_class expected;
    };
    const Row rows[] = {
        {"points", point({0, 0, 0}), point({1, 2, 2}), 9},
        {"point by a segment's interior", point({0, 1, 0}), lineString({{-1, 0, 0}, {1, 0, 0}}), 1},
        {"point beyond a segment's end", point({3, 1, 0}), lineString({{-1, 0, 0}, {1, 0, 0}}), 5},
        {"skew segments", lineString({{0, 0, 0}, {2, 0, 0}}), lineString({{1, -1, 1}, {1, 1, 1}}), 1},
        {"skew segments, nearest at ends", lineString({{0, 0, 0}, {2, 0, 0}}), lineString({{3, 1, 1}, {3, 2, 1}}), 3},
        {"parallel overlapping segments", lineString({{0, 0, 0}, {2, 0, 0}}), lineString({{1, 0, 3}, {5, 0, 3}}), 9},
        {"segments crossing", lineString({{0, 0, 0}, {2, 2, 0}}), lineString({{0, 2, 0}, {2, 0, 0}}), 0},
        {"sublines are not joined",
         RefGeometry{Kind::LineString, {}, {{{0, 0, 0}, {1, 0, 0}}, {{3, 0, 0}, {4, 0, 0}}}, {}}, point({2, 0, 0}), 1},
        {"point over a square", point({1, 1, 5}), polygon({kSquare}), 25},
        {"point beside a square", point({3, 1, 1}), polygon({kSquare}), 2},
        {"point over a hole", point({2, 2, 3}), polygon(kDonut), 10},
        {"point in a hole's plane", point({2, 2, 0}), polygon(kDonut), 1},
        {"point over the solid part", point({0.5, 2, 3}), polygon(kDonut), 9},
        {"segment through a square", lineString({{1, 1, -1}, {1, 1, 1}}), polygon({kSquare}), 0},
        {"segment through a hole", lineString({{2, 2, -1}, {2, 2, 1}}), polygon(kDonut), 1},
        {"segment over a square", lineString({{-5, 1, 2}, {5, 1, 2}}), polygon({kSquare}), 4},
        {"squares in parallel planes", polygon({kSquare}),
         polygon({{{1, 1, 2}, {3, 1, 2}, {3, 3, 2}, {1, 3, 2}, {1, 1, 2}}}), 4},
        {"square through a square", polygon({kSquare}), polygon({{{1, -1, -1}, {1, 3, -1}, {1, 3, 1}, {1, -1, 1}}}), 0},
        {"square in a hole", polygon(kDonut), polygon({{{1.5, 1.5, 0}, {2.5, 1.5, 0}, {2.5, 2.5, 0}, {1.5, 2.5, 0}}}),
         q("1/4")},
        {"warped ring: lifted point of the region", point({1, 1, 0.5}), polygon({kWarped}), 0},
        {"warped ring: its own vertex", point({2, 0, 0}), polygon({kWarped}), 0},
        {"warped ring: nearest on a lifted edge", point({1, -1, 0.25}), polygon({kWarped}), 1},
        {"warped ring: nearest on its polyline", point({2, 0, 0.25}), polygon({kWarped}), q("1/20")},
        {"outer ring without area is its polyline", point({1, 1, 0}), polygon({{{0, 0, 0}, {1, 0, 0}, {2, 0, 0}}}), 1},
        {"nearest member", multiPoint({{9, 9, 9}, {2, 3, 0}}),
         multiPolygon({RefPolygon{{kSquare}}, RefPolygon{{{{10, 0, 0}, {11, 0, 0}, {11, 1, 0}}}}}), 1},
        {"member lines", multiLineString({{{0, 0, 5}, {1, 0, 5}}, {{5, 5, 1}, {6, 6, 1}}}), polygon(kDonut), 3},
    };
    for (const Row& row : rows) {
        for (bool swapped : {false, true}) {
            const auto d2 = swapped ? exactSquaredDistance(row.b, row.a) : exactSquaredDistance(row.a, row.b);
            ASSERT_TRUE(d2.has_value()) << row.what;
            EXPECT_EQ(*d2, row.expected) << row.what << (swapped ? " (swapped)" : "") << ": " << d2->get_str();
        }
    }
}

TEST(ExactReference, HoleClippingKeepsOnlyTheRegion) {
    // A warped outer ring whose lifted edge runs through a hole: the part
    // inside the hole's interior belongs to the polygon only through the
    // ring's own polyline, not through its lift.
    const RefGeometry warpedDonut =
        polygon({{{0, 0, 0}, {4, 0, 1}, {4, 4, 0}, {0, 4, 1}}, {{1, -1, 0}, {3, -1, 0}, {3, 1, 0}, {1, 1, 0}}});
    const auto d2 = exactSquaredDistance(warpedDonut, point({2, 0, 0.5}));
    ASSERT_TRUE(d2.has_value());
    // Lifted outer edge at x = 2 is in the hole; the polyline (0,0,0)-(4,0,1)
    // passes through (2,0,0.5).
    EXPECT_EQ(*d2, 0);
    const auto above = exactSquaredDistance(warpedDonut, point({2, 0, 5}));
    ASSERT_TRUE(above.has_value());
    EXPECT_GT(*above, 0);
}

TEST(ExactReference, TolerancesAndEmptyGeometries) {
    const RefGeometry lone = lineString({{1, 1, 1}});
    EXPECT_FALSE(exactSquaredDistance(lone, point({1, 1, 1})).has_value());
    EXPECT_FALSE(exactlyMeets(lone, point({1, 1, 1}), 1e300));
    EXPECT_TRUE(exactlyMeets(lone, point({1, 1, 1}), kInf));
    const std::optional<mpq_class> one = mpq_class(1), none = mpq_class(0);
    EXPECT_TRUE(meetsAt(one, 1.0));
    EXPECT_FALSE(meetsAt(one, std::nextafter(1.0, 0.0)));
    EXPECT_TRUE(meetsAt(one, kInf));
    EXPECT_FALSE(meetsAt(none, -1e-300));
    EXPECT_FALSE(meetsAt(none, kNaN));
    EXPECT_TRUE(meetsAt(none, -0.0));  // -0 >= 0
    EXPECT_TRUE(meetsAt(mpq_class(2), roundedSqrt(2)) == (mpq_class(roundedSqrt(2)) * roundedSqrt(2) >= 2));
    for (double v : {2.0, 1e-300, 3e250, 0.1, 1e-320}) {
        const double r = roundedSqrt(mpq_class(v) * v);
        EXPECT_EQ(r, v) << v;
    }
    EXPECT_EQ(roundedSqrt(2), std::sqrt(2.0));
}

// ---- The reference against dense sampling, on triangles and quads that
// are rotated in double (so not exactly planar), segments and points.
// Sampled distances are distances of actual points, so never below the
// exact one; with fine sampling they are close above it.

double sampledDistance(const std::vector<DPoint3d>& a, const std::vector<DPoint3d>& b) {
    double best = kInf;
    for (const DPoint3d& p : a)
        for (const DPoint3d& q : b) best = std::min(best, dotD(sub(p, q), sub(p, q)));
    return std::sqrt(best);
}

void sampleSegment(DPoint3d a, DPoint3d b, int n, std::vector<DPoint3d>& out) {
    for (int i = 0; i <= n; ++i) out.push_back(add(a, mul(double(i) / n, sub(b, a))));
}

TEST(ExactReference, AgreesWithDenseSampling) {
    Rng rng{20240611};
    for (int round = 0; round < 40; ++round) {
        // A convex ring about the frame's origin, rotated in double.
        const Frame f = rotatedFrame(rng, rng.range(0.5, 2), rng.inBox(1));
        Vertices ring;
        const int corners = 3 + rng.below(2);
        for (int i = 0; i < corners; ++i) {
            const double angle = 6.283185307179586 * (i + rng.range(0, 0.5)) / corners;
            ring.push_back(f.at(std::cos(angle), std::sin(angle), rng.range(-0.05, 0.05)));
        }
        // Its region sampled as a fan of its vertices lifted on the plane
        // (computed here in double), plus its polyline.
        const RefGeometry poly = polygon({ring});
        const DPoint3d n = [&] {
            DPoint3d s{0, 0, 0};
            for (std::size_t i = 1; i + 1 < ring.size(); ++i)
                s = add(s, crossD(sub(ring[i], ring[0]), sub(ring[i + 1], ring[0])));
            return s;
        }();
        const int k = std::fabs(n.x) >= std::fabs(n.y) && std::fabs(n.x) >= std::fabs(n.z) ? 0
                      : std::fabs(n.y) >= std::fabs(n.z)                                   ? 1
                                                                                           : 2;
        auto liftD = [&](DPoint3d v) {
            double* c = &v.x;
            const double* nc = &n.x;
            const double* o = &ring[0].x;
            double rest = 0;
            for (int j = 0; j < 3; ++j)
                if (j != k) rest += nc[j] * (c[j] - o[j]);
            c[k] = o[k] - rest / nc[k];
            return v;
        };
        std::vector<DPoint3d> polySamples;
        constexpr int kSteps = 60;
        for (std::size_t t = 1; t + 1 < ring.size(); ++t) {
            const DPoint3d a = liftD(ring[0]), b = liftD(ring[t]), c = liftD(ring[t + 1]);
            for (int i = 0; i <= kSteps; ++i)
                for (int j = 0; i + j <= kSteps; ++j)
                    polySamples.push_back(
                        add(a, add(mul(double(i) / kSteps, sub(b, a)), mul(double(j) / kSteps, sub(c, a)))));
        }
        for (std::size_t i = 0; i < ring.size(); ++i)
            sampleSegment(ring[i], ring[(i + 1) % ring.size()], kSteps, polySamples);

        const DPoint3d p = rng.inBox(2.5), e = rng.inBox(2.5);
        std::vector<DPoint3d> segSamples;
        sampleSegment(p, e, 400, segSamples);
        const double step = 4.0 * 2.5 / kSteps;  // coarser than either sampling's spacing
        for (const auto& [other, samples] :
             {std::pair{point(p), std::vector<DPoint3d>{p}}, std::pair{lineString({p, e}), segSamples}}) {
            const auto d2 = exactSquaredDistance(poly, other);
            ASSERT_TRUE(d2.has_value());
            const double exactD = std::sqrt(d2->get_d());
            const double sampled = sampledDistance(polySamples, samples);
            EXPECT_LE(exactD, sampled + 1e-9) << toWkt(poly) << " " << toWkt(other);
            EXPECT_GE(exactD, sampled - step) << toWkt(poly) << " " << toWkt(other);
        }
    }
}

// ---- Named configurations: each must meet, in both orders.

TEST(ExactAnswers, NamedConfigurationsMeet) {
    struct Row {
        const char* a;
        const char* b;
        double tolerance;
        RefGeometry ra, rb;
    };
    const Row rows[] = {
        // Crossing at (5,0,0): the second segment's ends are symmetric about it.
        {"LINESTRING(0 0 0,10 0 0)", "LINESTRING(0 0.0000001 0,10 -0.0000001 0)", 0,
         lineString({{0, 0, 0}, {10, 0, 0}}), lineString({{0, 0.0000001, 0}, {10, -0.0000001, 0}})},
        {"LINESTRING(1 2 3,11 13 17)", "LINESTRING(1 2.0000001 3,11 12.9999999 17)", 5e-8,
         lineString({{1, 2, 3}, {11, 13, 17}}), lineString({{1, 2.0000001, 3}, {11, 12.9999999, 17}})},
        // The point is the polygon's own vertex; the ring is tilted and not
        // exactly planar.
        {"POINT(0 10 1.1)", "POLYGON((0 0 0.1,10 0 3.1,10 10 4.1,0 10 1.1,0 0 0.1))", 0, point({0, 10, 1.1}),
         polygon({{{0, 0, 0.1}, {10, 0, 3.1}, {10, 10, 4.1}, {0, 10, 1.1}, {0, 0, 0.1}}})},
        // Two such polygons sharing one vertex.
        {"POLYGON((0 0 0.1,10 0 3.1,10 10 4.1,0 10 1.1,0 0 0.1))",
         "POLYGON((0 10 1.1,-7.3 10 2.7,-7.3 19.9 0.3,0 19.9 3.7,0 10 1.1))", 0,
         polygon({{{0, 0, 0.1}, {10, 0, 3.1}, {10, 10, 4.1}, {0, 10, 1.1}, {0, 0, 0.1}}}),
         polygon({{{0, 10, 1.1}, {-7.3, 10, 2.7}, {-7.3, 19.9, 0.3}, {0, 19.9, 3.7}, {0, 10, 1.1}}})},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.a) + " / " + row.b);
        EXPECT_EQ(exactSquaredDistance(row.ra, row.rb), mpq_class(0));
        EXPECT_TRUE(exactlyMeets(row.ra, row.rb, row.tolerance));
        const RecordPtr a(parsed(row.a)), b(parsed(row.b));
        const RecordPtr builtA(buildRecord(row.ra)), builtB(buildRecord(row.rb));
        ASSERT_TRUE(a.get() && b.get() && builtA.get() && builtB.get());
        EXPECT_EQ(libraryAnswer(a.get(), b.get(), row.tolerance), 1);
        EXPECT_EQ(libraryAnswer(b.get(), a.get(), row.tolerance), 1);
        EXPECT_EQ(libraryAnswer(builtA.get(), builtB.get(), row.tolerance), 1);
        EXPECT_EQ(libraryAnswer(builtB.get(), builtA.get(), row.tolerance), 1);
    }
}

// Configurations found by the generated runs and the fuzz target: a
// polygon whose rings are not planar, with the nearest point of its region
// on a lifted edge, beyond the box of its stored vertices. Alone, the other
// geometry's box lies farther than the tolerance and the boxes' test
// answers "no" first; with a far point added to its box (a multipoint), the
// distance decides. Checked at the rounded distance and one ulp either side,
// with the distance itself and its points.
TEST(ExactAnswers, RegionBeyondTheVertexBox) {
    const RefGeometry byLiftedEdge = polygon({{{0, 0, 0}, {0, 10, 0}, {10, 1, 0}, {3.1, 0, -1}}});
    const RefGeometry footOnEdge = polygon({{{4096, 4096, 4096},
                                             {12288, 4096, 4096},
                                             {4096.0000000000009, 12287.999999999998, 4096.0000000000009},
                                             {4.9406564584124654e-324, 12288.000000000002, 0}}});
    const RefGeometry triangle = polygon({{{2.3638324826962966, -2.1272335034607406, -3.3772335034607406},
                                           {3.1360691511299188, 0.52721383022598367, -2.3477861697740163},
                                           {3.1873673812993628, -4.1625265237401274, -6.4125265237401274},
                                           {2.3638324826962966, -2.1272335034607406, -3.3772335034607406}}});
    const RefGeometry warped = polygon({{{3.8809975797668148, -5.0976896449309193, -6.7505407241769957},
                                         {3.8521675171355318, -1.9034556574571759, -4.5563067367032524},
                                         {4.105771034404631, -4.0527349540033564, -7.7055860332494328},
                                         {5.910504898831574, -6.8917881811179678, -9.5446392603640433},
                                         {3.8809975797668148, -5.0976896449309193, -6.7505407241769957}}});
    struct Row {
        const char* what;
        RefGeometry a, b;
        bool boxesApart;
    };
    const Row rows[] = {
        {"point by a lifted edge", byLiftedEdge, point({0, 0, 1}), true},
        {"the same point, and one far below", byLiftedEdge, multiPoint({{0, 0, 1}, {0, 0, -9}}), false},
        {"point over the region, foot on an edge", footOnEdge, point({8192, 4096, 8192}), true},
        {"the same point, and one far below", footOnEdge, multiPoint({{8192, 4096, 8192}, {8192, 4096, -9e4}}), false},
        {"triangle through a warped region", triangle, warped, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const std::optional<mpq_class> d2 = exactSquaredDistance(row.a, row.b);
        ASSERT_TRUE(d2.has_value());
        const RecordPtr a(buildRecord(row.a)), b(buildRecord(row.b));
        const double d = roundedSqrt(*d2);
        // The distance export: the exact distance rounded upwards, its
        // points in the region.
        double distance = -1;
        DPoint3d onA{}, onB{};
        ASSERT_EQ(spatialWKB_distance(a.get(), b.get(), &distance, &onA, &onB), SPATIAL_SUCCESS);
        const auto sq = [](double x) -> mpq_class { return mpq_class(x) * mpq_class(x); };
        EXPECT_TRUE(sq(distance) >= *d2 && (distance == 0 || sq(std::nextafter(distance, 0.0)) < *d2)) << distance;
        double largest = 1;  // the points lie within rounding of the coordinates
        for (const RefPolygon& polygon : row.a.polygons)
            for (const Vertices& ring : polygon.rings)
                for (const DPoint3d& v : ring)
                    largest = std::max({largest, std::fabs(v.x), std::fabs(v.y), std::fabs(v.z)});
        EXPECT_LE(std::sqrt(exactSquaredDistance(point(onA), row.a)->get_d()), 1e-14 * largest);
        EXPECT_LE(std::sqrt(exactSquaredDistance(point(onB), row.b)->get_d()), 1e-14 * largest);
        for (double t : {d, std::nextafter(d, kInf), std::nextafter(d, 0.0)}) {
            const Owed owed = owedAnswer(row.a, row.b, d2, t);
            EXPECT_EQ(owed == Owed::no, row.boxesApart || !meetsAt(d2, t)) << "tolerance " << t;
            ASSERT_NE(owed, Owed::either);
            EXPECT_EQ(libraryAnswer(a.get(), b.get(), t), int(owed == Owed::yes)) << "tolerance " << t;
            EXPECT_EQ(libraryAnswer(b.get(), a.get(), t), int(owed == Owed::yes)) << "tolerance " << t;
        }
    }
}

struct Disagreement {
    std::string variant, a, b;
    double tolerance;
    int library;
    bool reference;
    double squaredDistance;
};

struct Tally {
    long cases = 0, disagreements = 0;
    std::map<std::string, long> byVariant, shown;
    std::vector<Disagreement> examples;
};

std::string describe(const char* cls, const Disagreement& d) {
    char buffer[128];
    std::snprintf(buffer, sizeof buffer, "  tolerance %.17g: library %d, exact %d (squared distance %.17g)\n",
                  d.tolerance, d.library, int(d.reference), d.squaredDistance);
    return std::string("[") + cls + " / " + d.variant + "]\n  A: " + d.a + "\n  B: " + d.b + "\n" + buffer;
}

// Tolerances at the rounded distance and one ulp either side, 0, and now
// and then the special values.
std::vector<double> tolerancesFor(Rng& rng, const std::optional<mpq_class>& d2) {
    std::vector<double> candidates{0.0};
    if (d2) {
        const double d = roundedSqrt(*d2);
        candidates.insert(candidates.end(), {d, std::nextafter(d, kInf), std::nextafter(d, 0.0)});
    }
    if (rng.chance(3)) {
        const double special[] = {-0.0, kNaN, kInf, -1.0, std::numeric_limits<double>::denorm_min()};
        candidates.push_back(special[rng.below(5)]);
    }
    std::vector<double> out;
    for (double t : candidates) {
        const bool seen = std::any_of(out.begin(), out.end(), [t](double u) {
            return (u == t && std::signbit(u) == std::signbit(t)) || (std::isnan(u) && std::isnan(t));
        });
        if (!seen) out.push_back(t);
    }
    return out;
}

// The reference is symmetric, and the records are of the models' kinds.
TEST(ExactReference, SymmetricOnGeneratedPairs) {
    Rng rng{99};
    for (const ConfigurationClass& cls : configurationClasses()) {
        for (int i = 0; i < 25; ++i) {
            const Pair pair = cls.generate(rng);
            EXPECT_EQ(exactSquaredDistance(pair.a, pair.b), exactSquaredDistance(pair.b, pair.a))
                << cls.name << ": " << toWkt(pair.a) << " " << toWkt(pair.b);
            for (const RefGeometry* g : {&pair.a, &pair.b}) {
                const RecordPtr record(buildRecord(*g));
                std::uint32_t type = 0;
                ASSERT_EQ(spatialWKB_getType(record.get(), &type), SPATIAL_SUCCESS);
                EXPECT_EQ(type, static_cast<std::uint32_t>(g->kind));
            }
        }
    }
}

TEST(ExactAnswers, LibraryAgreesWithTheExactReference) {
    const std::vector<ConfigurationClass>& classes = configurationClasses();
    // About this many cases (library calls); SPATIALGEOM_EXACT_CASES=N for
    // a longer run.
    long cases = 20000;
    if (const char* requested = std::getenv("SPATIALGEOM_EXACT_CASES")) cases = std::max(1L, std::atol(requested));
    std::map<std::string, Tally> tallies;
    long run = 0, disagreements = 0;
    std::uint64_t seed = 1;
    // Processor time of this thread, which other loads on the machine do not inflate.
    struct Clock {
        using duration = std::chrono::nanoseconds;
        using time_point = std::chrono::time_point<Clock, duration>;
        static time_point now() {
            timespec ts{};
            clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
            return time_point(duration(std::int64_t(ts.tv_sec) * 1000000000 + ts.tv_nsec));
        }
    };
    std::chrono::duration<double> referenceTime{0}, libraryTime{0};
    for (const ConfigurationClass& cls : classes) {
        Tally& tally = tallies[cls.name];
        Rng rng{seed++ * 0x5851F42D4C957F2Dull};
        while (tally.cases * 100 < cases * cls.share) {
            const Pair pair = cls.generate(rng);
            const RecordPtr a(buildRecord(pair.a)), b(buildRecord(pair.b));
            ASSERT_TRUE(a.get() && b.get()) << toWkt(pair.a) << " " << toWkt(pair.b);
            const auto start = Clock::now();
            const std::optional<mpq_class> d2 = exactSquaredDistance(pair.a, pair.b);
            referenceTime += Clock::now() - start;
            bool pairShown = false;
            for (double t : tolerancesFor(rng, d2)) {
                const Owed owed = owedAnswer(pair.a, pair.b, d2, t);
                const bool expected = owed == Owed::yes;
                for (bool swapped : {false, true}) {
                    const auto asked = Clock::now();
                    const int got = swapped ? libraryAnswer(b.get(), a.get(), t) : libraryAnswer(a.get(), b.get(), t);
                    libraryTime += Clock::now() - asked;
                    ++tally.cases;
                    if (got == int(expected) || (owed == Owed::either && got >= 0)) continue;
                    ++tally.disagreements;
                    // Examples: the first disagreement of a pair, two of each variant.
                    ++tally.byVariant[pair.variant];
                    if (!pairShown && tally.shown[pair.variant]++ < 2 && tally.examples.size() < 12)
                        tally.examples.push_back({pair.variant, toWkt(swapped ? pair.b : pair.a),
                                                  toWkt(swapped ? pair.a : pair.b), t, got, expected,
                                                  d2 ? d2->get_d() : kInf});
                    pairShown = true;
                }
            }
        }
        run += tally.cases;
        disagreements += tally.disagreements;
    }

    std::string summary, details;
    for (const ConfigurationClass& cls : classes) {
        const Tally& t = tallies[cls.name];
        char line[160];
        std::snprintf(line, sizeof line, "%-32s %7ld cases %6ld disagreements (%.3f%%)\n", cls.name, t.cases,
                      t.disagreements, 100.0 * double(t.disagreements) / double(t.cases));
        summary += line;
        for (const auto& [variant, n] : t.byVariant) {
            std::snprintf(line, sizeof line, "    %-44s %6ld\n", variant.c_str(), n);
            summary += line;
        }
        for (const Disagreement& d : t.examples) details += describe(cls.name, d);
    }
    std::printf("exact answers: %ld cases, %ld disagreements (processor time: reference %.2f s, library %.2f s)\n%s",
                run, disagreements, referenceTime.count(), libraryTime.count(), summary.c_str());
    RecordProperty("cases", std::to_string(run));
    RecordProperty("disagreements", std::to_string(disagreements));
    if (const char* path = std::getenv("SPATIALGEOM_EXACT_REPORT")) {
        if (FILE* out = std::fopen(path, "w")) {
            std::fprintf(out, "%ld cases, %ld disagreements\n%s\n%s", run, disagreements, summary.c_str(),
                         details.c_str());
            std::fclose(out);
        }
    }
    EXPECT_EQ(disagreements, 0) << "first disagreements of each class:\n" << details;
}

// A ring in a plane of constant coordinate projects along that axis even
// when its coordinates are so small that Newell's sum underflows to zero in
// double precision (the tie rule alone would pick x and leave no region).
TEST(ExactAnswers, RingInAPlaneOfConstantCoordinateKeepsItsRegionAtAnyScale) {
    const double side = 0x1p-1040, gap = 0x1p-1070;
    for (int axis = 0; axis < 3; ++axis) {
        // Corners (0,0), (side,0), (side,side), (0,side) in the two other
        // coordinates, the axis's own coordinate fixed at 3 * side.
        const auto at = [&](double u, double v, double along) {
            double c[3];
            c[axis] = along;
            c[(axis + 1) % 3] = u;
            c[(axis + 2) % 3] = v;
            return DPoint3d{c[0], c[1], c[2]};
        };
        const RefGeometry square = polygon({{at(0, 0, 3 * side), at(side, 0, 3 * side), at(side, side, 3 * side),
                                             at(0, side, 3 * side), at(0, 0, 3 * side)}});
        const RecordPtr record(buildRecord(square));
        ASSERT_TRUE(record.get());
        for (double offset : {0.0, gap}) {
            SCOPED_TRACE("axis " + std::to_string(axis) + (offset == 0 ? ", in the plane" : ", off the plane"));
            const RefGeometry inside = point(at(side / 2, side / 2, 3 * side + offset));
            const RecordPtr probe(buildRecord(inside));
            ASSERT_TRUE(probe.get());
            EXPECT_EQ(exactSquaredDistance(square, inside), mpq_class(offset) * offset);
            for (double tolerance : {0.0, gap}) {
                const int owed = exactlyMeets(square, inside, tolerance) ? 1 : 0;
                EXPECT_EQ(libraryAnswer(record.get(), probe.get(), tolerance), owed);
                EXPECT_EQ(libraryAnswer(probe.get(), record.get(), tolerance), owed);
            }
            double distance = -1;
            ASSERT_EQ(spatialWKB_distance(record.get(), probe.get(), &distance, nullptr, nullptr), 0u);
            EXPECT_EQ(distance, offset);
        }
    }
}

}  // namespace
