// Prepared geometries (spatialgeom/prepared.h): every answer equals the
// stateless export's for both argument orders, over random scenes of every
// kind pair, flat, tilted in an exact plane and rotated (rings off their
// plane), with and without holes, polygons small (gathered per call) and
// large (shared); statuses; a prepared geometry outliving its record; the
// memory bound; many threads testing one prepared geometry.
#include <malloc.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <random>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "prepared_owner.h"
#include "queries/prepared_geometry.h"
#include "record_test_builder.h"
#include "spatialgeom/prepared.h"
#include "spatialgeom/queries.h"
#include "spatialgeom/records.h"

namespace {

using namespace testrecords;

// 0 or 1, or 2 + status for a refusal.
std::uint32_t stateless(const void* a, const void* b, double tolerance) {
    std::uint32_t result = 7;
    const std::uint32_t status = spatialWKB_intersectGeometry(a, b, tolerance, &result);
    return status == SPATIAL_SUCCESS ? result : 2 + status;
}

std::uint32_t prepared(const void* handle, const void* other, double tolerance) {
    std::uint32_t result = 7;
    const std::uint32_t status = spatialWKB_intersectPrepared(handle, other, tolerance, &result);
    return status == SPATIAL_SUCCESS ? result : 2 + status;
}

enum class Placement { flat, tilted, rotated };

// Random scenes whose elements often touch: coordinates on a 1/64 grid in
// the plane's two free coordinates, new shapes built around the vertices
// and edge midpoints of earlier ones.
class Scene {
public:
    Scene(unsigned seed, Placement placement) : rng_(seed), placement_(placement) {
        const double a = uniform(0.2, 1.3), b = uniform(0.2, 1.3);
        // A rotation by two angles: its products round, so rotated rings
        // lie off one exact plane.
        rotation_ = {{{std::cos(a), -std::sin(a) * std::cos(b), std::sin(a) * std::sin(b)},
                      {std::sin(a), std::cos(a) * std::cos(b), -std::cos(a) * std::sin(b)},
                      {0.0, std::sin(b), std::cos(b)}}};
        for (int i = 0; i < 4; ++i) pool_.push_back({grid(-4, 4), grid(-4, 4)});
    }

    double uniform(double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng_); }
    int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
    double grid(double lo, double hi) { return std::round(uniform(lo, hi) * 64) / 64; }

    // A shape of the kind, remembered for later shapes to touch; its
    // polygons all large when asked.
    Record make(std::uint32_t kind, bool large = false) {
        large_ = large;
        switch (kind) {
            case SPATIAL_TYPE_POINT: return point(place(near()));
            case SPATIAL_TYPE_LINESTRING: return line({polyline()});
            case SPATIAL_TYPE_POLYGON: return polygon(rings());
            case SPATIAL_TYPE_MULTIPOINT: {
                Vertices points;
                for (int i = pick(1, 30); i > 0; --i) points.push_back(place(near()));
                return multiPoint(points);
            }
            case SPATIAL_TYPE_MULTILINESTRING: {
                SublineSeqs lines;
                for (int i = pick(1, 3); i > 0; --i) lines.push_back({polyline()});
                return multiLine(lines);
            }
            default: {
                std::vector<SublineSeqs> polygons;
                for (int i = pick(1, 3); i > 0; --i) polygons.push_back(rings());
                return multiPolygon(polygons);
            }
        }
    }

private:
    struct Uv {
        double u, v;
    };

    // A plane point of the pool, nudged now and then.
    Uv near() {
        Uv p = pool_[pick(0, static_cast<int>(pool_.size()) - 1)];
        if (pick(0, 2) == 0) p = {p.u + grid(-0.5, 0.5), p.v + grid(-0.5, 0.5)};
        return p;
    }
    // Off the plane now and then, by a little or by the tolerances tested.
    double height() {
        switch (pick(0, 5)) {
            case 0: return 0.25;
            case 1: return -1.0 / 64;
            default: return 0.0;
        }
    }
    DPoint3d place(const Uv& p, double w) const {
        switch (placement_) {
            case Placement::flat: return {p.u, p.v, 2.0 + w};
            case Placement::tilted: return {p.u, p.v, p.u + p.v / 2 + w};  // exact: dyadic coordinates
            default: {
                const double x[3] = {p.u, p.v, w};
                DPoint3d r{};
                double* out[3] = {&r.x, &r.y, &r.z};
                for (int i = 0; i < 3; ++i)
                    *out[i] = rotation_[i][0] * x[0] + rotation_[i][1] * x[1] + rotation_[i][2] * x[2];
                return r;
            }
        }
    }
    DPoint3d place(const Uv& p) { return place(p, height()); }

    Sublines polyline() {
        Vertices v;
        Uv previous = near();
        v.push_back(place(previous));
        for (int i = pick(1, 4); i > 0; --i) {
            const Uv next = near();
            pool_.push_back({(previous.u + next.u) / 2, (previous.v + next.v) / 2});
            v.push_back(place(next));
            previous = next;
        }
        return {v};
    }

    // A star around a pool point: small (gathered per call) or large
    // (shared once prepared), with a hole half the time.
    Vertices star(const Uv& centre, double radius, int n, bool reversed) {
        Vertices ring;
        std::vector<Uv> uv;
        for (int i = 0; i < n; ++i) {
            const double angle = (reversed ? -1 : 1) * 2 * M_PI * i / n, r = radius * uniform(0.75, 1.0);
            uv.push_back({std::round((centre.u + r * std::cos(angle)) * 64) / 64,
                          std::round((centre.v + r * std::sin(angle)) * 64) / 64});
        }
        // Rings lie in the plane except, now and then, a hole.
        const double w = reversed && pick(0, 3) == 0 ? 1.0 / 64 : 0.0;
        for (std::size_t i = 0; i < uv.size(); ++i) {
            ring.push_back(place(uv[i], w));
            if (i % (n / 6 + 1) == 0) {
                pool_.push_back(uv[i]);
                const Uv& next = uv[(i + 1) % uv.size()];
                pool_.push_back({(uv[i].u + next.u) / 2, (uv[i].v + next.v) / 2});
            }
        }
        ring.push_back(ring.front());
        return ring;
    }
    SublineSeqs rings() {
        const Uv centre = near();
        const double radius = uniform(0.5, 2.5);
        const int n = !large_ && pick(0, 2) == 0 ? pick(3, 12) : pick(260, 600);
        SublineSeqs result{{star(centre, radius, n, false)}};
        if (pick(0, 1) == 0) result.push_back({star(centre, radius * 0.4, n / 2 + 3, true)});
        return result;
    }

    std::mt19937 rng_;
    Placement placement_;
    std::array<std::array<double, 3>, 3> rotation_{};
    std::vector<Uv> pool_;
    bool large_ = false;
};

TEST(PreparedGeometry, AnswersAsTheStatelessTestForEveryKindPairOrderAndTolerance) {
    const double tolerances[] = {0.0, 1.0 / 64, 0.25, 1.5};
    int cases = 0, meets = 0;
    for (Placement placement : {Placement::flat, Placement::tilted, Placement::rotated}) {
        for (std::uint32_t first = 1; first <= 6; ++first) {
            for (std::uint32_t second = first; second <= 6; ++second) {
                for (unsigned trial = 0; trial < 8; ++trial) {
                    Scene scene(1000 * first + 100 * second + 10 * trial + static_cast<unsigned>(placement), placement);
                    const Record a = scene.make(first), b = scene.make(second);
                    const Prepared pa(a.data()), pb(b.data());
                    ASSERT_EQ(pa.status, SPATIAL_SUCCESS);
                    ASSERT_EQ(pb.status, SPATIAL_SUCCESS);
                    // And with every polygon shared, however small.
                    const auto allShared = spatialgeom::PreparedGeometry::prepare(a.bytes(), 0);
                    ASSERT_TRUE(allShared);
                    for (double t : tolerances) {
                        SCOPED_TRACE(testing::Message() << "kinds " << first << ", " << second << " trial " << trial
                                                        << " placement " << static_cast<int>(placement) << " t " << t);
                        const std::uint32_t ab = stateless(a.data(), b.data(), t);
                        ASSERT_LE(ab, 1u);
                        EXPECT_EQ(prepared(pa.handle, b.data(), t), ab);
                        EXPECT_EQ(prepared(pb.handle, a.data(), t), stateless(b.data(), a.data(), t));
                        // Each prepared geometry against itself and its twin.
                        EXPECT_EQ(prepared(pa.handle, a.data(), t), stateless(a.data(), a.data(), t));
                        bool meetsB = false, meetsA = false;
                        ASSERT_TRUE(allShared->intersects(b.bytes(), t, &meetsB));
                        ASSERT_TRUE(allShared->intersects(a.bytes(), t, &meetsA));
                        EXPECT_EQ(meetsB, ab == 1);
                        EXPECT_EQ(meetsA, stateless(a.data(), a.data(), t) == 1);
                        ++cases;
                        meets += ab;
                    }
                }
            }
        }
    }
    // Both answers are common.
    EXPECT_GT(meets, cases / 5);
    EXPECT_LT(meets, cases * 4 / 5);
}

// Points on and around the boundary of a large polygon with a hole, one at
// a time: each vertex and edge midpoint of both rings, nudged by an ulp.
TEST(PreparedGeometry, LargePolygonBoundaryPointsAsStateless) {
    for (Placement placement : {Placement::flat, Placement::tilted, Placement::rotated}) {
        Vertices outer, hole;
        const int n = 400;
        for (int i = 0; i <= n; ++i) {
            const double angle = 2 * M_PI * (i % n) / n;
            outer.push_back({std::round(64 * 3 * std::cos(angle)) / 64, std::round(64 * 3 * std::sin(angle)) / 64, 0});
            hole.push_back({std::round(64 * std::cos(-angle)) / 64, std::round(64 * std::sin(-angle)) / 64, 0});
        }
        const auto lift = [&](Vertices ring) {
            for (DPoint3d& p : ring) {
                if (placement == Placement::tilted) p.z = p.x + p.y / 2;
                if (placement == Placement::rotated)
                    p = {p.x * 0.8 - p.z * 0.6, p.y, p.x * 0.6 + p.z * 0.8 + p.y * 1e-3};
            }
            return ring;
        };
        const Record shape = polygon({{lift(outer)}, {lift(hole)}});
        const Prepared p(shape.data());
        ASSERT_EQ(p.status, SPATIAL_SUCCESS);
        for (const Vertices* ring : {&outer, &hole}) {
            for (int i = 0; i < n; ++i) {
                const DPoint3d& a = (*ring)[i];
                const DPoint3d& b = (*ring)[i + 1];
                for (DPoint3d q :
                     {a, DPoint3d{(a.x + b.x) / 2, (a.y + b.y) / 2, 0}, DPoint3d{std::nextafter(a.x, 9.0), a.y, 0},
                      DPoint3d{a.x, std::nextafter(a.y, -9.0), 0}}) {
                    const Record pt = point(lift({q})[0]);
                    for (double t : {0.0, 1e-9}) {
                        ASSERT_EQ(prepared(p.handle, pt.data(), t), stateless(shape.data(), pt.data(), t))
                            << "placement " << static_cast<int>(placement) << " vertex " << i;
                    }
                }
            }
        }
    }
}

// Statuses of the prepared intersection and distance, as the stateless
// exports'; nothing written on failure.
TEST(PreparedGeometry, StatusesAsTheStatelessExports) {
    const Record square = polygon({{{{0, 0, 0}, {4, 0, 0}, {4, 4, 0}, {0, 4, 0}, {0, 0, 0}}}});
    const Record inside = point({1, 1, 0});
    void* handle = reinterpret_cast<void*>(0x1);
    // Refused records: nothing written.
    for (const Record& refused : {collection({inside}), ofType(8), ofType(99), ofType(0),
                                  ofType(SPATIAL_TYPE_MULTIPOINT), ofType(SPATIAL_TYPE_MULTIPOLYGON)}) {
        EXPECT_EQ(spatialWKB_prepareGeometry(refused.data(), &handle), SPATIAL_FAILURE);
        EXPECT_EQ(handle, reinterpret_cast<void*>(0x1));
    }
    EXPECT_EQ(spatialWKB_prepareGeometry(nullptr, &handle), SPATIAL_FAILURE);
    EXPECT_EQ(spatialWKB_prepareGeometry(square.data(), nullptr), SPATIAL_FAILURE);

    Prepared p(square.data());
    ASSERT_EQ(p.status, SPATIAL_SUCCESS);
    std::uint32_t result = 7;
    double d = 7;
    DPoint3d q{7, 7, 7};
    EXPECT_EQ(spatialWKB_intersectPrepared(nullptr, inside.data(), 0, &result), SPATIAL_FAILURE);
    EXPECT_EQ(spatialWKB_intersectPrepared(p.handle, nullptr, 0, &result), SPATIAL_FAILURE);
    EXPECT_EQ(spatialWKB_intersectPrepared(p.handle, inside.data(), 0, nullptr), SPATIAL_FAILURE);
    EXPECT_EQ(spatialWKB_distancePrepared(nullptr, inside.data(), &d, &q, &q), SPATIAL_FAILURE);
    EXPECT_EQ(spatialWKB_distancePrepared(p.handle, nullptr, &d, &q, &q), SPATIAL_FAILURE);
    EXPECT_EQ(spatialWKB_distancePrepared(p.handle, inside.data(), nullptr, &q, &q), SPATIAL_FAILURE);
    // What the stateless exports refuse, the prepared ones refuse.
    for (const Record& other :
         {collection({inside}), ofType(0), ofType(8), ofType(99), ofType(SPATIAL_TYPE_MULTILINESTRING),
          ofType(SPATIAL_TYPE_MULTIPOINT), line({{}}), polygon({})}) {
        EXPECT_EQ(spatialWKB_intersectPrepared(p.handle, other.data(), 0, &result), SPATIAL_FAILURE);
        EXPECT_EQ(spatialWKB_intersectGeometry(square.data(), other.data(), 0, &result), SPATIAL_FAILURE);
        EXPECT_EQ(spatialWKB_distancePrepared(p.handle, other.data(), &d, &q, &q), SPATIAL_FAILURE);
        EXPECT_EQ(spatialWKB_distance(square.data(), other.data(), &d, &q, &q), SPATIAL_FAILURE);
    }
    // A record is not a prepared geometry.
    EXPECT_EQ(spatialWKB_intersectPrepared(square.data(), inside.data(), 0, &result), SPATIAL_FAILURE);
    EXPECT_EQ(spatialWKB_distancePrepared(square.data(), inside.data(), &d, &q, &q), SPATIAL_FAILURE);
    EXPECT_TRUE(result == 7 && d == 7 && q.x == 7 && q.y == 7 && q.z == 7);  // nothing written
    // The points are optional.
    EXPECT_EQ(spatialWKB_distancePrepared(p.handle, inside.data(), &d, nullptr, nullptr), SPATIAL_SUCCESS);
    EXPECT_EQ(d, 0);
    // (Tolerances that meet nothing or everything: rule_edges_test.)
    EXPECT_EQ(prepared(p.handle, inside.data(), 0.0), 1u);

    EXPECT_EQ(spatialWKB_destroyPrepared(nullptr), SPATIAL_FAILURE);
    void* none = nullptr;
    EXPECT_EQ(spatialWKB_destroyPrepared(&none), SPATIAL_FAILURE);
    EXPECT_EQ(spatialWKB_destroyPrepared(&p.handle), SPATIAL_SUCCESS);
    EXPECT_EQ(p.handle, nullptr);
    EXPECT_EQ(spatialWKB_destroyPrepared(&p.handle), SPATIAL_FAILURE);
}

// The record grown, then destroyed: the prepared geometry answers as for
// the record it was made from.
TEST(PreparedGeometry, OutlivesAndIgnoresItsRecord) {
    Vertices outer;
    for (int i = 0; i <= 300; ++i)
        outer.push_back({10 * std::cos(2 * M_PI * (i % 300) / 300), 10 * std::sin(2 * M_PI * (i % 300) / 300), 0});
    void* record = nullptr;
    ASSERT_EQ(spatialWKB_createPolygon(outer.data(), static_cast<std::uint32_t>(outer.size()), &record),
              SPATIAL_SUCCESS);
    const Record original = polygon({{outer}});
    Prepared p(record);
    ASSERT_EQ(p.status, SPATIAL_SUCCESS);
    const DPoint3d hole[] = {{-1, -1, 0}, {1, -1, 0}, {1, 1, 0}, {-1, 1, 0}, {-1, -1, 0}};
    ASSERT_EQ(spatialWKB_addRingToPolygon(hole, 5, &record), SPATIAL_SUCCESS);  // may move the record
    const Record centre = point({0, 0, 0}), rim = point({10, 0, 0}), outside = point({11, 0, 0});
    EXPECT_EQ(stateless(record, centre.data(), 0), 0u);  // the grown record has the hole
    ASSERT_EQ(spatialWKB_destroyGeom(&record), SPATIAL_SUCCESS);
    for (const Record* q : {&centre, &rim, &outside}) {
        for (double t : {0.0, 0.5, 1.0})
            EXPECT_EQ(prepared(p.handle, q->data(), t), stateless(original.data(), q->data(), t));
    }
    EXPECT_EQ(prepared(p.handle, centre.data(), 0), 1u);
}

// The bound of the header, by the object's own count and, where the heap
// reports it, by the heap's.
TEST(PreparedGeometry, MemoryWithinThreeTimesTheRecord) {
    const auto ring = [](int n, double radius, double z, double tilt) {
        Vertices v;
        for (int i = 0; i <= n; ++i) {
            const double a = 2 * M_PI * (i % n) / n, x = radius * std::cos(a), y = radius * std::sin(a);
            v.push_back({x, y, z + tilt * x});
        }
        return v;
    };
    std::vector<SublineSeqs> small;
    for (int i = 0; i < 500; ++i) small.push_back({{ring(8, 1, i, 0)}});
    std::vector<SublineSeqs> mixed{{{ring(5000, 10, 0, 0)}}, {{ring(256, 3, 1, 0.5)}, {ring(256, 1, 1, 0.5)}}};
    Vertices many = ring(20000, 5, 0, 0);
    const Record records[] = {polygon({{ring(100000, 100, 0, 0)}}),
                              polygon({{ring(20000, 100, 0, 0.3)}, {ring(3000, 10, 0, 0.3)}}),
                              multiPolygon(small),
                              multiPolygon(mixed),
                              line({many}),
                              multiPoint(many)};
    for (const Record& record : records) {
        const std::size_t before = mallinfo2().uordblks;
        const auto p = spatialgeom::PreparedGeometry::prepare(record.bytes());
        ASSERT_TRUE(p);
        const std::size_t heap = mallinfo2().uordblks - before;
        EXPECT_EQ(p->recordBytes(), record.size());
        const std::size_t bound = 3 * std::size_t{record.size()} + spatialgeom::PreparedGeometry::kMemorySlackBytes;
        EXPECT_LE(p->memoryBytes(), bound) << "kind " << p->kind() << ", record " << record.size();
        std::printf("kind %u: record %u bytes, prepared %zu bytes (heap %zu)\n", p->kind(), record.size(),
                    p->memoryBytes(), heap);
        // Under a sanitizer the heap is the sanitizer's: nothing counted.
        if (heap > 0) {
            EXPECT_LE(heap, bound) << "kind " << p->kind() << ", record " << record.size();
        }
    }
}

// Many threads test and measure one prepared geometry at once (run under
// the thread sanitizer too): flat and rotated polygons with a hole, lifted
// rings among them, against geometries of every kind in and around them.
TEST(PreparedThreadTest, ManyThreadsTestOnePreparedGeometry) {
    for (Placement placement : {Placement::flat, Placement::rotated, Placement::tilted}) {
        Scene scene(77 + static_cast<unsigned>(placement), placement);
        const Record shape = scene.make(SPATIAL_TYPE_MULTIPOLYGON, true);
        std::vector<Record> others;
        for (int i = 0; i < 60; ++i) others.push_back(scene.make(static_cast<std::uint32_t>(1 + i % 6)));
        const double tolerances[] = {0.0, 0.25};
        std::vector<std::uint32_t> expected;
        std::vector<double> distances;
        for (const Record& other : others) {
            for (double t : tolerances) expected.push_back(stateless(shape.data(), other.data(), t));
            distances.push_back(-1);
            ASSERT_EQ(spatialWKB_distance(shape.data(), other.data(), &distances.back(), nullptr, nullptr), 0u);
        }
        const Prepared p(shape.data());
        ASSERT_EQ(p.status, SPATIAL_SUCCESS);
        // Each thread starts at another record, so that different threads
        // ask about different records at the same time.
        constexpr int threadCount = 4;
        std::vector<int> wrong(threadCount, 0);
        std::vector<std::thread> threads;
        for (int k = 0; k < threadCount; ++k) {
            threads.emplace_back([&, k] {
                for (std::size_t i = 0; i < others.size(); ++i) {
                    const std::size_t at = (i + 15 * k) % others.size();
                    for (std::size_t ti = 0; ti < 2; ++ti)
                        wrong[k] += prepared(p.handle, others[at].data(), tolerances[ti]) != expected[2 * at + ti];
                    double d = -1;
                    spatialWKB_distancePrepared(p.handle, others[at].data(), &d, nullptr, nullptr);
                    wrong[k] += d != distances[at];
                }
            });
        }
        for (std::thread& t : threads) t.join();
        for (int k = 0; k < threadCount; ++k) EXPECT_EQ(wrong[k], 0) << "thread " << k;
    }
}

}  // namespace
