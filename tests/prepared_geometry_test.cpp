// Prepared geometries (spatialgeom/prepared.h): statuses; a prepared
// geometry outliving its record; the memory bound; many threads testing
// one prepared geometry. (Answers on generated configurations, small
// polygons and large, against the exact reference: exact_answers_test.)
#include <malloc.h>

#include <cstdio>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "mixed_records.h"
#include "prepared_owner.h"
#include "queries/prepared_geometry.h"
#include "record_test_builder.h"
#include "ring_around.h"
#include "spatialgeom/prepared.h"
#include "spatialgeom/queries.h"
#include "spatialgeom/records.h"

namespace {

using namespace testrecords;

// A closed ring of n vertices around the z axis, in the plane z = h +
// tilt x.
Vertices circle(std::uint32_t n, double radius, double h = 0, double tilt = 0) {
    return ringAround(n, 0, 0, radius, 0, 1, tilt, 0, h, true);
}

// Statuses of the stateless and prepared intersection and distance exports;
// nothing written on failure.
TEST(PreparedGeometry, StatusesOfTheStatelessAndPreparedExports) {
    const Record square = polygon({{{{0, 0, 0}, {4, 0, 0}, {4, 4, 0}, {0, 4, 0}, {0, 0, 0}}}});
    const Record inside = point({1, 1, 0});
    void* handle = reinterpret_cast<void*>(0x1);
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
    EXPECT_EQ(spatialWKB_intersectGeometry(nullptr, inside.data(), 0, &result), SPATIAL_FAILURE);
    EXPECT_EQ(spatialWKB_intersectGeometry(inside.data(), nullptr, 0, &result), SPATIAL_FAILURE);
    EXPECT_EQ(spatialWKB_intersectGeometry(inside.data(), inside.data(), 0, nullptr), SPATIAL_FAILURE);
    EXPECT_EQ(spatialWKB_intersectPointPoint(inside.data(), nullptr, 0, &result), SPATIAL_FAILURE);
    EXPECT_EQ(spatialWKB_distance(nullptr, inside.data(), &d, nullptr, nullptr), SPATIAL_FAILURE);
    EXPECT_EQ(spatialWKB_distance(inside.data(), nullptr, &d, nullptr, nullptr), SPATIAL_FAILURE);
    EXPECT_EQ(spatialWKB_distance(inside.data(), inside.data(), nullptr, nullptr, nullptr), SPATIAL_FAILURE);
    // Collections, unknown codes and records without vertices: not prepared
    // (nothing written), and refused by the stateless exports in either
    // place and by the prepared ones.
    for (const Record& other :
         {collection({inside}), ofType(0), ofType(8), ofType(9), ofType(99), ofType(SPATIAL_TYPE_MULTILINESTRING),
          ofType(SPATIAL_TYPE_MULTIPOINT), ofType(SPATIAL_TYPE_MULTIPOLYGON), line({{}}), polygon({})}) {
        EXPECT_EQ(spatialWKB_prepareGeometry(other.data(), &handle), SPATIAL_FAILURE);
        EXPECT_EQ(handle, reinterpret_cast<void*>(0x1));
        EXPECT_EQ(spatialWKB_intersectPrepared(p.handle, other.data(), 0, &result), SPATIAL_FAILURE);
        EXPECT_EQ(spatialWKB_distancePrepared(p.handle, other.data(), &d, &q, &q), SPATIAL_FAILURE);
        for (const auto& [a, b] : {std::pair{&square, &other}, std::pair{&other, &square}}) {
            EXPECT_EQ(spatialWKB_intersectGeometry(a->data(), b->data(), 1e9, &result), SPATIAL_FAILURE);
            EXPECT_EQ(spatialWKB_distance(a->data(), b->data(), &d, &q, &q), SPATIAL_FAILURE);
        }
        EXPECT_EQ(spatialWKB_intersectGeometryPoint(inside.data(), other.data(), 1e9, &result), SPATIAL_FAILURE);
        EXPECT_EQ(spatialWKB_intersectGeometryPoint(other.data(), inside.data(), 1e9, &result), SPATIAL_FAILURE);
    }
    // A record is not a prepared geometry.
    EXPECT_EQ(spatialWKB_intersectPrepared(square.data(), inside.data(), 0, &result), SPATIAL_FAILURE);
    EXPECT_EQ(spatialWKB_distancePrepared(square.data(), inside.data(), &d, &q, &q), SPATIAL_FAILURE);
    EXPECT_TRUE(result == 7 && d == 7 && q.x == 7 && q.y == 7 && q.z == 7);  // nothing written
    // The points are optional.
    EXPECT_EQ(spatialWKB_distancePrepared(p.handle, inside.data(), &d, nullptr, nullptr), SPATIAL_SUCCESS);
    EXPECT_EQ(d, 0);
    // (Its answers: OutlivesAndIgnoresItsRecord below; tolerances that meet
    // nothing or everything: rule_edges_test.)

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
    Vertices outer = circle(300, 10);
    void* record = nullptr;
    ASSERT_EQ(spatialWKB_createPolygon(outer.data(), static_cast<std::uint32_t>(outer.size()), &record),
              SPATIAL_SUCCESS);
    const Record original = polygon({{outer}});
    Prepared p(record);
    ASSERT_EQ(p.status, SPATIAL_SUCCESS);
    const DPoint3d hole[] = {{-1, -1, 0}, {1, -1, 0}, {1, 1, 0}, {-1, 1, 0}, {-1, -1, 0}};
    ASSERT_EQ(spatialWKB_addRingToPolygon(hole, 5, &record), SPATIAL_SUCCESS);  // may move the record
    const Record centre = point({0, 0, 0}), rim = point({10, 0, 0}), outside = point({11, 0, 0});
    EXPECT_EQ(intersection(record, centre.data(), 0), 0u);  // the grown record has the hole
    ASSERT_EQ(spatialWKB_destroyGeom(&record), SPATIAL_SUCCESS);
    for (const Record* q : {&centre, &rim, &outside}) {
        for (double t : {0.0, 0.5, 1.0})
            EXPECT_EQ(preparedIntersection(p.handle, q->data(), t), intersection(original.data(), q->data(), t));
    }
    EXPECT_EQ(preparedIntersection(p.handle, centre.data(), 0), 1u);
}

// The bound of the header, by the object's own count and, where the heap
// reports it, by the heap's.
TEST(PreparedGeometry, MemoryWithinThreeTimesTheRecord) {
    std::vector<SublineSeqs> small;
    for (int i = 0; i < 500; ++i) small.push_back({{circle(8, 1, i, 0)}});
    std::vector<SublineSeqs> mixed{{{circle(5000, 10, 0, 0)}}, {{circle(256, 3, 1, 0.5)}, {circle(256, 1, 1, 0.5)}}};
    Vertices many = circle(20000, 5, 0, 0);
    const Record records[] = {polygon({{circle(100000, 100, 0, 0)}}),
                              polygon({{circle(20000, 100, 0, 0.3)}, {circle(3000, 10, 0, 0.3)}}),
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
// the thread sanitizer too): a large flat polygon with a hole and a large
// tilted one, against records of every kind in and around them.
TEST(PreparedThreadTest, ManyThreadsTestOnePreparedGeometry) {
    const Record shape = multiPolygon({{{circle(400, 8, 0)}, {circle(100, 3, 0)}}, {{circle(300, 6, 1, 0.3)}}});
    testrecords::MixedRecords records(77, 10);
    std::vector<const void*> others = records.list(60);
    const double tolerances[] = {0.0, 0.25};
    std::vector<std::uint32_t> expected;
    std::vector<DistanceAnswer> distances;
    for (const void* other : others) {
        for (double t : tolerances) expected.push_back(intersection(shape.data(), other, t));
        distances.push_back(statelessDistance(shape.data(), other));
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
                    wrong[k] += preparedIntersection(p.handle, others[at], tolerances[ti]) != expected[2 * at + ti];
                wrong[k] += !(preparedDistance(p.handle, others[at]) == distances[at]);
            }
        });
    }
    for (std::thread& t : threads) t.join();
    for (int k = 0; k < threadCount; ++k) EXPECT_EQ(wrong[k], 0) << "thread " << k;
}

}  // namespace
