// The walking exports: spatialWKB_forEachVertexRun reports every block of
// vertices in place with the element, ring and subline it belongs to;
// spatialWKB_forEachMember hands out a collection's members.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "record_test_builder.h"

namespace {

using namespace testrecords;

// A run as "element type ring subline: count @offset" (the offset of its
// first vertex in the record), one per line.
struct RunLog {
    const void* record;
    std::string text;
    int stopAfter = -1;  // stop the walk after this many runs
    int runs = 0;
};

std::int32_t logRun(void* context, const SpatialVertexRun* run) {
    auto* log = static_cast<RunLog*>(context);
    const auto offset =
        reinterpret_cast<const std::uint8_t*>(run->vertices) - static_cast<const std::uint8_t*>(log->record);
    log->text += std::to_string(run->element) + " " + std::to_string(run->elementType) + " " +
                 std::to_string(run->ring) + " " + std::to_string(run->subline) + ": " + std::to_string(run->count) +
                 " @" + std::to_string(offset) + "\n";
    return ++log->runs == log->stopAfter;
}

std::string runsOf(const Record& record, int stopAfter = -1) {
    RunLog log{record.data(), "", stopAfter};
    EXPECT_EQ(spatialWKB_forEachVertexRun(record.data(), logRun, &log), SPATIAL_SUCCESS);
    return log.text;
}

// Elements keep their numbers across empty ones and across collection
// members; a multipoint is one run of all its points; empty sublines are
// reported; every run points at its vertices inside the record.
TEST(VertexRuns, EveryKindReportsItsRunsInStorageOrder) {
    const Vertices two = vertices(2), one = vertices(1);
    EXPECT_EQ(runsOf(point({1, 2, 3})), "0 1 0 0: 1 @16\n");
    EXPECT_EQ(runsOf(multiPoint(vertices(3))), "0 1 0 0: 3 @24\n");
    EXPECT_EQ(runsOf(multiPoint({})), "");
    EXPECT_EQ(runsOf(line({two, {}, one})), "0 2 0 0: 2 @32\n0 2 0 1: 0 @88\n0 2 0 2: 1 @96\n");
    EXPECT_EQ(runsOf(polygon({{two}, {one, two}})), "0 3 0 0: 2 @40\n0 3 1 0: 1 @104\n0 3 1 1: 2 @136\n");
    EXPECT_EQ(runsOf(multiLine({{one}, {}, {two}})), "0 2 0 0: 1 @40\n2 2 0 0: 2 @88\n");
    EXPECT_EQ(runsOf(multiPolygon({{{one}}, {}, {{one}, {two}}})),
              "0 3 0 0: 1 @48\n2 3 0 0: 1 @104\n2 3 1 0: 2 @144\n");
    EXPECT_EQ(runsOf(collection(
                  {multiPoint(vertices(2)), ofType(SPATIAL_TYPE_MULTILINESTRING), line({one}), polygon({{one}})})),
              "0 1 0 0: 2 @48\n2 2 0 0: 1 @152\n3 3 0 0: 1 @216\n");
}

TEST(VertexRuns, StopsWhenTheVisitorSaysAndRefusesWhatItCannotWalk) {
    EXPECT_EQ(runsOf(line({vertices(1), vertices(2), vertices(3)}), 2), "0 2 0 0: 1 @32\n0 2 0 1: 2 @64\n");
    RunLog log{nullptr, ""};
    const Record point = testrecords::point({1, 2, 3});
    EXPECT_EQ(spatialWKB_forEachVertexRun(nullptr, logRun, &log), SPATIAL_FAILURE);
    EXPECT_EQ(spatialWKB_forEachVertexRun(point.data(), nullptr, &log), SPATIAL_FAILURE);
    for (std::uint32_t type : {0u, 8u, 9u}) {
        EXPECT_EQ(spatialWKB_forEachVertexRun(ofType(type).data(), logRun, &log), SPATIAL_FAILURE) << type;
    }
    // A member without a size hides the members after it.
    const Record hiding = collection({point, ofType(SPATIAL_TYPE_RESERVED), point});
    log.record = hiding.data();
    EXPECT_EQ(spatialWKB_forEachVertexRun(hiding.data(), logRun, &log), SPATIAL_FAILURE);
    EXPECT_EQ(log.text, "0 1 0 0: 1 @40\n");
}

std::int32_t collectMember(void* context, const void* member) {
    auto* members = static_cast<std::vector<const void*>*>(context);
    members->push_back(member);
    return members->size() == 2;
}

TEST(RecordMembers, VisitsEachMemberInPlaceUntilStopped) {
    const Record members = collection({point({1, 2, 3}), line({vertices(2)}), point({4, 5, 6})});
    std::vector<const void*> visited;
    EXPECT_EQ(spatialWKB_forEachMember(members.data(), collectMember, &visited), SPATIAL_SUCCESS);
    EXPECT_EQ(visited, (std::vector<const void*>{members.bytes() + 24, members.bytes() + 64}));
    EXPECT_EQ(spatialWKB_forEachMember(point({1, 2, 3}).data(), collectMember, &visited), SPATIAL_FAILURE);
    EXPECT_EQ(spatialWKB_forEachMember(members.data(), nullptr, &visited), SPATIAL_FAILURE);
    EXPECT_EQ(visited.size(), 2u);
}

}  // namespace
