// The work of the intersection searches on large inputs, counted (segment
// pairs tested) rather than timed: the hierarchies and grids must keep a
// test near linear in the vertex counts, so a regression that falls back
// to all pairs (four hundred million here) or to a far costlier path fails
// without any timing. The counts need a build with
// SPATIALGEOM_WORK_COUNTERS (the CI's sanitizer build); elsewhere the test
// is skipped.
#include <cstdint>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "queries/filter_bounds.h"
#include "queries/work_counter.h"
#include "record_test_builder.h"
#include "ring_around.h"
#include "spatialgeom/queries.h"

namespace {

using namespace testrecords;

// The benchmark's polygon shape: radius 100 varying by 10% in 25 waves,
// scaled by `scale`, from angle 0 to `turn` of a full turn, n vertices.
Vertices wave(std::uint32_t n, double scale, double turn = 1.0) {
    return ringAround(n, 0, 0, scale * 100, 0.1, turn, 0, 0, 0, false);
}

Vertices closed(Vertices v) {
    v.push_back(v.front());
    return v;
}

// Tilted out of every axis plane (the general 3D search).
Vertices tilted(Vertices v) {
    for (DPoint3d& p : v) {
        const double y = 0.8 * p.y - 0.6 * p.z, z = 0.6 * p.y + 0.8 * p.z;
        const double x = 0.8 * p.x + 0.6 * z;
        p = {x, y, -0.6 * p.x + 0.8 * z};
    }
    return v;
}

struct Case {
    std::string name;
    Record a, b;
    std::uint32_t expected;
    std::uint64_t vertices;  // of both
};

std::vector<Case> cases(bool tilt, std::uint32_t n) {
    const auto shape = [&](Vertices v) { return tilt ? tilted(std::move(v)) : std::move(v); };
    const Record body = polygon({{closed(shape(wave(n, 1.0)))}});
    const std::string frame = tilt ? " (tilted)" : " (z = 0)";
    std::vector<Case> result;
    result.push_back({"near-miss line" + frame, line({shape(wave(n, 1.01, 0.875))}), body, 0, 2ull * n});
    Vertices toCentre = shape(wave(n, 1.01, 0.875));
    toCentre.push_back({0, 0, 0});  // the polygon's centre, on every frame
    result.push_back({"line ending inside" + frame, line({toCentre}), body, 1, 2ull * n});
    result.push_back({"polygon in a hole" + frame,
                      polygon({{closed(shape(wave(n / 2, 1.5)))}, {closed(shape(wave(n / 2, 1.005)))}}), body, 0,
                      2ull * n});
    Vertices around = shape(wave(n, 1.01));
    result.push_back({"points around" + frame, multiPoint(around), body, 0, 2ull * n});
    // A member of a multipolygon measures its own box.
    result.push_back({"points around a member" + frame, multiPoint(around),
                      multiPolygon({{{closed(shape(wave(n, 1.0)))}}}), 0, 2ull * n});
    return result;
}

// Bounds per vertex of both geometries, about twice what the searches do
// today: all pairs would be 10,000 per vertex. Boxes are measured a few
// times at most (once a probe would be 20,000 times). The flat searches descend
// two box hierarchies or one pair grid (at most 29 candidates a vertex
// here); the tilted ones query a grid of one geometry's edges, whose cells
// along a ring hold about the square root of its edges (up to 350 a
// vertex here, growing with that root).
TEST(SearchWork, LargeInputsStayNearLinear) {
    if (!spatialgeom::work::kCounted) GTEST_SKIP() << "built without SPATIALGEOM_WORK_COUNTERS";
    for (const bool tilt : {false, true}) {
        // A tilted ring is planar only up to rounding: a small tolerance
        // keeps the expected answers clear of that.
        const double tolerance = tilt ? 1e-6 : 0.0;
        const std::uint64_t perVertex = tilt ? 800 : 64;
        for (const Case& c : cases(tilt, 20000)) {
            spatialgeom::work::counts = {};
            std::uint32_t result = 7;
            ASSERT_EQ(spatialWKB_intersectGeometry(c.a.data(), c.b.data(), tolerance, &result), SPATIAL_SUCCESS)
                << c.name;
            EXPECT_EQ(result, c.expected) << c.name;
            const spatialgeom::work::Counts& work = spatialgeom::work::counts;
            EXPECT_LE(work.candidates, perVertex * c.vertices) << c.name;
            EXPECT_LE(work.segmentPairs, c.vertices) << c.name;
            EXPECT_LE(work.measured, 4 * c.vertices) << c.name;
        }
    }
}

// The distance to a tilted polygon takes the exact ends of the few lifted
// edges near its answer, not of every edge (once 2,000 a call here).
TEST(SearchWork, TiltedDistanceMakesFewEdgesExact) {
    if (!spatialgeom::work::kCounted) GTEST_SKIP() << "built without SPATIALGEOM_WORK_COUNTERS";
    const Record body = polygon({{closed(tilted(wave(2000, 1.0)))}});
    for (const DPoint3d& p : tilted(wave(20, 1.01))) {
        spatialgeom::work::counts = {};
        double distance = -1;
        ASSERT_EQ(spatialWKB_distance(point(p).data(), body.data(), &distance, nullptr, nullptr), SPATIAL_SUCCESS);
        EXPECT_GT(distance, 0.0);
        EXPECT_LE(spatialgeom::work::counts.exactPieces, 8u);
    }
}

// A tilted octagon whose ring lies exactly in one plane (integer x and y,
// z = x/4 + y/2; its first two vertices share x) is decided by orientation
// predicates and its double unit normal: points in the plane, off it within
// and beyond the tolerance, and segments through it need no rational
// arithmetic. A plane taken for skew, or a normal left uncertified, sends
// them there.
TEST(SearchWork, PlanarTiltedPolygonDecidesInDoubles) {
    Vertices ring;
    for (int k = 0; k < 8; ++k) {
        // (1000, -400) and (1000, 400) turned by k / 2 quarter turns.
        int x = 1000, y = k % 2 ? 400 : -400;
        for (int turn = 0; turn < k / 2; ++turn) std::tie(x, y) = std::pair{-y, x};
        ring.push_back({double(x), double(y), x / 4.0 + y / 2.0});
    }
    const Record body = polygon({{closed(ring)}});
    const std::uint64_t before = spatialgeom::filter::exactDecisions.load();
    int tests = 0;
    for (int x = -1100; x <= 1100; x += 100)
        for (int y = -1100; y <= 1100; y += 100)
            for (const double above : {0.0, 0.5, 3.0}) {
                const double z = x / 4.0 + y / 2.0;
                for (const Record& probe : {point({double(x), double(y), z + above}),
                                            line({{{x - 5.0, y + 3.0, z - 7}, {x + 5.0, y - 3.0, z + 7}}})})
                    for (const double tolerance : {0.0, 1.0}) {
                        std::uint32_t meets = 7;
                        ASSERT_EQ(spatialWKB_intersectGeometry(probe.data(), body.data(), tolerance, &meets),
                                  SPATIAL_SUCCESS);
                        ++tests;
                    }
            }
    EXPECT_EQ(spatialgeom::filter::exactDecisions.load() - before, 0u) << tests << " tests";
}

}  // namespace
