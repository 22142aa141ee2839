// spatialWKB_nearestRecords against spatialWKB_distance measured for every
// pair (a collection's distance the least of its members'), on random
// lists of every kind, polygons off any plane among them; and its
// statuses.
#include <cmath>
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "mixed_records.h"
#include "pairwise_answers.h"
#include "spatialgeom/join.h"
#include "spatialgeom/queries.h"

namespace {

using namespace testrecords;

std::uint32_t nearest(const std::vector<const void*>& a, const std::vector<const void*>& b, double maxDistance,
                      std::uint32_t threads, std::vector<Nearest>* found) {
    return spatialWKB_nearestRecords(
        a.data(), static_cast<std::uint32_t>(a.size()), b.data(), static_cast<std::uint32_t>(b.size()), maxDistance,
        threads,
        [](void* context, std::uint32_t j, std::uint32_t i, double distance) {
            static_cast<std::vector<Nearest>*>(context)->push_back({j, i, distance});
        },
        found);
}

TEST(NearestRecords, FindsTheNearestOfEachRecord) {
    MixedRecords records(11, 30.0);
    auto a = records.list(60);
    const auto b = records.list(50);
    a.push_back(a[3]);  // a tie: the lower position wins
    const Distances distances = everyDistance(a, b);
    for (double maxDistance : {double{INFINITY}, 0.0, 1.0}) {
        SCOPED_TRACE(::testing::Message() << "max distance " << maxDistance);
        const std::vector<Nearest> expected = nearestIn(distances, maxDistance);
        std::vector<Nearest> one, three;
        ASSERT_EQ(nearest(a, b, maxDistance, 1, &one), SPATIAL_SUCCESS);
        ASSERT_EQ(nearest(a, b, maxDistance, 3, &three), SPATIAL_SUCCESS);
        EXPECT_EQ(one, expected);
        EXPECT_EQ(three, expected);
    }
}

// A polygon whose outer ring leaves its plane reaches beyond its vertices'
// box: the point below that part is nearer to it than to the point whose
// box is nearer.
TEST(NearestRecords, RegionBeyondTheVerticesBox) {
    // The region lies in z = (x - y) / 2 (the plane through the first
    // vertex normal to the ring's Newell vector), down to z = -2 at (0, 4),
    // while the vertices keep z >= 0.
    const Record skew = polygon({{{{0, 0, 0}, {4, 0, 4}, {4, 4, 0}, {0, 4, 0}, {0, 0, 0}}}});
    const Record below = point({0, 4, -4});
    const Record probe = point({0, 4, -2.5});
    const std::vector<const void*> a{below.data(), skew.data()}, b{probe.data()};
    std::vector<Nearest> found;
    ASSERT_EQ(nearest(a, b, INFINITY, 2, &found), SPATIAL_SUCCESS);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].i, 1u);
    EXPECT_LE(found[0].distance, 0.5);
    EXPECT_EQ(found, nearestIn(everyDistance(a, b), INFINITY));
}

TEST(NearestRecords, StatusesAndRecordsLeftOut) {
    const Record p = point({0, 0, 0}), q = point({3, 4, 0}), far = point({0, 0, 100});
    const Record notFinite = point({NAN, 0, 0}), empty = ofType(SPATIAL_TYPE_MULTIPOINT);
    const Record reserved = ofType(SPATIAL_TYPE_RESERVED);
    const std::vector<const void*> a{notFinite.data(), empty.data(), nullptr, q.data(), far.data()};
    const std::vector<const void*> b{p.data(), notFinite.data(), nullptr, far.data()};
    std::vector<Nearest> found;
    ASSERT_EQ(nearest(a, b, INFINITY, 1, &found), SPATIAL_SUCCESS);
    EXPECT_EQ(found, (std::vector<Nearest>{{0, 3, 5.0}, {3, 4, 0.0}}));
    found.clear();
    ASSERT_EQ(nearest(a, b, 4.0, 1, &found), SPATIAL_SUCCESS);
    EXPECT_EQ(found, (std::vector<Nearest>{{3, 4, 0.0}}));
    found.clear();
    EXPECT_EQ(nearest(a, b, -1.0, 1, &found), SPATIAL_FAILURE);
    EXPECT_EQ(nearest(a, b, NAN, 1, &found), SPATIAL_FAILURE);
    EXPECT_EQ(nearest(a, b, 1.0, 0, &found), SPATIAL_FAILURE);
    EXPECT_EQ(nearest({reserved.data()}, b, 1.0, 1, &found), SPATIAL_FAILURE);
    EXPECT_EQ(nearest(a, {p.data(), reserved.data()}, 1.0, 1, &found), SPATIAL_FAILURE);
    EXPECT_TRUE(found.empty());
    const auto never = [](void*, std::uint32_t, std::uint32_t, double) { ADD_FAILURE() << "called"; };
    EXPECT_EQ(spatialWKB_nearestRecords(nullptr, 1, b.data(), 1, 1.0, 1, never, nullptr), SPATIAL_FAILURE);
    EXPECT_EQ(spatialWKB_nearestRecords(a.data(), 1, b.data(), 1, 1.0, 1, nullptr, nullptr), SPATIAL_FAILURE);
    EXPECT_EQ(spatialWKB_nearestRecords(nullptr, 0, b.data(), 4, 1.0, 1, never, nullptr), SPATIAL_SUCCESS);
}

}  // namespace
