// Prepared polygons: the same answers from edge scans and from the grid;
// how rarely the rational path runs on workloads like the benchmarks';
// coordinates that are not finite; places off the boundary and an
// underflowing normal against the exact reference. (Contacts on or one ulp
// beside a vertex, an edge, the plane or a hole: exact_answers_test.)
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>
#include <random>
#include <utility>
#include <vector>

#include <gmpxx.h>
#include <gtest/gtest.h>

#include "queries/call_scratch.h"
#include "queries/filter_bounds.h"
#include "queries/flat_point_distance.h"
#include "queries/prepared_polygon.h"
#include "queries/record_range.h"
#include "records/navigation.h"
#include "spatialgeom/queries.h"
#include "tests/exact_reference.h"
#include "tests/record_test_builder.h"
#include "tests/ring_around.h"

namespace {

using spatialgeom::PreparedPolygon;
using spatialgeom::kernel::Segment3d;
using testrecords::Vertices;

const spatialgeom::Byte* ringsOf(const testrecords::Record& polygon) {
    return spatialgeom::polygonBody(static_cast<const spatialgeom::Byte*>(polygon.data()));
}

// A polygon record of the rings (outer first), each ring one subline.
testrecords::Record polygonRecord(const std::vector<Vertices>& rings) {
    testrecords::SublineSeqs seqs;
    for (const Vertices& ring : rings) seqs.push_back({ring});
    return testrecords::polygon(seqs);
}

// A wavy ring (not closed) around (cx, cy) of n vertices in the plane
// z = a (x - cx) + b (y - cy) + c, as computed (a = b = 0: flat).
Vertices wavyRing(double cx, double cy, double radius, int n, double a, double b, double c, bool clockwise = false) {
    return testrecords::ringAround(n, cx, cy, radius, 0.1, clockwise ? -1 : 1, a, b, c, false);
}

// A square ring along the axes in z = 0 from (x, y), of the side given.
Vertices square(double x, double y, double side, bool clockwise) {
    Vertices ring = {{x, y, 0}, {x + side, y, 0}, {x + side, y + side, 0}, {x, y + side, 0}};
    if (clockwise) std::reverse(ring.begin(), ring.end());
    return ring;
}

// The rational reference's places of points against rings (not closed):
// on a ring, and in the polygon (its boundary included).
struct ReferencePlaces {
    explicit ReferencePlaces(std::vector<Vertices> rings) : polygon(exact::polygon(rings)) {
        for (Vertices& ring : rings) ring.push_back(ring.front());
        boundary = exact::multiLineString(rings);
    }
    bool onRing(const DPoint3d& p) const { return sgn(*exact::exactSquaredDistance(exact::point(p), boundary)) == 0; }
    bool meets(const DPoint3d& p) const { return sgn(*exact::exactSquaredDistance(exact::point(p), polygon)) == 0; }

    exact::RefGeometry polygon, boundary;
};

// Segments and polygons on workloads like the benchmarks', a polygon with
// a hole in planes flat, tilted and steep: a polygon used for many queries
// (which indexes its edges on the way) answers as one used once (edge
// scans), and it seldom decides in rational arithmetic. The partners are
// its neighbours in its plane, an annulus around it and small polygons
// crossing its plane inside it, across its hole and its outer ring, and
// outside it.
TEST(PreparedPolygon, ScanAndGridAgreeAndRarelyTakeTheRationalPath) {
    constexpr double cx = 500000.0, cy = 300000.0, radius = 1000.0;
    std::mt19937 random(20261206);
    std::uniform_real_distribution<double> offset(-1.1 * radius, 1.1 * radius), unit(-1.0, 1.0);
    const auto run = [&](const char* what, double a, double b) {
        long tests = 0, meets = 0;
        std::uint64_t exact = 0;
        const auto height = [&](double x, double y) { return a * (x - cx) + b * (y - cy) + 100.0; };
        const double hx = cx + 0.3 * radius, hy = cy + 0.2 * radius;
        const testrecords::Record wavy =
            polygonRecord({wavyRing(cx, cy, radius, 1000, a, b, 100.0),
                           wavyRing(hx, hy, 0.3 * radius, 100, a, b, height(hx, hy), true)});
        std::vector<testrecords::Record> partners = {
            polygonRecord({wavyRing(cx, cy, 2 * radius, 500, a, b, 100.0),
                           wavyRing(cx, cy, 1.12 * radius, 500, a, b, 100.0, true)}),
            polygonRecord({wavyRing(cx + radius, cy + 300, radius, 1000, a, b, height(cx + radius, cy + 300))})};
        for (double dx : {0.0, 0.3, 0.95, 1.05, 2.0})
            partners.push_back(polygonRecord(
                {wavyRing(cx + dx * radius, cy, 0.1 * radius, 12, -a, 0.5 - b, height(cx + dx * radius, cy) + 0.3)}));
        for (double tolerance : {0.0, 0.5}) {
            const spatialgeom::ScratchScope scratch;
            PreparedPolygon polygon(ringsOf(wavy), tolerance);
            // The long-lived polygon's answer, its rational decisions
            // counted, compared (when asked) with a polygon's used once.
            const auto ask = [&](const auto& query, bool compare) {
                const std::uint64_t before = spatialgeom::filter::exactDecisions.load();
                const bool answer = query(polygon);
                exact += spatialgeom::filter::exactDecisions.load() - before;
                if (compare) {
                    PreparedPolygon fresh(ringsOf(wavy), tolerance);
                    EXPECT_EQ(query(fresh), answer) << what << ", tolerance " << tolerance << ", test " << tests;
                }
                ++tests;
                meets += answer;
            };
            for (int i = 0; i < 2000; ++i) {
                // Points of the plane (as computed) and just off it, segments
                // through it, chains along it.
                const double x = cx + offset(random), y = cy + offset(random), z = height(x, y);
                const DPoint3d p{x, y, z};
                const Segment3d probes[] = {{p, p},
                                            {{x, y, z + 0.25}, {x, y, z + 0.25}},
                                            {{x - 3, y + 1, z - 5}, {x + 3, y - 1, z + 5}},
                                            {p, {x + 40 * unit(random), y + 40 * unit(random), height(x, y)}}};
                for (const Segment3d& s : probes)
                    ask([&](PreparedPolygon& q) { return q.meetsSegment(s); }, i % 4 == 0);
            }
            for (const testrecords::Record& partner : partners) {
                PreparedPolygon other(ringsOf(partner), tolerance);
                ask([&](PreparedPolygon& q) { return q.meetsPolygon(other); }, true);
            }
        }
        std::printf("%s: %ld tests, %ld meet, %llu decided in rational arithmetic\n", what, tests, meets,
                    static_cast<unsigned long long>(exact));
        EXPECT_GT(meets, tests / 10) << what;
        EXPECT_LT(meets, tests - tests / 10) << what;
        EXPECT_LE(exact * 1000, static_cast<std::uint64_t>(tests)) << what;
    };
    run("flat", 0.0, 0.0);
    run("tilted", 0.3, -0.2);
    run("steep", 2.5, 0.7);
}

}  // namespace

// A coordinate that is not finite anywhere, in the outer ring or a hole, at
// an even or odd position of the vertex array, leaves the polygon its
// polylines: no plane, no region, and no arithmetic on the coordinate. The
// intersection export learns it while measuring the record (the box
// unchanged by the tracking) and gives the same answers.
TEST(PreparedPolygon, CoordinateNotFiniteLeavesThePolylines) {
    const Vertices outer = {{0, 0, 0}, {4, 0, 0}, {4, 4, 0}, {0, 4, 0}, {0, 0, 0}};
    const Vertices hole = {{1, 1, 0}, {2, 1, 0}, {2, 2, 0}, {1, 1, 0}};
    for (double bad : {NAN, INFINITY, -INFINITY}) {
        for (std::size_t word = 0; word < 3 * (outer.size() + hole.size()); ++word) {
            Vertices rings[2] = {outer, hole};
            const std::size_t vertex = word / 3;
            DPoint3d& p = vertex < outer.size() ? rings[0][vertex] : rings[1][vertex - outer.size()];
            (word % 3 == 0 ? p.x : word % 3 == 1 ? p.y : p.z) = bad;

            const testrecords::Record polygon = testrecords::polygon({{rings[0]}, {rings[1]}});
            const spatialgeom::ScratchScope scratch;
            PreparedPolygon prepared(ringsOf(polygon), 0.0);
            // Inside the square, off every edge: the region is gone.
            EXPECT_FALSE(prepared.meetsSegment({{3, 3, 0}, {3, 3, 0}})) << word;
            EXPECT_FALSE(prepared.meetsSegment({{3, 3, -1}, {3, 3, 1}})) << word;

            const auto* record = static_cast<const spatialgeom::Byte*>(polygon.data());
            DRange3d tracked{}, plain{};
            bool finite = true;
            ASSERT_TRUE(spatialgeom::polygonRecordRange(record, &tracked, &finite));
            ASSERT_TRUE(spatialgeom::polygonRecordRange(record, &plain));
            EXPECT_FALSE(finite) << word;
            EXPECT_EQ(std::memcmp(&tracked, &plain, sizeof plain), 0) << word;
            const testrecords::Record through = testrecords::line({{{3, 3, -1}, {3, 3, 1}}});
            const testrecords::Record both = testrecords::multiPolygon({{{outer}}, {{rings[0]}, {rings[1]}}});
            std::uint32_t meets = 7;
            ASSERT_EQ(spatialWKB_intersectLineStringPolygon(through.data(), polygon.data(), 0.0, &meets), 0u);
            EXPECT_EQ(meets, 0u) << word;
            // The record as a whole is not finite: its finite member keeps its region.
            ASSERT_EQ(spatialWKB_intersectLineStringMultiPolygon(through.data(), both.data(), 0.0, &meets), 0u);
            EXPECT_EQ(meets, 1u) << word;
        }
    }
    // The same records made finite: the tracked range says so.
    const testrecords::Record polygon = testrecords::polygon({{outer}, {hole}});
    DRange3d box{};
    bool finite = false;
    ASSERT_TRUE(spatialgeom::polygonRecordRange(static_cast<const spatialgeom::Byte*>(polygon.data()), &box, &finite));
    EXPECT_TRUE(finite);
}

// A point off every ring is placed by the rings' parities alone: up to 64
// rings kept in one word, more through the general locator; coordinates the
// orientation predicates cannot take go to rational arithmetic. The places
// are the rational reference's, asked before and after the polygon indexes
// its edges.
TEST(PreparedPolygon, PlaceOffTheBoundaryAgreesWithTheRationalReference) {
    std::mt19937 random(20261207);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (int holes : {0, 2, 63, 80}) {
        for (bool tinyCorner : {false, true}) {
            // A square of side 10, holes on a grid inside it, the second one
            // overlapping the third (a point in both lies outside); or the
            // outer ring's corners at coordinates the predicates cannot take.
            std::vector<Vertices> rings = {square(0, 0, 10, false)};
            constexpr double tiny = 0x1p-1060;
            if (tinyCorner) rings[0] = {{-tiny, -tiny, 0}, {10, -tiny, 0}, {10, 10, 0}, {-tiny, 10, 0}};
            for (int h = 0; h < holes; ++h)
                rings.push_back(square(0.5 + (h % 9), 0.5 + (h / 9) % 9, h == 1 ? 1.3 : 0.6, true));
            const testrecords::Record polygon = polygonRecord(rings);
            const ReferencePlaces reference(rings);
            const spatialgeom::ScratchScope scratch;
            PreparedPolygon prepared(ringsOf(polygon), 0.0);
            int tested = 0, inside = 0;
            for (int i = 0; i < 400; ++i) {
                // Points at random, a third on the lines of the holes' edges.
                const double x = unit(random) * 11 - 0.5;
                const double y = i % 3 == 0 ? std::floor(unit(random) * 10) + 0.5 : unit(random) * 11 - 0.5;
                const DPoint3d p{x, y, 0};
                if (reference.onRing(p)) continue;
                const bool expected = reference.meets(p);
                ASSERT_EQ(prepared.containsOffBoundary(p), expected)
                    << holes << " holes, tiny corner " << tinyCorner << ", point " << x << " " << y << ", test " << i;
                ++tested;
                inside += expected;
            }
            EXPECT_GT(inside, 20) << holes << " holes";
            EXPECT_GT(tested - inside, 20) << holes << " holes";
        }
    }
}

// A shared polygon places a point from its grid cell alone: a cell without
// edges from a table swept along the grid's rows, another cell of a polygon
// of few rings from the parities at its middle and the cell's edges. 256
// edges over [0, 32]^2 make a grid of 16 x 16 cells of side 2 whose
// middles have odd coordinates. Two polygons: square holes at odd
// coordinates, a large one holding whole cells and a hole inside it around
// one of them (the sweep's rays run through the squares' corners and along
// their sides; empty cells alone); and zigzags with vertices half-way
// between the middles of a row (the segments from lattice points to the
// middles run through them), with 4 holes. The points of the half-unit
// lattice are placed as the rational reference places them, and their
// distances through the grid are those of the scan of the rings.
TEST(PreparedPolygon, SharedCellPlacesAgreeWithTheRationalReference) {
    // Up to 256 edges: vertices inserted along the first edge of ring r,
    // which runs along +x from an integer x.
    const auto fill = [](std::vector<Vertices>& rings, std::size_t r) {
        std::size_t edges = 0;
        for (const Vertices& ring : rings) edges += ring.size();
        const DPoint3d start = rings[r][0];
        for (std::size_t k = 1; edges < 256; ++k, ++edges)
            rings[r].insert(rings[r].begin() + k, {start.x + k, start.y, 0});
    };
    std::vector<Vertices> manyHoles = {{{0, 0, 0}, {32, 0, 0}, {32, 32, 0}}};
    for (int x = 31; x >= 1; --x) manyHoles[0].push_back({double(x), x % 2 ? 31.0 : 32.0, 0});
    manyHoles[0].push_back({0, 32, 0});
    manyHoles.push_back(square(1, 1, 6, true));
    manyHoles.push_back(square(1.5, 1.5, 3, true));  // in the large hole, around a cell: its points are outside
    for (int i = 0; i < 56; ++i) {
        const double x = 1 + 4 * (i % 8), y = 1 + 4 * (i / 8);
        if (x > 5 || y > 5) manyHoles.push_back(square(x, y, 2, true));
    }
    fill(manyHoles, 0);
    // A zigzag of vertices (k + 0.5, low or high), k from `from` towards `to`.
    const auto zigzag = [](Vertices& ring, int from, int to, double low, double high) {
        for (int k = from; k != to; k += from < to ? 1 : -1) ring.push_back({k + 0.5, k % 2 ? low : high, 0});
    };
    std::vector<Vertices> fewHoles = {{{0, 0, 0}}};
    zigzag(fewHoles[0], 0, 32, 0, 1);
    fewHoles[0].insert(fewHoles[0].end(), {{32, 0, 0}, {32, 32, 0}});
    zigzag(fewHoles[0], 31, -1, 31, 32);
    fewHoles[0].push_back({0, 32, 0});
    // Holes whose zigzag tops put the middles of their cells inside and
    // other points of those cells outside.
    for (double y = 2; y < 26; y += 6) {
        Vertices hole = {{5, y, 0}, {23, y, 0}};
        zigzag(hole, 22, 4, y + 2.5, y + 4.5);
        fewHoles.push_back(hole);
    }
    fill(fewHoles, 1);
    for (std::vector<Vertices> rings : {manyHoles, fewHoles}) {
        // In the plane z = 0.1, where heights above it round.
        for (Vertices& ring : rings)
            for (DPoint3d& v : ring) v.z = 0.1;
        const testrecords::Record record = polygonRecord(rings);
        const ReferencePlaces reference(rings);
        PreparedPolygon shared(ringsOf(record), 0.0);
        ASSERT_EQ(shared.edgeCount(), 256u);
        shared.share();
        std::vector<spatialgeom::VertexRun> runs;
        for (std::uint32_t r = 0; r < rings.size(); ++r)
            runs.push_back({0, SPATIAL_TYPE_POLYGON, r, 0, shared.rings().ring(r), shared.rings().ringSize(r)});
        const spatialgeom::ScratchScope scratch;
        int inside = 0, outside = 0;
        for (int i = 0; i <= 64; ++i) {
            for (int j = 0; j <= 64; ++j) {
                const DPoint3d p{i / 2.0, j / 2.0, 0.1};
                const bool onRing = reference.onRing(p), expected = onRing || reference.meets(p);
                ASSERT_EQ(shared.sharedFlatPointMeets(p, 0.0), expected)
                    << rings.size() << " rings, " << p.x << " " << p.y;
                // The distance through the grid, in the plane and at a
                // height that rounds (1.3 - 0.1), is the scan's bit for bit,
                // equally near edges included.
                for (const DPoint3d q : {p, DPoint3d{p.x, p.y, 1.3}}) {
                    const auto viaGrid = spatialgeom::pointToSharedFlatPolygon(q, shared);
                    const auto viaScan = spatialgeom::pointToFlatPolygons(q, runs);
                    ASSERT_TRUE(viaGrid && viaScan);
                    ASSERT_EQ(std::memcmp(&*viaGrid, &*viaScan, sizeof *viaGrid), 0) << q.x << " " << q.y << " " << q.z;
                }
                if (onRing) continue;
                ASSERT_EQ(shared.containsOffBoundary(p), expected) << rings.size() << " rings, " << p.x << " " << p.y;
                ++(expected ? inside : outside);
            }
        }
        EXPECT_GT(inside, 1500) << rings.size() << " rings";
        EXPECT_GT(outside, 400) << rings.size() << " rings";
    }
}

// A sliver of subnormal width (found by the prepared-geometry fuzzer): its
// Newell sum underflows in double, so axis k comes from the tie rule and
// the normal is nearly perpendicular to it. The lift cannot be bounded in
// floating point; each vertex is lifted exactly once instead, so the tests
// against a nearby polygon stay in floating point rather than taking
// rational arithmetic for every pair of edges (as they did, some 50 ms a
// call). The answers are the rational reference's.
TEST(PreparedPolygonExact, SliverWithAnUnderflowingNormalLiftsExactly) {
    const Vertices sliver = {{3.796875, 0, 0},
                             {0, 0, 0},
                             {1.3906711615670009e-309, 0, 1.2519788118329573e-312},
                             {3.4732827106519577e-310, 3.4732827106519577e-310, 0},
                             {8.1026765917964433e-320, 8.1026765917964433e-320, 0},
                             {0, 8.1026765917964433e-320, 0},
                             {0, 0, 0}};
    const Vertices skew = {{0, 7.5888483201215469e-321, 3.203125},
                           {3.34375, 1.09375, 3.890625},
                           {3.109375, 2.25, 4.234375},
                           {1.96875, 2.71875, 3.328125},
                           {1.140625, 3.5, 2.890625},
                           {0, 3.203125, 1.6015625},
                           {-1.09375, 3.2812633514404297, 0.578125},
                           {-2.25, 3.109375, -0.6953125},
                           {-2.71875, 1.96875, -1.734375},
                           {-3.5, 1.1406269073486328, -2.9296875},
                           {-3.203125, 2.4810402583240239e-265, -3.203125},
                           {-3.34375, -1.09375, -3.8896484375},
                           {-3.109375, -2.25, -4.234375},
                           {-1.96875, -2.71875, -3.328125},
                           {-1.140625, -3.5, -2.890625},
                           {0, -3.203125, 1.0315902326307909e-231},
                           {1.9999999999999998, -3.34375, -0.578125},
                           {2.25, -3.109375, 0.6953125},
                           {2.71875, -1.96875, 1.734375},
                           {3.5, 2.0003643106319942, 2.9296875},
                           {1.3385209930082383e-308, 8.0947715414629834e-320, 3.203125}};
    const exact::RefGeometry a = exact::polygon({sliver}), b = exact::polygon({skew});
    const std::optional<mpq_class> d2 = exact::exactSquaredDistance(a, b);
    const testrecords::Record first = polygonRecord({sliver}), second = polygonRecord({skew});
    for (double tolerance : {0.0, 0.12500000023283775, 0.5, 3.0}) {
        const exact::Owed owed = exact::owedAnswer(a, b, d2, tolerance);
        const std::uint64_t before = spatialgeom::filter::exactDecisions.load();
        for (const auto& [x, y] : {std::pair{&first, &second}, std::pair{&second, &first}}) {
            std::uint32_t meets = 7;
            ASSERT_EQ(spatialWKB_intersectPolygonPolygon(x->data(), y->data(), tolerance, &meets), 0u);
            if (owed != exact::Owed::either) {
                EXPECT_EQ(meets, owed == exact::Owed::yes ? 1u : 0u) << tolerance;
            }
        }
        const std::uint64_t exact = spatialgeom::filter::exactDecisions.load() - before;
        std::printf("tolerance %g: %llu decided in rational arithmetic\n", tolerance,
                    static_cast<unsigned long long>(exact));
        EXPECT_LE(exact, 10u) << tolerance;
    }
}
