// The list exports (join.h) against their answers found the slow way, for
// every pair of entries through the exports for two records (a collection
// meets what one of its members meets and lies at its nearest member's
// distance; null entries and records without vertices take part in
// nothing), on random lists of every kind (mixed_records.h), polygons off
// any plane among them: spatialWKB_joinRecords against
// spatialWKB_intersectGeometry, spatialWKB_nearestRecords against
// spatialWKB_distance; and their statuses.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <ostream>
#include <thread>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "mixed_records.h"
#include "spatialgeom/join.h"
#include "spatialgeom/queries.h"
#include "spatialgeom/records.h"

namespace {

using namespace testrecords;

// ---- The answers found the slow way.

// visit(part) for a collection's members, or for the record itself.
template <typename Visit>
void forEachPart(const void* record, Visit&& visit) {
    std::uint32_t type = 0;
    spatialWKB_getType(record, &type);
    if (type != SPATIAL_TYPE_COLLECTION) {
        visit(record);
        return;
    }
    spatialWKB_forEachMember(
        record,
        [](void* context, const void* member) -> std::int32_t {
            (*static_cast<Visit*>(context))(member);
            return 0;
        },
        &visit);
}

// visit(partA, partB) for every pair of parts of two entries (none when
// either is null).
template <typename Visit>
void forEachPartPair(const void* a, const void* b, Visit&& visit) {
    if (a == nullptr || b == nullptr) return;
    forEachPart(a, [&](const void* partA) { forEachPart(b, [&](const void* partB) { visit(partA, partB); }); });
}

using Pairs = std::vector<std::pair<std::uint32_t, std::uint32_t>>;

// Every (i, j) whose records meet within the tolerance, in ascending order.
Pairs meetingPairs(const std::vector<const void*>& a, const std::vector<const void*>& b, double tolerance) {
    Pairs pairs;
    for (std::uint32_t i = 0; i < a.size(); ++i)
        for (std::uint32_t j = 0; j < b.size(); ++j) {
            bool meets = false;
            forEachPartPair(a[i], b[j], [&](const void* partA, const void* partB) {
                std::uint32_t result = 0;
                meets = meets || (spatialWKB_intersectGeometry(partA, partB, tolerance, &result) == SPATIAL_SUCCESS &&
                                  result == 1);
            });
            if (meets) pairs.emplace_back(i, j);
        }
    return pairs;
}

// One callback of spatialWKB_nearestRecords: b[j]'s nearest is a[i].
struct Nearest {
    std::uint32_t j, i;
    double distance;
    bool operator==(const Nearest& other) const { return j == other.j && i == other.i && distance == other.distance; }
};

std::ostream& operator<<(std::ostream& out, const Nearest& n) {
    return out << "(b " << n.j << ": a " << n.i << " at " << n.distance << ")";
}

// d[j][i], the distance of a[i] to b[j]; NaN where either is null or has no
// vertex.
using Distances = std::vector<std::vector<double>>;

Distances everyDistance(const std::vector<const void*>& a, const std::vector<const void*>& b) {
    Distances d(b.size(), std::vector<double>(a.size(), NAN));
    for (std::uint32_t j = 0; j < b.size(); ++j)
        for (std::uint32_t i = 0; i < a.size(); ++i)
            forEachPartPair(a[i], b[j], [&](const void* partA, const void* partB) {
                double distance = 0.0;
                if (spatialWKB_distance(partA, partB, &distance, nullptr, nullptr) == SPATIAL_SUCCESS)
                    d[j][i] = std::isnan(d[j][i]) ? distance : std::min(d[j][i], distance);
            });
    return d;
}

// For each j, the lowest i at the least distance, when that is at most
// maxDistance.
std::vector<Nearest> nearestIn(const Distances& d, double maxDistance) {
    std::vector<Nearest> found;
    for (std::uint32_t j = 0; j < d.size(); ++j) {
        Nearest best{j, 0, INFINITY};
        bool any = false;
        for (std::uint32_t i = 0; i < d[j].size(); ++i) {
            if (d[j][i] <= maxDistance && (!any || d[j][i] < best.distance)) {
                best = {j, i, d[j][i]};
                any = true;
            }
        }
        if (any) found.push_back(best);
    }
    return found;
}

// ---- spatialWKB_joinRecords.

// The pairs called back, and whether a call came from a thread other than
// the one that made this.
struct Found {
    Pairs pairs;
    bool otherThread = false;
    std::thread::id caller = std::this_thread::get_id();
};

std::uint32_t join(const std::vector<const void*>& a, const std::vector<const void*>& b, double tolerance,
                   std::uint32_t threads, Found* found) {
    return spatialWKB_joinRecords(
        a.data(), static_cast<std::uint32_t>(a.size()), b.data(), static_cast<std::uint32_t>(b.size()), tolerance,
        threads,
        [](void* context, std::uint32_t i, std::uint32_t j) {
            auto* found = static_cast<Found*>(context);
            found->pairs.emplace_back(i, j);
            if (std::this_thread::get_id() != found->caller) found->otherThread = true;
        },
        found);
}

// The last lists crowded: many records around each large polygon, which
// is tested as a prepared geometry against its candidates.
TEST(JoinRecords, FindsEveryMeetingPairInOrder) {
    const double tolerances[] = {0.0, 0.3, 1.5, 40.0, INFINITY};
    for (std::uint32_t seed = 1; seed <= 4; ++seed) {
        MixedRecords records(seed, seed == 4 ? 6.0 : 20.0);
        const auto a = records.list(70), b = records.list(90);
        for (double tolerance : tolerances) {
            SCOPED_TRACE(::testing::Message() << "seed " << seed << ", tolerance " << tolerance);
            const Pairs expected = meetingPairs(a, b, tolerance);
            Found one, three;
            ASSERT_EQ(join(a, b, tolerance, 1, &one), SPATIAL_SUCCESS);
            ASSERT_EQ(join(a, b, tolerance, 3, &three), SPATIAL_SUCCESS);
            EXPECT_EQ(one.pairs, expected);
            EXPECT_EQ(three.pairs, expected);
            EXPECT_FALSE(three.otherThread);
        }
    }
}

TEST(JoinRecords, RefusesBadArgumentsAndCallsNothing) {
    const Record square = polygon({{{{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0, 0, 0}}}});
    const Record reserved = ofType(SPATIAL_TYPE_RESERVED), unknown = ofType(99);
    const Record nested = collection({point({0, 0, 0}), ofType(SPATIAL_TYPE_COLLECTION)});
    const std::vector<const void*> good{square.data(), nullptr, square.data()};
    Found found;
    const auto count = [](const std::vector<const void*>& v) { return static_cast<std::uint32_t>(v.size()); };
    EXPECT_EQ(join(good, good, -1.0, 1, &found), SPATIAL_FAILURE);
    EXPECT_EQ(join(good, good, NAN, 1, &found), SPATIAL_FAILURE);
    EXPECT_EQ(join(good, good, 0.0, 0, &found), SPATIAL_FAILURE);
    for (const Record* bad : {&reserved, &unknown, &nested}) {
        const std::vector<const void*> withBad{square.data(), bad->data()};
        EXPECT_EQ(join(withBad, good, 0.0, 2, &found), SPATIAL_FAILURE);
        EXPECT_EQ(join(good, withBad, 0.0, 2, &found), SPATIAL_FAILURE);
    }
    EXPECT_TRUE(found.pairs.empty());
    const auto never = [](void*, std::uint32_t, std::uint32_t) { ADD_FAILURE() << "called"; };
    EXPECT_EQ(spatialWKB_joinRecords(nullptr, 1, good.data(), count(good), 0.0, 1, never, nullptr), SPATIAL_FAILURE);
    EXPECT_EQ(spatialWKB_joinRecords(good.data(), count(good), nullptr, 2, 0.0, 1, never, nullptr), SPATIAL_FAILURE);
    EXPECT_EQ(spatialWKB_joinRecords(good.data(), count(good), good.data(), count(good), 0.0, 1, nullptr, nullptr),
              SPATIAL_FAILURE);
    // Empty lists: success, nothing found.
    EXPECT_EQ(spatialWKB_joinRecords(nullptr, 0, good.data(), count(good), 0.0, 1, never, nullptr), SPATIAL_SUCCESS);
    EXPECT_EQ(spatialWKB_joinRecords(good.data(), count(good), nullptr, 0, 0.0, 4, never, nullptr), SPATIAL_SUCCESS);
    ASSERT_EQ(join(good, good, 0.0, 8, &found), SPATIAL_SUCCESS);
    EXPECT_EQ(found.pairs, (Pairs{{0, 0}, {0, 2}, {2, 0}, {2, 2}}));
}

// ---- spatialWKB_nearestRecords.

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
