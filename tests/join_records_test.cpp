// spatialWKB_joinRecords against every pair tested with
// spatialWKB_intersectGeometry (a collection meeting what one of its
// members meets), on random lists of every kind; and its statuses.
#include <cmath>
#include <cstdint>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "mixed_records.h"
#include "pairwise_answers.h"
#include "spatialgeom/join.h"
#include "spatialgeom/queries.h"

namespace {

using namespace testrecords;
struct Found {
    Pairs pairs;
    bool otherThread = false;
};

std::uint32_t join(const std::vector<const void*>& a, const std::vector<const void*>& b, double tolerance,
                   std::uint32_t threads, Found* found) {
    const auto caller = std::this_thread::get_id();
    struct Context {
        Found* found;
        std::thread::id caller;
    } context{found, caller};
    return spatialWKB_joinRecords(
        a.data(), static_cast<std::uint32_t>(a.size()), b.data(), static_cast<std::uint32_t>(b.size()), tolerance,
        threads,
        [](void* c, std::uint32_t i, std::uint32_t j) {
            auto* context = static_cast<Context*>(c);
            context->found->pairs.emplace_back(i, j);
            if (std::this_thread::get_id() != context->caller) context->found->otherThread = true;
        },
        &context);
}

TEST(JoinRecords, FindsEveryMeetingPairInOrder) {
    const double tolerances[] = {0.0, 0.3, 1.5, 40.0, INFINITY};
    for (std::uint32_t seed = 1; seed <= 4; ++seed) {
        MixedRecords records(seed);
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

// Many records around one large polygon: it is tested as a prepared
// geometry against its candidates; a list joined with itself.
TEST(JoinRecords, CrowdedListJoinedWithItself) {
    MixedRecords records(7, 6.0);
    const auto list = records.list(150);
    for (double tolerance : {0.0, 0.2}) {
        Found found;
        ASSERT_EQ(join(list, list, tolerance, 2, &found), SPATIAL_SUCCESS);
        EXPECT_EQ(found.pairs, meetingPairs(list, list, tolerance));
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

}  // namespace
